#include "core/BallFlight.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"

namespace {

constexpr double kGravity = 9.81;
constexpr double kAirDensity = 1.204;
constexpr double kReynoldsDivisor = 0.00013125;
constexpr double kDragReLow = 100000.0;
constexpr double kDragReHigh = 135000.0;
constexpr double kDragSlow = 0.47;  // below kDragReLow
constexpr double kDragFast = 0.22;  // above kDragReHigh
constexpr double kLiftConstant = 0.385;
constexpr double kLiftExponent = 0.25;
constexpr double kCatchHeightHigh = 2.2;
constexpr double kCatchHeightLow = 1.45;
constexpr double kMinFinalHeight = 0.01;

// Kick and loose-ball constants the callers pass.
constexpr f32 kBallMass = 0.43f;
constexpr f32 kBallArea = 0.029f;
constexpr f32 kBallDiameter = 0.29f;
constexpr f32 kDragCoefficient = 0.2f;
constexpr f32 kDragModeReynolds = 1.0f;

// Acceleration of the ball over one step: drag against the air speed, lift
// at right angles to the horizontal motion, gravity.
struct TFlightForces {
  double Mass, Area, Diameter;
  double DragCoefficient;
  bool ReynoldsDrag;
  double LiftCoefficient;
  bool SpinLift;
  double SpinRate;
  double CosAxis, SinAxis;  // of the spin axis angle
  double WindX, WindZ;

  void Acceleration(const TVector3& v, double s, double& ax, double& ay, double& az) {
    double dx = 0.0, dy = 0.0, dz = 0.0;
    const double wx = v.x - WindX, wy = v.y, wz = v.z - WindZ;
    const double w = std::sqrt(wx * wx + wy * wy + wz * wz);
    if (ReynoldsDrag) DragCoefficient = BallDragCoefficient(kAirDensity * w * Diameter / kReynoldsDivisor);
    // Without air speed the drag has no direction and no size.
    if (w > 0.0) {
      const double drag = w * w * 0.5 * kAirDensity * Area * DragCoefficient;
      dx = -drag * wx / (w * Mass);
      dy = -drag * wy / (w * Mass);
      dz = -drag * wz / (w * Mass);
    }
    if (SpinLift) {
      // The spin parameter is undefined for a ball at rest; it has no lift then.
      const double spin = s > 0.0 ? (Diameter / 2.0) * SpinRate / s : 0.0;
      LiftCoefficient = spin > 0.0 ? kLiftConstant * std::pow(spin, kLiftExponent) : 0.0;
    }
    const double lift = s * s * 0.5 * kAirDensity * Area * LiftCoefficient;
    double lx = 0.0, ly = 0.0, lz = 0.0;
    if (lift != 0.0) {
      // At right angles to the horizontal motion (heading g + 90), tilted by the spin axis.
      const TDirection across = HeadingDirection(HeadingToPoint(0.0f, 0.0f, v.x, v.z, 90.0f) + 90.0);
      lx = across.x * (lift * CosAxis);
      ly = -lift * SinAxis;
      lz = across.z * (lift * CosAxis);
    }
    ax = dx + lx / Mass;
    ay = dy + ly / Mass - kGravity;
    az = dz + lz / Mass;
  }
};

// Where a flight is written: a TBallFlight, or the world's fields of the
// ball in play, so that a launch fills the world in place without a copy.
struct TFlightTable {
  Arr1<f32, kFlightSteps>& Time;
  Arr1<TVector3, kFlightSteps>& Pos;
  Arr1<TVector3, kFlightSteps>& Vel;
  Arr1<f32, kFlightSteps>& Speed;
  i32& StepCount;
  i32& Drop22Step;
  i32& Drop145Step;
  i32& LandingStep;
  i32& WideStep;
  i32& FirstDropStep;
  bool32& NoDrop;
};

TFlightTable TableOf(TBallFlight& F) {
  return {F.Time,       F.Pos,         F.Vel,      F.Speed,         F.StepCount, F.Drop22Step,
          F.Drop145Step, F.LandingStep, F.WideStep, F.FirstDropStep, F.NoDrop};
}

// A drop step is the first at which the ball comes down through the height.
inline bool ComesDownThrough(double h, f32 before, f32 now) { return before > h && h >= now; }

void NoteDrop(const TFlightTable& F, i32& drop, int i) {
  drop = i;
  if (F.FirstDropStep == 0) F.FirstDropStep = i;
}

// The ball lies still after landing while the table's clock runs on.
void FillAfterLanding(const TFlightTable& F, double dt) {
  const int n = F.StepCount;
  const TVector3 p = F.Pos[n], v = F.Vel[n];
  const f32 s = F.Speed[n];
  f32 t = F.Time[n];
  for (int j = n + 1; j <= kFlightSteps; ++j) {
    t = ToF32(t + dt);
    F.Time[j] = t;
  }
  for (int j = n + 1; j <= kFlightSteps; ++j) {
    F.Pos[j] = p;
    F.Vel[j] = v;
    F.Speed[j] = s;
  }
}

void Integrate(const TFlightTable& F, bool fillAfterLanding, f32 TimeStep, f32 Speed, f32 Elevation,
               f32 Heading, f32 X, f32 Y, f32 Z, f32 Mass, f32 Area, f32 Diameter,
               f32 DragCoefficient, f32 DragMode, f32 WindSpeed, f32 WindHeading,
               f32 LiftCoefficient, f32 SpinMode, f32 SpinRate, f32 SpinAxisAngle, f32 PitchWidth) {
  F.Time[1] = 0.0f;
  F.Pos[1] = {X, Y, Z};
  F.Speed[1] = Speed;
  F.StepCount = kFlightSteps;
  F.Drop22Step = F.Drop145Step = F.LandingStep = F.WideStep = F.FirstDropStep = 0;
  F.NoDrop = kFalse32;

  const double vy = Speed * std::sin(Elevation * kDegToRad);
  const double horizontal = std::sqrt(std::max(0.0, double(Speed) * Speed - vy * vy));
  const TDirection along = HeadingDirection(Heading);
  F.Vel[1] = {ToF32(along.x * horizontal), ToF32(vy), ToF32(along.z * horizontal)};

  const TDirection wind = HeadingDirection(WindHeading);
  const double axis = SpinAxisAngle * kDegToRad;
  TFlightForces forces{Mass,
                       Area,
                       Diameter,
                       DragCoefficient,
                       DragMode == 1.0f,
                       LiftCoefficient,
                       SpinMode == 1.0f,
                       SpinRate,
                       std::cos(axis),
                       std::sin(axis),
                       wind.x * WindSpeed,
                       wind.z * WindSpeed};

  const double dt = TimeStep;
  const double groundHeight = 0.5 * Diameter;
  const double touchX = PitchWidth / 2.0;
  // The step before, carried along rather than read back from the table.
  TVector3 v = F.Vel[1], p = F.Pos[1];
  f32 s = F.Speed[1], t = F.Time[1];
  for (int i = 2; i <= kFlightSteps; ++i) {
    double ax, ay, az;
    forces.Acceleration(v, s, ax, ay, az);
    const TVector3 nv{ToF32(v.x + dt * ax), ToF32(v.y + dt * ay), ToF32(v.z + dt * az)};
    // Explicit Euler: the position moves with the old velocity.
    const TVector3 np{ToF32(p.x + dt * v.x), ToF32(p.y + dt * v.y), ToF32(p.z + dt * v.z)};
    s = ToF32(std::sqrt(double(nv.x) * nv.x + double(nv.y) * nv.y + double(nv.z) * nv.z));
    t = ToF32(t + dt);
    F.Vel[i] = nv;
    F.Pos[i] = np;
    F.Speed[i] = s;
    F.Time[i] = t;

    if (F.Drop22Step == 0 && ComesDownThrough(kCatchHeightHigh, p.y, np.y)) NoteDrop(F, F.Drop22Step, i);
    if (F.Drop145Step == 0 && ComesDownThrough(kCatchHeightLow, p.y, np.y)) NoteDrop(F, F.Drop145Step, i);
    if (np.y <= groundHeight && p.y > np.y) {
      F.StepCount = i;
      F.LandingStep = i;
      if (F.FirstDropStep == 0) F.FirstDropStep = i;
      break;
    }
    if (F.WideStep == 0 && (np.x >= touchX || np.x <= -touchX)) F.WideStep = i;
    v = nv;
    p = np;
  }

  const int n = F.StepCount;
  if (F.Pos[n].y < kMinFinalHeight) F.Pos[n].y = ToF32(kMinFinalHeight);
  if (fillAfterLanding) FillAfterLanding(F, dt);
  if (F.Drop22Step == 0 && F.Drop145Step == 0) F.NoDrop = kTrue32;
}

}  // namespace

