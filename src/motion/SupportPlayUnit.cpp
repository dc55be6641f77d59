#include "motion/SupportPlayUnit.h"

#include <cmath>

#include "core/Random.h"
#include "core/StrategyShapes.h"

namespace {

constexpr i32 kToLine = 14;            // event type: go to the side's line shape at TargetX
constexpr i32 kEndOnCatch = 3;         // end condition: receiving or catching
constexpr double kCrossGap = 3.0;      // m: a stay that leaves less than this beside him crosses
constexpr double kTouchMargin = 0.8;   // m inside touch at most

// A cross to the other side of R: 3.00 to 7.00 m.
double CrossDistance() { return RandomRange(300, 701) / 100.0; }

// The run of a called player P to a point beside R.
void StartSupportRun(TWorld& W, TPlayer& P, const TPlayer& R) {
  bool cross = RandomRange(1, 1001) >= 500;
  if (P.SupportSide == 1) cross = true;
  if (P.SupportSide == 2) cross = false;
  const bool onRight = P.Pos.x > R.Pos.x;
  double sign, dist;
  if (cross) {
    sign = onRight ? -1.0 : 1.0;
    dist = CrossDistance();
  } else {
    sign = onRight ? 1.0 : -1.0;
    dist = RandomRange(200, 351) / 100.0;
    if (std::fabs(static_cast<double>(P.Pos.x) - R.Pos.x) - dist < kCrossGap) {
      sign = -sign;
      dist = CrossDistance();
    }
  }
  const double edge = W.PitchWidth / 2.0 - kTouchMargin;
  double x = R.Pos.x + sign * dist;
  if (x > edge) x = edge;
  if (x < -edge) x = -edge;
  P.ActionSeq = StrategyParams.ActionSeqTemplate;
  P.ActionSeq.seqON = kTrue32;
  TActionEvent& E = P.ActionSeq.EventArray[1];
  E.EventType = kToLine;
  E.EndCondition = kEndOnCatch;
  E.TargetX = ToF32(x);
}

}  // namespace

void SupportPlay(TWorld& W) {
  if (W.gamestate != gsRunning && W.gamestate != gsPassing) return;
  TTeamBlock& A = W.Teams[1];
  const i32 r = W.gamestate == gsRunning ? A.BallCarrier : A.PassReceiver;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    if (P.SupportRunCall == 0 || i == r || P.ActionSeq.seqON != 0) continue;
    P.SupportRunCall = kFalse32;
    if (const TPlayer* R = PlayerAt(A, r)) StartSupportRun(W, P, *R);
  }
}
