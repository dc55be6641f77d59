#include "flow/FreeBallUnit.h"

#include <algorithm>
#include <cmath>

#include "core/BallFlight.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "flow/RunningUnit.h"
#include "flow/SetDesiredPositionUnit.h"
#include "hooks/UserControl.h"

namespace {

constexpr double kPlanInterval = 0.25;        // s between choices of chasers
constexpr double kFlightPointsLife = 10.0;    // s, points of one flight are rebuilt after this
constexpr double kRollPointsLife = 0.15;      // s, points of a rolling ball
constexpr double kMarkedPointStep = 0.125;    // s between points after the landing
constexpr double kLowBallPointStep = 0.05;    // s between points of a low ball
constexpr double kLowBallLastPoint = 0.1;     // s past the landing time for a low ball's last point
constexpr double kRollPointStep = 0.04;       // s between points of a rolling ball
constexpr double kReachTimeFloor = 0.05;      // s, a reach time counted down stops here
constexpr double kDeadBallMargin = 3.0;       // m beyond a dead-ball line: out of play
constexpr double kTouchMargin = 5.0;          // m beyond a touchline: out of play
constexpr double kSpreadDistance = 40.0;      // m from the ball at which reaction and spread are largest
constexpr double kKickerSpreadShare = 0.8;    // of the spread, for the kicker himself
constexpr double kAttackReactionCap = 0.75;   // s, block 1's longest reaction
constexpr double kDefenceReactionCut = 5.0;   // s, a longer block-2 reaction ...
constexpr double kDefenceReactionShort = 1.5; // s ... becomes this
constexpr double kQuickStartShare = 0.125;    // of the reaction, after a pass or lineout
constexpr double kWaitSpotInside = 0.1;       // m inside the touchlines
constexpr double kLineInside = 1.0;           // m, the spread line ends inside the touchlines
constexpr f32 kLineMinGap = 7.0f;             // m between neighbours on the spread line
constexpr double kKickBusyShort = 0.15;       // s added while a kick of kind 2 or 3 is under way
constexpr double kKickBusyLong = 0.75;        // s added while another kick is under way
constexpr int kSweeperNumber = 15;
constexpr double kFullbackReleaseBack = 35.0;  // m short of the far goal line: nearer releases free him
constexpr double kFullbackNear = 25.0;        // m in z of the flight's end
constexpr double kFullbackQuicker = 0.2;      // s, by which another must be quicker to hold him
constexpr int kFirstBack = 9;                 // covers are chosen among players 9 and up
constexpr double kBackFieldDepth = 30.0;      // m behind the ball
constexpr double kBackFieldGoalGap = 5.0;     // m in front of the own goal line at least
constexpr double kCoverLookAhead = 5.0;       // s of ball travel to block 2's cover point
constexpr double kCoverAside = 2.5;           // m either side of it
constexpr double kCoverTravel = 3.0;          // s of ball travel to block 2's cover place
constexpr double kCoverDepth = 4.5;           // m behind it
constexpr double kCoverGoalGap = 5.0;         // m, block 2's covers no deeper than the goal line + this
constexpr double kNearBallHeight = 3.5;       // m, a ball below this ...
constexpr double kNearBallRadius = 3.5;       // m ... and this near cuts a reaction short
constexpr double kArrivedRadius = 0.25;       // m, the lead chaser has arrived
constexpr double kFollowAside = 0.75;         // m per slot beside the first point, lead on his way
constexpr double kFollowBack = 0.25;          // m behind it
constexpr double kSpreadAside = 3.0;          // m per slot, lead arrived
constexpr double kSpreadBack = 1.5;           // m per slot
constexpr double kInGoalReach = 0.15;         // m beyond the line a chaser's meeting point may lie
constexpr double kInGoalMargin = 0.25;        // m block 2 must be nearer, ball landing in-goal
constexpr double kShortMargin = 1.25;         // m, ball landing just short of the line
constexpr double kShortZone = 5.0;            // m short of the try line
constexpr double kInGoalLead = 0.5;           // s of ball travel ahead in x
constexpr double kInGoalBack = 0.25;          // m, and per slot kSpreadBack
constexpr double kRaceCeiling = 100.0;        // m/s, no real cap on the lead's race speed
constexpr double kRaceWalk = 3.0;             // m/s, a lead who needs no more waits (speed 0)
constexpr double kFar = 10000.0;              // m, search start
constexpr double kFarther = 100000.0;         // m, search start for block 2's covers

// A flight step that names an entry of the table; any other (0 when the
// flight has no such step) reads the flight's last step.
int Step(const TWorld& W, i32 k) {
  if (k >= 1 && k <= kFlightSteps) return k;
  return std::clamp<i32>(W.FlightSegments, 1, kFlightSteps);
}
const TVector3& FlightPosAt(const TWorld& W, i32 k) { return W.FlightPos[Step(W, k)]; }
const TVector3& FlightVelAt(const TWorld& W, i32 k) { return W.FlightVel[Step(W, k)]; }
f32 FlightTimeAt(const TWorld& W, i32 k) { return W.FlightTimes[Step(W, k)]; }

bool Rolling(const TWorld& W) { return W.LooseBallRolling != 0; }
bool KickerSet(const TWorld& W) { return W.Teams[1].BallKicker != 0; }
int ChaserSlotCount(const TTeamBlock& B) { return std::clamp<i32>(B.ChaserCount, 0, 5); }
double Lerp(double Low, double High, double F) { return Low + (High - Low) * F; }
double ReactionTime(const TPlayer& P) { return P.RunningAngleReactionTime.value; }

bool IsChaser(const TTeamBlock& B, i32 p) {
  return p != 0 && std::find(B.ChaserSlots.begin(), B.ChaserSlots.end(), p) != B.ChaserSlots.end();
}

void SetDesired(TPlayer& P, double X, double Z) {
  P.DesiredPos.x = ToF32(X);
  P.DesiredPos.z = ToF32(Z);
}

// ------------------------------------------------------------------ set-up

void ClearChoices(TWorld& W) {
  W.Teams[1].DeepPlayerNumber = 0;
  W.FreeBallOutOfPlay = kFalse32;
  for (TTeamBlock& B : W.Teams) {
    B.LeftEdgePlayer = 0;
    B.RightEdgePlayer = 0;
    for (int s = 1; s <= 5; ++s) {
      B.ChaserSlots[s] = 0;
      B.PrevChaserSlots[s] = 0;
      B.DefExtras[s] = 0;
    }
    B.SelectedPlayer = 0;
    for (int i = 1; i <= PlayerCount(W); ++i) B.Players[i].chasertimer = 0;
  }
}

// Reaction factor and spread (m) at the share F of the largest distance.
struct TReactionSpread {
  double Factor, Spread;
};
TReactionSpread ReactionSpreadAt(bool FirstBlock, bool Kicked, double F) {
  if (FirstBlock) {
    return Kicked ? TReactionSpread{Lerp(1.0, 2.25, F), Lerp(0.25, 4.0, F)}
                  : TReactionSpread{Lerp(1.25, 5.25, F), Lerp(0.5, 5.75, F)};
  }
  return {Kicked ? Lerp(1.5, 5.25, F) : Lerp(1.25, 5.25, F), Lerp(0.5, 5.5, F)};
}

// One player's reaction time (three draws: two for the reaction, then x,
// then z of the waiting spot).
void DrawWaitSpot(TWorld& W, TPlayer& P, bool FirstBlock, bool IsKicker) {
  const bool kicked = KickerSet(W);
  const double f = std::min(1.0, Distance2D(W.BallPos.x, W.BallPos.z, P.Pos.x, P.Pos.z) / kSpreadDistance);
  const TReactionSpread rs = ReactionSpreadAt(FirstBlock, kicked, f);
  double reaction = DrawDistribution(P.RunningAngleReactionTime) * rs.Factor;
  if (FirstBlock) {
    reaction = std::min(reaction, kAttackReactionCap);
  } else if (reaction > kDefenceReactionCut) {
    reaction = kDefenceReactionShort;
  }
  if (W.FromGameState == gsLineout || W.FromGameState == gsPassing) reaction *= kQuickStartShare;
  P.RunningAngleReactionTime.value = ToF32(reaction);
  const double spread = IsKicker ? rs.Spread * kKickerSpreadShare : rs.Spread;
  const TVector3& L = FlightPosAt(W, W.FlightLandingStep);
  const double edge = W.PitchWidth / 2.0 - kWaitSpotInside;
  const double x = L.x + RandomRange(-100, 101) * spread / 100.0;
  double z = L.z + RandomRange(-100, 101) * spread / 100.0;
  if (kicked && z < W.BallPos.z) z = W.BallPos.z;
  P.FreeBallWaitSpot.x = ToF32(std::clamp(x, -edge, edge));
  P.FreeBallWaitSpot.z = ToF32(z);
}

// The block spread across the pitch by x, at least 7 m apart, centred on
// the landing point's x, on its z.
void LayOutSpreadLine(TWorld& W, TTeamBlock& B) {
  const int n = PlayerCount(W);
  W.ScratchPlayerList = kEmptyPlayerList;
  for (int i = 1; i <= n; ++i) {
    W.ScratchPlayerList[i] = static_cast<i16>(i);
    W.ScratchPlayerKeys[i] = B.Players[i].Pos.x;
  }
  B.LineMinGap = kLineMinGap;
  const TVector3& L = FlightPosAt(W, W.FlightLandingStep);
  const f32 edge = ToF32(W.PitchWidth / 2.0 - kLineInside);
  const TLineSpacing sp = SpacingAlongLine(W.PlayersPerTeam, -edge, edge, B.LineMinGap, L.x);
  B.LineStart = sp.Start;
  B.LineGap = sp.Gap;
  B.FreeDefendersList = SortPlayersByKey(W.ScratchPlayerList, W.ScratchPlayerKeys);
  for (int k = 1; k <= 25; ++k) {
    TPlayer* P = PlayerAt(B, B.FreeDefendersList[k]);
    if (P == nullptr) break;
    P->LineSlot.x = ToF32(static_cast<double>(B.LineStart) + (k - 1) * static_cast<double>(B.LineGap));
    P->LineSlot.z = L.z;
  }
}

void SetUpFreeBall(TWorld& W) {
  ClearChoices(W);
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i)
      DrawWaitSpot(W, W.Teams[b].Players[i], b == 1, b == 1 && i == W.Teams[1].BallKicker);
  for (TTeamBlock& B : W.Teams) LayOutSpreadLine(W, B);
}

