#include "flow/TryScoredUnit.h"

#include <cmath>

#include "contact/BreakdownRelease.h"
#include "core/Geometry.h"
#include "core/HalfTime.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "flow/KickRestartSetUnit.h"
#include "flow/SetDesiredPositionUnit.h"

namespace {

constexpr i32 kJoinBelow = 700;          // of RandomRange(1, 1001): 699 in 1000 join
constexpr double kRunOnDistance = 3.5;   // m, at most; drawn 0.50 .. 1.00 of it
constexpr double kRunOnTime = 1.5;       // s, at most; drawn 0.50 .. 1.00 of it
constexpr f32 kNoHeading = 90.0f;        // degrees, for coincident points
constexpr double kDownAfterRelease = 0.25;  // s a tackle outlasts the last pack release

constexpr double kStillWithin = 0.5;     // m of DesiredPos a player may celebrate
constexpr f32 kScorerDelay = 0.01f;      // s
constexpr i32 kQuickDelayBelow = 700;    // of RandomRange(1, 1001)
constexpr double kQuickDelay = 0.25;     // s, at most
constexpr double kSlowDelay = 1.0;       // s, at most

constexpr f32 kDiveSlide = 7.0f;         // FreeBallCatchKind of a dive over the line
constexpr double kLineBeyondTry = 3.75;  // m of block 2's line beyond TryPos.z
constexpr double kLineSpacing = 1.0;     // m
constexpr double kClearX = 2.0;          // m, a defender this near the scorer across
constexpr double kClearZ = 4.0;          // m, and along, is sent back to kClearZ - 0.1
constexpr double kClearMargin = 0.1;     // m

constexpr f32 kDelayMean = 86.89f;       // s, RestartDelay of the conversion
constexpr f32 kDelaySD = 32.03f;
constexpr f32 kDelayMin = 10.0f;
constexpr f32 kDelayMax = 166.965f;
constexpr i32 kConversion = 9;           // RestartType
constexpr i32 kDefaultKicker = 10;

TPlayer* Scorer(TWorld& W) { return PlayerAt(W.Teams[1], W.DiverIndex); }

bool CelebrationOver(const TPlayer& P) { return P.CelebrateStage == P.CelebrateJoin; }

// A share 0.50 .. 1.00 in hundredths (one draw) of Full.
double DrawShare(double Full) { return RandomRange(50, 101) / 100.0 * Full; }

// ---------------------------------------------------------------- phase 1

void ClearChasersAndSequences(TWorld& W) {
  for (TTeamBlock& B : W.Teams) {
    for (int k = 1; k <= 5; ++k) B.ChaserSlots[k] = 0;
    for (int i = 1; i <= PlayerCount(W); ++i) {
      B.Players[i].chasertimer = 0;
      B.Players[i].ActionSeq.seqON = kFalse32;
    }
  }
}

// Block 1: the gesture and whether he joins (the scorer always does); block
// 2 takes no part. Per block-1 player the gesture draw, then the join roll.
void ChooseCelebrations(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = W.Teams[1].Players[i];
    P.CelebrateKind = static_cast<f32>(RandomRange(1, 4));
    P.CelebrateStage = 0;
    P.CelebrateDelay = 0;
    P.CelebrateTimer = 0;
    P.CelebrateJoin = (i == W.DiverIndex || RandomRange(1, 1001) < kJoinBelow) ? 1 : 0;
    TPlayer& Q = W.Teams[2].Players[i];
    Q.CelebrateTimer = 0;
    Q.CelebrateDelay = 0;
    Q.CelebrateJoin = 0;
    Q.CelebrateStage = 0;
  }
}

// The point a block-1 player runs on to (InterceptX, InterceptZ), further
// along his way from OldPos to Pos, and how long he runs on (chasertimer).
void SetRunOnPoints(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = W.Teams[1].Players[i];
    const double r = DrawShare(kRunOnDistance);
    const TDirection u = HeadingDirection(HeadingToPoint(P.OldPos.x, P.OldPos.z, P.Pos.x, P.Pos.z, kNoHeading));
    P.InterceptX = static_cast<f32>(P.Pos.x + u.x * r);
    P.InterceptZ = static_cast<f32>(P.Pos.z + u.z * r);
    P.chasertimer = static_cast<f32>(DrawShare(kRunOnTime));
  }
}

// Every tackle in force ends; the players stay down until the last pack
// release plus kDownAfterRelease.
void EndTackles(TWorld& W) {
  double last = 0;
  for (const TTeamBlock& B : W.Teams)
    for (int i = 1; i <= PlayerCount(W); ++i) last = std::fmax(last, B.Players[i].RuckTimer2);
  const f32 after = static_cast<f32>(last + kDownAfterRelease);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    EndRunningTackle(W, 1, i, after, true);
    EndRunningTackle(W, 2, i, after, true);
  }
}

void SetUpTryScored(TWorld& W) {
  ClearChasersAndSequences(W);
  ChooseCelebrations(W);
  SortDefLineByX(W, 1);
  SetRunOnPoints(W);
  SortDefLineByX(W, 2);
  // Roles 0 and 1 leave at once; bound players after their spot's delay.
  ReleaseBoundPlayers(W, 0.0f, 1.0f);
  EndTackles(W);
  W.Teams[1].KickerIndex = BestGoalKicker(W, kDefaultKicker);
}

// ---------------------------------------------------------------- phase 2

