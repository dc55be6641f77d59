#include "app/UDPUserControlUnit.h"

#include <cmath>

#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/StrategyShapes.h"
#include "core/UDPRealtime.h"

namespace {

f32 Clamp(double v, double lo, double hi) { return static_cast<f32>(v < lo ? lo : (v > hi ? hi : v)); }

// ---------------------------------------------------------------- selection

// The player of B nearest to the ball, through the world's search scratch;
// the lowest number wins a tie, 0 when the block has no players.
i32 NearestToBall(TWorld& W, const TTeamBlock& B) {
  W.SearchBestIndex = 0;
  W.SearchBestDist = 10000.0f;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = B.Players[i];
    const f32 d = Distance2D(W.BallPos.x, W.BallPos.z, P.Pos.x, P.Pos.z);
    if (d < W.SearchBestDist) {
      W.SearchBestDist = d;
      W.SearchBestIndex = i;
    }
  }
  return W.SearchBestIndex;
}

void PickPlayer(TWorld& W, TUDPUserSlot& U, int u) {
  const bool attacking = (U.OwnTeam != 0) == (W.Team1InFirstBlock != 0);
  i32 p = U.ControlledPlayer;
  TTeamBlock& B = W.Teams[attacking ? 1 : 2];
  if (attacking) {
    if (U.AutoPick && W.gamestate == gsRunning) p = B.BallCarrier;
    const bool loose = W.gamestate == gsGotTackled || W.gamestate == gsScrum || W.gamestate == gsFreeBall;
    if (loose && p == 0) {
      p = NearestToBall(W, B);
      U.ControlledPlayer = static_cast<i16>(p);
    }
  } else if (p == 0) {
    p = NearestToBall(W, B);
    U.ControlledPlayer = static_cast<i16>(p);
  }
  if (p >= 1 && p <= PlayerCount(W)) B.Players[p].ControllingUser = static_cast<u16>(u);
}

// Heading of a stick's deflection in the pitch frame; a centred stick points
// straight up the screen.
f32 StickHeading(f32 AxisX, f32 AxisY, double ViewTurn) {
  const f32 h = HeadingToPoint(0.0f, 0.0f, AxisX, AxisY, 90.0f);
  return NormaliseHeading(static_cast<f32>(h + ViewTurn - 180.0));
}

void ReadSticks(TUDPUserSlot& U) {
  const TUDPRealtime& RT = UDPRealtime;
  const double turn = static_cast<double>(RT.ViewAngle) + (U.TeamId != RT.ViewerTeamId ? 180.0 : 0.0);
  U.PrevStick1Magnitude = U.Stick1Magnitude;
  U.Stick1Magnitude = Distance2D(0.0f, 0.0f, U.Sticks[1], U.Sticks[2]);
  U.Stick1Heading = StickHeading(U.Sticks[1], U.Sticks[2], turn);
  U.Stick2Heading = StickHeading(U.Sticks[3], U.Sticks[4], turn);
}

// ---------------------------------------------------------------- common pieces

// The user's running speed: flat out with button 2 held, else three quarters.
f32 UserRunSpeed(const TUDPUserSlot& U, const TPlayer& P) {
  return U.Buttons[2] ? P.maxspeed : static_cast<f32>(0.75 * P.maxspeed);
}

void StickRun(const TUDPUserSlot& U, const TPlayer& P, TActionEvent& E) {
  if (U.Stick1Magnitude <= 0) {
    // A centred stick keeps a crawl rather than a stop, so the run stays on.
    E.Angle = 90.0f;
    E.DesSpeed = 0.01f;
  } else {
    E.Angle = U.Stick1Heading;
    E.DesSpeed = UserRunSpeed(U, P);
  }
}