// ----------------------------------------------------------- sample points

int PointCount(const TWorld& W) { return std::clamp<i32>(W.FreeBallPointCount, 0, 8); }

void SetPoint(TWorld& W, int k, double X, double Z, double Time) {
  W.FreeBallPoints[k].x = ToF32(X);
  W.FreeBallPoints[k].z = ToF32(Z);
  W.FreeBallPointTimes[k] = ToF32(Time);
}

// The marked points first (from the current mark on), then the path on from
// the landing every 0.125 s.
void BuildMarkedPoints(TWorld& W) {
  const i32 mark = W.FlightFirstDropStep;
  i32 marked[3] = {0, 0, 0};
  int m = 0;
  if (mark == W.FlightDrop22Step) {
    marked[0] = W.FlightDrop22Step;
    marked[1] = W.FlightDrop145Step;
    marked[2] = W.FlightLandingStep;
    m = 3;
    W.FreeBallKeyPoint = 1;
  }
  if (mark == W.FlightDrop145Step) {
    marked[0] = W.FlightDrop145Step;
    marked[1] = W.FlightLandingStep;
    m = 2;
  }
  if (mark == W.FlightLandingStep) {
    marked[0] = W.FlightLandingStep;
    m = 1;
  }
  for (int k = 1; k <= m; ++k) {
    const TVector3& p = FlightPosAt(W, marked[k - 1]);
    SetPoint(W, k, p.x, p.z, FlightTimeAt(W, marked[k - 1]));
  }
  const TVector3& L = FlightPosAt(W, W.FlightLandingStep);
  const TVector3& V = FlightVelAt(W, W.FlightLandingStep);
  const double t0 = FlightTimeAt(W, W.FlightLandingStep);
  for (int k = m + 1; k <= 8; ++k) {
    const double t = kMarkedPointStep * k;
    SetPoint(W, k, L.x + V.x * t, L.z + V.z * t, t0 + t);
  }
}

