#include "flow/KickRestartSetUnit.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "flow/SetDesiredPositionUnit.h"

namespace {

constexpr i32 kKickOff = 2;
constexpr i32 kDropOut = 4;
constexpr i32 kPenaltyToTouch = 5;
constexpr i32 kTapPenalty = 7;
constexpr i32 kPenaltyAtGoal = 8;
constexpr i32 kConversion = 9;

constexpr i32 kFallbackKicker = 10;
constexpr i32 kFirstDropKicker = 9;   // kick-offs and drop-outs go to players 9 and up
constexpr double kNoCandidate = -10000.0;

constexpr f32 kPunt = 1.0f;       // KickKind
constexpr f32 kDropKick = 5.0f;
constexpr f32 kPlaceKick = 6.0f;
constexpr f32 kTapKick = 7.0f;

constexpr double kDropOutZ = -28.0;       // m, the kicking side's 22
constexpr double kBallInHandsY = 0.4;     // m
constexpr double kBallOnGroundY = 0.25;   // m
constexpr double kGoalKickLineZ = 40.0;   // m, penalty at goal: z <= 40 - 0.4 |x|
constexpr double kGoalKickSlope = 0.4;
constexpr double kUpField = 90.0;         // degrees
constexpr double kDownField = 270.0;      // degrees

constexpr double kAimBack = 0.55;         // m, aim point from the ball along KickHeading + 190
constexpr double kAimTurn = 190.0;        // degrees
constexpr double kRunUpTurn = 180.0;      // degrees
constexpr double kPlaceKickRunUpTurn = 225.0;  // degrees: the place kicker stands off at 45

constexpr double kOnSpot = 0.15;          // m
constexpr double kWalkSpeed = 5.5;        // m/s, to the start point
constexpr double kSettleSpeed = 1.75;     // m/s, back to the start point after the choice
constexpr double kPlaceSettleSpeed = 1.25;
constexpr double kRunInSpeed = 2.5;       // m/s, kick from the hand
constexpr double kFirstWait = 2.5;        // s
constexpr double kRecordLead = 0.5;       // s before the kick the recorder resumes
constexpr double kTapRecordLead = 0.4;    // s
constexpr double kPlaceKickRelease = 1.25;  // s
constexpr double kRunSpeedShare = 0.75;
constexpr double kMinRunSpeed = 1.0;      // m/s
constexpr f32 kActionTime = 10.0f;        // s, KickTimer and SpecialAnimTimer
constexpr double kRunUpStart = 0.15;      // share of the animation before the place kicker runs
constexpr double kChaseBand = 4.0;        // m of the ball's z within which drop-kick chasers run
constexpr f32 kBothSidesAdvantage = 0.75f;

constexpr double kTouchMargin = 1.5;      // m, tap: the forwards stay inside touch
constexpr double kTapSpread = 10.0;       // m, tap: forwards' x about the spot
constexpr double kTapLineInset = 2.0;     // m, tap: block 2's slots inside each touchline
constexpr double kBlock2MaxZBeyond = 5.0; // m beyond the goal line
constexpr double kConversionLineZ = 50.0; // m
constexpr double kPostClearance = 0.8;    // m
constexpr double kLineSpacing = 1.0;      // m

// Formation offsets (x, z) in m from the mark, players 1..15.
using TOffsets = TVector2[15];

constexpr TOffsets kKickOffAttack = {{-20, -3}, {20, -2},  {-18, -4}, {18, -2.5}, {-16, -2},
                                     {16, -2},  {-14, -3}, {14, -2.5}, {4, -2.5},  {0, -2},
                                     {-30, -2}, {-5, -2},  {5, -2},    {30, -2},   {0, -10}};
constexpr TOffsets kTouchAttack = {{-20, -5}, {20, -5},  {-18, -5}, {18, -5.5}, {-16, -5},
                                   {16, -5},  {-14, -5}, {14, -5.5}, {4, -5.5},  {0, -5},
                                   {-30, -5}, {-5, -5},  {5, -5},    {30, -5},   {0, -10}};
// x of players 1..8 is drawn about the spot.
constexpr TOffsets kTapAttack = {{0, -1},     {0, -1.75}, {0, -2.5},  {0, -3.25}, {0, -4},
                                 {0, -4.75},  {0, -5.5},  {0, -6.25}, {0, -5.5},  {10, -7.5},
                                 {-26, -10},  {15, -8.5}, {-10, -7.5}, {25, -10}, {-15, -8.5}};
constexpr TOffsets kGoalAttack = {{-20, -5}, {20, -5},  {-18, -5}, {18, -5.5}, {-16, -5},
                                  {16, -5.5}, {-14, -5}, {14, -5.5}, {4, -5.5}, {0, -5},
                                  {-30, -5}, {-5, -5},  {5, -5},    {30, -5},   {0, -10}};

constexpr TOffsets kKickOffDefence = {{-10, 25}, {10, 30}, {-8, 25}, {12, 30}, {-16, 10},
                                      {16, 10},  {-14, 10}, {14, 10}, {1.5, 10}, {0, 35},
                                      {25, 40},  {4, 10},  {-4, 10},  {-25, 40}, {0, 50}};
constexpr TOffsets kDropOutDefence = {{-10, 25}, {10, 30}, {-8, 25}, {12, 30}, {-16, 5},
                                      {16, 5},   {-14, 3}, {14, 2.5}, {1.5, 10}, {0, 35},
                                      {25, 40},  {4, 4},   {-4, 4},   {-25, 40}, {0, 50}};
constexpr TOffsets kTouchDefence = {{-10, 10}, {10, 10}, {-8, 10.5}, {12, 10}, {-16, 10.5},
                                    {16, 10},  {-14, 10}, {14, 10.5}, {1.5, 10}, {0, 25},
                                    {25, 40},  {4, 10},  {-4, 10},   {-25, 40}, {0, 50}};
// x is spread across the pitch by kTapSlots.
constexpr TOffsets kTapDefence = {{0, 10}, {0, 10}, {0, 10}, {0, 10}, {0, 10}, {0, 10}, {0, 10}, {0, 10},
                                  {0, 10}, {0, 10}, {0, 15}, {0, 10}, {0, 10}, {0, 15}, {0, 30}};
constexpr TOffsets kGoalDefence = {{-10, 25}, {10, 30}, {-8, 25}, {12, 30}, {-16, 10},
                                   {16, 10.5}, {-14, 10}, {14, 10.5}, {1.5, 10}, {0, 35},
                                   {25, 40},  {4, 14},  {-4, 14},  {-25, 40}, {0, 50}};
// Tap, block 2: players 1..14 stand in these of fourteen slots across the pitch.
constexpr int kTapSlots[14] = {10, 11, 8, 9, 7, 5, 6, 4, 3, 12, 14, 2, 13, 1};
constexpr int kTapSlotCount = 13;  // gaps between the fourteen slots

// The point d m from p along heading h (degrees).
TVector2 Along(const TVector2& p, double h, double d) {
  const TDirection u = HeadingDirection(h);
  return {static_cast<f32>(p.x + u.x * d), static_cast<f32>(p.z + u.z * d)};
}

TPlayer* Kicker(TWorld& W) { return PlayerAt(W.Teams[1], W.Teams[1].KickerIndex); }

// ---------------------------------------------------------------- set-up

void ClearRestartFields(TWorld& W) {
  for (TTeamBlock& B : W.Teams) {
    for (int k = 1; k <= 5; ++k) {
      B.ChaserSlots[k] = 0;
      B.PrevChaserSlots[k] = 0;
    }
    B.KickChosen = kFalse32;
    B.HalfTimeAux = kFalse32;
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = B.Players[i];
      P.chasertimer = 0;
      P.BlockReady = 0;
      P.BlockEngaged[1] = 0;
      P.BlockEngaged[2] = 0;
      P.FullSpeedOrder = 0;
      P.ActionsWanted = 0;
      P.ActionsMade = -1;
    }
  }
}

