#include "motion/AccelerateToDesiredSpeedUnit.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/UDPRealtime.h"

namespace {

constexpr double kRuckAccelerationFactor = 0.7;
// Added to the ruck factor for assist levels 1 to 5.
constexpr double kAssistBonus[5] = {0.0, 0.2, 0.4, 0.6, 0.8};
constexpr double kScrimmageBoost = 1.5;    // acceleration factor in a scrimmage animation
constexpr double kBlockBoost = 2.0;        // acceleration factor while engaged in a block
constexpr double kAttackMarkerAllowance = 0.75;   // m/s over a tackled marker's speed
constexpr double kDefenceMarkerAllowance = 2.25;  // m/s, the same for a governed defender
constexpr double kRestartShimmyShare = 0.25;  // of the measured speed, a defender side-stepping
constexpr double kRestartShare = 0.75;        // otherwise, on the first frames of open play
constexpr std::string_view kScrimmageStems[] = {"srimmagesetting", "srimmagebreathloop", "srimmageofftheline"};

// The assist level of a human user, read only in real-time mode: anything
// may send it, so outside that mode it is level 1.
i32 AssistLevel() { return UDPRealtime.Active ? UDPRealtime.UserLevel : 1; }

// The acceleration factor: slower in the ruck, helped by the assist level
// (a level outside 1..5 gives no help).
double AccelerationFactor(const TWorld& W, const TPlayer& P, i32 Level) {
  if (W.gamestate != gsGotTackled || !(P.RuckTimer > 0)) return 1.0;
  const double bonus = Level >= 1 && Level <= 5 ? kAssistBonus[Level - 1] : 0.0;
  return kRuckAccelerationFactor + bonus;
}

bool IsOpenPlay(TGameState s) { return s == gsRunning || s == gsPassing || s == gsFreeBall; }

// "srimmagesetting", "srimmagebreathloop" or "srimmageofftheline" followed
// by his ScrimmageNumber (1..5).
bool PlaysScrimmageAnimation(const TPlayer& P) {
  const std::string_view name = P.currentAnim.View();
  const char digit = static_cast<char>('0' + P.ScrimmageNumber);
  for (const std::string_view stem : kScrimmageStems)
    if (name.size() == stem.size() + 1 && name.back() == digit && name.starts_with(stem)) return true;
  return false;
}

// The speed that lands him on his DesiredPos this frame; with no time step,
// none when he is there and unbounded when he is not.
double LandingSpeed(const TWorld& W, const TPlayer& P) {
  if (W.TimeStep != 0) return P.DistToDesired / static_cast<double>(W.TimeStep);
  return P.DistToDesired > 0 ? HUGE_VAL : 0.0;
}

// A turn between the last two facings beyond 12.5 degrees caps the speed by
// his slope, unless he is side-stepping.
void CapForTurn(TPlayer& P) {
  // Running straight on (the common case) costs nothing, and no trigonometry.
  if (P.shimmytimer > 0 || P.FacingAngle == P.PrevFacingAngle) return;
  const f32 facing = static_cast<f32>(P.FacingAngle * kRadToDeg);
  const f32 before = static_cast<f32>(P.PrevFacingAngle * kRadToDeg);
  P.speed = SpeedAfterTurn(P.speed, facing, before, P.SpeedLossSlope, P.maxspeed);
}

// Slowing down takes no time; speeding up adds Acceleration x TimeStep, more
// in a scrimmage animation or a block.
void ApproachDesiredSpeed(const TWorld& W, TPlayer& P) {
  if (P.speed >= P.desiredspeed) {
    P.speed = P.desiredspeed;
    return;
  }
  double k = 1.0;
  if (P.ScrimmageNumber >= 1 && P.ScrimmageNumber <= 5 && IsOpenPlay(W.gamestate)) {
    if (PlaysScrimmageAnimation(P))
      k = kScrimmageBoost;
    else
      P.ScrimmageNumber = 0;
  }
  if (P.BlockEngaged[1] > 0 && P.BlockEngaged[2] > 0) k = kBlockBoost;
  P.speed = static_cast<f32>(std::min(P.speed + k * P.Acceleration * W.TimeStep, static_cast<double>(P.desiredspeed)));
}

void StopOnSpot(const TWorld& W, TPlayer& P) {
  if (static_cast<double>(P.speed) * W.TimeStep >= P.DistToDesired) P.speed = static_cast<f32>(LandingSpeed(W, P));
}

// Speeds an action forces on him, a later one overriding an earlier. A
// player governed by a marker of Opponents keeps to the marker; a tackled
// marker holds him to the marker's speed + Allowance.
void ApplyForcedSpeeds(const TWorld& W, TPlayer& P, const TTeamBlock& Opponents, double Allowance) {
  if (P.GettingTackledTimer > 0) P.speed = P.GettingTackledSpeed;
  if (P.TackleAttemptTimer > 0) P.speed = P.TackleAttemptSpeed;
  if (P.BlockExitedOnTimer > 0) P.speed = P.BlockExitedOnSpeed;
  if (P.governedby != 0) {
    const TPlayer* M = PlayerAt(Opponents, P.governedby);
    if (M && M->numgoverning > 0) {
      const double cap = M->GettingTackledTimer > 0 ? M->GettingTackledSpeed + Allowance : P.maxspeed;
      P.speed = static_cast<f32>(std::min(LandingSpeed(W, P), cap));
    }
  }
  if (P.RuckTimer > 0 && P.RuckRole != 0.0f && P.RuckRole != 1.0f && P.RuckRole != 60.0f && P.RuckRole != 61.0f)
    P.speed = static_cast<f32>(std::min(static_cast<double>(P.maxspeed), LandingSpeed(W, P)));
  if (P.shimmytimer > 0) P.speed = std::min(P.speed, P.ShimmySpeed);
}

// The speed actually run in the last frame.
void MeasureSpeed(const TWorld& W, TPlayer& P) {
  P.speed = TimeToCover(P.Pos.x, P.Pos.z, P.OldPos.x, P.OldPos.z, W.PrevTimeStep);
}

// Both take his measured speed from the first pass.
void UpdateAttackerSpeed(const TWorld& W, TPlayer& P) {
  CapForTurn(P);
  ApproachDesiredSpeed(W, P);
  StopOnSpot(W, P);
  ApplyForcedSpeeds(W, P, W.Teams[2], kAttackMarkerAllowance);
}

// A defender starts open play after a breakdown or set piece at a share of
// his measured speed.
void UpdateDefenderSpeed(const TWorld& W, TPlayer& P) {
  const TGameState prev = W.PrevFrameGameState;
  if ((W.gamestate == gsRunning || W.gamestate == gsPassing) &&
      (prev == gsGotTackled || prev == gsScrum || prev == gsLineout))
    P.speed = static_cast<f32>(P.speed * (P.shimmytimer > 0 ? kRestartShimmyShare : kRestartShare));
  CapForTurn(P);
  ApproachDesiredSpeed(W, P);
  StopOnSpot(W, P);
  ApplyForcedSpeeds(W, P, W.Teams[1], kDefenceMarkerAllowance);
}

// Top speed left in a tired spell: less with every spell, down to 90 %.
double TiredShare(i16 Level) {
  if (Level >= 4) return 0.9;
  if (Level >= 3) return 0.925;
  if (Level >= 2) return 0.95;
  return 0.975;
}

// A fresh spell counts down only in running and passing, a tired spell in
// every state; each spell that ends starts the other with one draw. Tired
// spells lengthen and fresh spells shorten with the fatigue level.
void RunFatigueSpell(const TWorld& W, TPlayer& P) {
  if (!P.Fatigued) {
    if (W.gamestate != gsRunning && W.gamestate != gsPassing) return;
    P.FatigueTimer = static_cast<f32>(static_cast<double>(P.FatigueTimer) - W.TimeStep);
    if (P.FatigueTimer > 0) return;
    P.FatigueLevel = ClampToI16(std::max(P.FatigueLevel + 1, 1));
    P.Fatigued = kTrue32;
    P.FatigueTimer = static_cast<f32>(static_cast<double>(P.FatigueTiredTime) * P.FatigueLevel + RandomRange(1, 11));
    P.maxspeed = static_cast<f32>(P.MaxSpeedNonFatigued * TiredShare(P.FatigueLevel));
    return;
  }
  P.FatigueTimer = static_cast<f32>(static_cast<double>(P.FatigueTimer) - W.TimeStep);
  if (P.FatigueTimer > 0) return;
  P.Fatigued = kFalse32;
  if (P.FatigueLevel < 1) P.FatigueLevel = 1;
  P.FatigueTimer = static_cast<f32>(static_cast<double>(P.FatigueFreshTime) / P.FatigueLevel + RandomRange(1, 6));
  P.maxspeed = P.MaxSpeedNonFatigued;
}

}  // namespace

void AccelerateToDesiredSpeed(TWorld& W) {
  const int n = PlayerCount(W);
  const i32 level = AssistLevel();
  // The measured speed is taken here rather than at the head of each
  // player's update: the updates read and write only their own player's
  // speed and none of the positions, so it is the same number, and the
  // float flags are only read after the step. Here no player's root and
  // quotient waits on the last one's branches, and the updates start
  // from a speed in hand.
  const i32 carrier = W.Teams[1].BallCarrier;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      P.Acceleration = static_cast<f32>(P.AccelerationInit * AccelerationFactor(W, P, level));
      P.DistToDesired = Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z);
      if (b == 2 || i != carrier) MeasureSpeed(W, P);
    }
  for (int i = 1; i <= n; ++i)
    if (i != W.Teams[1].BallCarrier) UpdateAttackerSpeed(W, W.Teams[1].Players[i]);
  for (int i = 1; i <= n; ++i) UpdateDefenderSpeed(W, W.Teams[2].Players[i]);
  for (int i = 1; i <= n; ++i) {
    RunFatigueSpell(W, W.Teams[1].Players[i]);
    RunFatigueSpell(W, W.Teams[2].Players[i]);
  }
}