// Every 0.05 s from the launch; the last point 0.1 s past the landing time.
void BuildLowBallPoints(TWorld& W) {
  const TVector3& P = W.FlightPos[1];
  const TVector3& V = W.FlightVel[1];
  for (int k = 1; k <= 8; ++k) {
    const double t = k == 8 ? kLowBallLastPoint + FlightTimeAt(W, W.FlightLandingStep) : kLowBallPointStep * k;
    SetPoint(W, k, P.x + V.x * t, P.z + V.z * t, W.FlightTimes[1] + t);
  }
}

// Every 0.04 s along the roll, timed from now.
void BuildRollPoints(TWorld& W) {
  W.BallFlightClock = 0;
  const double h = W.LooseBallHeading * kDegToRad;
  const double v = W.LooseBallSpeed;
  for (int k = 1; k <= 8; ++k) {
    const double t = kRollPointStep * k;
    SetPoint(W, k, W.BallPos.x - std::cos(h) * v * t, W.BallPos.z + std::sin(h) * v * t, t);
  }
}

void UpdateSamplePoints(TWorld& W) {
  if (Rolling(W)) W.FreeBallPointsTimer = ToF32(W.FreeBallPointsTimer - static_cast<double>(W.TimeStep));
  bool ahead = false;
  for (int k = 1; k <= PointCount(W); ++k) ahead = ahead || W.FreeBallTimeLeft[k] > 0;
  if (!ahead) W.FreeBallPointsTimer = 0;
  if (W.FreeBallPointsTimer <= 0) {
    W.FreeBallPlanTimer = 0;
    W.FreeBallPointsTimer = ToF32(Rolling(W) ? kRollPointsLife : kFlightPointsLife);
    W.FreeBallKeyPoint = 0;
    W.FreeBallPointCount = 8;
    if (Rolling(W)) {
      BuildRollPoints(W);
    } else if (W.FlightNoDrop != 0) {
      BuildLowBallPoints(W);
    } else {
      BuildMarkedPoints(W);
    }
  }
  for (int k = 1; k <= 8; ++k)
    W.FreeBallTimeLeft[k] = ToF32(static_cast<double>(W.FreeBallPointTimes[k]) - W.BallFlightClock);
}