// The scorer stands, or finishes the slide of his dive (moved directly while
// he still holds the ball); once the slide is over the side has no carrier.
void SlideScorer(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TPlayer* S = Scorer(W);
  if (S == nullptr) return;
  S->DesiredPos = S->Pos;
  if (S->FreeBallCatchKind == kDiveSlide && S->freeballcatchtimer > 0) {
    SetDesiredPosAlongHeading(*S, S->FreeBallCatchAngle, static_cast<double>(S->FreeBallCatchSpeed) * W.TimeStep);
    if (A.BallCarrier == W.DiverIndex) {
      S->Pos.x = S->DesiredPos.x;
      S->Pos.z = S->DesiredPos.z;
    }
  }
  if (A.BallCarrier != 0 && S->freeballcatchtimer <= 0) A.BallCarrier = 0;
}

// Block 1 runs on; whoever has celebrated and run on walks back to halfway,
// the kicker to the conversion spot.
void RunOnAndWalkBack(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    P.DesiredPos.x = P.InterceptX;
    P.DesiredPos.z = P.InterceptZ;
    P.chasertimer = static_cast<f32>(P.chasertimer - static_cast<double>(W.TimeStep));
  }
  SlideScorer(W);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    if (!CelebrationOver(P) || P.chasertimer > 0) continue;
    if (i == A.KickerIndex) {
      P.DesiredPos.x = W.TryPos.x;
      P.DesiredPos.z = static_cast<f32>(ConversionSpotZ(W.TryPos.x));
    } else {
      P.DesiredPos.z = 0.0f;
    }
  }
}

// Nothing keeps him busy: no delay or gesture under way, no action timer
// running, and he stands within kStillWithin of where he is sent.
bool FreeToCelebrate(const TPlayer& P) {
  for (const f32 t : {P.CelebrateDelay, P.CelebrateTimer, P.DiveTimer, P.freeballcatchtimer, P.standuptimer,
                      P.passtimer, P.KickTimer, P.GettingTackledTimer, P.TackleAttemptTimer, P.OldTackleTimer,
                      P.RuckTimer, P.RuckTimer2})
    if (t > 0) return false;
  return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z) <= kStillWithin;
}

// A drawn wait before a team-mate's gesture: mostly up to 0.25 s, else up
// to 1 s, in hundredths. Two draws.
double DrawCelebrateDelay() {
  const bool quick = RandomRange(1, 1001) < kQuickDelayBelow;
  return RandomRange(1, 101) / 100.0 * (quick ? kQuickDelay : kSlowDelay);
}

void Celebrate(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const TPlayer* S = Scorer(W);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = A.Players[i];
    if (CelebrationOver(P)) continue;
    const bool scorer = i == W.DiverIndex;
    if (FreeToCelebrate(P)) P.CelebrateDelay = scorer ? kScorerDelay : static_cast<f32>(DrawCelebrateDelay());
    if (!(P.CelebrateDelay > 0)) continue;
    P.CelebrateDelay = static_cast<f32>(P.CelebrateDelay - static_cast<double>(W.TimeStep));
    if (P.CelebrateDelay > 0) continue;
    P.CelebrateTimer = static_cast<f32>(RandomRange(750, 2001) / 1000.0);
    if (scorer) P.CelebrateFacing = HeadingOfFacing(P.FacingAngle);
    else if (S != nullptr) P.CelebrateFacing = HeadingToPoint(P.Pos.x, P.Pos.z, S->Pos.x, S->Pos.z, kNoHeading);
    else P.CelebrateFacing = kNoHeading;
  }
}

// Block 2 in a 1 m spaced line beyond the try, by ascending x; nobody within
// kClearX across and kClearZ along of the scorer.
void LineUpDefence(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const double x0 = LineStartX(W, W.TryPos.x - W.PlayersPerTeam / 2.0 * kLineSpacing);
  const f32 z = static_cast<f32>(W.TryPos.z + kLineBeyondTry);
  for (int k = 1; k <= 25; ++k) {
    TPlayer* P = PlayerAt(D, D.FreeDefendersList[k]);
    if (P == nullptr) continue;
    P->DesiredPos.x = static_cast<f32>(x0 + k * kLineSpacing);
    P->DesiredPos.z = z;
  }
  const TPlayer* S = Scorer(W);
  if (S == nullptr) return;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = D.Players[i];
    if (!(std::fabs(P.Pos.x - static_cast<double>(S->Pos.x)) < kClearX &&
          std::fabs(P.Pos.z - static_cast<double>(S->Pos.z)) < kClearZ))
      continue;
    const double side = P.Pos.z < S->Pos.z ? -1.0 : 1.0;
    P.DesiredPos.z = static_cast<f32>(S->Pos.z + side * (kClearZ - kClearMargin));
  }
}

bool EveryCelebrationOver(const TWorld& W) {
  for (const TTeamBlock& B : W.Teams)
    for (int i = 1; i <= PlayerCount(W); ++i)
      if (!CelebrationOver(B.Players[i])) return false;
  return true;
}

void StartConversion(TWorld& W) {
  for (TTeamBlock& B : W.Teams) {
    for (int i = 1; i <= PlayerCount(W); ++i) B.Players[i].chasertimer = 0;
    B.RestartType = kConversion;
  }
  W.RestartDelay = GaussianRandom(kDelayMean, kDelaySD, kDelayMin, kDelayMax, kTrue32, kTrue32);
  W.gamestate = gsKickRestartSet;
  W.KickRestartSetPhase = 1;
  W.Teams[1].RestartKickerDefault = kDefaultKicker;
}

void TryScoredFrame(TWorld& W) {
  if (W.TryScoredPhase != 2) return;
  RunOnAndWalkBack(W);
  Celebrate(W);
  LineUpDefence(W);
  if (EveryCelebrationOver(W)) StartConversion(W);
}

}  // namespace

void DoTryScored(TWorld& W) { RunStateHandler(W, W.TryScoredPhase, SetUpTryScored, TryScoredFrame); }
