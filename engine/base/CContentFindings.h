#pragma once
// Findings about content: the problems the engine meets while it reads a
// content set, each placed at the file and line it belongs to. The engine's
// readers hand their messages here as they print or log them; in a normal run
// no sink is installed and nothing more happens. A checking program installs
// a sink to collect the findings and the files the content named.
//
// A message is judged by the engine's own words (Classify): "Error",
// "Unable to", "Failed", "Could not" make an error; "Warning", "INFOMATION",
// "could not be found", "Unrecognised" a warning; anything else (progress
// lines) is no finding. Its place is the current line of the tag reader that
// was read last (COsgSettings::LastRead), or no place when there is none.
//
// The sink is not owned; it must outlive its installation. One thread.

#include <string>

class COsgSettings;

class CContentFindings
{
public:
    enum Kind
    {
        NONE,
        WARNING,
        ERROR
    };

    struct Finding
    {
        std::string file;  // as the engine opened it; empty when not known
        int line = 0;      // from 1; 0 when not known
        Kind kind = WARNING;
        std::string text;  // the engine's words
    };

    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void Found(const Finding& finding) = 0;
        /// A file the content named and the engine found, with the path it opened.
        virtual void FileNamed(const std::string& /*asked*/, const std::string& /*opened*/) {}
        /// A loaded tag reader about to go away, with what was read of it.
        virtual void ReaderDone(const COsgSettings& /*reader*/) {}
    };

    /// Installs the sink (null stops collecting).
    static void SetSink(Sink* sink);
    static bool Collecting();

    /// Judges an engine message and, when it is a finding, hands it to the
    /// sink placed at the reader's current line.
    static void Report(const std::string& message);
    /// Hands a finding of a known kind, placed at the reader's current line.
    static void Report(Kind kind, const std::string& text);
    /// Hands a finding with its own place.
    static void Report(const Finding& finding);
    static void FileNamed(const std::string& asked, const std::string& opened);
    static void ReaderDone(const COsgSettings& reader);

    /// "FILE:LINE: error: text" ("FILE: ..." without a line, "text" alone
    /// without a file), the one-line form of every finding.
    static std::string Format(const Finding& finding);

    static Kind Classify(const std::string& message);
};