// The uninjured player with the largest key (the first on ties), or player
// 10 when nobody qualifies. Key is given the player number and record.
template <class Key>
i32 BestKicker(const TWorld& W, const TTeamBlock& A, int First, Key&& key) {
  i32 kicker = kFallbackKicker;
  double best = kNoCandidate;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = A.Players[i];
    if (P.Unavailable != 0 || i < First) continue;
    const double v = key(P);
    if (v > best) {
      best = v;
      kicker = i;
    }
  }
  return kicker;
}

void ChooseKicker(const TWorld& W, TTeamBlock& A) {
  const auto steadiest = [](const TPlayer& P) { return -1.0 * P.KickDeviation2; };
  switch (A.RestartType) {
    case kKickOff:
    case kDropOut: A.KickerIndex = BestKicker(W, A, kFirstDropKicker, steadiest); break;
    case kPenaltyToTouch: A.KickerIndex = BestKicker(W, A, 1, steadiest); break;
    case kTapPenalty:
      A.KickerIndex = BestKicker(W, A, 1, [&W](const TPlayer& P) {
        return -1.0 * Distance2D(P.Pos.x, P.Pos.z, W.RestartSpot.x, W.RestartSpot.z);
      });
      break;
    default: break;  // the entering step's choice stands
  }
  if (!IsPlayer(A.KickerIndex)) A.KickerIndex = kFallbackKicker;
}

