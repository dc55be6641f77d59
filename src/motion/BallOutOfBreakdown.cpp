// The end of the pass run-out in the timer step: a pass that did not go is
// called off in running, and a breakdown, or a scrum or lineout with a
// carrier, breaks up into running (the defence reads the ball, the packs
// release in waves and every tackle still in force ends). Declared in
// motion/DelayPlayersUnit.h.
#include <cmath>

#include "contact/BreakdownRelease.h"
#include "core/Random.h"
#include "motion/DelayPlayersUnit.h"

namespace {

constexpr double kNearBallX = 7.0;        // m across from the ball: a defender this close reads it at once
constexpr double kNearBallZ = 5.0;        // m along
constexpr double kAfterLastRelease = 0.25;  // s a tackled player stays down after the last ruck release

// The carrier's sequence ends when its current event is of type 1 or 2.
void EndCarrierRun(TWorld& W) {
  const i32 c = W.Teams[1].BallCarrier;
  if (c < 1 || c > PlayerCount(W)) return;
  TActionSeq& S = W.Teams[1].Players[c].ActionSeq;
  if (S.seqON == 0 || !Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex)) return;
  const i32 type = S.EventArray[S.CurrEventIndex].EventType;
  if (type == 1 || type == 2) S.seqON = 0;
}

// Each defender draws his read delay; one standing near the ball keeps only
// 0 to 50 % of it.
void DefenceReadsBallOut(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = D.Players[i];
    P.ReactionDelayExtra1.value = DrawClamped(P.ReactionDelayExtra1);
    P.PassReadTimer = P.ReactionDelayExtra1.value;
    if (std::fabs(static_cast<double>(P.Pos.x) - W.BallPos.x) < kNearBallX &&
        std::fabs(static_cast<double>(P.Pos.z) - W.BallPos.z) < kNearBallZ)
      P.PassReadTimer = static_cast<f32>(RandomRange(0, 51) * static_cast<double>(P.PassReadTimer) * 0.01);
    P.RunningAngleReactionTime.value = 0;
  }
  D.PressureTimerA = 0;
  D.PressureTimerB = 0;
  W.PassSpiral = kTrue32;
}

// The largest release delay of either block into SearchBestDist, its block
// and player (block 1's player i before block 2's; a tie keeps the first).
void FindLastRelease(TWorld& W) {
  W.SearchBestDist = 0;
  W.SearchBestIndex = 0;
  W.SearchBestPlayer = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    for (int b = 1; b <= 2; ++b) {
      const f32 t = W.Teams[b].Players[i].RuckTimer2;
      if (!(t > W.SearchBestDist)) continue;
      W.SearchBestDist = t;
      W.SearchBestIndex = b;
      W.SearchBestPlayer = i;
    }
  }
}

}  // namespace

void BallOutOfBreakdown(TWorld& W) {
  if (W.gamestate == gsRunning) {
    EndCarrierRun(W);
    W.Teams[1].PassReceiver = 0;
  }
  // A lineout catcher whose pass down to the receiver did not go plays on
  // with the ball as a scrum's carrier does; the lineout has no other end
  // while the ball is held.
  const bool setPieceOut =
      (W.gamestate == gsScrum || W.gamestate == gsLineout) && W.Teams[1].BallCarrier != 0;
  if (W.gamestate != gsGotTackled && !setPieceOut) return;
  if (setPieceOut) EndCarrierRun(W);
  W.gamestate = gsRunning;
  W.Teams[1].StrategyTimer = 0;
  W.Teams[2].StrategyTimer = 0;
  DefenceReadsBallOut(W);
  ReleaseBoundPlayers(W, 0.0f, 1.0f);
  FindLastRelease(W);
  const f32 after = static_cast<f32>(W.SearchBestDist + kAfterLastRelease);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    EndRunningTackle(W, 1, i, after, true);
    EndRunningTackle(W, 2, i, after, true);
  }
}
