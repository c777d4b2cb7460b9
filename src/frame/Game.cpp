#include "frame/Game.h"

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

Game::Game(Platform& p, const GameOptions& o)
    : platform(p), options(o), random(o.seed), chips_(*this), sound_(*this), store_(scenario) {
  backSurface.SetSize(kScreenWidth, kScreenHeight);
  world.Chips = &chips_;
  world.Sound = &sound_;
  world.Time = &platform.clock;
  world.Random = &random;
  world.Store = &store_;
}

Game::~Game() = default;

}  // namespace gravik