struct TBallSpot {
  double markZ;
  double x, y, z;
  bool heldByKicker;
  double runUp;
  f32 kind;
};

void SetBallAndKick(TWorld& W, TTeamBlock& A) {
  const TVector2 spot = W.RestartSpot;
  TBallSpot s{};
  switch (A.RestartType) {
    case kKickOff: s = {0, 0, kBallInHandsY, 0, true, 2.5, kDropKick}; break;
    case kDropOut: s = {kDropOutZ, 0, kBallInHandsY, kDropOutZ, true, 2.5, kDropKick}; break;
    case kPenaltyToTouch: s = {spot.z, spot.x, kBallOnGroundY, spot.z, true, 2.5, kPunt}; break;
    case kTapPenalty: s = {spot.z, spot.x, kBallOnGroundY, spot.z, true, 0.1, kTapKick}; break;
    case kPenaltyAtGoal: {
      const double z = std::min<double>(spot.z, kGoalKickLineZ - kGoalKickSlope * std::fabs(spot.x));
      s = {z, spot.x, kBallOnGroundY, z, false, 1.4, kPlaceKick};
      break;
    }
    case kConversion: s = {0, W.TryPos.x, kBallOnGroundY, ConversionSpotZ(W.TryPos.x), false, 1.4, kPlaceKick}; break;
    default: A.KickHeading = static_cast<f32>(kUpField); return;
  }
  A.RestartMark = {0.0f, static_cast<f32>(s.markZ)};
  A.RestartBallPos = {static_cast<f32>(s.x), static_cast<f32>(s.y), static_cast<f32>(s.z)};
  A.BallCarrier = s.heldByKicker ? A.KickerIndex : 0;
  A.RestartRunUp = static_cast<f32>(s.runUp);
  A.Players[A.KickerIndex].KickKind = s.kind;
  A.KickHeading = static_cast<f32>(kUpField);
  if (A.RestartType == kTapPenalty) {
    W.KickType = kTapPenalty;
    A.KickTimeLeft = 0;
  }
}

void CopyOffsets(const TWorld& W, TTeamBlock& B, const TOffsets& Table) {
  for (int i = 1; i <= std::min(PlayerCount(W), 15); ++i) B.RestartOffsets[i] = Table[i - 1];
}