double BallDragCoefficient(double Re) {
  if (Re < kDragReLow) return kDragSlow;
  // A linear fall of 0.25 over 35,000, in this order: 0.47 - 0.22 is not 0.25 in binary.
  if (Re <= kDragReHigh) return kDragSlow - 0.25 * (Re - kDragReLow) / 35000.0;
  return kDragFast;
}

void SimulateBallFlight(TBallFlight& F, f32 TimeStep, f32 Speed, f32 Elevation, f32 Heading, f32 X,
                        f32 Y, f32 Z, f32 Mass, f32 Area, f32 Diameter, f32 /*Unused11*/,
                        f32 /*Unused12*/, f32 DragCoefficient, f32 DragMode, f32 WindSpeed,
                        f32 WindHeading, f32 LiftCoefficient, f32 SpinMode, f32 SpinRate,
                        f32 SpinAxisAngle, f32 PitchWidth) {
  Integrate(TableOf(F), true, TimeStep, Speed, Elevation, Heading, X, Y, Z, Mass, Area, Diameter,
            DragCoefficient, DragMode, WindSpeed, WindHeading, LiftCoefficient, SpinMode, SpinRate,
            SpinAxisAngle, PitchWidth);
}

void SimulateBallFlight(TWorld& W, f32 TimeStep, f32 Speed, f32 Elevation, f32 Heading, f32 X,
                        f32 Y, f32 Z, f32 Mass, f32 Area, f32 Diameter, f32 /*Unused11*/,
                        f32 /*Unused12*/, f32 DragCoefficient, f32 DragMode, f32 WindSpeed,
                        f32 WindHeading, f32 LiftCoefficient, f32 SpinMode, f32 SpinRate,
                        f32 SpinAxisAngle, f32 PitchWidth) {
  const TFlightTable table{W.FlightTimes,       W.FlightPos,          W.FlightVel,
                           W.FlightSpeed,       W.FlightSegments,     W.FlightDrop22Step,
                           W.FlightDrop145Step, W.FlightLandingStep,  W.FlightWideStep,
                           W.FlightFirstDropStep, W.FlightNoDrop};
  Integrate(table, true, TimeStep, Speed, Elevation, Heading, X, Y, Z, Mass, Area, Diameter,
            DragCoefficient, DragMode, WindSpeed, WindHeading, LiftCoefficient, SpinMode, SpinRate,
            SpinAxisAngle, PitchWidth);
}

