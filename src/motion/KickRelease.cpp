#include "motion/KickRelease.h"

#include <algorithm>
#include <cmath>

#include "contact/ContactHolds.h"
#include "contact/LooseBall.h"
#include "core/Advantage.h"
#include "core/AuxState.h"
#include "core/BallFlight.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/RunLog.h"
#include "motion/DelayPlayersUnit.h"
#include "motion/ReleaseTackle.h"

namespace {

constexpr double kOwn22Z = -28.0;          // m, the own 22-metre line of the kicking side
constexpr f32 kFootDistance = 0.55f;       // m in front of the kicker, every kick first
constexpr f32 kFootHeight = 0.3f;          // m
constexpr double kKindFacingTurn = 10.0;   // degrees added to KickFacing for the kind's start
constexpr double kLongKickRatio = 0.75;    // share of the range beyond which goal-kick errors widen
constexpr f32 kGoalX = 0.0f, kGoalZ = 50.0f;  // m, the posts aimed at
constexpr i32 kShrinkChance = 455;         // per mille, a place kick's speed and heading errors shrink
constexpr i32 kHalveChance = 500;          // per mille of those, halved rather than quartered
constexpr double kErrorClamp = 20.0;       // general-play Gaussian errors held within +-20
constexpr f32 kSpillSpeed = 10.0f, kSpillElevation = 20.0f, kSpillHeading = 90.0f;
constexpr double kKnockOnMin = 5.0, kKnockOnMax = 175.0;  // degrees, a spill heading between goes forward
constexpr f32 kSpillKickerBan = 0.75f;     // s of ContactDelayTimer
constexpr f32 kContactBan = 0.4f;          // s
constexpr double kBanRadius = 5.0;         // m round the kicker

constexpr i32 kRestartPenaltyTouch = 5;

// Start point of each KickKind 1..8: distance (m) along KickFacing + 10 and height (m).
struct TKickStart {
  f32 Distance, Height;
};
constexpr TKickStart kKindStarts[8] = {{0.85f, 0.5f},  {0.55f, 0.3f},  {0.65f, 0.35f}, {0.75f, 0.55f},
                                       {0.55f, 0.3f},  {0.55f, 0.25f}, {0.55f, 0.3f},  {0.85f, 0.5f}};

TVector3 StartPoint(const TPlayer& C, double Facing, f32 Distance, f32 Height) {
  const double a = Facing * kDegToRad;
  return {ToF32(C.Pos.x - std::cos(a) * Distance), Height, ToF32(C.Pos.z + std::sin(a) * Distance)};
}

// The distance of the kicker from the posts over Range, beyond the long-kick
// share. A range of 0 or less counts as long (no division).
bool LongKick(const TPlayer& C, f32 Range) {
  if (!(Range > 0.0f)) return true;
  return static_cast<double>(Distance2D(C.Pos.x, C.Pos.z, kGoalX, kGoalZ)) / Range > kLongKickRatio;
}

void Post(TWorld& W, const TPlayer& C, u8 Code, f32 Extra = 0.0f) { PostMessage(W, W.Teams[1].teamid, C.id, Code, Extra); }

// The score of block 2 less block 1's lies within Lo .. Hi.
bool Trailing(const TWorld& W, i32 Lo, i32 Hi) {
  const i32 d = W.Teams[2].score - W.Teams[1].score;
  return d >= Lo && d <= Hi;
}

// Steps 7 to 9 of the ball leaving the foot: start points and messages.
void StartAndMessages(TWorld& W, const TPlayer& C) {
  TTeamBlock& A = W.Teams[1];
  const bool running = W.gamestate == gsRunning;
  A.KickStartPos = StartPoint(C, C.KickFacing, kFootDistance, kFootHeight);
  Post(W, C, msgKickTaken, C.KickKind);
  const int kind = WholeKind(C.KickKind);
  if (kind >= 1 && kind <= 8) {
    const TKickStart& s = kKindStarts[kind - 1];
    A.KickStartPos = StartPoint(C, static_cast<double>(C.KickFacing) + kKindFacingTurn, s.Distance, s.Height);
  }
  switch (kind) {
    case 1:
    case 2:
    case 3:
    case 4:
      if (running) Post(W, C, msgGenPlayKick);
      break;
    case 5:
      if (running) {
        Post(W, C, msgDropGoalAttempt);
        if (Trailing(W, 0, 3)) Post(W, C, msgPressureKick);
      }
      break;
    case 6:
      if (W.gamestate == gsKickRestartSet) {
        // A restart kick other than at goal posts nothing.
        if (W.KickType == kKickTypePenaltyGoal) Post(W, C, msgPenGoalAttempt);
        if (W.KickType == kKickTypeConversion) Post(W, C, msgConvAttempt);
        if ((W.KickType == kKickTypePenaltyGoal && Trailing(W, 0, 3)) ||
            (W.KickType == kKickTypeConversion && Trailing(W, 0, 2)))
          Post(W, C, msgPressureKick);
      }
      break;
    case 8:
      if (W.LiveWorld != kFalse32) WriteRunLog(BoxKickLine(W.clock));
      if (running) Post(W, C, msgGenPlayKick);
      break;
    default: break;
  }
  if (running) {
    Post(W, C, msgCarryEnd);
    Post(W, C, msgRunningMetres, C.MetresRun);
  }
}

// A spread Spread x RandomRange(Lo, Hi) / 100.
f32 Spread(i32 Lo, i32 Hi, f32 Spread) { return ToF32(RandomRange(Lo, Hi) * static_cast<double>(Spread) / 100.0); }

void AddTo(f32& V, f32 D) { V = ToF32(static_cast<double>(V) + D); }

// A kick at goal: the speed error as given, elevation and heading spread
// drawn, both widened for a long kick.
void GoalKickErrors(TTeamBlock& A, const TPlayer& C, f32 Speed, f32 Elevation, f32 Heading, f32 Range) {
  A.KickSpeedError = Speed;
  A.KickElevationError = Spread(-100, 100, Elevation);
  A.KickHeadingError = Spread(-100, 100, Heading);
  if (LongKick(C, Range)) {
    AddTo(A.KickElevationError, Spread(-50, 50, Elevation));
    AddTo(A.KickHeadingError, Spread(-50, 50, Heading));
  }
}

// Step 15: the contact bans after the launch.
void BanContact(TWorld& W, bool Spilled) {
  TTeamBlock& A = W.Teams[1];
  const int n = PlayerCount(W);
  TPlayer* K = PlayerAt(A, A.BallKicker);
  if (Spilled) {
    if (K != nullptr) K->ContactDelayTimer = kSpillKickerBan;
    for (int i = 1; i <= n; ++i)
      if (TPlayer& D = W.Teams[2].Players[i]; D.TackleAttemptTimer > 0.0f) D.ContactDelayTimer = kContactBan;
    return;
  }
  if (K == nullptr) return;
  K->ContactDelayTimer = kContactBan;
  for (int i = 1; i <= n; ++i) {
    TPlayer& P = A.Players[i];
    if (static_cast<double>(Distance2D(P.Pos.x, P.Pos.z, K->Pos.x, K->Pos.z)) < kBanRadius) P.ContactDelayTimer = kContactBan;
  }
}

// Steps 12 to 18: the flight, "freeball" and the chase.
void Launch(TWorld& W, bool Spilled) {
  TTeamBlock& A = W.Teams[1];
  SimulateKickFlight(W, A.KickSpeed, A.KickElevation, A.KickHeading, A.KickStartPos.x, A.KickStartPos.y,
                     A.KickStartPos.z);
  A.BallKicker = A.BallCarrier;
  W.BallPhase = 1;
  W.BallFlightClock = 0;
  W.LooseBallRolling = kFalse32;
  A.BallCarrier = 0;
  const int n = PlayerCount(W);
  for (TTeamBlock& T : W.Teams)
    for (int i = 1; i <= n; ++i) {
      TPlayer& P = T.Players[i];
      P.ContactListA = AuxState.BlankValues;
      P.ContactListB = AuxState.BlankValues;
      P.ContactDelayTimer = 0;
    }
  BanContact(W, Spilled);
  W.gamestate = gsFreeBall;
  W.FreeBallPhase = 1;
  if (PlayerAt(A, A.BallKicker) != nullptr) {
    W.PrevPasser = W.LastPasser;
    W.LastPasser = static_cast<i16>(A.BallKicker);
  }
  W.ReceiveTimer = 0;
  W.CarrierBrace = kFalse32;
  for (int i = 1; i <= n; ++i)
    for (TTeamBlock& T : W.Teams) {
      TPlayer& P = T.Players[i];
      P.JumpCatchHigh = Flag(RandomRange(1, 1001) < P.HighBallProb2);
    }
  ResetFreeBallChase(W);
}

}  // namespace

