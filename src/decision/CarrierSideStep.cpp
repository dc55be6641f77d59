#include "decision/CarrierSideStep.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Random.h"
#include "decision/CarrierLookups.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

constexpr f32 kStepTimerStart = 10.0f;     // s, ended by the timer step
constexpr double kPressedStep = 0.3;       // s, a kind-9 step waits for contact this close
constexpr double kSecondLegShare = 0.35;   // of the animation: the second leg and the reaction
constexpr double kHeldUpRadius = 1.8;      // m, team-mates this close are held up
constexpr double kTurnedRadius = 4.5;      // m, beaten opponents this close turn
constexpr double kLookAheadBeat = 1.3;     // the look-ahead copy's factor on SideStepBeatProb
constexpr double kBeatenLineTurn = 30.0;   // degrees off the first leg: the line the beaten defender meets

// The two legs of a step of the kind from heading S: out, then on.
struct TLegs {
  double First, Second;
};
TLegs LegsOf(i32 Kind, double S) {
  switch (Kind) {
    case 1: return {S, S - 45.0};
    case 2: return {S, S + 45.0};
    case 3: return {S + 45.0, S - 60.0};
    case 4: return {S - 45.0, S + 60.0};
    default: return {S, S};
  }
}

bool IsSpin(i32 Kind) { return Kind == 3 || Kind == 4; }

bool StepAsked(const TWorld& W, const TActionEvent& E) {
  if (E.EventType == 8) return true;
  return E.EventType == 9 && W.Teams[1].TimeToContact < kPressedStep;
}

// The line, off the first leg, on which a beaten defender expects the
// carrier: outside for kinds 1 and 3, inside for 2 and 4.
double BeatenLine(const TPlayer& C) {
  if (C.StepKind == 1.0f || C.StepKind == 3.0f) return C.StepFirstAngle + kBeatenLineTurn;
  if (C.StepKind == 2.0f || C.StepKind == 4.0f) return C.StepFirstAngle - kBeatenLineTurn;
  return C.StepFirstAngle;
}

// A beaten defender turns to meet the carrier on the line he expects and
// is slow to read the next change of direction.
void TurnBeatenDefender(const TWorld& W, const TPlayer& C, TPlayer& D) {
  const TVector2 m = InterceptPoint(ToF32(BeatenLine(C)), C.Pos.x, C.Pos.z, C.StepSpeed, C.Acceleration, C.maxspeed,
                                    D.Pos.x, D.Pos.z, D.speed, D.Acceleration, D.maxspeed, W.PitchWidth, kTrue32,
                                    kTrue32, kTrue32);
  D.FacingAngle = ToF32((HeadingToPoint(D.Pos.x, D.Pos.z, m.x, m.z, 90.0f) + 90.0) * kDegToRad);
  D.DefensiveRunningAngleReactionTime.value = ToF32(RandomRange(200, 301) / 1000.0);
}

// The step's one-off effect at the change of leg, player by player.
void ReactToStep(TWorld& W, const TPlayer& C) {
  W.StepReactionDone = kTrue32;
  const TTeamBlock& Opponents = W.Teams[2];
  const double beatProb = C.SideStepBeatProb * (W.LiveWorld != 0 ? 1.0 : kLookAheadBeat);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    TPlayer& M = W.Teams[1].Players[i];
    if (Distance2D(C.Pos.x, C.Pos.z, M.Pos.x, M.Pos.z) < kHeldUpRadius && M.RunningAngleReactionTime.value <= 0) {
      M.RunningAngleReactionTime.value = ToF32(2.0 * DrawDistribution(M.RunningAngleReactionTime));
    }
    if (Opponents.DecisionsOn == 0 && i == Opponents.FollowExempt) continue;
    TPlayer& D = W.Teams[2].Players[i];
    const bool beaten = RandomRange(1, 1001) <= beatProb;
    if (beaten && Distance2D(C.Pos.x, C.Pos.z, D.Pos.x, D.Pos.z) < kTurnedRadius) TurnBeatenDefender(W, C, D);
  }
}

}  // namespace

void DecideSideStep(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr) return;
  TPlayer& C = *carrier;
  TActionEvent* event = CurrentEventOf(C);
  if (event == nullptr || !StepAsked(W, *event) || !FreeOfOtherActions(W, C)) return;
  TActionEvent& E = *event;

  const bool running = C.ActionSeq.seqON != 0;
  if (running) E.Complete = kTrue32;
  W.StepReactionDone = kFalse32;
  C.passcatchtimer = 0.0f;
  C.StepTimer = kStepTimerStart;
  const i32 kind = running ? E.EventCode : RandomRange(1, 3);
  C.StepKind = static_cast<f32>(kind);
  C.StepHeading = running ? E.Angle : HeadingOfFacing(C.FacingAngle);
  const TLegs legs = LegsOf(kind, C.StepHeading);
  C.StepFirstAngle = ToF32(legs.First);
  C.StepSecondAngle = NormaliseHeading(ToF32(legs.Second));
  C.StepAngle = C.StepFirstAngle;
  C.currentframe = 0.0f;
  C.StepSpeed = C.speed;
  C.StepStartSpeedCap = ToF32((IsSpin(kind) ? 0.25 : 0.45) * C.maxspeed);
  C.StepTopSpeed = ToF32((IsSpin(kind) ? 0.65 : 0.85) * C.maxspeed);
  if (C.StepSpeed > C.StepStartSpeedCap) C.StepSpeed = C.StepStartSpeedCap;
}

void ContinueSideStep(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->StepTimer > 0)) return;
  TPlayer& C = *carrier;
  C.Pos = C.OldPos;
  C.StepSpeed = ToF32(std::min(C.StepSpeed + static_cast<double>(C.Acceleration) * W.TimeStep,
                               static_cast<double>(C.StepTopSpeed)));
  const bool secondLeg = AnimProgress(C) > kSecondLegShare;
  if (secondLeg) C.StepAngle = C.StepSecondAngle;
  if (secondLeg && W.StepReactionDone == 0) ReactToStep(W, C);
  RunFromOldPos(W, C, C.StepHeading, C.StepAngle, C.StepSpeed);
}
