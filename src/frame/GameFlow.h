// The course of a game: preparing the scenario, the title card, play, the
// transporter journey, losing a life, pause and the plain end screens.
#pragma once
#include <cstdint>
#include <string>

namespace gravik {

class TForm1;
class Game;

// Installs the play-path state handlers and the state-change steps of the modules.
void InstallGameFlow(TForm1& form);

// Time spent in a menu does not count against the level's clocks.
void FreezeClocks(Game& g);
void ThawClocks(Game& g);
// The player's cell becomes (RestartX, RestartY), with view and pixel position.
void PlacePlayerAtRestart(Game& g);

// The level's pictures for the current graphics style (after a style switch).
void RefreshBlockGraphics(Game& g);

// Screen states' frames.
void PrepareScenarioFrame(TForm1& form);
void LevelIntroFrame(TForm1& form);
void PlayingFrame(TForm1& form);
void TransportOutFrame(TForm1& form);
void TransportArriveFrame(TForm1& form);
void TransportInFrame(TForm1& form);
void LosingLifeFrame(TForm1& form);
void PausedFrame(TForm1& form);

// Darkens a 640 x 480 picture for the pause screen: each component x becomes
// trunc(x / 3 x 2); a pixel whose reduced components are all 0 is left alone.
void DarkenPicture(uint16_t* pixels, size_t count);

// "HHh MMm SSs", each number two digits, a blank in front while hours < 100.
std::string FormatPlayTime(uint32_t seconds);

}  // namespace gravik
