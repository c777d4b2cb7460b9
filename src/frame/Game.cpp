#include "frame/Game.h"

#include <stdexcept>

#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/GameState.h"

namespace gravik {

void GameChipMap::SetChip(int x, int y, int pattern) {
  // World cell (X, Y) is background cell (X, Y).
  if (game_.playfield.Background) game_.playfield.Background->SetCell(x, y, pattern);
}

void GameSoundSink::PlaySound(const std::string& name) { gravik::PlaySound(game_.audio, name); }

void GameSoundSink::SetSoundVolume(const std::string& name, int volume) {
  gravik::SetSoundVolume(game_.audio, name, volume);
}

bool GameSoundSink::EffectsOn() const { return game_.audio.SoundAvailable && game_.audio.SoundOn; }

int GameSoundSink::EffectVolumeSetting() const { return game_.audio.SoundLevel; }

bool GameStateHost::Playing() const { return game_.frame.GameState == gsPlaying; }

void GameStateHost::Report(WorldOutcome outcome) {
  if (!form_) throw std::logic_error("a world outcome reached a game without a form");
  form_->SetGameState(StateAfter(outcome));
}

void GameLevelGraphicsHook::SetUpLevelGraphics() {
  GraphicsContext ctx = game_.Graphics();
  BuildLevelGraphics(ctx, CurrentLevelLook(game_.scenario, game_.world));
}

namespace {
const char kSystemFontFace[] = "lucida12F.bmp";
}

void BitmapSystemText::TextOut(Bitmap& surface, int x, int y, std::string_view text, const SystemFont&,
                               uint16_t, bool opaque, uint16_t background) {
  FontSet& f = game_.fonts;
  if (f.Count == 0) return;
  SelectFont(f, kSystemFontFace, 3);
  if (opaque) surface.FillRect(Bounds(x, y, gravik::TextWidth(f, text), gravik::TextHeight(f, text)), background);
  DrawText(f, surface, x, y, text);
}

int BitmapSystemText::TextWidth(std::string_view text, const SystemFont&) {
  if (game_.fonts.Count == 0) return 0;
  SelectFont(game_.fonts, kSystemFontFace, 3);
  return gravik::TextWidth(game_.fonts, text);
}

int BitmapSystemText::TextHeight(std::string_view text, const SystemFont&) {
  if (game_.fonts.Count == 0) return 0;
  SelectFont(game_.fonts, kSystemFontFace, 3);
  return gravik::TextHeight(game_.fonts, text);
}

Game::Game(Platform& p, const GameOptions& o)
    : platform(p), options(o), random(o.seed), profileKeys(o.seed * 2654435761u + 1), chips_(*this), sound_(*this), store_(scenario) {
  backSurface.SetSize(kScreenWidth, kScreenHeight);
  world.Chips = &chips_;
  world.Store = &store_;
  demo = std::make_unique<DemoPlayback>();
  if (!options.traceWorld.empty()) worldTrace = std::make_unique<std::ofstream>(options.traceWorld);
}

Game::~Game() = default;  // the recorder writes its file in RunProgram, not here

int IsoWeek(const CalendarDate& d) {
  // Days since 1 January 1970 (a Thursday) by the civil calendar.
  auto days = [](int y, int m, int day) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
  };
  const int n = days(d.Year, d.Month, d.Day);
  const int weekday = (((n + 3) % 7) + 7) % 7;  // 0 = Monday
  const int thursday = n - weekday + 3;   // the Thursday of this week decides its year
  int year = d.Year;
  if (thursday < days(year, 1, 1)) --year;
  else if (thursday >= days(year + 1, 1, 1)) ++year;
  return (thursday - days(year, 1, 1)) / 7 + 1;
}

bool IsEasterEggDay(const CalendarDate& d) { return d.Day == 18 && IsoWeek(d) == 3; }

}  // namespace gravik