// A fresh sequence whose first event the caller fills. An action started
// just after a catch is held back a moment so the catch can finish.
TActionEvent& NewEvent(TPlayer& P, bool Action) {
  if (Action && (P.passcatchtimer > 0 || P.freeballcatchtimer > 0)) P.UserActionTimer = 0.25f;
  P.ActionSeq = StrategyParams.ActionSeqTemplate;
  return P.ActionSeq.EventArray[1];
}

void StickPoint(const TWorld& W, const TUDPUserSlot& U, TPlayer& P) {
  if (U.Stick1Magnitude > 0) {
    const TDirection d = HeadingDirection(U.Stick1Heading);
    P.DesiredPos.x = static_cast<f32>(P.Pos.x + 2.5 * d.x);
    P.DesiredPos.z = static_cast<f32>(P.Pos.z + 2.5 * d.z);
  } else if (U.PrevStick1Magnitude > 0) {
    // Stick just let go: stop where this frame's run ends.
    P.DesiredPos.x = static_cast<f32>(P.Pos.x + static_cast<double>(P.Velocity.x) * W.TimeStep);
    P.DesiredPos.z = static_cast<f32>(P.Pos.z + static_cast<double>(P.Velocity.z) * W.TimeStep);
  } else {
    return;
  }
  // The user turns at once, without the engine's reaction delay.
  P.RunningAngleReactionTime.value = 0.0f;
  P.DefensiveRunningAngleReactionTime.value = 0.0f;
  P.RunningAngleReactionValue = 0.0f;
}

enum class TSwitchSide { SmallerX, LargerX, NearestBall };

bool FreeToSwitchTo(const TPlayer& Q) {
  return Q.RuckTimer <= 0 && Q.OldTackleTimer <= 0 && Q.TackleAttemptTimer <= 0 && Q.GettingTackledTimer <= 0 &&
         Q.standuptimer <= 0;
}

void NearestSwitch(const TWorld& W, const TPlayer& P, const TTeamBlock& B, TSwitchSide Side) {
  const u16 u = P.ControllingUser;
  double best = 10000.0;
  i32 found = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& Q = B.Players[i];
    if (Q.ControllingUser == u || !FreeToSwitchTo(Q)) continue;
    double d = 0;
    switch (Side) {
      case TSwitchSide::SmallerX:
        if (!(Q.Pos.x < P.Pos.x)) continue;
        d = static_cast<double>(P.Pos.x) - Q.Pos.x;
        break;
      case TSwitchSide::LargerX:
        if (!(Q.Pos.x > P.Pos.x)) continue;
        d = static_cast<double>(Q.Pos.x) - P.Pos.x;
        break;
      case TSwitchSide::NearestBall:
        d = Distance2D(Q.Pos.x, Q.Pos.z, W.BallPos.x, W.BallPos.z);
        break;
    }
    if (d < best) {
      best = d;
      found = i;
    }
  }
  if (found != 0) UDPRealtime.Users[u].ControlledPlayer = static_cast<i16>(found);
}

void NearestSwitches(const TWorld& W, const TPlayer& P, const TTeamBlock& B, const TUDPUserSlot& U) {
  if (U.Buttons[13]) NearestSwitch(W, P, B, TSwitchSide::SmallerX);
  if (U.Buttons[15]) NearestSwitch(W, P, B, TSwitchSide::LargerX);
  if (U.Buttons[11]) NearestSwitch(W, P, B, TSwitchSide::NearestBall);
}

// Runs to where the loose ball will be shortly, kept on the pitch.
void ToFreeBallFlight(const TWorld& W, TPlayer& P) {
  int k = W.BallPhase + 1;
  k = k < 1 ? 1 : (k > W.FlightPos.kSize ? W.FlightPos.kSize : k);
  const double halfW = W.PitchWidth / 2.0, halfL = W.PitchLength / 2.0;
  P.DesiredPos.x = Clamp(W.FlightPos[k].x + 2.0 * W.FlightVel[k].x, -halfW, halfW);
  P.DesiredPos.z = Clamp(W.FlightPos[k].z + 2.0 * W.FlightVel[k].z, -halfL, halfL);
}

