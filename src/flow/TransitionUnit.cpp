#include "flow/TransitionUnit.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "core/Advantage.h"
#include "core/BallFlight.h"
#include "core/Geometry.h"
#include "core/HalfTime.h"
#include "core/KickSolving.h"
#include "core/MirrorWorld.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/Replacements.h"
#include "flow/ActionSequences.h"
#include "flow/PassingUnit.h"
#include "flow/RestartChoice.h"
#include "flow/RunningUnit.h"
#include "flow/SetDesiredPositionUnit.h"
#include "platform/Form.h"

namespace {

constexpr f32 kEndingTackleTime = 0.35f;  // s, a tackle under way plays out
constexpr f32 kEndingGroundTime = 0.25f;  // s
constexpr f32 kWalkBackSpeed = 2.0f;      // m/s, scrum-half and ruck players
constexpr f32 kSetPieceCalm = 4.0f;       // s after a scrum or lineout: stand still
constexpr f32 kHolderRoom = 1.75f;        // m kept round the ball holder
constexpr double kSlowestBall = 0.1;      // m/s per axis of the loose ball at the whistle
constexpr double kFastestBall = 5.0;      // m/s per axis
constexpr f32 kThrowAwayTime = 10.0f;     // s, ended by its animation
constexpr f32 kThrowAwayKind = 2.0f;      // SpecialAnimKind of "throwballaway"
constexpr double kReleaseShare = 0.77;    // of the animation, when the ball leaves the hand
constexpr double kReleaseOffset = 0.7;    // m from his body
constexpr double kReleaseAngle = 55.0;    // degrees off his heading
constexpr double kReleaseHeight = 0.55;   // x Height
constexpr double kReadRunOn = 1.5;        // m, a defender reading a pass runs on

bool NoneAbove0(std::initializer_list<f32> Timers) {
  return std::none_of(Timers.begin(), Timers.end(), [](f32 t) { return t > 0; });
}

// Free for a reaction: no action of his own under way.
bool FreeForReaction(const TPlayer& P) {
  return NoneAbove0({P.shimmytimer, P.passcatchtimer, P.freeballcatchtimer, P.TackleAttemptTimer,
                     P.GettingTackledTimer, P.OldTackleTimer, P.passtimer, P.standuptimer,
                     P.ForcedRunTimer, P.DiveTimer, P.CelebrateTimer});
}

// The holder, or null when TransitionHolder names no record.
TPlayer* Holder(TWorld& W) {
  if (W.TransitionHolder > PlayerCount(W)) return nullptr;
  return PlayerAt(W.Teams[W.TransitionHolderFirstBlock != 0 ? 1 : 2], W.TransitionHolder);
}

// ---------------------------------------------------------------- set-up

void DrawOptionsAndDepths(TWorld& W) {
  W.MarkCalled = kFalse32;
  W.Teams[1].PlayOption = static_cast<u16>(RandomRange(1, 3));
  W.Teams[2].PlayOption = static_cast<u16>(RandomRange(1, 3));
  for (int i = 1; i <= PlayerCount(W); ++i) {
    for (TTeamBlock& T : W.Teams) {
      TPlayer& P = T.Players[i];
      P.DeepFlag = Flag(RandomRange(1, 1001) < 500);
    }
    for (TTeamBlock& T : W.Teams) T.Players[i].ActionSeq.seqON = kFalse32;
    for (TTeamBlock& T : W.Teams) {
      TPlayer& P = T.Players[i];
      if (!(P.OldTackleTimer > 0)) continue;
      P.DesiredPos.x = P.Pos.x;
      P.DesiredPos.z = P.Pos.z;
      if (P.Unavailable != 0 && P.OldTackleTimer > 1.0f) P.OldTackleTimer = 1.0f;
    }
  }
}

// Block `Own`'s player i, tackled or tackling in a tackle of kind 0, lets go:
// his links to the other block are released.
void CancelKindZeroTackles(TTeamBlock& Own, TTeamBlock& Other, int i, int N) {
  TPlayer& P = Own.Players[i];
  if (P.GettingTackledTimer > 0 && P.GettingTackledKind == 0) {
    P.GettingTackledTimer = 0;
    P.numtargetting = 0;
    P.numgoverning = 0;
    for (int j = 1; j <= N; ++j) {
      TPlayer& O = Other.Players[j];
      if (O.governedby != i) continue;
      O.governedby = 0;
      O.target = 0;
    }
  }
  if (P.TackleAttemptTimer > 0 && P.TackleAttemptKind == 0) {
    P.TackleAttemptTimer = 0;
    if (TPlayer* G = PlayerAt(Other, P.governedby)) G->numgoverning -= 1;
    if (TPlayer* T = PlayerAt(Other, P.target)) T->numtargetting -= 1;
    P.governedby = 0;
    P.target = 0;
  }
}

void EndTackles(TWorld& W) {
  const int N = PlayerCount(W);
  for (int i = 1; i <= N; ++i) {
    CancelKindZeroTackles(W.Teams[1], W.Teams[2], i, N);
    CancelKindZeroTackles(W.Teams[2], W.Teams[1], i, N);
  }
  for (int i = 1; i <= N; ++i) {
    for (TTeamBlock& T : W.Teams) {
      TPlayer& P = T.Players[i];
      if (P.GettingTackledTimer > 0 && (P.GettingTackledKind == 1 || P.GettingTackledKind == 2)) {
        P.GettingTackledKind = P.GettingTackledKind == 1 ? 6.0f : 7.0f;
        P.GettingTackledTimer = kEndingTackleTime;
        P.GroundTime = kEndingGroundTime;
      }
      if (P.TackleAttemptTimer > 0 && (P.TackleAttemptKind == 1 || P.TackleAttemptKind == 2)) {
        P.TackleAttemptKind = P.TackleAttemptKind == 1 ? 5.0f : 6.0f;
        P.TackleAttemptTimer = kEndingTackleTime;
        P.GroundTime = kEndingGroundTime;
      }
    }
  }
  for (TTeamBlock& T : W.Teams) {
    T.BallCarrier = 0;
    T.PassTimeLeft = 0;
    T.KickTimeLeft = 0;
  }
}

// A free player runs on the way he faces; one in a ruck and the scrum-half
// walk back towards their own goal line, or stand facing the opponents'
// just after a set piece. Every player's own actions end.
void React(TWorld& W, TTeamBlock& T, int i, bool FirstBlock) {
  TPlayer& P = T.Players[i];
  if (FreeForReaction(P)) {
    P.SpecialAnimKind = 0;
    P.SpecialAnimTimer = static_cast<f32>(RandomRange(40, 75) / 100.0);
    P.SpecialAnimSpeed = static_cast<f32>(RandomRange(30, 50) / 10.0);
    P.SpecialAnimFacing = HeadingOfFacing(P.FacingAngle);
    if (P.RuckTimer > 0 || P.RuckTimer2 > 0 || T.SetPieceHolder == i) {
      P.SpecialAnimFacing = FirstBlock ? 270.0f : 450.0f;
      P.SpecialAnimTimer = static_cast<f32>(RandomRange(55, 75) / 100.0);
      P.SpecialAnimSpeed = kWalkBackSpeed;
      if (W.TimeSinceSetPiece < kSetPieceCalm) {
        P.SpecialAnimFacing = FirstBlock ? 90.0f : 270.0f;
        P.SpecialAnimSpeed = 0;
      }
    }
    P.SpecialAnimAngle = P.SpecialAnimFacing;
  }
  for (f32* t : {&P.RuckTimer, &P.RuckTimer2, &P.LineOutTimer, &P.passtimer, &P.KickTimer,
                 &P.playertofollowtimer, &P.ChaseTimer, &P.OffloadPending}) {
    *t = 0;
  }
  P.ActionsMade = -1;
}

void BreakOffBlocks(TWorld& W) {
  for (TBlockRecord& B : W.BlockRecords) {
    for (i16& w : B.Words) w = 0;
  }
  for (TTeamBlock& T : W.Teams) {
    for (TPlayer& P : T.Players) {
      P.BlockReady = 0;
      P.BlockEngaged[1] = 0;
      P.BlockEngaged[2] = 0;
      P.BlockExitTimer = 0;
    }
  }
}

// Everybody within 1.75 m of the holder turns straight away from him.
void MakeRoomRoundHolder(TWorld& W) {
  const TPlayer* H = Holder(W);
  if (H == nullptr) return;
  for (TTeamBlock& T : W.Teams) {
    for (int i = 1; i <= PlayerCount(W); ++i) {
      TPlayer& P = T.Players[i];
      if (&P == H || !(Distance2D(H->Pos.x, H->Pos.z, P.Pos.x, P.Pos.z) < kHolderRoom)) continue;
      const f32 away = static_cast<f32>(HeadingToPoint(P.Pos.x, P.Pos.z, H->Pos.x, H->Pos.z, 90.0f) + 180.0);
      P.SpecialAnimAngle = away;
      P.SpecialAnimFacing = away;
    }
  }
}

// The ball's velocity over the last frame, each axis kept to 0.1 .. 5.0 m/s
// by size (a ball at rest goes up and along +x and +z at 0.1 m/s).
double LooseBallAxis(f32 Now, f32 Before, f32 TimeStep) {
  double v = TimeStep > 0 ? (static_cast<double>(Now) - Before) / TimeStep : 0.0;
  if (std::fabs(v) < kSlowestBall) v = v >= 0 ? kSlowestBall : -kSlowestBall;
  if (std::fabs(v) > kFastestBall) v = v > 0 ? kFastestBall : -kFastestBall;
  return v;
}

void StartBallFlight(TWorld& W) {
  W.BallPhase = 1;
  W.BallFlightClock = 0;
  W.LooseBallRolling = kFalse32;
}

void LaunchLooseBall(TWorld& W) {
  TLaunchParams L;
  if (W.StoppedGameState == gsPassing) {
    L = VelocityToLaunchAngles(false, W.PassVel.x, W.PassVel.y, W.PassVel.z, 1.0f);
  } else {
    L = VelocityToLaunchAngles(false, static_cast<f32>(LooseBallAxis(W.BallPos.x, W.PrevBallPos.x, W.TimeStep)),
                               static_cast<f32>(LooseBallAxis(W.BallPos.y, W.PrevBallPos.y, W.TimeStep)),
                               static_cast<f32>(LooseBallAxis(W.BallPos.z, W.PrevBallPos.z, W.TimeStep)), 1.0f);
  }
  TLines& log = Form1.Memo1;
  log.Add("Ball Launch meters x y z");
  log.Add(FormatFixed(W.BallPos.x, 2));
  log.Add(FormatFixed(W.BallPos.y, 2));
  log.Add(FormatFixed(W.BallPos.z, 2));
  SimulateLooseBallFlight(W, L.Speed, L.Elevation, L.Heading);
  StartBallFlight(W);
}

void LogStoppedState(const TWorld& W) {
  const char* line = nullptr;
  switch (W.StoppedGameState) {
    case gsRunning: line = "From Running"; break;
    case gsFreeBall: line = "From freeball"; break;
    case gsGotTackled: line = "From gottackled"; break;
    case gsPassing: line = "From passing"; break;
    default: return;
  }
  Form1.Memo1.Add(line);
}

void SetUpTransition(TWorld& W) {
  DrawOptionsAndDepths(W);
  UpdateInfringementList(W);
  if (W.Infringements[1].Kind != 0) ChooseRestartAfterInfringement(W);
  W.TransitionAux = static_cast<f32>(RandomRange(250, 500) / 1000.0);
  EndTackles(W);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    React(W, W.Teams[1], i, true);
    React(W, W.Teams[2], i, false);
  }
  BreakOffBlocks(W);
  // A holder who names no record holds nothing: the ball goes loose.
  if (W.TransitionBallHeld != 0 && Holder(W) == nullptr) W.TransitionBallHeld = kFalse32;
  if (W.TransitionBallHeld != 0) MakeRoomRoundHolder(W);
  if (W.TransitionBallHeld == 0 && W.StoppedGameState != gsFreeBall && W.StoppedGameState != gsTryScored) {
    LaunchLooseBall(W);
  }
  LogStoppedState(W);
}