std::string BoxKickLine(f32 Clock) {
  const double m = std::floor(Clock / 60.0);
  const double s = RoundHalfEven((Clock / 60.0 - m) * 60.0);
  return "box kick " + std::to_string(static_cast<long long>(m)) + ":" + std::to_string(static_cast<long long>(s));
}

void AddKickingErrors(TWorld& W, const TPlayer& C) {
  TTeamBlock& A = W.Teams[1];
  A.KickSpeedError = 0;
  A.KickElevationError = 0;
  A.KickHeadingError = 0;
  if (W.KickType == kKickTypePenaltyGoal || W.KickType == kKickTypeConversion) {
    GoalKickErrors(A, C, C.GoalKickDeviation0, C.GoalKickDeviation1, C.GoalKickDeviation2, C.GoalKickRange);
    if (RandomRange(1, 1001) < kShrinkChance) {
      const double f = RandomRange(1, 1001) < kHalveChance ? 0.5 : 0.25;
      A.KickSpeedError = ToF32(A.KickSpeedError * f);
      A.KickHeadingError = ToF32(A.KickHeadingError * f);
    }
  } else if (W.KickType == kKickTypeDropGoal) {
    GoalKickErrors(A, C, C.KickDeviation0, C.KickDeviation1, C.KickDeviation2, C.MaxKickRange);
  } else if (WholeKind(C.KickKind) != 7) {
    A.KickHeadingError = GaussianRandom(0.0f, C.kickAccuracySDDir, -kErrorClamp, kErrorClamp, kTrue32, kTrue32);
    A.KickSpeedError = GaussianRandom(0.0f, C.kickAccuracySDLaunch, -kErrorClamp, kErrorClamp, kTrue32, kTrue32);
  }
  AddTo(A.KickSpeed, A.KickSpeedError);
  AddTo(A.KickElevation, A.KickElevationError);
  AddTo(A.KickHeading, A.KickHeadingError);
}