// ---------------------------------------------------------------- decision, running

bool IsFreeInRunning(const TPlayer& P, const TTeamBlock& B) {
  if (P.passtimer <= 0 && P.BreakTackleTimer <= 0 && P.StepTimer <= 0 && P.KickTimer <= 0 && P.standuptimer <= 0 &&
      P.ForcedRunTimer <= 0 && P.OffloadPending <= 0)
    return true;
  // Caught in a tackle with the offload window open.
  return P.GettingTackledTimer > 0 && B.OffloadTime > 0 && P.OffloadPending <= 0 && P.passtimer <= 0;
}

i32 CurrentEventType(const TActionSeq& S) {
  if (!Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex)) return 0;
  return S.EventArray[S.CurrEventIndex].EventType;
}

void PassButtons(TPlayer& P, const TTeamBlock& B, const TUDPUserSlot& U) {
  // Buttons for pass targets 1 to 4.
  const int buttons[4] = {9, 13, 11, 15};
  for (int k = 0; k < 4; ++k) {
    const i32 target = UDPRealtime.PassTargets[k + 1];
    if (!U.Buttons[buttons[k]] || target == 0) continue;
    TActionEvent& E = NewEvent(P, true);
    E.EventType = 1;
    if (U.Buttons[6]) E.EventType = 3;
    if (P.GettingTackledTimer > 0 && B.OffloadTime > 0) E.EventType = 12;
    E.EventSubType = target;
    StickRun(U, P, E);
  }
}

void SpecialEvent(TPlayer& P, const TUDPUserSlot& U, i32 Type, i32 Code) {
  TActionEvent& E = NewEvent(P, true);
  E.EventType = Type;
  E.EventCode = Code;
  StickRun(U, P, E);
}

void SpecialMoves(TPlayer& P, const TTeamBlock& B, const TUDPUserSlot& U) {
  if (U.ExtraButton) {
    const f32 h = U.Stick2Heading;
    if (h > 35 && h <= 145)
      SpecialEvent(P, U, 10, 2);
    else if (h >= 245 && h <= 295)
      SpecialEvent(P, U, 10, 10);
    else if (h >= 145 && h < 245)
      SpecialEvent(P, U, 8, 2);
    else
      SpecialEvent(P, U, 8, 1);
  }
  if (U.Buttons[5]) SpecialEvent(P, U, 10, 5);
  if (U.Buttons[17]) {
    bool left;
    if (std::fabs(static_cast<double>(P.Velocity.x)) > 0.05)
      left = P.Velocity.x < 0;
    else if (B.AttackSide != 0)
      left = B.AttackSide == 1;
    else
      left = RandomRange(1, 1001) < 500;
    SpecialEvent(P, U, 8, left == (P.Velocity.z >= 0) ? 4 : 3);
  }
}

struct TKickButton {
  int Button;
  i32 Kind;
  i32 ElevationLow, ElevationHigh;  // RandomRange bounds
  f32 Top;                          // 0 = the player's MaxKickSpeed
  f32 Span;
};

constexpr TKickButton kKickButtons[5] = {
    {9, 3, 45, 56, 19.0f, 6.0f},  {13, 2, -10, 11, 21.0f, 8.5f}, {11, 1, 37, 48, 0.0f, 12.0f},
    {15, 4, 55, 68, 0.0f, 10.0f}, {7, 5, 40, 51, 0.0f, 10.0f},
};