// ---------------------------------------------------------------- every frame

// The holder lets the ball go at 77 % of his "throwballaway" action, and
// starts that action once his hold is over and he is busy with nothing else.
void HolderThrowsBallAway(TWorld& W) {
  TPlayer* P = Holder(W);
  if (P == nullptr) return;
  const bool firstBlock = W.TransitionHolderFirstBlock != 0;
  const bool throwing = P->SpecialAnimTimer > 0 && P->SpecialAnimKind == kThrowAwayKind;
  if (throwing && P->maxframes > 0 && P->currentframe / static_cast<double>(P->maxframes) > kReleaseShare) {
    W.TransitionBallHeld = kFalse32;
    const f32 speed = static_cast<f32>(RandomRange(300, 401) / 100.0);
    const f32 elevation = static_cast<f32>(RandomRange(-15, 11));
    if (firstBlock) {
      const double a = (static_cast<double>(P->Heading) + kReleaseAngle) * kDegToRad;
      SimulateLooseBallFlight(W, speed, elevation, P->Heading,
                              static_cast<f32>(P->Pos.x - std::cos(a) * kReleaseOffset),
                              static_cast<f32>(kReleaseHeight * P->Height),
                              static_cast<f32>(P->Pos.z + std::sin(a) * kReleaseOffset));
    } else {
      SimulateLooseBallFlight(W, speed, elevation, P->SpecialAnimFacing);
    }
    StartBallFlight(W);
  }
  if (P->SpecialAnimTimer > 0 || W.TransitionBallHeld == 0 || W.TransitionAux > 0) return;
  if (!NoneAbove0({P->TackleAttemptTimer, P->OldTackleTimer, P->GettingTackledTimer, P->standuptimer,
                   P->StepTimer, P->ForcedRunTimer, P->passcatchtimer, P->freeballcatchtimer,
                   P->DiveTimer})) {
    return;
  }
  if (firstBlock && P->BreakTackleTimer > 0) return;
  P->SpecialAnimTimer = kThrowAwayTime;
  P->SpecialAnimKind = kThrowAwayKind;
  P->SpecialAnimSpeed = 0;
  P->SpecialAnimFacing = HeadingOfFacing(P->FacingAngle);
  P->SpecialAnimAngle = P->SpecialAnimFacing;
}