// Block's players 1..PlayersPerTeam by ascending x into its DefLine; each
// gets (X0 + k x 1 m, Z) by his place k, X0 := LineStartX(Start).
void LineUpByX(TWorld& W, int Block, double Start, double Z) {
  TTeamBlock& B = W.Teams[Block];
  SortDefLineByX(W, Block);
  const double x0 = LineStartX(W, Start);
  for (int k = 1; k <= 25; ++k) {
    const i32 p = B.FreeDefendersList[k];
    if (!IsPlayer(p)) continue;
    B.RestartOffsets[p] = {static_cast<f32>(x0 + k * kLineSpacing), static_cast<f32>(Z)};
  }
}

void SetAttackOffsets(TWorld& W, TTeamBlock& A) {
  switch (A.RestartType) {
    case kKickOff:
    case kDropOut: CopyOffsets(W, A, kKickOffAttack); break;
    case kPenaltyToTouch: CopyOffsets(W, A, kTouchAttack); break;
    case kPenaltyAtGoal: CopyOffsets(W, A, kGoalAttack); break;
    case kTapPenalty: {
      CopyOffsets(W, A, kTapAttack);
      for (int i = 1; i <= std::min(PlayerCount(W), 8); ++i)
        A.RestartOffsets[i].x = static_cast<f32>(W.RestartSpot.x + RandomRange(-100, 100) * kTapSpread / 100.0);
      const double edge = W.PitchWidth / 2.0 - kTouchMargin;
      const double markX = A.RestartMark.x;
      for (int i = 1; i <= PlayerCount(W); ++i) {
        f32& x = A.RestartOffsets[i].x;
        if (markX + x > edge) x = static_cast<f32>(edge - markX);
        if (markX + x < -edge) x = static_cast<f32>(-edge - markX);
      }
      break;
    }
    case kConversion: LineUpByX(W, 1, -W.PlayersPerTeam / 2.0 * kLineSpacing, 0.0); break;
    default: break;
  }
}

void SetDefenceOffsets(TWorld& W, TTeamBlock& D, const TTeamBlock& A) {
  switch (D.RestartType) {
    case kKickOff:
    case kConversion: D.RestartMark = {0.0f, 0.0f}; break;
    case kDropOut: D.RestartMark = {0.0f, static_cast<f32>(kDropOutZ)}; break;
    case kPenaltyToTouch:
    case kTapPenalty: D.RestartMark = {0.0f, W.RestartSpot.z}; break;
    case kPenaltyAtGoal: D.RestartMark = {0.0f, A.RestartBallPos.z}; break;
    default: break;
  }
  switch (D.RestartType) {
    case kKickOff: CopyOffsets(W, D, kKickOffDefence); break;
    case kDropOut: CopyOffsets(W, D, kDropOutDefence); break;
    case kPenaltyAtGoal: CopyOffsets(W, D, kGoalDefence); break;
    case kPenaltyToTouch: {
      CopyOffsets(W, D, kTouchDefence);
      const double limit = W.PitchLength / 2.0 + W.InGoalDepth - D.RestartMark.z;
      for (int i = 1; i <= PlayerCount(W); ++i)
        if (D.RestartMark.z + D.RestartOffsets[i].z > W.PitchLength / 2.0 + W.InGoalDepth)
          D.RestartOffsets[i].z = static_cast<f32>(limit);
      break;
    }
    case kTapPenalty: {
      CopyOffsets(W, D, kTapDefence);
      const double gap = (W.PitchWidth - 2.0 * kTapLineInset) / kTapSlotCount;
      for (int i = 1; i <= std::min(PlayerCount(W), 14); ++i)
        D.RestartOffsets[i].x = static_cast<f32>(-W.PitchWidth / 2.0 + kTapLineInset + kTapSlots[i - 1] * gap);
      if (PlayerCount(W) >= 15) D.RestartOffsets[15].x = W.RestartSpot.x;
      for (int i = 1; i <= PlayerCount(W); ++i)
        if (D.RestartMark.z + D.RestartOffsets[i].z > W.PitchLength / 2.0)
          D.RestartOffsets[i].z = static_cast<f32>(W.PitchLength / 2.0 - D.RestartMark.z);
      break;
    }
    case kConversion: {
      LineUpByX(W, 2, W.TryPos.x - W.PlayersPerTeam / 2.0 * kLineSpacing, kConversionLineZ);
      const double post = W.GoalPostGap / 2.0;
      for (int k = 1; k <= 25; ++k) {
        const i32 p = D.FreeDefendersList[k];
        if (!IsPlayer(p)) continue;
        TVector2& o = D.RestartOffsets[p];
        if (std::fabs(o.x - post) < kPostClearance || std::fabs(o.x + post) < kPostClearance)
          o.z = static_cast<f32>(o.z + kLineSpacing);
      }
      break;
    }
    default: break;
  }
}