void FallTackledKicker(TWorld& W, int c) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& B = W.Teams[2];
  TPlayer& C = A.Players[c];
  C.passtimer = 0;
  C.OffloadPending = 0;
  // He falls forward unless he faces nearer the reverse of the tackle's
  // heading, which he takes as his ImpactAngle.
  B.TackleDirForward = HeadingVector(B.TackleHeading);
  B.TackleDirBack = HeadingVector(ToF32(static_cast<double>(B.TackleHeading) + 180.0));
  W.ScratchPoint = HeadingVector(C.GettingTackledFacing);
  const TVector2 f = W.ScratchPoint;
  const bool forward = Distance2D(f.x, f.z, B.TackleDirBack.x, B.TackleDirBack.z) >=
                       Distance2D(f.x, f.z, B.TackleDirForward.x, B.TackleDirForward.z);
  const i32 slot = FallReleasedCarrier(W, C, forward, 0);
  if (slot != 0) ShiftImpactWords(W.CarrierContactSlots[slot]);

  const int n = PlayerCount(W);
  for (int i = 1; i <= n; ++i) {
    TPlayer& D = B.Players[i];
    if (!(D.TackleAttemptTimer > 0.0f) || D.governedby != c) continue;
    const bool held = D.ContactPoint >= 1 && D.ContactPoint <= 8;
    const bool away = TacklerFallsAway(B, D);
    const f32 t = ToF32(FallWithCarrier(D, C, away));
    D.GroundTime = away && !(t > 0.0f) ? ToF32(kTacklerMinGround) : t;
    if (!away) PlayHolderFallBack(D);
    D.TackleAttemptSpeed = C.GettingTackledSpeed;
    D.TackleAttemptTimer = C.GettingTackledTimer;
    if (held) {
      const TVector2& p = C.Footprint[D.ContactPoint];
      D.DesiredPos.x = p.x;
      D.DesiredPos.z = p.z;
    }
  }
}