// A player busy with an action of his own no longer goes for the pass. A
// shimmy counts too, as it does for the chasers of a pass in play: a catch
// armed during it and the shimmy restarted each other's animation every
// frame, neither ended, and the transition waited for them for good.
void DropBusyCatchers(TWorld& W, TTeamBlock& T) {
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = T.Players[p];
    if (NoneAbove0({P.GettingTackledTimer, P.OldTackleTimer, P.TackleAttemptTimer, P.freeballcatchtimer,
                    P.passcatchtimer, P.standuptimer, P.RuckTimer, P.RuckTimer2, P.DiveTimer, P.passtimer,
                    P.KickTimer, P.BreakTackleTimer, P.StepTimer, P.shimmytimer})) {
      continue;
    }
    P.WillAttemptPassInterCept = kFalse32;
    P.PassCatchArmed = kTrue32;
  }
}

void DefendersReadingRunOn(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& P = W.Teams[2].Players[i];
    if (P.PassReadTimer > 0) SetDesiredPosAlongHeading(P, HeadingOfFacing(P.FacingAngle), kReadRunOn);
  }
}

bool AnyActionLeft(const TWorld& W) {
  for (const TTeamBlock& T : W.Teams) {
    for (int i = 1; i <= PlayerCount(W); ++i) {
      const TPlayer& P = T.Players[i];
      if (!NoneAbove0({P.GettingTackledTimer, P.TackleAttemptTimer, P.OldTackleTimer, P.RuckTimer,
                       P.RuckTimer2, P.shimmytimer, P.standuptimer, P.passtimer, P.passcatchtimer,
                       P.freeballcatchtimer, P.SpecialAnimTimer})) {
        return true;
      }
    }
  }
  return false;
}

