#include "motion/FreeBallFlight.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/BallFlight.h"
#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/Kinematics.h"
#include "core/Random.h"

namespace {

constexpr double kPassGravity = 9.81;       // m/s/s, a pass falls by this whatever Gravity holds
constexpr double kSpiralSpinBase = 1.5;     // rad/s added to a spiral pass's spin
constexpr double kTumbleSpinBase = 1.3;     // rad/s added to a tumbling pass's pitch rate
constexpr f32 kRollHeight = 0.2f;           // m, a rolling ball's centre
constexpr double kRollFrictionShare = 25.0;  // GroundFriction / 25 slows a rolling ball
constexpr f32 kRollMaxSpeed = 1.5f;         // m/s, a landing at or below this may roll
constexpr f32 kRollMaxClimb = 1.2f;         // m/s of |vy|
constexpr f32 kBounceMessageSpeed = 4.0f;   // m/s, a faster landing posts msgBallBounce
constexpr f32 kFlatBounceSpeed = 2.4f;      // m/s, at or below a bounce is flat
constexpr double kRollSpinRate = -5.0;      // rad/s per m/s
constexpr double kFlightSpinRate = -1.75;   // rad/s per m/s
constexpr double kHalfPi = std::numbers::pi / 2.0;
constexpr f32 kNoTurn = 90.0f;              // heading of a motion with no horizontal part

double Length(const TVector3& V) {
  return std::sqrt(static_cast<double>(V.x) * V.x + static_cast<double>(V.y) * V.y + static_cast<double>(V.z) * V.z);
}

// A draw of 0.80 .. 1.60 times the ball's speed, in rad/s.
double SpinFromSpeed(const TVector3& V) { return Length(V) * RandomRange(80, 161) / 100.0; }

void Turn(f32& Angle, double Rate, f32 Dt) { Angle = ToF32(Angle + Rate * Dt); }

// One frame along PassVel; then PassVel.y loses G x TimeStep.
void MoveAlongPassVel(TWorld& W, double G) {
  const double dt = W.TimeStep;
  W.BallPos.x = ToF32(W.BallPos.x + static_cast<double>(W.PassVel.x) * dt);
  W.BallPos.y = ToF32(W.BallPos.y + static_cast<double>(W.PassVel.y) * dt);
  W.BallPos.z = ToF32(W.BallPos.z + static_cast<double>(W.PassVel.z) * dt);
  W.PassVel.y = ToF32(W.PassVel.y - G * dt);
}

// The yaw of the frame's motion, and with Pitch its climb as a pitch.
void FacingOfMotion(TWorld& W, bool Pitch) {
  const TVector3& a = W.PrevBallPos;
  const TVector3& b = W.BallPos;
  W.BallYaw = ToF32(HeadingToPoint(a.x, a.z, b.x, b.z, kNoTurn) * kDegToRad);
  if (!Pitch) return;
  const f32 h = Distance2D(a.x, a.z, b.x, b.z);
  W.BallPitch = ToF32(HeadingToPoint(0.0f, a.y, h, b.y, kNoTurn) * kDegToRad - kHalfPi);
}

// Block 2's flags cleared; block 1's from the ball crossing its own
// 22-metre and goal lines this frame.
void BallCarryFlags(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  W.Teams[2].CarriedIntoOwn22 = kFalse32;
  W.Teams[2].CarriedIntoOwnInGoal = kFalse32;
  const double z = W.BallPos.z, z0 = W.PrevBallPos.z;
  const double goal = -0.5 * W.PitchLength, line22 = goal + 22.0;
  if (z > line22) A.CarriedIntoOwn22 = kFalse32;
  if (z0 > line22 && line22 >= z) A.CarriedIntoOwn22 = kTrue32;
  if (z > goal) A.CarriedIntoOwnInGoal = kFalse32;
  if (z0 > goal && goal >= z) A.CarriedIntoOwnInGoal = kTrue32;
}

// One roll movement along LooseBallHeading.
void RollOn(TWorld& W) {
  const double a = W.LooseBallHeading * kDegToRad;
  const double d = static_cast<double>(W.LooseBallSpeed) * W.TimeStep;
  W.BallPos.x = ToF32(W.BallPos.x - std::cos(a) * d);
  W.BallPos.y = kRollHeight;
  W.BallPos.z = ToF32(W.BallPos.z + std::sin(a) * d);
}

// The flight has come down at its last step L, at speed s and velocity v.
void Land(TWorld& W, int L) {
  const f32 s = W.FlightSpeed[L];
  const TVector3 v = W.FlightVel[L];
  if (s <= kRollMaxSpeed && std::fabs(v.y) <= kRollMaxClimb) {
    W.LooseBallRolling = kTrue32;
    W.FreeBallPlanTimer = 0;
    W.FreeBallPointsTimer = 0;
    W.LooseBallSpeed = s;
    W.LooseBallHeading = HeadingToPoint(0.0f, 0.0f, v.x, v.z, kNoTurn);
    W.BallPos = W.PrevBallPos;
    RollOn(W);
    return;
  }
  if (std::fabs(static_cast<double>(W.BallPos.x)) > 0.5 * W.PitchWidth) W.KickTouchFlag1 = kTrue32;
  else if (W.gamestate != gsTransition) W.BallBouncedInField = kTrue32;
  if (s > kBounceMessageSpeed) PostMessage(W, 0, 0, msgBallBounce, s);
  if (s <= kFlatBounceSpeed) SetDistribution(W.BounceErrors[2], -10.0, 10.0, -20.0, -5.0);
  const TLaunchParams launch = VelocityToLaunchWithError(W.BounceErrors, v.x, v.y, v.z);
  W.BallPhase = 1;
  W.BallFlightClock = 0;
  W.FreeBallPlanTimer = 0;
  W.FreeBallPointsTimer = 0;
  const TVector3 from = W.FlightPos[L];
  SimulateLooseBallFlight(W, launch.Speed, launch.Elevation, launch.Heading, from.x, from.y, from.z);
}

// Walks the flight table by BallFlightClock; returns whether it has come down.
bool WalkFlight(TWorld& W, int& L) {
  L = std::clamp<i32>(W.FlightSegments, 1, kFlightSteps);
  W.BallFlightClock = ToF32(static_cast<double>(W.BallFlightClock) + W.TimeStep);
  W.BallPhase = std::clamp<i32>(W.BallPhase, 1, L);
  while (W.BallPhase < L && W.BallFlightClock >= W.FlightTimes[W.BallPhase + 1]) ++W.BallPhase;
  const int p = W.BallPhase;
  const double t = static_cast<double>(W.BallFlightClock) - W.FlightTimes[p];
  W.BallPos = {ToF32(W.FlightPos[p].x + W.FlightVel[p].x * t), ToF32(W.FlightPos[p].y + W.FlightVel[p].y * t),
               ToF32(W.FlightPos[p].z + W.FlightVel[p].z * t)};
  return W.BallPhase == L || static_cast<double>(W.BallFlightClock) + 0.5 * W.TimeStep >= W.FlightTimes[L];
}

}  // namespace

