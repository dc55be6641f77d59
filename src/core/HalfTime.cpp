#include "core/HalfTime.h"

#include <algorithm>

#include "core/AuxState.h"
#include "core/MirrorWorld.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/RunContext.h"

namespace {

// Time lost at a stoppage, by restart kind 2 to 5 (kind 1 has none).
struct TDelayKind {
  f32 Mean, SD, Min, Max;
  i32 RestartType;
};
constexpr TDelayKind kDelayKinds[6] = {
    {},
    {},
    {27.24f, 12.27f, 10.0f, 57.915f, 4},
    {28.76f, 17.34f, 10.0f, 72.11f, 5},
    {75.93f, 17.32f, 10.0f, 119.23f, 8},
    {0.5f, 0.5f, 0.1f, 2.0f, 7},
};

void ClearStrategyTimers(TWorld& W) {
  W.Teams[1].StrategyTimer = 0;
  W.Teams[2].StrategyTimer = 0;
}

void SetRestartTypeBoth(TWorld& W, i32 type) {
  for (TTeamBlock& T : W.Teams) {
    T.RestartType = type;
    T.RestartOption = 1;
  }
}

// A conversion attempt never runs the clock past the end of the half: the
// restart is then taken just before it, and never later than 20 s.
f32 CutBeforeEndOfHalf(const TWorld& W, f32 delay) {
  double end;
  if (W.MatchPhase == 1) {
    end = W.halflength;
  } else if (W.MatchPhase == 2) {
    end = 2.0 * static_cast<double>(W.halflength);
  } else {
    return delay;
  }
  if (W.clock < end && W.clock + static_cast<double>(delay) >= end) {
    const double cut = 0.95 * (end - W.clock);
    return static_cast<f32>(std::clamp(cut, 0.0, 20.0));
  }
  return delay;
}

void SetKickRestart(TWorld& W) {
  TTeamBlock& T1 = W.Teams[1];
  W.KickRestartSetPhase = 1;
  const i32 kind = W.RestartKind;
  if (kind == 1) {
    W.gamestate = gsKickRestartSet;
    T1.RestartKickerDefault = 10;
    T1.KickerIndex = 10;
    SetRestartTypeBoth(W, 2);
  } else if (kind >= 2 && kind <= 5) {
    const TDelayKind& d = kDelayKinds[kind];
    f32 delay = GaussianRandom(d.Mean, d.SD, d.Min, d.Max, kTrue32, kTrue32);
    if (kind == 3) delay = CutBeforeEndOfHalf(W, delay);
    W.RestartDelay = delay;
    T1.RestartKickerDefault = 10;
    T1.KickerIndex = 10;
    if (kind == 4) T1.KickerIndex = BestGoalKicker(W, 10);
    SetRestartTypeBoth(W, d.RestartType);
  } else {
    return;  // an unknown kind only restarts the set-up phase
  }
  ClearStrategyTimers(W);
}

void SetLineout(TWorld& W) {
  if (W.RestartKind != 6 && W.RestartKind != 7) return;
  W.LineoutPhase = 0;
  W.LineoutAux = 0;
  if (W.RestartKind == 6) {  // carried or knocked into touch
    W.LineoutZ = std::clamp(W.TouchPos.z, -45.0f, 45.0f);
    W.LineoutOnNegativeX = Flag(W.TouchPos.x <= 0);
  } else {  // kicked into touch
    // Level with the kick when it went straight into touch in open play;
    // where it crossed after a bounce or a touch in the field, from a penalty
    // kick to touch and from a kick inside the kicker's own 22.
    const bool direct = W.BallBouncedInField == 0 && W.KickType != kKickTypePenaltyTouch && W.KickedFromOwn22 == 0;
    W.LineoutZ = direct ? W.ReleasePos.z : W.KickTouchPos.z;
    W.LineoutOnNegativeX = Flag(W.KickTouchPos.x <= 0);
    const f32 limit = static_cast<f32>(W.PitchLength / 2.0 - 5.0);
    W.LineoutZ = std::clamp(W.LineoutZ, -limit, limit);
  }
  ClearStrategyTimers(W);
}

void SetScrum(TWorld& W) {
  W.ScrumPhase = 0;
  W.ScrumAux = 0;
  const f32 limitX = static_cast<f32>(W.PitchWidth / 2.0 - 5.0);
  const f32 limitZ = static_cast<f32>(W.PitchLength / 2.0 - 5.0);
  W.MarkX = std::clamp(W.ScrumSpot.x, -limitX, limitX);
  W.MarkZ = std::clamp(W.ScrumSpot.z, -limitZ, limitZ);
  for (TTeamBlock& T : W.Teams) {
    T.StrategyTimer = 0;
    T.AuxScrumValue = 0;
    T.CarryMaxZ = -100000.0f;
  }
  W.PhaseCount = 0;
}

void RecoverAtHalfTime(TPlayer& P) {
  P.Fatigued = kFalse32;
  P.FatigueFreshTime = RoundToI16(P.FatigueFreshTime * 0.95);
  P.FatigueTiredTime = RoundToI16(P.FatigueTiredTime * 1.05);
  if (P.FatigueLevel < 1) P.FatigueLevel = 1;
  P.FatigueTimer = static_cast<f32>(static_cast<double>(P.FatigueFreshTime) / P.FatigueLevel +
                                    RandomRange(1, 6));
  P.maxspeed = P.MaxSpeedNonFatigued;
}

void ClearLinksAndTimers(TPlayer& P) {
  P.target = 0;
  P.numtargetting = 0;
  P.governedby = 0;
  P.numgoverning = 0;
  for (i32& h : P.FootprintHolder) h = 0;
  P.RunningAngleReactionTime.value = 0;
  for (f32* t : {&P.passcatchtimer, &P.shimmytimer, &P.passtimer, &P.DiveTimer,
                 &P.standuptimer, &P.freeballcatchtimer, &P.KickTimer, &P.TackleAttemptTimer,
                 &P.GettingTackledTimer, &P.RuckTimer, &P.RuckTimer2, &P.OldTackleTimer,
                 &P.LineOutTimer, &P.ForcedRunTimer, &P.CelebrateTimer, &P.CelebrateTimer2,
                 &P.SpecialAnimTimer}) {
    *t = 0;
  }
}

void StartSecondHalf(TWorld& W) {
  W.MatchPhase = 2;
  W.HalfTimeReached = kTrue32;
  W.clock = static_cast<f32>(static_cast<double>(W.halflength) + 0.01);

  // Ends change: the second half always starts with match team 2 in
  // Teams[1], kicking off.
  if (W.Team1InFirstBlock != 0) {
    W.Team1InFirstBlock = kFalse32;
    MirrorWorld(W);
  }

  for (int p = 1; p <= PlayerCount(W); ++p) {
    RecoverAtHalfTime(W.Teams[1].Players[p]);
    RecoverAtHalfTime(W.Teams[2].Players[p]);
  }

  W.gamestate = gsKickRestartSet;
  W.KickRestartSetPhase = 1;
  W.Teams[1].RestartKickerDefault = 10;
  W.Teams[1].KickerIndex = 10;
  SetRestartTypeBoth(W, 2);
  W.Teams[1].HalfTimeAux = 0;  // the set-piece holder is no longer committed
  for (TTeamBlock& T : W.Teams) {
    T.HalfTimeFlag = kTrue32;
    T.StrategyTimer = 0;
  }

  for (TTeamBlock& T : W.Teams) {
    for (TPlayer& P : T.Players) ClearLinksAndTimers(P);
  }

  for (i32& w : AuxState.HalfTimeWords) w = 0;
  W.BallPhase = 0;
  for (TTeamBlock& T : W.Teams) {
    T.PassDuration = 0;
    T.PassTimeLeft = 0;
    T.KickTimeLeft = 0;
  }
}

}  // namespace