// The restart types taken before a half may end: penalty kicks to touch,
// tap penalties, penalty goals and conversions.
bool KickBeforeHalfEnds(const TWorld& W) {
  const i32 type = W.Teams[1].RestartType;
  return W.gamestate == gsKickRestartSet && (type == 5 || type == 7 || type == 8 || type == 9);
}

void EnterPendingState(TWorld& W) {
  W.gamestate = W.PendingGameState;
  W.TransitionBallHeld = kFalse32;
  ResetPlayersForRestart(W);
  if (W.RestartKind == kPenaltyKickAtGoal) {
    W.RestartSpot.z = std::min(W.RestartSpot.z, static_cast<f32>(W.PitchLength / 2.0 - 10.0));
  }
  for (TTeamBlock& T : W.Teams) {
    T.AttackSide = 0;
    T.StrategyTimer = 0;
    T.CarryMaxZ = -100000.0f;
    T.CarriedIntoOwn22 = kFalse32;
    T.CarriedIntoOwnInGoal = kFalse32;
    for (TPlayer& P : T.Players) {
      P.governedby = 0;
      P.numgoverning = 0;
      P.target = 0;
      P.numtargetting = 0;
      P.playertofollowtimer = 0;
      P.playertofollow = 0;
      P.OffsideMark = 0;
      P.SupportRunCall = kFalse32;
    }
  }
  W.LastPasser = 0;
  W.PrevPasser = 0;
  W.PhaseCount = 0;
  W.LooseBallRolling = kFalse32;
  if (W.PossessionChangePending != 0) {
    W.Team1InFirstBlock = Flag(W.Team1InFirstBlock == 0);
    MirrorWorld(W);
  }
  SetRestartDelay(W);
  if (!KickBeforeHalfEnds(W)) HandleHalfTime(W);
}

void TransitionFrame(TWorld& W) {
  if (W.TransitionBallHeld != 0) HolderThrowsBallAway(W);
  RunActionSequences(W);
  DropBusyCatchers(W, W.Teams[1]);
  GoForBall(W, W.Teams[1]);
  DefendersReadingRunOn(W);
  DropBusyCatchers(W, W.Teams[2]);
  GoForBall(W, W.Teams[2]);
  MoveTacklePlayers(W);
  if (W.TransitionTimeLeft > 0 || AnyActionLeft(W)) return;
  EnterPendingState(W);
}

}  // namespace

void DoTransition(TWorld& W) {
  W.TransitionTimeLeft -= W.TimeStep;
  W.TransitionAux -= W.TimeStep;
  RunStateHandler(W, W.TransitionStep, SetUpTransition, TransitionFrame);
}