void SetUpKickRestart(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  ClearRestartFields(W);
  ChooseKicker(W, A);
  SetBallAndKick(W, A);
  SetAttackOffsets(W, A);
  SetDefenceOffsets(W, W.Teams[2], A);
  W.RecordingOn = kFalse32;
  W.SetPieceFlagSaved = W.SetPieceFlag;
}

// ---------------------------------------------------------------- every frame

void PlaceFormation(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const i32 kicker = A.KickerIndex;
  const bool standIn = A.RestartKickerDefault != kicker && IsPlayer(A.RestartKickerDefault) && IsPlayer(kicker);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (i == kicker) continue;
    const TVector2& o = A.RestartOffsets[standIn && i == A.RestartKickerDefault ? kicker : i];
    A.Players[i].DesiredPos.x = static_cast<f32>(static_cast<double>(A.RestartMark.x) + o.x);
    A.Players[i].DesiredPos.z = static_cast<f32>(static_cast<double>(A.RestartMark.z) + o.z);
  }
  TTeamBlock& D = W.Teams[2];
  const double maxZ = W.PitchLength / 2.0 + kBlock2MaxZBeyond;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = D.Players[i];
    P.DesiredPos.x = static_cast<f32>(static_cast<double>(D.RestartMark.x) + D.RestartOffsets[i].x);
    P.DesiredPos.z = static_cast<f32>(std::min(static_cast<double>(D.RestartMark.z) + D.RestartOffsets[i].z, maxZ));
  }
}

void SetAimAndStart(TTeamBlock& A, const TPlayer& K) {
  const TVector2 ball{A.RestartBallPos.x, A.RestartBallPos.z};
  A.RestartAimPoint = Along(ball, A.KickHeading + kAimTurn, kAimBack);
  const double turn = K.KickKind == kPlaceKick ? kPlaceKickRunUpTurn : kRunUpTurn;
  A.RestartStartPoint = Along(A.RestartAimPoint, A.KickHeading + turn, A.RestartRunUp);
}

void SendKicker(TPlayer& K, const TVector2& To, double Speed) {
  K.DesiredPos.x = To.x;
  K.DesiredPos.z = To.z;
  K.desiredspeed = static_cast<f32>(Speed);
  K.ChaseSpeed = static_cast<f32>(Speed);
}

bool OnSpot(const TPlayer& K) { return Distance2D(K.Pos.x, K.Pos.z, K.DesiredPos.x, K.DesiredPos.z) <= kOnSpot; }

void ResumeRecording(TWorld& W) {
  W.RecordingOn = kTrue32;
  W.SetPieceFlag = W.SetPieceFlagSaved;
}

void PrepareKick(TWorld& W, TTeamBlock& A, TPlayer& K) {
  K.KickRunSpeed = static_cast<f32>(kRunSpeedShare * K.speed);
  if (K.KickKind == kPunt) {
    K.PuntRightFootReleaseTime.value = DrawClamped(K.PuntRightFootReleaseTime);
    A.GoalKickReleaseTime = K.PuntRightFootReleaseTime.value;
  } else if (K.KickKind == kDropKick) {
    K.DropKickReleaseTime.value = DrawClamped(K.DropKickReleaseTime);
    A.GoalKickReleaseTime = K.DropKickReleaseTime.value;
  } else if (K.KickKind == kPlaceKick) {
    A.GoalKickReleaseTime = static_cast<f32>(kPlaceKickRelease);
  }
  A.KickChosen = kFalse32;
  SetDistribution(W.BounceErrors[1], 0.7, 0.1, 0.6, 0.75);
  SetDistribution(W.BounceErrors[2], -10.0, 10.0, -15.0, 15.0);
  SetDistribution(W.BounceErrors[3], 0.0, 20.0, -90.0, 90.0);
  K.KickRunSpeed = static_cast<f32>(std::max<double>(K.KickRunSpeed, kMinRunSpeed));
  if (K.KickKind == kPlaceKick) ResumeRecording(W);
}

