#include "contact/RunningStoppages.h"

#include "contact/ContactHolds.h"
#include "core/Random.h"
#include "core/SupportSpot.h"

namespace {

// The goal lines as the first steps test them, whatever the pitch.
constexpr double kGoalLine = 50.0;          // m
constexpr double kTouchMargin = 0.3;        // m inside a touchline
constexpr double kDeadBallMargin = 0.2;     // m short of a dead-ball line
constexpr double kGroundingMargin = 0.05;   // m inside the in-goal's lines
constexpr f32 kTryPoints = 5.0f;
constexpr f32 kGroundedBallHeight = 0.15f;  // m

// Restart kinds.
constexpr i32 kRestartScrum = 0;
constexpr i32 kRestartDropOut = 2;
constexpr i32 kRestartCarriedIntoTouch = 6;

// A line of the pitch at Offset (m) as a position: narrowed to f32 like the
// positions tested against it, so a carrier standing on it is on it.
f32 Line(double Offset) { return ToF32(Offset); }

// Share of the dive animation from which it grounds the ball: 0.4 for
// DiveKind 3, 0.3 for kinds 1, 2 and 4; other kinds never ground it.
bool DiveGroundsBall(const TPlayer& C) {
  if (!(C.DiveTimer > 0)) return false;
  const double f = AnimationShare(C);
  if (C.DiveKind == 3) return f >= 0.4;
  if (C.DiveKind == 1 || C.DiveKind == 2 || C.DiveKind == 4) return f >= 0.3;
  return false;
}

// A dive, or else a loose-ball dive (FreeBallCatchKind 7) from 0.4 of its
// animation, grounds the ball.
bool BallGrounded(const TPlayer& C) {
  if (DiveGroundsBall(C)) return true;
  return C.freeballcatchtimer > 0 && C.FreeBallCatchKind == 7.0f && AnimationShare(C) >= 0.4;
}

// The try of block 1's Carrier: message 18 with the points, 95 for the last
// two passers who are not he, the passers cleared, the carry-end messages
// when WithCarryEnd, then "tryscored" with the score and the scorer's spot.
void ScoreTry(TWorld& W, int Carrier, bool WithCarryEnd) {
  TTeamBlock& A = W.Teams[1];
  const TPlayer& C = A.Players[Carrier];
  PostMessage(W, A.teamid, C.id, msgTry, kTryPoints);
  for (const i32 passer : {static_cast<i32>(W.LastPasser), static_cast<i32>(W.PrevPasser)}) {
    if (passer != Carrier && IsPlayer(passer)) PostMessage(W, A.teamid, A.Players[passer].id, msgTryAssist, 0.0f);
  }
  W.LastPasser = 0;
  W.PrevPasser = 0;
  if (WithCarryEnd) PostCarryEnd(W, Carrier);
  W.gamestate = gsTryScored;
  W.TryPos = {C.Pos.x, C.Pos.z};
  A.score += 5;
  A.NoAdvantageFlag = kTrue32;
  W.TryScoredPhase = 1;
  W.DiverIndex = Carrier;
}

// The ball is put down: no carrier, the ball on the ground.
void GroundBall(TWorld& W) {
  W.Teams[1].BallCarrier = 0;
  W.BallPos.y = kGroundedBallHeight;
}

// Touch at the carrier's position: a lineout in the field of play (the goal
// lines included), a drop-out to the opponents in their in-goal, the own-goal
// stop in his own.
void CarriedIntoTouch(TWorld& W, int Carrier) {
  const TPlayer& C = W.Teams[1].Players[Carrier];
  if (C.Pos.z >= Line(-kGoalLine) && C.Pos.z <= Line(kGoalLine)) {
    W.RestartKind = kRestartCarriedIntoTouch;
    W.TouchPos = {C.Pos.x, C.Pos.z};
    PostCarryEnd(W, Carrier);
    StopPlay(W, kRestartCarriedIntoTouch, gsLineout, true, true);
  } else if (C.Pos.z > Line(kGoalLine)) {
    StopPlay(W, kRestartDropOut, gsKickRestartSet, true);
  } else {
    StopInOwnGoalArea(W, Carrier);
  }
}

// A dive that grounds the ball in the opponents' in-goal: a try inside its
// lines; beyond the touch-in-goal or dead-ball lines the ball is dead (92)
// and the opponents restart.
void GroundInOpponentsInGoal(TWorld& W, int Carrier) {
  const double halfWidth = W.PitchWidth / 2.0;
  const bool inside = W.BallPos.x > Line(-halfWidth + kGroundingMargin) &&
                      W.BallPos.x < Line(halfWidth - kGroundingMargin) &&
                      W.BallPos.z < Line(W.PitchLength / 2.0 + W.InGoalDepth - kGroundingMargin);
  if (inside) {
    const bool looseBallDive = W.Teams[1].Players[Carrier].freeballcatchtimer > 0;
    ScoreTry(W, Carrier, true);
    if (!looseBallDive) GroundBall(W);
    return;
  }
  PostMessage(W, W.Teams[1].teamid, W.Teams[1].Players[Carrier].id, msgBallDeadInGoal, 0.0f);
  PostCarryEnd(W, Carrier);
  StopPlay(W, kRestartDropOut, gsKickRestartSet, true);
}

}  // namespace