void StartKick(TPlayer& P, const TUDPUserSlot& U) {
  TUDPRealtime& RT = UDPRealtime;
  bool any = false;
  for (const TKickButton& k : kKickButtons) any = any || U.Buttons[k.Button];
  if (!RT.KickMode || !any) return;
  TActionEvent& E = NewEvent(P, false);
  E.EventType = 5;
  E.EventCode = 0;
  StickRun(U, P, E);
  E.KickLaunchHeading = E.Angle;
  f32 span = 0;
  for (const TKickButton& k : kKickButtons) {
    if (!U.Buttons[k.Button]) continue;
    E.EventSubType = k.Kind;
    E.KickLaunchElevation = static_cast<f32>(RandomRange(k.ElevationLow, k.ElevationHigh));
    RT.KickSpeedTop = k.Top > 0 ? k.Top : P.MaxKickSpeed;
    span = k.Span;
  }
  if (RT.KickSpeedTop > P.MaxKickSpeed) RT.KickSpeedTop = P.MaxKickSpeed;
  double start = static_cast<double>(RT.KickSpeedTop) - span;
  if (start < 1.0) start = 1.0;
  if (start > RT.KickSpeedTop) start = 0.9 * RT.KickSpeedTop;
  RT.KickSpeedStart = static_cast<f32>(start);
  E.KickLaunchSpeed = RT.KickSpeedStart;
  RT.KickChargeTime = -1.0f;
}

bool FreeToDive(const TPlayer& P) {
  return P.DiveTimer <= 0 && P.freeballcatchtimer <= 0 && P.numgoverning < 1 && P.passtimer <= 0 &&
         P.standuptimer <= 0 && P.passcatchtimer <= 0 && P.BreakTackleTimer <= 0 && P.StepTimer <= 0 &&
         !(P.SpecialAnimTimer > 0 && P.SpecialAnimKind == 3);
}

void TryLineDive(const TWorld& W, TPlayer& P, const TUDPUserSlot& U) {
  const double line = W.PitchLength / 2.0 - 0.1;
  const bool atLine = P.Pos.z > line || P.Pos.z + 0.1 * P.Velocity.z > line;
  if (!atLine || !FreeToDive(P) || !(U.Buttons[5] || U.Buttons[7] || U.Buttons[3])) return;
  i32 kind = 1;
  if (U.Buttons[3]) kind = RandomRange(1, 1001) >= 800 ? 3 : 2;
  if (U.Buttons[7]) kind = 4;
  const double caps[5] = {0, 5.0, 7.0, 6.5, 5.0};
  P.DiveTimer = 1.8f;
  P.DiveAngle = U.Stick1Heading;
  P.DiveKind = kind;
  P.DiveSpeed = Clamp(P.speed, 4.0, caps[kind]);
  P.passcatchtimer = 0.0f;
  UDPRealtime.KickMode = kFalse32;
}

void InGoalDive(const TWorld& W, TPlayer& P, const TUDPUserSlot& U) {
  const double tryLine = -W.PitchLength / 2.0;
  if (!(P.Pos.z < tryLine) || !U.Buttons[7] || UDPRealtime.KickMode || !FreeToDive(P)) return;
  P.DiveTimer = 1.8f;
  // About to run out over his own try line: dive back down into the in-goal.
  const bool leaving = P.Pos.z + static_cast<double>(P.Velocity.z) * W.TimeStep >= tryLine;
  P.DiveAngle = leaving ? 270.0f : U.Stick1Heading;
  P.DiveKind = 1;
  P.DiveSpeed = Clamp(P.speed, 4.0, 5.0);
  P.passcatchtimer = 0.0f;
}

bool KickButtonHeld(const TUDPUserSlot& U, i32 Kind) {
  switch (Kind) {
    case 3:
      return U.Buttons[10];
    case 2:
      return U.Buttons[14];
    case 1:
      return U.Buttons[12];
    case 4:
      return U.Buttons[16];
    case 5:
      return U.Buttons[8];
    case 8:
      return U.Buttons[12] || U.Buttons[16];
    default:
      return false;
  }
}