void ArmKick(TTeamBlock& A, TPlayer& K) {
  A.KickTimeLeft = A.GoalKickReleaseTime;
  K.KickTimer = kActionTime;
  K.KickRunAngle = HeadingToPoint(A.RestartStartPoint.x, A.RestartStartPoint.z, A.RestartAimPoint.x,
                                  A.RestartAimPoint.z, static_cast<f32>(kUpField));
  K.KickFacing = K.KickRunAngle;
}

// The end of phase 5: true when the kick has started.
bool StartKick(TWorld& W, TTeamBlock& A, TPlayer& K) {
  if (W.KickRestartCountdown > 0) return false;
  if (K.KickKind == kPlaceKick) {
    K.currentframe = 0;
    ArmKick(A, K);
    K.KickRunSpeed = 0;
    return true;
  }
  SendKicker(K, A.RestartAimPoint, kRunInSpeed);
  if (!(K.speed > 0)) return false;
  const double d = Distance2D(K.Pos.x, K.Pos.z, A.RestartAimPoint.x, A.RestartAimPoint.z);
  if (d / K.speed > A.GoalKickReleaseTime) return false;
  ArmKick(A, K);
  K.KickRunSpeed = K.speed;
  if (A.RestartType == kKickOff) PostMessage(W, 0, 0, msgAdvantageBothSides, kBothSidesAdvantage);
  return true;
}

// Phase 6 of a place kick: true when the run-up speed has reached its target.
bool RunUpReady(const TWorld& W, const TTeamBlock& A, TPlayer& K) {
  const double progress = K.maxframes > 0 ? K.currentframe / static_cast<double>(K.maxframes) : 0.0;
  if (progress <= kRunUpStart) {
    K.KickRunSpeed = 0;
    return false;
  }
  K.KickRunSpeed = static_cast<f32>(K.KickRunSpeed + static_cast<double>(K.Acceleration) * W.TimeStep);
  const f32 d = Distance2D(K.Pos.x, K.Pos.z, A.RestartAimPoint.x, A.RestartAimPoint.z);
  const f32 target = SpeedToCoverInTime(K.speed, K.Acceleration, K.maxspeed, d, A.KickTimeLeft, kFalse32);
  if (!(K.KickRunSpeed > target)) return false;
  K.KickRunSpeed = target;
  return true;
}

void StartSpecialAction(TPlayer& P, double Heading, double Speed) {
  P.SpecialAnimKind = 0.0f;
  P.SpecialAnimTimer = kActionTime;
  P.SpecialAnimAngle = static_cast<f32>(Heading);
  P.SpecialAnimFacing = static_cast<f32>(Heading);
  P.SpecialAnimSpeed = static_cast<f32>(Speed);
}

void React(TWorld& W, TTeamBlock& A) {
  if (A.RestartType == kKickOff || A.RestartType == kDropOut) {
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = A.Players[i];
      if (i == A.KickerIndex) continue;
      const double d = std::fabs(static_cast<double>(P.Pos.z) - A.RestartBallPos.z);
      if (!(d < kChaseBand)) continue;
      const double t = A.KickTimeLeft + RandomRange(1, 101) * 0.1 / 100.0;
      // A release time that is not positive cannot be met: he goes at top speed.
      const double v = t > 0 ? std::min<double>(d / t, P.maxspeed) : P.maxspeed;
      StartSpecialAction(P, kUpField, v);
    }
  } else if (A.RestartType == kConversion) {
    for (int i = 1; i <= PlayerCount(W); ++i) {
      if (i != A.KickerIndex) StartSpecialAction(A.Players[i], kUpField, 0.0);
      TPlayer& P = W.Teams[2].Players[i];
      StartSpecialAction(P, kDownField, P.maxspeed);
    }
  }
}