void PostCarryEnd(TWorld& W, int Carrier) {
  const TTeamBlock& A = W.Teams[1];
  const TPlayer& C = A.Players[Carrier];
  PostMessage(W, A.teamid, C.id, msgCarryEnd, 0.0f);
  PostMessage(W, A.teamid, C.id, msgRunningMetres, C.MetresRun);
  PostMessage(W, A.teamid, C.id, msgHitUp, A.RunMetres);
}

void StopPlay(TWorld& W, i32 Kind, TGameState Pending, bool ToOpponents, bool LineoutPhase, bool AfterGoal) {
  TTeamBlock& A = W.Teams[1];
  A.PassTimeLeft = 0;
  A.KickTimeLeft = 0;
  if (TPlayer* C = PlayerAt(A, A.BallCarrier)) {
    C->passtimer = 0;
    C->KickTimer = 0;
  }
  W.RestartKind = Kind;
  W.PendingGameState = Pending;
  W.StoppedGameState = W.gamestate;
  if (LineoutPhase) W.KickRestartSetPhase = 1;
  W.gamestate = gsTransition;
  W.TransitionStep = 1;
  W.TransitionTimeLeft = ToF32(AfterGoal ? RandomRange(100, 150) / 100.0 : RandomRange(200, 350) / 100.0);
  W.TransitionBallHeld = kTrue32;
  W.TransitionHolderFirstBlock = kTrue32;
  W.TransitionHolder = A.BallCarrier;
  W.PossessionChangePending = Flag(ToOpponents);
}

void StopInOwnGoalArea(TWorld& W, int Carrier) {
  const TPlayer& C = W.Teams[1].Players[Carrier];
  if (W.Teams[1].CarriedIntoOwnInGoal != 0) {
    StopPlay(W, kRestartScrum, gsScrum, true);
  } else {
    StopPlay(W, kRestartDropOut, gsKickRestartSet, false);
  }
  W.ScrumSpot = {C.Pos.x, C.Pos.z};
}

void SettleTriesAndStoppages(TWorld& W, int Carrier) {
  if (Carrier < 1 || Carrier > PlayerCount(W)) return;
  const TPlayer& C = W.Teams[1].Players[Carrier];
  const bool tackled = W.gamestate == gsGotTackled;

  // 1. The tackle grounds the ball over the goal line.
  if (tackled && W.BallPos.z >= Line(kGoalLine)) {
    ScoreTry(W, Carrier, false);
    GroundBall(W);
    return;
  }
  // 2. Held up in his own in-goal.
  if (tackled && C.Pos.z < Line(-W.PitchLength / 2.0)) {
    StopInOwnGoalArea(W, Carrier);
    W.TransitionHolder = Carrier;
  }
  // 3 - 5. Touch, touch-in-goal and the dead-ball lines.
  const double touch = W.PitchWidth / 2.0 - kTouchMargin;
  if (C.Pos.x > Line(touch) || C.Pos.x < Line(-touch)) CarriedIntoTouch(W, Carrier);
  if (C.Pos.z < Line(-kGoalLine - W.InGoalDepth + kDeadBallMargin)) StopInOwnGoalArea(W, Carrier);
  if (C.Pos.z > Line(kGoalLine + W.InGoalDepth - kDeadBallMargin)) {
    StopPlay(W, kRestartDropOut, gsKickRestartSet, true);
  }
  // 6. A dive grounds the ball in the opponents' in-goal.
  if (W.gamestate == gsRunning && BallGrounded(C) && W.BallPos.z >= Line(W.PitchLength / 2.0)) {
    GroundInOpponentsInGoal(W, Carrier);
  }
  // 7. A dive grounds the ball in his own in-goal.
  if (W.gamestate == gsRunning && DiveGroundsBall(C) && W.BallPos.z <= Line(-W.PitchLength / 2.0)) {
    W.BallPos.y = kGroundedBallHeight;
    StopInOwnGoalArea(W, Carrier);
    W.TransitionBallHeld = Flag(C.DiveKind == 2 || C.DiveKind == 3);
  }
}

void EnterRunningPlay(TWorld& W) {
  W.gamestate = gsRunning;
  W.RunningPhase = 1;
  W.Teams[2].PressureTimerA = 0;
  W.Teams[2].PressureTimerB = 0;
  W.DefenceCycleTimer = 0;
  for (TTeamBlock& T : W.Teams) T.StrategyTimer = 0;
}

void ResumeRunningPlay(TWorld& W, int c) {
  EnterRunningPlay(W);
  TTeamBlock& A = W.Teams[1];
  TPlayer& C = A.Players[c];
  if (C.SupportGridCleared == 0) ClearPlayerSupportCells(A, c);
  C.SupportGridCleared = kTrue32;
}
