#pragma once
// Where the media layer sends its one-line messages. The engine routes them to its
// message log; an empty sink drops them.
#include <functional>
#include <string>

namespace vexa {
namespace media {

using LogSink = std::function<void(const std::string&)>;

}  // namespace media
}  // namespace vexa
