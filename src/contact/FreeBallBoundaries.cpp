#include "contact/FreeBallBoundaries.h"

#include <cmath>

#include "contact/RunningStoppages.h"

namespace {

// Restart kinds.
constexpr i32 kRestartScrum = 0;
constexpr i32 kRestartDropOut = 2;
constexpr i32 kRestartKickedIntoTouch = 7;

constexpr double kCatchMargin = 0.3;  // m inside the touch and dead-ball lines
constexpr double kFiveMetres = 5.0;   // m, the scrum short of the own goal line

bool IsSet(bool32 F) { return F != 0; }

// A line of the pitch at Offset (m), narrowed to f32 like the positions
// tested against it.
f32 Line(double Offset) { return ToF32(Offset); }

// After a penalty goal attempt or a drop goal the ball dead gives a drop-out.
bool GoalAttempt(const TWorld& W) { return W.KickType == kKickTypePenaltyGoal || W.KickType == kKickTypeDropGoal; }

// Play stops with the ball loose or held for Kind into Pending.
void Stop(TWorld& W, i32 Kind, TGameState Pending, bool ToOpponents, bool Held) {
  StopPlay(W, Kind, Pending, ToOpponents, Kind == kRestartKickedIntoTouch);
  W.TransitionBallHeld = Flag(Held);
}

// A scrum at (x, z).
void StopForScrum(TWorld& W, TVector2 At, bool ToOpponents, bool Held) {
  W.ScrumSpot = At;
  Stop(W, kRestartScrum, gsScrum, ToOpponents, Held);
}

void StopForDropOut(TWorld& W, bool ToOpponents, bool Held) {
  Stop(W, kRestartDropOut, gsKickRestartSet, ToOpponents, Held);
}

// Dead over the far dead-ball line, or caught in the far in-goal: block 1's
// own kick restarts with the opponents' scrum at the kick point, or their
// drop-out after a goal attempt.
void StopAfterOwnKickDead(TWorld& W, bool Held) {
  if (GoalAttempt(W)) {
    StopForDropOut(W, true, Held);
  } else {
    StopForScrum(W, W.ReleasePos, true, Held);
  }
}

// Whether the free ball crossed into touch between the goal lines.
bool CrossedInFieldOfPlay(const TWorld& W) {
  const f32 goal = Line(0.5 * W.PitchLength);
  return W.KickTouchPos.z >= -goal && W.KickTouchPos.z <= goal;
}

}  // namespace

void StopFreeBallAtBoundary(TWorld& W) {
  const double halfWidth = 0.5 * W.PitchWidth;
  const double halfLength = 0.5 * W.PitchLength;
  const double dead = halfLength + W.InGoalDepth;
  const double x = W.BallPos.x, z = W.BallPos.z;
  // A ball touched by a player in touch is in touch where it is, so the
  // lineout never takes a crossing point left from an earlier kick.
  if (!IsSet(W.KickTouchFlag2) && (x < -halfWidth || x > halfWidth || IsSet(W.KickTouchFlag1))) {
    W.KickTouchFlag2 = kTrue32;
    W.KickTouchPos = {W.BallPos.x, W.BallPos.z};
  }
  const bool touched = IsSet(W.KickTouchFlag1);
  const bool inTouch = IsSet(W.KickTouchFlag2);

  if ((touched || (inTouch && std::fabs(z) >= dead)) && CrossedInFieldOfPlay(W)) {
    const bool toOpponents = IsSet(W.BlocksSwapped) && W.KickType != kKickTypePenaltyTouch;
    Stop(W, kRestartKickedIntoTouch, gsLineout, toOpponents, false);
  }
  if (W.gamestate == gsTransition) return;

  if ((touched && W.KickTouchPos.z > halfLength) || (!inTouch && z >= dead)) {
    if (IsSet(W.BlocksSwapped)) {
      StopAfterOwnKickDead(W, false);
    } else {
      StopForDropOut(W, true, false);
    }
    return;
  }
  if ((touched && W.KickTouchPos.z < -halfLength) || (!inTouch && z <= -dead)) {
    if (IsSet(W.BlocksSwapped) && IsSet(W.Teams[1].CarriedIntoOwnInGoal)) {
      StopForScrum(W, {W.BallPos.x, Line(-halfLength + kFiveMetres)}, true, false);
    } else {
      StopForDropOut(W, false, false);
    }
  }
}

void StopCatchAtBoundary(TWorld& W) {
  const TPlayer* C = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier);
  if (C == nullptr) return;
  const f32 x = C->Pos.x, z = C->Pos.z;
  const f32 side = Line(0.5 * W.PitchWidth - kCatchMargin);
  const f32 end = Line(0.5 * W.PitchLength + W.InGoalDepth - kCatchMargin);
  if (std::fabs(x) <= side && std::fabs(z) <= end) return;

  if (!IsSet(W.KickTouchFlag2)) W.KickTouchPos = {x, z};
  if (CrossedInFieldOfPlay(W)) {
    W.TouchPos = {x, z};
    const bool swapped = IsSet(W.BlocksSwapped);
    Stop(W, kRestartKickedIntoTouch, gsLineout, W.KickType == kKickTypePenaltyTouch ? !swapped : swapped, true);
    return;
  }
  if (z > 0) {
    if (IsSet(W.BlocksSwapped)) {
      StopAfterOwnKickDead(W, true);
    } else if (!IsSet(W.Teams[2].CarriedIntoOwnInGoal)) {
      StopForDropOut(W, true, true);
    } else {
      StopForScrum(W, {x, z}, false, true);
    }
  } else if (z < 0) {
    if (!IsSet(W.BlocksSwapped)) {
      StopForScrum(W, W.ReleasePos, false, true);
    } else if (!IsSet(W.Teams[1].CarriedIntoOwnInGoal)) {
      StopForDropOut(W, false, true);
    } else {
      StopForScrum(W, {x, z}, true, true);
    }
  }
}
