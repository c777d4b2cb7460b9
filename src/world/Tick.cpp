#include "world/Tick.h"

#include "world/FallingBlocks.h"
#include "world/Meteors.h"
#include "world/Monsters.h"
#include "world/Spirits.h"
#include "world/Targets.h"

namespace gravik {

namespace {
constexpr uint32_t kBlockPassMs = 50;
constexpr uint32_t kNoticeMs = 1000;
}  // namespace

bool TransportersDead(const World& w) { return w.Catalogue[BlockTransporter].PlayerCanEnter == 0; }

void GameTick(World& w, TickHost& host) {
  // 1-2. Frame step and music upkeep.
  w.FrameStep = host.MeasureFrameStep();
  host.MusicUpkeep();
  // 3. The view, once, before the rules: the objects' screen positions are
  //    taken from this view as they move.
  host.PlaceView(w.Player.ViewX, w.Player.ViewY);
  // 4. The rules. A demo that ends in the player's step (its last event, or
  //    Escape) ends the rules' say too: no death, completion or state follows.
  const bool demo = w.DemoMode;
  bool demoEnded = false;
  if (w.Playing()) {
    if (!w.KeyUsed && TicksSince(w.Now(), w.LastBlockPass) >= kBlockPassMs) {
      UpdateBlocks(w);
      w.LastBlockPass = w.Now();
    }
    UpdateMonsters(w);
    if (w.TransportCount == 0) {
      UpdateMeteors(w);
      UpdateSpirits(w);
    }
    if (TransportersDead(w)) host.ShowNotice("Transporters dead??", kNoticeMs);
    if (w.TransportCount != 0) {
      CollectAtPlayer(w);
    } else {
      CrushMonsters(w);
      PlayerFrame(w, &host.Controls());
      demoEnded = demo && !w.DemoMode;
      const PlayerState& p = w.Player;
      if (!demoEnded) {
        if (w.KeyUsed && p.Moving == 0 && p.StepDistance == 0) {
          w.LastBlockPass = w.Now() - 100;
          CheckPlayerDeath(w);
          UpdateBlocks(w);
        }
        CrushMonsters(w);
        CheckPlayerDeath(w);
      }
      w.KeyUsed = 0;
    }
  }
  // 5. Seen cells.
  if (!w.Player.Dead) MarkSeen(w.Level(), w.Player.X, w.Player.Y);
  // 6. Recount.
  if (w.RecountTargets) {
    CountTargets(w);
    w.RecountTargets = 0;
  }
  // 7-10. Sprites, then the moving objects over them.
  host.RenderSprites();
  host.DrawMovingObjects();
  // 11. Frame time.
  w.FrameTime = w.Now();
  // 12-13. Death, then completion (made last, so it wins).
  if (demoEnded) return;
  if (w.Player.Dead) w.Report(WorldOutcome::PlayerDied);
  if (w.ScenarioFinished) w.Report(WorldOutcome::ScenarioDone);
}

void CheckScenarioDone(World& w) {
  const Counters& c = w.Count;
  w.ScenarioFinished = c.DiamondsLeft <= 0 && c.EarthLeft <= 0 && c.MonstersLeft <= 0 &&
                       c.TransportersLeft <= 0 && c.PuzzlePiecesLeft <= 0 && c.EndCharsLeft <= 0;
}

}  // namespace gravik
