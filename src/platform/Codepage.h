// Windows-1252, the game's single-byte text encoding (player names, typed text),
// and UTF-8, the system's.
#pragma once
#include <string>
#include <string_view>

namespace gravik {

// Each UTF-8 character becomes its Windows-1252 byte; characters 1252 does not
// have, control characters (below 32, 127..159) and malformed sequences are dropped.
std::string Utf8ToWindows1252(std::string_view utf8);
// Every byte to its UTF-8 form; the five bytes 1252 leaves undefined become U+FFFD.
std::string Windows1252ToUtf8(std::string_view text);
bool IsValidUtf8(std::string_view s);
// Text for a system dialog or terminal: kept when it is valid UTF-8, else read as 1252.
std::string ToDisplayUtf8(std::string_view s);
// The game's line breaks (CR, CR LF) as LF, for message boxes and stderr.
std::string WithLfLineBreaks(std::string_view s);

}  // namespace gravik
