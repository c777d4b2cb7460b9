// The help pages (the cast, the keys and scoring, the credits) and the dated
// credits screen, with the texts and pictures they take from the archive.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "frame/ScreenUnit.h"
#include "gfx/Bitmap.h"

namespace gravik {

class Game;
struct FontSet;

ScreenUnit HelpUnit();
ScreenUnit EasterEggUnit();

inline constexpr int kHelpPages = 4;
inline constexpr int kCreditsWidth = 420, kCreditsHeight = 1500, kCreditsLinePitch = 22;

// Start-up: "helppage1.txt".."helppage5.txt" and "kvelauthor.txt" into the
// game's help texts; "gamehelpbitmap1.bmp".."gamehelpbitmap8.bmp" into the
// image entries "Helpbitmap1".."Helpbitmap8"; "fullcreditlogo.bmp" and
// "fullcreditline.bmp" into "CreditLogo" and "CreditLine". A missing item ends
// the game with the archive's message, a damaged picture with its own.
void LoadHelpPages(Game& g);

// The lines of a text item: split at line ends (CR LF or LF), without a last
// empty line.
std::vector<std::string> SplitTextLines(const std::vector<uint8_t>& bytes);

// One line of the credits as it is shown: its face and colour, and the text
// without its marker ("@" heading in colour 1, "%" small print, "*" small print
// in colour 5; other lines are eras14 colour 2).
struct CreditLine {
  const char* Face;
  int Colour;
  std::string Text;
};
CreditLine StyleCreditLine(const std::string& line);

// The credits laid out into a `width` x `height` picture: one line per text
// line, 22 pixels apart from the top, each centred. Lines below the picture's
// end are left out.
Bitmap LayOutCredits(FontSet& fonts, const std::vector<std::string>& lines, int width, int height);

// The help pages' paragraphs: runs of non-empty lines separated by empty ones,
// joined with blanks.
std::vector<std::string> Paragraphs(const std::vector<std::string>& lines);
// Words of `text` wrapped to lines at most `width` pixels wide in the selected
// font (a single wider word stands alone), at most `maxLines` lines.
std::vector<std::string> WrapText(const FontSet& fonts, const std::string& text, int width, size_t maxLines);

// The vertical offset of a scrolling text `elapsedMs` after it started: from
// the top of the picture up through its `contentHeight`, then round again
// entering from below a window `windowHeight` high, at `pixelsPerMs`.
int CreditsScrollOffset(uint32_t elapsedMs, double pixelsPerMs, int contentHeight, int windowHeight);

}  // namespace gravik