// ------------------------------------------------------------------ re-plan

bool BeyondBounds(const TWorld& W, const TVector3& P) {
  const double deadBall = W.PitchLength / 2.0 + W.InGoalDepth + kDeadBallMargin;
  const double touch = W.PitchWidth / 2.0 + kTouchMargin;
  return P.z > deadBall || P.z < -deadBall || P.x > touch || P.x < -touch;
}

void ClearReach(TWorld& W) {
  W.FreeBallContested = kFalse32;
  for (TTeamBlock& B : W.Teams)
    for (int i = 1; i <= PlayerCount(W); ++i) B.Players[i].CanReachKeyPoint = kFalse32;
}

// A player who cannot accelerate never gets there (rather than a division
// by zero).
f32 TimeToPoint(const TPlayer& P, const TVector2& Point) {
  if (!(P.Acceleration > 0)) return kNeverTime;
  return TimeToCoverAccelerating(P.speed, P.Acceleration, P.maxspeed,
                                 Distance2D(Point.x, Point.z, P.Pos.x, P.Pos.z));
}

// Who of both blocks can reach the key point of a high ball in time.
void RaceForKeyPoint(TWorld& W) {
  const i32 key = W.FreeBallKeyPoint;
  if (Rolling(W) || !Arr1<f32, 8>::InRange(key) || !(W.FreeBallTimeLeft[key] > 0)) return;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      if (TimeToPoint(P, W.FreeBallPoints[key]) <= W.FreeBallTimeLeft[key]) {
        P.CanReachKeyPoint = kTrue32;
        W.FreeBallReachCounts[b] += 1;
      }
    }
  if (W.FreeBallReachCounts[1] > 0 && W.FreeBallReachCounts[2] > 0) W.FreeBallContested = kTrue32;
}

// The first point still ahead of the ball that he reaches in time (the key
// point only when it is contested), or the last one tried.
void ChooseTarget(const TWorld& W, TPlayer& P, bool FirstBlock) {
  for (int k = 1; k <= 8; ++k) {
    if (!(W.FreeBallTimeLeft[k] > 0)) continue;
    if (W.FreeBallContested == 0 && k == W.FreeBallKeyPoint) continue;
    P.InterceptX = W.FreeBallPoints[k].x;
    P.InterceptZ = W.FreeBallPoints[k].z;
    P.FreeBallPointIndex = k;
    double t = TimeToPoint(P, W.FreeBallPoints[k]);
    if (FirstBlock && P.KickTimer > 0)
      t += (P.KickKind == 2.0f || P.KickKind == 3.0f) ? kKickBusyShort : kKickBusyLong;
    P.FreeBallReachTime = ToF32(t);
    if (P.FreeBallReachTime <= W.FreeBallTimeLeft[k]) return;
  }
}

bool BusyForChase(const TPlayer& P, bool FirstBlock) {
  return P.TackleAttemptTimer > 0 || P.RuckTimer2 > 0 || P.OldTackleTimer > 0 || P.GettingTackledTimer > 0 ||
         P.standuptimer > 0 || P.passcatchtimer > 0 || P.passtimer > 0 || P.OffsideMark > 0 ||
         (!FirstBlock && P.KickTimer > 0);
}

// Block 1's player 15 stays back from a kick released deep in his own half,
// unless he is near where the ball comes down or nobody is clearly quicker.
bool SweeperHeldBack(const TWorld& W) {
  if (PlayerCount(W) < kSweeperNumber) return false;
  const TPlayer& S = W.Teams[1].Players[kSweeperNumber];
  if (W.ReleasePos.z > W.PitchLength * 0.5 - kFullbackReleaseBack) return false;
  if (std::fabs(static_cast<double>(S.Pos.z) - FlightPosAt(W, W.FlightSegments).z) < kFullbackNear) return false;
  const double quicker = static_cast<double>(S.FreeBallReachTime) - kFullbackQuicker;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i) {
      if (b == 1 && i == kSweeperNumber) continue;
      if (W.Teams[b].Players[i].FreeBallReachTime < quicker) return true;
    }
  return false;
}

// Who may not chase: Excluded[p - 1] = p, else 0.
using TExclusions = i16[25];

void ListExclusions(const TWorld& W, int b, TExclusions& Excluded) {
  std::fill(Excluded, Excluded + 25, i16{0});
  for (int i = 1; i <= PlayerCount(W); ++i)
    if (BusyForChase(W.Teams[b].Players[i], b == 1)) Excluded[i - 1] = static_cast<i16>(i);
  if (b == 1 && SweeperHeldBack(W)) Excluded[kSweeperNumber - 1] = kSweeperNumber;
}