void SpillBall(TWorld& W, int c) {
  if (W.SpillPending == 0) return;
  TTeamBlock& A = W.Teams[1];
  TPlayer& C = A.Players[c];
  W.SpillPending = kFalse32;
  C.passtimer = 0;
  C.passcatchtimer = 0;
  C.OffloadPending = 0;
  A.PassPrepared = 0;
  A.PassTimeLeft = 0;
  A.KickSpeed = kSpillSpeed;
  A.KickElevation = kSpillElevation;
  A.KickHeading = kSpillHeading;
  A.KickStartPos = W.BallPos;
  W.ScratchVector = {kSpillSpeed, kSpillElevation, kSpillHeading};
  if (W.BallJolted != 0) {
    W.BallJolted = kFalse32;
    const bool forward = W.Teams[2].CarrierFallsForward != 0;
    const double speed = RandomRange(70, 100) * (forward ? 8.5 : 10.0) / 100.0;
    const i32 elevation = forward ? RandomRange(-30, 11) : RandomRange(-10, 11);
    const f32 heading = NormaliseHeading(ToF32(RandomRange(-10, 11) + static_cast<double>(C.ImpactAngle)));
    W.ScratchVector = {ToF32(speed), static_cast<f32>(elevation), heading};
    if (heading > kKnockOnMin && heading < kKnockOnMax)
      EnterHandlingInfringement(W, kKnockOn, kFalse32, A.BallCarrier, W.BallPos.x, W.BallPos.z);
  }
  A.KickSpeed = W.ScratchVector.x;
  A.KickElevation = W.ScratchVector.y;
  A.KickHeading = W.ScratchVector.z;
}

void ReleaseKick(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TPlayer* C = PlayerAt(A, A.BallCarrier);
  if (W.gamestate != gsRunning || (C != nullptr && C->GettingTackledKind != 0)) W.BallJolted = kFalse32;
  if (!(A.KickTimeLeft > 0.0f) && W.BallJolted == 0) return;
  A.KickTimeLeft = ToF32(static_cast<double>(A.KickTimeLeft) - W.TimeStep);
  if (W.BallJolted != 0) W.SpillPending = kTrue32;
  if (W.SpillPending != 0) A.KickTimeLeft = 0;
  if (A.KickTimeLeft > 0.0f) return;

  if (C != nullptr && C->ActionSeq.seqON != 0 && Arr1<TActionEvent, 10>::InRange(C->ActionSeq.CurrEventIndex)) {
    TActionEvent& e = C->ActionSeq.EventArray[C->ActionSeq.CurrEventIndex];
    if (e.EventType == 5) e.Complete = kTrue32;
  }
  W.BallBouncedInField = kFalse32;
  W.KickTouchFlag1 = kFalse32;
  W.KickTouchFlag2 = kFalse32;
  if (C != nullptr) W.ReleasePos = {C->Pos.x, C->Pos.z};
  W.BlocksSwapped = kTrue32;
  W.KickedFromOwn22 = Flag(C != nullptr && static_cast<double>(C->Pos.z) < kOwn22Z && A.CarriedIntoOwn22 == 0);
  W.KickType = C != nullptr && WholeKind(C->KickKind) == 5 ? kKickTypeDropGoal : kKickTypePlay;
  if (W.gamestate == gsKickRestartSet) {
    W.KickType = A.RestartType;
    if (A.RestartType == kRestartPenaltyTouch) W.KickedFromOwn22 = kTrue32;
    if (W.KickType != kKickTypeConversion) {
      for (int i = 1; i <= PlayerCount(W); ++i) {
        TPlayer& P = A.Players[i];
        if (P.SpecialAnimTimer > 0.0f && !(P.KickTimer > 0.0f)) SetDesiredPosAlongHeading(P, P.SpecialAnimAngle, 0.5);
        P.SpecialAnimTimer = 0;
        W.Teams[2].Players[i].SpecialAnimTimer = 0;
      }
    }
    A.BallCarrier = A.KickerIndex;
    C = PlayerAt(A, A.BallCarrier);
  }

  const bool spilled = W.SpillPending != 0 || W.BallJolted != 0;
  if (C != nullptr) {
    const int c = A.BallCarrier;
    StartAndMessages(W, *C);
    if (W.LiveWorld != kFalse32 && W.SpillPending == 0) AddKickingErrors(W, *C);
    if (C->GettingTackledTimer > 0.0f && C->numgoverning >= 1) FallTackledKicker(W, c);
    SpillBall(W, c);
  } else {
    // No kicker to spill from: the spill is over with this launch.
    W.SpillPending = kFalse32;
    W.BallJolted = kFalse32;
  }
  Launch(W, spilled);
}