void ChargeKick(const TWorld& W, TPlayer& P, TTeamBlock& B, const TUDPUserSlot& U) {
  TUDPRealtime& RT = UDPRealtime;
  TActionEvent& E = P.ActionSeq.EventArray[1];
  StickRun(U, P, E);
  E.KickLaunchHeading = E.Angle;
  if (RT.KickChargeTime < 0) {
    const double t = static_cast<double>(B.KickTimeLeft) - W.TimeStep;
    RT.KickChargeTime = t <= 0 ? 0.01f : static_cast<f32>(t);
  }
  double rate =
      RT.KickChargeTime > 0 ? (static_cast<double>(RT.KickSpeedTop) - RT.KickSpeedStart) / RT.KickChargeTime : 0.0;
  if (rate < 0) rate = 0;
  const i32 kind = RoundToI32(P.KickKind);
  if (KickButtonHeld(U, kind)) {
    const double v = E.KickLaunchSpeed + rate * W.TimeStep;
    E.KickLaunchSpeed = static_cast<f32>(v > P.MaxKickSpeed ? P.MaxKickSpeed : v);
  }
  P.KickRunAngle = E.Angle;
  P.KickFacing = P.KickRunAngle;
  if (kind == 8) {
    P.KickRunAngle = NormaliseHeading(static_cast<f32>(static_cast<double>(E.Angle) + 160.0));
    P.KickFacing = NormaliseHeading(static_cast<f32>(static_cast<double>(E.Angle) + 75.0));
  }
  B.KickSpeed = E.KickLaunchSpeed;
  B.KickHeading = E.KickLaunchHeading;
}

void DecisionRunning(TWorld& W, TPlayer& P, TTeamBlock& B, const TUDPUserSlot& U) {
  bool free = IsFreeInRunning(P, B);
  if (P.DiveTimer > 0) {
    free = false;
    UDPRealtime.KickMode = kFalse32;
  } else {
    const TActionSeq& S = P.ActionSeq;
    const bool actionAtFirst = S.seqON && S.CurrEventIndex == 1 && S.EventArray[1].EventType != 0 && free &&
                               W.PrevFrameGameState != gsPassing && W.PrevFrameGameState != gsFreeBall;
    const bool passUnderWay = CurrentEventType(S) == 3 && B.PassTimeLeft > 0;
    if (!actionAtFirst && !passUnderWay && P.KickTimer <= 0) {
      P.ActionSeq = StrategyParams.ActionSeqTemplate;
      StickRun(U, P, P.ActionSeq.EventArray[1]);
    }
  }
  if (free) {
    if (U.Buttons[3]) UDPRealtime.KickMode = Flag(!UDPRealtime.KickMode);
    if (!UDPRealtime.KickMode) PassButtons(P, B, U);
    SpecialMoves(P, B, U);
    StartKick(P, U);
    TryLineDive(W, P, U);
    InGoalDive(W, P, U);
  }
  if (P.KickTimer > 0) ChargeKick(W, P, B, U);
}

// ---------------------------------------------------------------- decision, set pieces

