// The help pages and the credits text: plain ASCII sources in assets/ that the
// builder checks and cleans before they go into the archive.
//
// Source format: one line of the page per line. Lines starting with '#' are
// notes for whoever edits the file and are dropped; trailing blanks and a
// trailing blank line are dropped; line ends are written as LF.
//
// Help pages 1 and 2 describe the cast shown beside the block pictures, in the
// order the help screen shows them, one paragraph per cast member separated by
// an empty line, each paragraph one or two lines:
//   page 1: Gravik, Diamond, Egg, Monster, Rock, Key, Safe, Earth
//   page 2: Gravik, Spirit, Cage, Skull, Puzzle Piece, Transporter, Starport,
//           Savepoint
// Pages 3 to 5 are free paragraphs. The credits lines may carry one marker
// character that the credits screen removes: '@' heading, '%' small print,
// '*' small print in the secondary colour.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "Pictures.h"

namespace gravik::mkres {

// Limits that keep the text inside the screens that show it.
constexpr int kHelpLineChars = 60, kHelpPageLines = 24, kCastPerPage = 8, kCastParagraphLines = 2;
constexpr int kCreditLineChars = 36, kCreditLines = 60;  // 1500-pixel picture, 22 per line

enum class TextKind { CastPage, HelpPage, Credits };

// Cleans `source` (the file's bytes) by the rules above and checks it against the
// kind's limits: only printable ASCII (32..126), line lengths, line and paragraph
// counts. On failure returns false with `error` naming `name` and the line.
bool CookText(const std::string& source, TextKind kind, const std::string& name, std::string* out,
              std::string* error);

// "helppage1.txt".."helppage5.txt" and "kvelauthor.txt", read from
// `assetsDir`/help/ and `assetsDir`/credits/. Empty with a message naming the
// file on failure.
std::vector<NamedItem> BuildTexts(const std::string& assetsDir, std::string* error);

}  // namespace gravik::mkres