// The available player with the steadiest goal kicking, or `Fallback`.
i32 BestGoalKicker(const TWorld& W, i32 Fallback) {
  const TTeamBlock& T = W.Teams[1];
  i32 best = Fallback;
  f32 bestDeviation = 10000.0f;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& P = T.Players[p];
    if (P.Unavailable == 0 && P.GoalKickDeviation2 < bestDeviation) {
      bestDeviation = P.GoalKickDeviation2;
      best = p;
    }
  }
  return best;
}

void SetRestartDelay(TWorld& W) {
  switch (W.PendingGameState) {
    case gsHuddle:
      W.HuddlePhase = 1;
      break;
    case gsKickRestartSet:
      SetKickRestart(W);
      break;
    case gsLineout:
      SetLineout(W);
      break;
    case gsScrum:
      SetScrum(W);
      break;
    default:
      break;
  }
}

void HandleHalfTime(TWorld& W) {
  if (W.MatchPhase == 1 && W.clock >= W.halflength) StartSecondHalf(W);
  if (W.MatchPhase == 2 && W.clock >= 2.0 * static_cast<double>(W.halflength)) {
    W.MatchPhase = 3;  // full time: the frame driver ends the run
    if (ViewerLinkMode != 0) W.gamestate = gsMisc01;
  }
}