// A run onto a pass from the breakdown, timed to arrive with the ball.
void SupportRun(const TWorld& W, TPlayer& P, const TTeamBlock& B, int Target) {
  TActionSeq& S = P.ActionSeq;
  S = StrategyParams.ActionSeqTemplate;
  S.seqON = kTrue32;
  TActionEvent& E = S.EventArray[1];
  const f32 z0 = static_cast<f32>(W.MarkZ - RandomRange(200, 301) / 100.0);
  const double aside = RandomRange(450, 701) / 100.0;
  const double halfW = W.PitchWidth / 2.0;
  const f32 x0 = Clamp(Target == 2 ? W.MarkX - aside : W.MarkX + aside, -halfW + 1.0, halfW - 1.0);
  // Sets the run-up to the speed and the point it starts from; the time to
  // reach the speed.
  auto plan = [&](double fraction) {
    E.DesSpeed = static_cast<f32>(fraction * P.maxspeed);
    const double t = P.Acceleration > 0 ? E.DesSpeed / static_cast<double>(P.Acceleration) : 0.0;
    const double d = 0.5 * P.Acceleration * t * t;
    S.HoldStartPos = kTrue32;
    S.StartX = x0;
    S.StartZ = static_cast<f32>(z0 - d);
    E.DistOrig = static_cast<f32>(d + 2.0);
    return t;
  };
  double t = plan(0.85);
  const f32 toStart = Distance2D(P.Pos.x, P.Pos.z, S.StartX, S.StartZ);
  const double reach = toStart <= 0.5f || P.Acceleration <= 0 ? 0.0 : std::sqrt(toStart / (0.5 * P.Acceleration));
  if (reach + t > W.RestartDelay) t = plan(0.65);
  const TPlayer& passer = IsPlayer(B.SetPieceHolder) ? B.Players[B.SetPieceHolder] : P;
  const f32 release =
      Target == 2 ? passer.DummyhalfPassLeftReleaseTime.mean : passer.DummyhalfPassRightReleaseTime.mean;
  const f32 flight = Distance2D(W.MarkX, W.MarkZ, x0, z0);
  const double passTime = (passer.maxpassspeed > 0 ? flight / static_cast<double>(passer.maxpassspeed) : 0.0) + release;
  // The start delay of the sequence.
  S.SeqHeadValue = static_cast<f32>(passTime < t ? t - passTime : 0.01);
  E.Duration = 0.5f;
}

void Switch(TUDPUserSlot& U, i32 To) {
  if (To == 0) return;
  U.ControlledPlayer = static_cast<i16>(To);
  U.SwitchFlags[2] = kTrue32;
}

bool SetPieceHolderReady(const TTeamBlock& B) {
  if (!IsPlayer(B.SetPieceHolder)) return true;
  const TPlayer& H = B.Players[B.SetPieceHolder];
  return H.passtimer <= 0 && H.freeballcatchtimer <= 0;
}

void DecisionGotTackled(const TWorld& W, TPlayer& P, const TTeamBlock& B, TUDPUserSlot& U) {
  const TUDPRealtime& RT = UDPRealtime;
  if (!SetPieceHolderReady(B)) return;
  int target = 0;
  if (U.ControlledPlayer != 0 && U.ControlledPlayer == RT.PassTargets[2])
    target = 2;
  else if (U.ControlledPlayer != 0 && U.ControlledPlayer == RT.PassTargets[4])
    target = 4;
  if (target != 0 && U.Buttons[2] && !P.ActionSeq.seqON) SupportRun(W, P, B, target);
  if (U.Buttons[9]) Switch(U, RT.PassTargets[1]);
  if (U.Buttons[11]) Switch(U, RT.PassTargets[3]);
  if (U.Buttons[13]) Switch(U, RT.PassTargets[2]);
  if (U.Buttons[15]) Switch(U, RT.PassTargets[4]);
  if (U.Buttons[5] && IsPlayer(B.SetPieceHolder)) Switch(U, B.SetPieceHolder);
}

void DecisionScrum(const TTeamBlock& B, TUDPUserSlot& U) {
  const TUDPRealtime& RT = UDPRealtime;
  if (!SetPieceHolderReady(B)) return;
  if (U.Buttons[9]) Switch(U, RT.PassTargets[1]);
  if (U.Buttons[11]) Switch(U, RT.PassTargets[3]);
  if (U.Buttons[5] && IsPlayer(B.SetPieceHolder)) Switch(U, B.SetPieceHolder);
}

// ---------------------------------------------------------------- positioning and speed

void ChaseCarrier(const TWorld& W, TPlayer& P, const TPlayer& T) {
  const double accel = W.TimeStep > 0 ? std::fabs(static_cast<double>(T.speed) - T.MeasuredSpeed) / W.TimeStep : 0.0;
  const TVector2 p =
      InterceptPoint(HeadingToPoint(T.OldPos.x, T.OldPos.z, T.Pos.x, T.Pos.z, T.Heading), T.Pos.x,
                     static_cast<f32>(T.Pos.z + 5.0), T.speed, static_cast<f32>(accel), T.maxspeed, P.Pos.x, P.Pos.z,
                     P.speed, P.Acceleration, P.maxspeed, W.PitchWidth, kTrue32, kTrue32, kTrue32);
  UDPRealtime.TargetPoint = p;
  P.DesiredPos.x = p.x;
  P.DesiredPos.z = p.z;
}