// Empty slots 1..ChaserCount take the quickest players not excluded.
void FillChaserSlots(TWorld& W, TTeamBlock& B, TExclusions& Excluded) {
  const int n = PlayerCount(W);
  for (int i = 1; i <= n; ++i) W.ScratchPlayerKeys[i] = B.Players[i].FreeBallReachTime;
  for (int s = 1; s <= ChaserSlotCount(B); ++s) {
    if (B.ChaserSlots[s] != 0) continue;
    const i32 p = BestUnusedIndex(&W.ScratchPlayerKeys[1], Excluded, n, kFalse32);
    B.ChaserSlots[s] = p;
    if (IsPlayer(p)) Excluded[p - 1] = static_cast<i16>(p);
  }
}

// A contested race keeps only the chasers who can reach the key point, the
// slots closed up in one pass.
void KeepRaceChasers(const TWorld& W, TTeamBlock& B, TExclusions& Excluded) {
  for (i32& c : B.ChaserSlots) {
    const TPlayer* P = IsPlayer(c) && c <= PlayerCount(W) ? &B.Players[c] : nullptr;
    if (P == nullptr || P->CanReachKeyPoint == 0) c = 0;
  }
  for (int s = 1; s <= 4; ++s) {
    if (B.ChaserSlots[s] != 0) continue;
    for (int t = s; t <= 4; ++t) B.ChaserSlots[t] = B.ChaserSlots[t + 1];
    B.ChaserSlots[5] = 0;
  }
  for (const i32 c : B.ChaserSlots)
    if (IsPlayer(c)) Excluded[c - 1] = static_cast<i16>(c);
}

void ChooseChasers(TWorld& W) {
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& B = W.Teams[b];
    TExclusions excluded;
    ListExclusions(W, b, excluded);
    if (W.FreeBallContested != 0) {
      KeepRaceChasers(W, B, excluded);
    } else {
      for (i32& c : B.ChaserSlots) c = 0;
    }
    FillChaserSlots(W, B, excluded);
  }
}

// Whether the ball ends beyond the bounds. A rolling ball has left its
// flight table, which may still end far out: it is judged where it is, so
// that a ball that rolls to rest in the field is chased.
bool EndsOutOfPlay(const TWorld& W) {
  if (Rolling(W)) return BeyondBounds(W, W.BallPos);
  return BeyondBounds(W, FlightPosAt(W, W.FlightLandingStep)) || BeyondBounds(W, FlightPosAt(W, W.BallPhase));
}

void Replan(TWorld& W) {
  if (EndsOutOfPlay(W)) {
    W.FreeBallOutOfPlay = kTrue32;
    W.FreeBallPlanTimer = ToF32(kPlanInterval);
    ClearReach(W);
  } else {
    W.FreeBallOutOfPlay = kFalse32;
  }
  if (W.FreeBallPlanTimer > 0) {
    for (TTeamBlock& B : W.Teams)
      for (int i = 1; i <= PlayerCount(W); ++i) {
        f32& t = B.Players[i].FreeBallReachTime;
        t = ToF32(std::max(kReachTimeFloor, static_cast<double>(t) - W.TimeStep));
      }
    return;
  }
  W.FreeBallPlanTimer = ToF32(kPlanInterval);
  ClearReach(W);
  W.FreeBallReachCounts[1] = 0;
  W.FreeBallReachCounts[2] = 0;
  RaceForKeyPoint(W);
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i) ChooseTarget(W, W.Teams[b].Players[i], b == 1);
  ChooseChasers(W);
}

// ---------------------------------------------------------------- placement

// Everybody on his slot of the spread line, at the depth of the block's
// shape round the ball's end point.
void PlaceSpreadLine(TWorld& W) {
  const TVector3& R = Rolling(W) ? W.BallPos : FlightPosAt(W, W.FlightSegments);
  for (TTeamBlock& B : W.Teams) {
    const f32 rx = ToF32(static_cast<double>(R.x) + B.DefenceLineAux);
    const f32 rz = ToF32(static_cast<double>(R.z) + B.DefenceLineOffset);
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = B.Players[i];
      P.DesiredPos.x = P.LineSlot.x;
      P.DesiredPos.z = ProfileValueAt(B.CurrentStrategy, P.LineSlot.x, rx, rz);
    }
  }
}

bool IsBlockOneChaser(const TWorld& W, i32 p) { return IsChaser(W.Teams[1], p); }

void ChooseSweeper(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (A.DeepPlayerNumber != 0) return;
  if (!IsBlockOneChaser(W, kSweeperNumber)) {
    A.DeepPlayerNumber = kSweeperNumber;
    return;
  }
  for (const u16 c : A.BackfieldOrder) {
    if (c == 0) break;
    if (c == static_cast<u16>(A.LeftEdgePlayer) || c == static_cast<u16>(A.RightEdgePlayer)) continue;
    if (IsBlockOneChaser(W, c)) continue;
    A.DeepPlayerNumber = static_cast<i16>(c);
    return;
  }
}

