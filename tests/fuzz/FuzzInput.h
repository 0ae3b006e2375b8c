#pragma once
// What every fuzz target shares: the input size cap, and the input written to
// a file of its own for the parsers that read files (the engine's readers
// take paths, as the program gives them).

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz
{
// Inputs above this are skipped: content files are small, and a parser asked
// to read hundreds of megabytes would be reported as out of memory, which is
// not a fault of the parser.
constexpr size_t kMaxInput = 1u << 20;

/// Writes the input to a file in this process's scratch folder (named by
/// `name`, so a parser that looks at the extension sees the right one) and
/// returns its path; "" when it cannot be written.
std::string WriteInput(const uint8_t* data, size_t size, const std::string& name);

/// The scratch folder of this process, made on first use and made current
/// so that paths named inside an input stay in it.
const std::string& ScratchFolder();

/// Copies a file the build made into the working folder (a pattern, the
/// camera file) to the same relative path in the scratch folder, so inputs
/// naming it as the bundled content does find it. False when the build's
/// working folder is not known or has no such file.
bool CopyFromWorkFolder(const std::string& relativePath);
}
