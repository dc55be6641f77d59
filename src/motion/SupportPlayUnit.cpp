#include "motion/SupportPlayUnit.h"

#include <cmath>

#include "core/Geometry.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"

namespace {

constexpr i32 kToLine = 14;            // event type: go to the side's line shape at TargetX
constexpr i32 kEndOnCatch = 3;         // end condition: receiving or catching
constexpr double kCrossGap = 3.0;      // m: a stay that leaves less than this beside him crosses
constexpr double kTouchMargin = 0.8;   // m inside touch at most
constexpr int kMaxCommitted = 4;
constexpr f32 kCommitDistance = 2.0f;  // m from the carrier
constexpr f32 kCommitDeadline = 2.0f;  // s

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

bool Free(const TPlayer& P) {
  return !(P.RuckTimer > 0 || P.RuckTimer2 > 0 || P.TackleAttemptTimer > 0 || P.OldTackleTimer > 0 ||
           P.standuptimer > 0 || P.passcatchtimer > 0 || P.freeballcatchtimer > 0 || P.shimmytimer > 0 ||
           P.passtimer > 0);
}

// Commits up to four free players of block Block to a run round block 1's
// carrier at a heading drawn from AngleLo up to (not including) AngleHi.
void CommitSupport(TWorld& W, int Block, i32 AngleLo, i32 AngleHi) {
  const TTeamBlock& A = W.Teams[1];
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  if (C == nullptr) return;
  TTeamBlock& T = W.Teams[Block];
  TPlayerList list = kEmptyPlayerList;
  Arr1<f32, 25> keys{};
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (Block == 1 && p == A.BallCarrier) continue;
    const TPlayer& P = T.Players[p];
    if (!Free(P)) continue;
    list[++n] = static_cast<i16>(p);
    keys[n] = Distance2D(P.Pos.x, P.Pos.z, C->Pos.x, C->Pos.z);
  }
  if (n == 0) return;
  if (n >= 2) list = SortPlayersByKey(list, keys);

  Arr1<i16, kMaxCommitted> committed{};
  int m = 0;
  for (int k = 1; k <= n && m < kMaxCommitted; ++k) {
    const i32 roll = RandomRange(1, 1001);
    if (k == 1 || roll < T.Players[list[k]].SupportCommitProb) committed[++m] = list[k];
  }
  for (int k = 1; k <= m; ++k) {
    TActionSeq& S = T.Players[committed[k]].ActionSeq;
    S = StrategyParams.ActionSeqTemplate;
    S.seqON = kTrue32;
    TActionEvent& E = S.EventArray[1];
    E.EndCondition = kEndOnCatch;
    E.RelMovementOn = kTrue32;
    E.RelOwnTeam = kTrue32;
    E.RelPlayer = A.BallCarrier;
    E.RelDistance = kCommitDistance;
    E.RelHeading = static_cast<f32>(RandomRange(AngleLo, AngleHi));
    E.Intercept = kTrue32;
    E.Deadline = kCommitDeadline;
  }
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

void CommitUpTeamSupport(TWorld& W) { CommitSupport(W, 1, 240, 301); }

void CommitDownTeamSupport(TWorld& W) { CommitSupport(W, 2, 60, 121); }