void RunKickPhases(TWorld& W, TTeamBlock& A, TPlayer& K) {
  i32& phase = W.KickRestartSetPhase;
  if (phase == 2) {
    SetAimAndStart(A, K);
    SendKicker(K, A.RestartStartPoint, kWalkSpeed);
    phase = 3;
    W.KickRestartCountdown = static_cast<f32>(kFirstWait);
  }
  if (phase == 3) {
    if (!(W.KickRestartCountdown <= 0 && W.RestartDelay <= 0 && OnSpot(K))) return;
    phase = 4;
    PrepareKick(W, A, K);
  }
  if (phase == 4) {
    SetAimAndStart(A, K);
    SendKicker(K, A.RestartStartPoint, K.KickKind == kPlaceKick ? kPlaceSettleSpeed : kSettleSpeed);
    if (!(A.KickChosen != 0 && OnSpot(K))) return;
    phase = 5;
    K.speed = 0;
    W.KickRestartCountdown = static_cast<f32>(RandomRange(2500, 3501) / 1000.0);
  }
  if (phase == 5) {
    if (W.KickRestartCountdown <= kRecordLead) ResumeRecording(W);
    if (!StartKick(W, A, K)) return;
    phase = 6;
  }
  if (phase == 6) {
    if (K.KickKind == kPlaceKick && !RunUpReady(W, A, K)) return;
    phase = 7;
  }
  if (phase == 7) {
    React(W, A);
    phase = 8;
  }
}

bool PlaysTapKick(const TPlayer& K) { return K.currentAnim == "tapkick"; }

void RunTap(TWorld& W, TTeamBlock& A, TPlayer& K) {
  if (W.KickRestartSetPhase == 2) {
    SetAimAndStart(A, K);
    SendKicker(K, A.RestartStartPoint, kWalkSpeed);
    W.KickRestartCountdown = static_cast<f32>(kFirstWait);
    W.KickRestartSetPhase = 3;
  }
  if (W.KickRestartCountdown < kTapRecordLead) ResumeRecording(W);
  if (W.KickRestartCountdown <= 0 && !PlaysTapKick(K) && OnSpot(K)) {
    K.SpecialAnimTimer = kActionTime;
    K.SpecialAnimAngle = static_cast<f32>(kUpField);
    K.SpecialAnimFacing = static_cast<f32>(kUpField);
    K.SpecialAnimSpeed = 0;
    K.SpecialAnimKind = 3.0f;
  }
}

void KickRestartFrame(TWorld& W) {
  PlaceFormation(W);
  TTeamBlock& A = W.Teams[1];
  TPlayer* K = Kicker(W);
  if (K == nullptr) return;
  if (A.RestartType == kTapPenalty)
    RunTap(W, A, *K);
  else
    RunKickPhases(W, A, *K);
}

}  // namespace

double ConversionSpotZ(double TryX) {
  const double a = TryX < 0 ? 340.0 : 200.0;
  return -TryX * std::tan(a * kDegToRad) + 43.0 - 2.0;
}

double LineStartX(const TWorld& W, double Start) {
  const double half = W.PitchWidth / 2.0;
  return std::min(std::max(Start, -half), half - W.PlayersPerTeam / 2.0 * kLineSpacing);
}

void DoKickRestartSet(TWorld& W) {
  W.KickRestartCountdown = static_cast<f32>(static_cast<double>(W.KickRestartCountdown) - W.TimeStep);
  if (W.KickRestartSetPhase < 1) return;
  RunStateHandler(W, W.KickRestartSetPhase, SetUpKickRestart, KickRestartFrame);
}
