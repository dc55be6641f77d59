// The whole flight of a kicked or loose ball, integrated in one call: the
// ball step then reads positions out of the table by flight time, and the
// decision and contact steps read where and when the ball comes down.
#pragma once

#include "core/TypeDefs.h"

constexpr int kFlightSteps = 1000;

// One integrated flight. Step 1 is the launch; after the landing step the
// ball lies still while the table's clock runs on.
struct TBallFlight {
  Arr1<f32, kFlightSteps> Time;
  Arr1<TVector3, kFlightSteps> Pos;
  Arr1<TVector3, kFlightSteps> Vel;
  Arr1<f32, kFlightSteps> Speed;
  i32 StepCount;      // 1000, or the landing step
  i32 Drop22Step;     // first step coming down through 2.2 m; 0 = never
  i32 Drop145Step;    // first step coming down through 1.45 m; 0 = never
  i32 LandingStep;    // 0 = not down after 1000 steps
  i32 WideStep;       // first step (not the landing one) at or beyond a touch line
  i32 FirstDropStep;  // the first of the two drop steps and the landing step to be set
  bool32 NoDrop;      // neither drop step was set
};

static_assert(std::is_trivially_copyable_v<TBallFlight>);

// Fills `Out` in place (a TBallFlight is some 32 KB: loops reuse one).
// Arguments 11 and 12 are accepted and not used.
void SimulateBallFlight(TBallFlight& Out, f32 TimeStep, f32 Speed, f32 Elevation, f32 Heading,
                        f32 X, f32 Y, f32 Z, f32 Mass, f32 Area, f32 Diameter, f32 Unused11,
                        f32 Unused12, f32 DragCoefficient, f32 DragMode, f32 WindSpeed,
                        f32 WindHeading, f32 LiftCoefficient, f32 SpinMode, f32 SpinRate,
                        f32 SpinAxisAngle, f32 PitchWidth);

// The same, written in place into the world's flight of the ball in play
// (saves a copy of the table through StoreBallFlight).
void SimulateBallFlight(TWorld& W, f32 TimeStep, f32 Speed, f32 Elevation, f32 Heading, f32 X,
                        f32 Y, f32 Z, f32 Mass, f32 Area, f32 Diameter, f32 Unused11,
                        f32 Unused12, f32 DragCoefficient, f32 DragMode, f32 WindSpeed,
                        f32 WindHeading, f32 LiftCoefficient, f32 SpinMode, f32 SpinRate,
                        f32 SpinAxisAngle, f32 PitchWidth);

// The same, returned by value.
TBallFlight SimulateBallFlight(f32 TimeStep, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y,
                               f32 Z, f32 Mass, f32 Area, f32 Diameter, f32 Unused11,
                               f32 Unused12, f32 DragCoefficient, f32 DragMode, f32 WindSpeed,
                               f32 WindHeading, f32 LiftCoefficient, f32 SpinMode, f32 SpinRate,
                               f32 SpinAxisAngle, f32 PitchWidth);

// A kick leaving the foot: time step 0.015 s, drag by Reynolds number,
// lift from spin about a vertical axis.
void SimulateKickFlight(TBallFlight& Out, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y,
                        f32 Z, f32 PitchWidth);

// The same kick, with only the steps up to the landing step (or all 1000)
// written: for searches that read nothing after the landing.
void SimulateKickFlightToLanding(TBallFlight& Out, f32 Speed, f32 Elevation, f32 Heading, f32 X,
                                 f32 Y, f32 Z, f32 PitchWidth);

// A loose ball (bounce, knock-on, deflection): time step 0.02 s, drag by
// Reynolds number, no lift.
void SimulateLooseBallFlight(TBallFlight& Out, f32 Speed, f32 Elevation, f32 Heading, f32 X,
                             f32 Y, f32 Z, f32 PitchWidth);

// The same loose ball launched from BallPos, written in place into the
// world's flight of the ball in play.
void SimulateLooseBallFlight(TWorld& W, f32 Speed, f32 Elevation, f32 Heading);

// The same loose ball launched from (X, Y, Z), written in place into the
// world's flight of the ball in play.
void SimulateLooseBallFlight(TWorld& W, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y, f32 Z);

// A kick leaving the foot at (X, Y, Z), written in place into the world's
// flight of the ball in play.
void SimulateKickFlight(TWorld& W, f32 Speed, f32 Elevation, f32 Heading, f32 X, f32 Y, f32 Z);

// Drag coefficient of the ball at Reynolds number Re (drag mode 1): 0.47
// below 100,000, falling linearly to 0.22 at 135,000, 0.22 above.
double BallDragCoefficient(double Re);

// Stores a flight into the world's fields of the ball in play.
void StoreBallFlight(TWorld& W, const TBallFlight& F);