// Block 1's flank covers: the backs (9 and up) furthest to each side who
// are neither the sweeper, the other cover nor a chaser.
void ChooseBackCovers(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const auto free = [&](int i) {
    return i != A.DeepPlayerNumber && i != A.LeftEdgePlayer && i != A.RightEdgePlayer && !IsChaser(A, i);
  };
  if (A.LeftEdgePlayer == 0) {
    double best = kFar;
    for (int i = kFirstBack; i <= PlayerCount(W); ++i)
      if (free(i) && A.Players[i].Pos.x < best) {
        best = A.Players[i].Pos.x;
        A.LeftEdgePlayer = static_cast<i16>(i);
      }
  }
  if (A.RightEdgePlayer == 0) {
    double best = -kFar;
    for (int i = kFirstBack; i <= PlayerCount(W); ++i)
      if (free(i) && A.Players[i].Pos.x > best) {
        best = A.Players[i].Pos.x;
        A.RightEdgePlayer = static_cast<i16>(i);
      }
  }
}

// Block 2's covers: the non-chasers on each side of the ball nearest to a
// point 2.5 m to that side of where the ball is in 5 s.
void ChooseFrontCovers(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const TVector3& V = FlightVelAt(W, W.BallPhase);
  const double qx = W.BallPos.x + V.x * kCoverLookAhead;
  const double qz = W.BallPos.z + V.z * kCoverLookAhead;
  const auto nearest = [&](i16& Cover, i16 Other, bool Left) {
    if (Cover != 0) return;
    const f32 tx = ToF32(Left ? qx - kCoverAside : qx + kCoverAside);
    double best = kFarther;
    for (int i = 1; i <= PlayerCount(W); ++i) {
      const TPlayer& P = D.Players[i];
      if (i == Other || IsChaser(D, i) || (Left ? !(P.Pos.x <= W.BallPos.x) : !(P.Pos.x > W.BallPos.x))) continue;
      const double d = Distance2D(P.Pos.x, P.Pos.z, tx, ToF32(qz));
      if (d < best) {
        best = d;
        Cover = static_cast<i16>(i);
      }
    }
  };
  nearest(D.LeftEdgePlayer, D.RightEdgePlayer, true);
  nearest(D.RightEdgePlayer, D.LeftEdgePlayer, false);
}

void PlaceBackField(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const double half = W.PitchWidth / 2.0;
  double z = W.BallPos.z - kBackFieldDepth;
  z = std::min(z, static_cast<double>(W.ReleasePos.z));
  z = std::max(z, -W.PitchLength / 2.0 + kBackFieldGoalGap);
  if (TPlayer* S = PlayerAt(A, A.DeepPlayerNumber)) SetDesired(*S, W.BallPos.x / 2.0, z);
  if (TPlayer* L = PlayerAt(A, A.LeftEdgePlayer)) SetDesired(*L, -half + std::fabs(-half - W.BallPos.x) / 2.0, z);
  if (TPlayer* R = PlayerAt(A, A.RightEdgePlayer)) SetDesired(*R, half - std::fabs(half - W.BallPos.x) / 2.0, z);
}

void PlaceFrontCovers(TWorld& W) {
  TTeamBlock& D = W.Teams[2];
  const double half = W.PitchWidth / 2.0;
  const TVector3& V = FlightVelAt(W, W.BallPhase);
  const double x = W.BallPos.x + kCoverTravel * V.x;
  const double z = std::min(W.BallPos.z + kCoverTravel * V.z + kCoverDepth, W.PitchLength / 2.0 + kCoverGoalGap);
  if (TPlayer* L = PlayerAt(D, D.LeftEdgePlayer)) SetDesired(*L, std::clamp(x - kCoverAside, -half, half - kCoverAside), z);
  if (TPlayer* R = PlayerAt(D, D.RightEdgePlayer)) SetDesired(*R, std::clamp(x + kCoverAside, -half + kCoverAside, half), z);
}

void HoldOffsidePlayers(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = W.Teams[1].Players[i];
    if (P.OffsideMark > 0 && P.DesiredPos.z > P.OffsideLineZ) P.DesiredPos.z = P.OffsideLineZ;
  }
}