TBallFlight SimulateBallFlight(f32 TimeStep, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y,
                               f32 Z, f32 Mass, f32 Area, f32 Diameter, f32 Unused11,
                               f32 Unused12, f32 DragCoefficient, f32 DragMode, f32 WindSpeed,
                               f32 WindHeading, f32 LiftCoefficient, f32 SpinMode, f32 SpinRate,
                               f32 SpinAxisAngle, f32 PitchWidth) {
  TBallFlight F;
  SimulateBallFlight(F, TimeStep, Speed, Elevation, Heading, X, Y, Z, Mass, Area, Diameter,
                     Unused11, Unused12, DragCoefficient, DragMode, WindSpeed, WindHeading,
                     LiftCoefficient, SpinMode, SpinRate, SpinAxisAngle, PitchWidth);
  return F;
}

void SimulateKickFlight(TBallFlight& Out, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y,
                        f32 Z, f32 PitchWidth) {
  SimulateBallFlight(Out, 0.015f, Speed, Elevation, Heading, X, Y, Z, kBallMass, kBallArea,
                     kBallDiameter, 0.0f, 25.0f, kDragCoefficient, kDragModeReynolds, 0.0f,
                     180.0f, 0.5f, 1.0f, 0.2f, 180.0f, PitchWidth);
}

void SimulateKickFlightToLanding(TBallFlight& Out, f32 Speed, f32 Elevation, f32 Heading, f32 X,
                                 f32 Y, f32 Z, f32 PitchWidth) {
  Integrate(TableOf(Out), false, 0.015f, Speed, Elevation, Heading, X, Y, Z, kBallMass, kBallArea,
            kBallDiameter, kDragCoefficient, kDragModeReynolds, 0.0f, 180.0f, 0.5f, 1.0f, 0.2f,
            180.0f, PitchWidth);
}

void SimulateLooseBallFlight(TBallFlight& Out, f32 Speed, f32 Elevation, f32 Heading, f32 X,
                             f32 Y, f32 Z, f32 PitchWidth) {
  SimulateBallFlight(Out, 0.02f, Speed, Elevation, Heading, X, Y, Z, kBallMass, kBallArea,
                     kBallDiameter, 0.0f, 25.0f, kDragCoefficient, kDragModeReynolds, 0.0f, 0.0f,
                     0.0f, 0.0f, 0.0f, 0.0f, PitchWidth);
}

void SimulateLooseBallFlight(TWorld& W, f32 Speed, f32 Elevation, f32 Heading) {
  SimulateLooseBallFlight(W, Speed, Elevation, Heading, W.BallPos.x, W.BallPos.y, W.BallPos.z);
}

void SimulateLooseBallFlight(TWorld& W, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y, f32 Z) {
  SimulateBallFlight(W, 0.02f, Speed, Elevation, Heading, X, Y, Z, kBallMass, kBallArea,
                     kBallDiameter, 0.0f, 25.0f, kDragCoefficient, kDragModeReynolds, 0.0f, 0.0f,
                     0.0f, 0.0f, 0.0f, 0.0f, W.PitchWidth);
}

void SimulateKickFlight(TWorld& W, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y, f32 Z) {
  SimulateBallFlight(W, 0.015f, Speed, Elevation, Heading, X, Y, Z, kBallMass, kBallArea,
                     kBallDiameter, 0.0f, 25.0f, kDragCoefficient, kDragModeReynolds, 0.0f,
                     180.0f, 0.5f, 1.0f, 0.2f, 180.0f, W.PitchWidth);
}

void StoreBallFlight(TWorld& W, const TBallFlight& F) {
  W.FlightTimes = F.Time;
  W.FlightPos = F.Pos;
  W.FlightVel = F.Vel;
  W.FlightSpeed = F.Speed;
  W.FlightSegments = F.StepCount;
  W.FlightDrop22Step = F.Drop22Step;
  W.FlightDrop145Step = F.Drop145Step;
  W.FlightLandingStep = F.LandingStep;
  W.FlightWideStep = F.WideStep;
  W.FlightFirstDropStep = F.FirstDropStep;
  W.FlightNoDrop = F.NoDrop;
}
