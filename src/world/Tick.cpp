#include "world/Tick.h"

#include "frame/GameState.h"
#include "world/FallingBlocks.h"
#include "world/Meteors.h"
#include "world/Monsters.h"
#include "world/Spirits.h"
#include "world/Targets.h"

namespace gravik {

bool TransportersDead(const World& w) { return w.Catalogue[BlockTransporter].PlayerCanEnter == 0; }

void WorldRules(World& w, PlayerInput* input) {
  if (w.State() == gsPlaying) {
    const uint32_t now = w.Now();
    if (!w.KeyUsed && now - w.LastBlockPass >= 50) {
      UpdateBlocks(w);
      w.LastBlockPass = now;
    }
    UpdateMonsters(w);
    if (w.TransportCount == 0) {
      UpdateMeteors(w);
      UpdateSpirits(w);
    }
    if (w.TransportCount != 0) {
      CollectAtPlayer(w);
    } else {
      CrushMonsters(w);
      PlayerFrame(w, input);
      const PlayerState& p = w.Player;
      if (w.KeyUsed && p.Moving == 0 && p.StepDistance == 0) {
        w.LastBlockPass = w.Now() - 100;
        CheckPlayerDeath(w);
        UpdateBlocks(w);
      }
      CrushMonsters(w);
      CheckPlayerDeath(w);
      w.KeyUsed = 0;
    }
  }
  if (!w.Player.Dead) MarkSeen(w.Level(), w.Player.X, w.Player.Y);
  if (w.RecountTargets) {
    CountTargets(w);
    w.RecountTargets = 0;
  }
}

void EndTick(World& w) {
  w.FrameTime = w.Now();
  if (w.Player.Dead) w.RequestState(gsLosingLife);
  if (w.ScenarioFinished) w.RequestState(gsScenarioComplete);
}

void CheckScenarioDone(World& w) {
  const Counters& c = w.Count;
  w.ScenarioFinished = c.DiamondsLeft <= 0 && c.EarthLeft <= 0 && c.MonstersLeft <= 0 &&
                       c.TransportersLeft <= 0 && c.PuzzlePiecesLeft <= 0 && c.EndCharsLeft <= 0;
}

}  // namespace gravik
