#include "decision/CarrierDive.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "core/Random.h"
#include "decision/CarrierLookups.h"

namespace {

constexpr f32 kDiveTimerStart = 1.8f;           // s, counted down by the timer step
constexpr double kPressedDive = 0.7;            // s, a run-in dives when contact is this close
constexpr double kRunInTryLine = 50.0;          // m, the try line of the run-in test
constexpr double kRunInDepth = 1.4;             // m short of the dead-ball line: a run-in dives
constexpr double kCrossingTime = 0.4;           // s on the event's line for the posts test
constexpr double kLineLookAhead = 0.5;          // s on the dive's line for the touch and dead-ball turns
constexpr double kTouchMargin = 0.2;            // m inside touch and the dead-ball line
constexpr double kDeadBallTurn = 20.0;          // degrees, away from the dead-ball line
constexpr double kLeastDiveSpeed = 4.0;         // m/s
constexpr double kDeepDive = 3.1;               // m short of the dead-ball line: a dive there may end on it
constexpr double kDiveEndMargin = 0.35;         // m short of the dead-ball line: where the dive ends
constexpr double kDeepInGoal = 1.25;            // m short of the dead-ball line: a kind-4 dive slows
constexpr double kDeepDiveSpeed = 3.0;          // m/s

// ------------------------------------------------------------------ entry

double DeadBallZ(const TWorld& W) { return W.PitchLength / 2.0 + W.InGoalDepth; }

// A run-in reaches the line through the posts within kCrossingTime.
bool ReachesPostsLine(const TPlayer& C, const TActionEvent& E) {
  const double x = C.Pos.x + kCrossingTime * E.DesSpeed * HeadingDirection(E.Angle).x;
  return (C.Pos.x <= 0 && x >= 0) || (C.Pos.x >= 0 && x <= 0);
}

bool DiveAsked(const TWorld& W, const TPlayer& C, const TActionEvent& E) {
  if (E.EventType == 6) return true;
  if (E.EventType != 7) return false;
  return W.Teams[1].TimeToContact < kPressedDive || C.Pos.z > kRunInTryLine + W.InGoalDepth - kRunInDepth ||
         ReachesPostsLine(C, E);
}

bool FreeToDive(const TPlayer& C) {
  if (C.numgoverning > 0) return false;
  for (f32 t : {C.passtimer, C.standuptimer, C.DiveTimer, C.BreakTackleTimer, C.freeballcatchtimer, C.StepTimer}) {
    if (!(t <= 0)) return false;
  }
  return true;
}

// ------------------------------------------------------------------ line and kind

// The line of a run-in dive: the way he moved over the last frame, never
// back towards his own goal, turned in from touch and from the dead-ball
// line when half a second on it would take him within kTouchMargin.
void SetRunInLine(const TWorld& W, const TPlayer& C, TActionEvent& E) {
  f32 a = HeadingToPoint(C.OldPos.x, C.OldPos.z, C.Pos.x, C.Pos.z, 90.0f);
  if (a > 180.0f) a = a < 270.0f ? 180.0f : 0.0f;
  E.Angle = a;
  const double reach = kLineLookAhead * E.DesSpeed;
  const double x = C.Pos.x + reach * HeadingDirection(E.Angle).x;
  const double edge = W.PitchWidth / 2.0 - kTouchMargin;
  if (x >= edge) E.Angle = 80.0f;
  if (x <= -edge) E.Angle = 100.0f;
  const double z = C.Pos.z + reach * HeadingDirection(E.Angle).z;
  if (z > DeadBallZ(W) - kTouchMargin) {
    E.Angle = NormaliseHeading(ToF32(E.Angle < 90.0f ? E.Angle - kDeadBallTurn : E.Angle + kDeadBallTurn));
  }
}

// The kind by the roll R (1..1000) and the score: the further behind, the
// more often the safe kind 1 and the less often the showy kind 3.
i32 KindByScore(i32 Own, i32 Theirs, i32 R) {
  int first = 0;   // the roll below which kind 1 is chosen
  int second = 0;  // below which kind 2
  if (static_cast<double>(Own) + 7 < Theirs) {
    first = 200;
    second = 800;
  } else if (Own <= Theirs) {
    first = 100;
    second = 700;
  } else {
    first = 100;
    second = 550;
  }
  if (R < first) return 1;
  if (R < second) return 2;
  if (R < 990) return 3;
  return 4;
}

// The kind after the corrections: a dive that would end near the dead-ball
// line is kind 4 (slowed deep in the in-goal); in the field of play kind 2.
void CorrectKind(const TWorld& W, TPlayer& C) {
  const double deadBall = DeadBallZ(W);
  const double endZ = C.Pos.z + kLineLookAhead * C.DiveSpeed * HeadingDirection(C.DiveAngle).z;
  if (C.Pos.z > deadBall - kDeepDive && endZ > deadBall - kDiveEndMargin) C.DiveKind = 4;
  if (C.DiveKind == 4 && C.Pos.z > deadBall - kDeepInGoal && C.DiveSpeed > kDeepDiveSpeed) {
    C.DiveSpeed = ToF32(kDeepDiveSpeed);
  }
  const double tryLine = W.PitchLength / 2.0;
  if (C.Pos.z > -tryLine && C.Pos.z <= tryLine) C.DiveKind = 2;
}

}  // namespace

void DecideDive(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr) return;
  TPlayer& C = *carrier;
  TActionEvent* event = CurrentEventOf(C);
  if (event == nullptr || !DiveAsked(W, C, *event) || !FreeToDive(C)) return;
  TActionEvent& E = *event;

  if (E.EventType == 7) SetRunInLine(W, C, E);
  const bool running = C.ActionSeq.seqON != 0;
  if (running) E.Complete = kTrue32;
  C.DiveTimer = kDiveTimerStart;
  C.DiveAngle = running ? E.Angle : HeadingOfFacing(C.FacingAngle);
  C.DiveSpeed = ToF32(std::max(static_cast<double>(C.speed), kLeastDiveSpeed));
  C.passcatchtimer = 0.0f;
  W.MarkCalled = kFalse32;
  C.SpecialAnimTimer = 0.0f;

  C.DiveKind = RandomRange(1, 5);
  const i32 r = RandomRange(1, 1001);
  C.DiveKind = KindByScore(W.Teams[1].score, W.Teams[2].score, r);
  CorrectKind(W, C);
}

void ContinueDive(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->DiveTimer > 0)) return;
  TPlayer& C = *carrier;
  C.speed = C.DiveSpeed;
  RunFromOldPos(W, C, C.DiveAngle, C.DiveAngle, C.speed);
}

void ContinueGettingUp(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->standuptimer > 0)) return;
  TPlayer& C = *carrier;
  C.speed = C.StandUpSpeed;
  RunFromOldPos(W, C, C.StandUpFacing, C.StandUpFacing, C.speed);
}