bool InterruptibleSpecial(f32 Kind) {
  const i32 k = RoundToI32(Kind);
  return k == 0 || (k >= 6 && k <= 11);
}

void Defence(const TWorld& W, TPlayer& P, const TTeamBlock& B, const TUDPUserSlot& U) {
  const TGameState s = W.gamestate;
  const bool openPlay = s == gsRunning || s == gsPassing || s == gsGotTackled;
  if (!openPlay && s != gsFreeBall) return;
  StickPoint(W, U, P);
  P.WillAttemptPassInterCept = kFalse32;
  P.playertofollowtimer = 0.0f;
  P.chasertimer = 0.0f;
  P.shimmytimer = 0.0f;
  if (P.SpecialAnimTimer > 0 && InterruptibleSpecial(P.SpecialAnimKind)) P.SpecialAnimTimer = 0.0f;
  if (U.Buttons[6]) {
    if (openPlay && IsPlayer(B.BlockChaseTarget)) ChaseCarrier(W, P, W.Teams[1].Players[B.BlockChaseTarget]);
    if (s == gsFreeBall) ToFreeBallFlight(W, P);
  }
  NearestSwitches(W, P, B, U);
}

void SpeedStep(TPlayer& P, const TUDPUserSlot& U) {
  if (P.TackleAttemptTimer > 0 || P.GettingTackledTimer > 0 || P.standuptimer > 0 || P.OldTackleTimer > 0 ||
      P.RuckTimer2 > 0 || P.LineOutTimer > 0 || P.SpecialAnimTimer > 0 || P.shimmytimer > 0 || P.ForcedRunTimer > 0)
    return;
  P.desiredspeed = UserRunSpeed(U, P);
}

}  // namespace

void UDPUserControl(TWorld& W) {
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= PlayerCount(W); ++i) W.Teams[b].Players[i].ControllingUser = 0;
  const TGameState s = W.gamestate;
  const bool clearSwitches = s == gsRunning || s == gsPassing || s == gsFreeBall || s == gsTransition;
  for (int u = 1; u <= 4; ++u) {
    TUDPUserSlot& U = UDPRealtime.Users[u];
    if (!U.Present) continue;
    U.PrevControlledPlayer = U.ControlledPlayer;
    if (clearSwitches)
      for (bool32& f : U.SwitchFlags) f = kFalse32;
    PickPlayer(W, U, u);
    ReadSticks(U);
  }
}

void UDPUserControl() { UDPUserControl(World); }

void ApplyUserControlOfUser(TWorld& W, TPlayer& Player, u8 Mode, TTeamBlock& Block) {
  const u16 u = Player.ControllingUser;
  if (u < 1 || u > 4) return;
  TUDPUserSlot& U = UDPRealtime.Users[u];
  switch (Mode) {
    case ucDecision:
      if (W.gamestate == gsRunning)
        DecisionRunning(W, Player, Block, U);
      else if (W.gamestate == gsGotTackled)
        DecisionGotTackled(W, Player, Block, U);
      else if (W.gamestate == gsScrum)
        DecisionScrum(Block, U);
      break;
    case ucFreeBall:
      StickPoint(W, U, Player);
      if (U.Buttons[6]) ToFreeBallFlight(W, Player);
      NearestSwitches(W, Player, Block, U);
      break;
    case ucAttackSpeed:
    case ucDefenceSpeed:
      SpeedStep(Player, U);
      break;
    case ucDefence:
      Defence(W, Player, Block, U);
      break;
    case ucRuck:
      U.RuckButtonHeld = U.Buttons[8];
      break;
    default:
      break;
  }
}