// A player still reacting runs on up the pitch; a low ball close by cuts
// his reaction short.
void RunReactions(TWorld& W) {
  const double dt = W.TimeStep;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      f32& reaction = P.RunningAngleReactionTime.value;
      if (!(reaction > 0)) continue;
      if (W.BallPos.y < kNearBallHeight &&
          Distance2D(W.BallPos.x, W.BallPos.z, P.Pos.x, P.Pos.z) <= kNearBallRadius)
        reaction = ToF32(reaction - 2.0 * dt);
      if (!(reaction > 0)) continue;
      const double v = std::min(P.speed, P.JogSpeed);
      double z = P.Pos.z + v * dt;
      if (b == 1 && KickerSet(W) && P.Pos.z < W.BallPos.z && P.Pos.z < ToF32(z)) z += P.Acceleration * dt * dt;
      SetDesired(P, P.Pos.x, z);
    }
}

void EndSequences(TWorld& W) {
  W.FreeBallPhase = 3;
  for (TTeamBlock& B : W.Teams)
    for (int i = 1; i <= PlayerCount(W); ++i) B.Players[i].ActionSeq.seqON = kFalse32;
}

void PlaceEverybody(TWorld& W, bool SecondFrame) {
  PlaceSpreadLine(W);
  ChooseSweeper(W);
  ChooseBackCovers(W);
  ChooseFrontCovers(W);
  PlaceBackField(W);
  PlaceFrontCovers(W);
  HoldOffsidePlayers(W);
  RunReactions(W);
  if (SecondFrame) EndSequences(W);
}

// ------------------------------------------------------------------ chasers

bool RacesForKeyPoint(const TWorld& W, const TPlayer& P) {
  return W.FreeBallContested != 0 && P.CanReachKeyPoint != 0 && Arr1<TVector2, 8>::InRange(W.FreeBallKeyPoint);
}

// The lead on his point; the followers beside the first point towards the
// middle, spread wider and deeper once the lead has arrived.
void PlaceChasers(TWorld& W, int b) {
  TTeamBlock& B = W.Teams[b];
  const TVector2 p1 = W.FreeBallPoints[1];
  const double back = b == 1 ? -1.0 : 1.0;  // behind the first point, for this block
  const double aside = p1.x < 0 ? 1.0 : -1.0;
  bool arrived = false;
  for (int s = 1; s <= ChaserSlotCount(B); ++s) {
    TPlayer* P = PlayerAt(B, B.ChaserSlots[s]);
    if (P == nullptr) continue;
    if (s == 1) {
      const bool race = RacesForKeyPoint(W, *P);
      if (race) {
        P->DesiredPos.x = W.FreeBallPoints[W.FreeBallKeyPoint].x;
        P->DesiredPos.z = W.FreeBallPoints[W.FreeBallKeyPoint].z;
      } else {
        SetDesired(*P, P->InterceptX, P->InterceptZ);
      }
      arrived = Distance2D(P->DesiredPos.x, P->DesiredPos.z, P->Pos.x, P->Pos.z) <= kArrivedRadius ||
                P->freeballcatchtimer > 0 || race;
    } else if (arrived) {
      SetDesired(*P, p1.x + aside * kSpreadAside * s, p1.z + back * kSpreadBack * s);
    } else {
      SetDesired(*P, p1.x + aside * kFollowAside * s, p1.z + back * kFollowBack);
    }
  }
}

// Block 2 falls back to cover its in-goal when block 1's chasers meet the
// ball only beyond its try line (or, for a ball landing just short, beyond
// it) and one of block 2's chasers is nearer the ball than all of them.
void CoverInGoal(TWorld& W) {
  if (W.BlocksSwapped == 0) return;
  const double tryLine = W.PitchLength / 2.0;
  const double landZ = FlightPosAt(W, W.FlightLandingStep).z;
  double limitZ, margin;
  if (landZ > tryLine) {
    limitZ = kInGoalReach + tryLine + W.InGoalDepth;
    margin = kInGoalMargin;
  } else if (landZ > tryLine - kShortZone) {
    limitZ = kInGoalReach + tryLine;
    margin = kShortMargin;
  } else {
    return;
  }
  const TVector3& F = FlightPosAt(W, W.BallPhase);
  const TVector3& V = FlightVelAt(W, W.BallPhase);
  const TTeamBlock& A = W.Teams[1];
  double nearest = kFar;
  for (const i32 c : A.ChaserSlots) {
    const TPlayer* P = PlayerAt(A, c);
    if (P == nullptr) continue;
    const double t = P->FreeBallReachTime;
    if (F.z + V.z * t < limitZ && std::fabs(F.x + V.x * t) < kInGoalReach + W.PitchWidth / 2.0) return;
    nearest = std::min(nearest, static_cast<double>(Distance2D(P->Pos.x, P->Pos.z, W.BallPos.x, W.BallPos.z)));
  }
  const double d = nearest - margin;
  TTeamBlock& D = W.Teams[2];
  bool nearer = false;
  for (const i32 c : D.ChaserSlots)
    if (const TPlayer* P = PlayerAt(D, c)) nearer = nearer || Distance2D(P->Pos.x, P->Pos.z, W.BallPos.x, W.BallPos.z) < d;
  if (!nearer) return;
  for (int s = 1; s <= 5; ++s)
    if (TPlayer* P = PlayerAt(D, D.ChaserSlots[s]))
      SetDesired(*P, F.x + kInGoalLead * V.x, F.z - kInGoalBack - kSpreadBack * s);
}