void FlyPass(TWorld& W) {
  MoveAlongPassVel(W, kPassGravity);
  if (W.PassSpiral != 0) {
    W.BallSpinRate = ToF32(SpinFromSpeed(W.PassVel) + kSpiralSpinBase);
    Turn(W.BallSpin, W.BallSpinRate, W.TimeStep);
    FacingOfMotion(W, true);
  } else {
    W.BallSpin = 0;
    FacingOfMotion(W, false);
    W.BallPitchRate = ToF32(SpinFromSpeed(W.PassVel) + kTumbleSpinBase);
    Turn(W.BallPitch, W.BallPitchRate, W.TimeStep);
  }
  BallCarryFlags(W);
  const TPlayer* H = PlayerAt(W.Teams[1], W.Teams[1].SetPieceHolder);
  if (W.PrevFrameGameState == gsGotTackled && H != nullptr && H->Pos.z <= -0.5 * W.PitchLength)
    W.Teams[1].CarriedIntoOwnInGoal = kTrue32;
}

void FlyLineoutThrow(TWorld& W) {
  MoveAlongPassVel(W, W.Gravity);
  W.BallSpinRate = ToF32(SpinFromSpeed(W.PassVel));
  Turn(W.BallSpin, W.BallSpinRate, W.TimeStep);
  FacingOfMotion(W, true);
}

void FlyFreeBall(TWorld& W) {
  if (W.LooseBallRolling != 0) {
    RollOn(W);
    W.LooseBallSpeed = DepleteByRate(W.LooseBallSpeed, W.Gravity, W.TimeStep,
                                     ToF32(W.GroundFriction / kRollFrictionShare));
  } else if (int L = 0; WalkFlight(W, L)) {
    Land(W, L);
  }
  if (W.LooseBallRolling != 0) {
    W.BallSpinRate = ToF32(kRollSpinRate * W.LooseBallSpeed);
    Turn(W.BallSpin, W.BallSpinRate, W.TimeStep);
    W.BallYaw = ToF32((static_cast<double>(W.LooseBallHeading) + 90.0) * kDegToRad);
    W.BallPitch = ToF32(kHalfPi);
  } else {
    const int p = std::clamp<i32>(W.BallPhase, 1, kFlightSteps);
    W.BallSpinRate = ToF32(kFlightSpinRate * W.FlightSpeed[p]);
    Turn(W.BallSpin, W.BallSpinRate, W.TimeStep);
    const TVector3& v = W.FlightVel[p];
    W.BallYaw = ToF32((static_cast<double>(HeadingToPoint(0.0f, 0.0f, v.x, v.z, kNoTurn)) + 90.0) * kDegToRad);
    W.BallPitch = 0;
  }
  if (W.gamestate == gsFreeBall) BallCarryFlags(W);
}