// Chasers run flat out; a lead racing for the key point runs only as fast
// as he must to get there in time, and waits when that is a walk.
void SetChaseSpeeds(TWorld& W) {
  for (TTeamBlock& B : W.Teams)
    for (int s = 1; s <= ChaserSlotCount(B); ++s) {
      TPlayer* P = PlayerAt(B, B.ChaserSlots[s]);
      if (P == nullptr) continue;
      P->ChaseSpeed = P->maxspeed;
      if (s != 1 || !RacesForKeyPoint(W, *P) || !(P->Acceleration > 0)) continue;
      const TVector3& M = FlightPosAt(W, W.FlightDrop22Step);
      const f32 time = ToF32(static_cast<double>(FlightTimeAt(W, W.FlightDrop22Step)) - W.BallFlightClock);
      const f32 v = SpeedToCoverInTime(P->speed, P->Acceleration, ToF32(kRaceCeiling),
                                       Distance2D(M.x, M.z, P->Pos.x, P->Pos.z), std::max(time, 0.0f), kFalse32);
      P->ChaseSpeed = v <= kRaceWalk ? 0.0f : v;
    }
}

// A chaser still reacting walks towards his waiting spot, never away from
// the landing point and never past the ball.
void WalkReactingChasers(TWorld& W) {
  const TVector3& L = FlightPosAt(W, W.FlightLandingStep);
  const double step = W.TimeStep;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& B = W.Teams[b];
    for (int s = 1; s <= 5; ++s) {
      TPlayer* P = PlayerAt(B, B.ChaserSlots[s]);
      if (P == nullptr || !(ReactionTime(*P) > 0)) continue;
      const TVector2 spot = P->FreeBallWaitSpot;
      const double walk = P->JogSpeed * step;
      if (walk <= Distance2D(P->Pos.x, P->Pos.z, spot.x, spot.z)) {
        const f32 h = HeadingToPoint(P->Pos.x, P->Pos.z, spot.x, spot.z, b == 1 ? 90.0f : 270.0f);
        const TDirection u = HeadingDirection(h);
        SetDesired(*P, P->Pos.x + u.x * walk, P->Pos.z + u.z * walk);
      } else {
        P->DesiredPos.x = spot.x;
        P->DesiredPos.z = spot.z;
      }
      if (std::fabs(P->DesiredPos.x - L.x) > std::fabs(P->Pos.x - L.x)) P->DesiredPos.x = P->Pos.x;
      if (std::fabs(P->DesiredPos.z - L.z) > std::fabs(P->Pos.z - L.z)) P->DesiredPos.z = P->Pos.z;
      if (b == 1) P->DesiredPos.z = std::min(P->DesiredPos.z, W.BallPos.z);
      else P->DesiredPos.z = std::max(P->DesiredPos.z, W.BallPos.z);
    }
  }
}

void SteerChasers(TWorld& W) {
  if (W.FreeBallOutOfPlay == 0) {
    PlaceChasers(W, 1);
    PlaceChasers(W, 2);
    CoverInGoal(W);
    SetChaseSpeeds(W);
  }
  WalkReactingChasers(W);
}

void ApplyUsers(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, W.Teams[2].Players[i], ucDefence, W.Teams[2]);
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, W.Teams[1].Players[i], ucFreeBall, W.Teams[1]);
}

// Slides and lunges; a kind 7 slide slows from 0.55 of its animation in
// both blocks here.
void MoveContactPlayers(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    MoveTackledPlayer(W, W.Teams[1].Players[i], true);
    MoveTackledPlayer(W, W.Teams[2].Players[i], true /* kind 7 from 0.55 */);
  }
  for (int i = 1; i <= PlayerCount(W); ++i) {
    MoveTackler(W, W.Teams[1].Players[i], W.Teams[2]);
    MoveTackler(W, W.Teams[2].Players[i], W.Teams[1]);
  }
}

void FreeBallFrame(TWorld& W, bool SecondFrame) {
  UpdateSamplePoints(W);
  Replan(W);
  PlaceEverybody(W, SecondFrame);
  SteerChasers(W);
  ApplyUsers(W);
  MoveContactPlayers(W);
}

}  // namespace

void DoFreeBall(TWorld& W) {
  W.FreeBallPlanTimer = ToF32(static_cast<double>(W.FreeBallPlanTimer) - W.TimeStep);
  const bool secondFrame = W.FreeBallPhase == 2;
  RunStateHandler(W, W.FreeBallPhase, SetUpFreeBall, [secondFrame](TWorld& V) { FreeBallFrame(V, secondFrame); });
}
