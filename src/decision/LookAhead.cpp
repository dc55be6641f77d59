#include "decision/LookAhead.h"

#include <cmath>
#include <string>

#include "core/FloatGuard.h"
#include "core/Geometry.h"
#include "core/NumberFormat.h"
#include "core/StrategyShapes.h"
#include "core/WorkCounters.h"
#include "decision/BallCarrierDecision.h"
#include "decision/CarrierLookups.h"
#include "decision/MoveApplication.h"
#include "hooks/FrameSteps.h"
#include "platform/Form.h"

namespace {

constexpr double kHardLimit = 20.0;        // s of simulated time that ends every run
constexpr double kImplausibleTime = 30.0;  // s, a total beyond it is logged
constexpr f32 kRepairedStep = 0.01f;       // s, replaces a time step not above 0
// Frames after which a run whose time does not advance (a move's time step
// not above 0) ends: 20.0 s at the repaired step.
constexpr int kFrameLimit = 2000;
constexpr double kTouchCapBand = 1.1;      // m from touch where a plain run may not head out
constexpr double kTouchMargin = 0.55;      // m from touch: the carrier has gone to touch
constexpr double kTryLineMargin = 0.5;     // m beyond the opponents' try line
constexpr double kCatchPressureReach = 0.75;   // m, free defenders round a catch
constexpr double kGatherPressureReach = 1.25;  // m, free defenders round a gather
constexpr double kDropAfter = 1.0;         // s of flight before a loose ball counts as dropping
constexpr double kDropHeight = 1.85;       // m
constexpr f32 kNoMarker = 100000.0f;       // m, the markers' least ClosingEta before the scan
constexpr f32 kStraightUpField = 90.0f;    // degrees
constexpr f32 kFailedRun = -10000.0f;      // SupportScore of a lost or stopped play
constexpr u16 kNoEvent = 0xFFFF;           // EndEventType without a current event
constexpr u16 kTouchPlayKind = 3;          // ruck play kind that stops when the ball crosses touch

const TFrameStepEntry kCarrierDecisionStep{"BallCarrierDecision", BallCarrierDecision};

// What a run keeps beside the world: its start, its clocks and its
// once-only notes.
struct TRun {
  TGameState StartState;
  bool32 StartTeam1InFirstBlock;
  f32 StartZ;         // m, the ball's z before the first frame
  f32 TotalTime;      // s, every simulated frame
  f32 ForwardTime;    // s, running frames with the ball ahead of StartZ
  f32 TimeLimit;      // s, on ForwardTime
  int Frames;
  bool ExitNoted;     // gottackled start: the ruck clock at the exit is taken
  bool DiagnosticDone;
};

// The carrier's current event has one of the two kinds, with his sequence on.
bool CurrentEventIs(const TPlayer& C, i32 kindA, i32 kindB) {
  if (C.ActionSeq.seqON == 0) return false;
  const TActionEvent* E = CurrentEventOf(C.ActionSeq);
  return E != nullptr && (E->EventType == kindA || E->EventType == kindB);
}

bool PossessionChanged(const TWorld& W, const TRun& run) {
  return W.Team1InFirstBlock != run.StartTeam1InFirstBlock;
}

bool InOpenPlay(TGameState s) { return s == gsRunning || s == gsPassing || s == gsFreeBall; }

void Accumulate(f32& clock, f32 dt) { clock = ToF32(static_cast<double>(clock) + dt); }

// ------------------------------------------------------------------ set-up

// Steps 1 to 5 before the first frame; false when the applied move is not
// feasible and no frame runs.
bool SetUpRun(TWorld& W, const TMove& Move, TRun& run, TSimResult& R) {
  run = TRun{};
  run.StartState = W.gamestate;
  bool32 feasible = kTrue32;
  if (Move.ApplyFirst != 0) {
    ApplyMove(W, W.Teams[1].MoveIndex, feasible);
    if (W.gamestate == gsGotTackled)
      Form1.Memo1.Add(std::to_string(W.Teams[1].MoveIndex) + (feasible != 0 ? " feasible" : " NOT feasible"));
  }
  W.Teams[1].DecisionsOn = kTrue32;
  W.LiveWorld = kFalse32;
  W.CarriedBallPlacementOn = kTrue32;
  if (W.TimeStep <= 0 || W.PrevTimeStep <= 0) {
    W.TimeStep = kRepairedStep;
    W.PrevTimeStep = kRepairedStep;
  }
  run.StartTeam1InFirstBlock = W.Team1InFirstBlock;
  run.StartZ = W.BallPos.z;
  R = TSimResult{};
  R.EndEventType = kNoEvent;
  const bool fromBreakdown = run.StartState == gsGotTackled || run.StartState == gsScrum;
  run.TimeLimit = fromBreakdown ? ToF32(static_cast<double>(Move.SimDuration) + W.RestartDelay) : Move.SimDuration;
  if (feasible != 0) return true;
  R.PossessionLost = kTrue32;
  R.NotFeasible = kTrue32;
  return false;
}

// ------------------------------------------------------------------ the frame

// In running a carrier without a sequence gets the one-event template.
void LoadTemplateWhenIdle(TWorld& W) {
  TPlayer* C = CarrierOf(W);
  if (W.gamestate != gsRunning || C == nullptr || C->ActionSeq.seqON != 0) return;
  C->ActionSeq = StrategyParams.ActionSeqTemplate;
}

// A plain first event (a run, not to a target) of a carrier within 1.1 m of
// a touch line may not head towards it: it runs straight up-field instead.
void CapRunAtTouch(TWorld& W) {
  TPlayer* C = CarrierOf(W);
  if (W.gamestate != gsRunning || C == nullptr) return;
  TActionEvent& E = C->ActionSeq.EventArray[1];
  if (E.EventType != 0 || E.RelMovementOn != 0) return;
  const double edge = W.PitchWidth / 2.0 - kTouchCapBand;
  if (C->Pos.x > edge && E.Angle > kStraightUpField) E.Angle = kStraightUpField;
  if (C->Pos.x < -edge && E.Angle < kStraightUpField) E.Angle = kStraightUpField;
}

// The first break and the first side-step of the carrier before a frame.
void NoteBreakAndStep(TWorld& W, const TRun& run, TSimResult& R) {
  const TPlayer* C = CarrierOf(W);
  if (W.gamestate != gsRunning || C == nullptr || PossessionChanged(W, run)) return;
  if (R.BreakSeen == 0 && C->BreakTackleTimer > 0) {
    R.BreakSeen = kTrue32;
    R.BreakActionCode = C->ActionCode;
  }
  if (R.StepSeen == 0 && C->StepTimer > 0) R.StepSeen = kTrue32;
}

void RunSteps(TWorld& W, int first, int last) { RunFrameSteps(W, first, last); }

// One simulated frame: the decision in place of the dispatcher, the steps
// from the footprints to the ball, the move's time step, then the first-step,
// offside and contact steps.
void RunOneFrame(TWorld& W, const TMove& Move, TRun& run, TSimResult& R) {
  LoadTemplateWhenIdle(W);
  RunFrameStep(kCarrierDecisionStep, W);
  LoadTemplateWhenIdle(W);
  CapRunAtTouch(W);
  NoteBreakAndStep(W, run, R);
  RunSteps(W, kStepUpdatePlayerFootprints, kStepBallUpdate);
  W.PrevTimeStep = W.TimeStep;
  W.TimeStep = Move.SimTimeStep;
  Accumulate(run.TotalTime, W.TimeStep);
  ++run.Frames;
  ++WorkCounters.LookAheadFrames;
  RunSteps(W, 1, kStepCollisionDetect);
}

// ------------------------------------------------------------------ tracking

// A defender of block 2 free to close on the carrier: not down, not getting
// up, following nobody else and tackling nobody else.
bool IsFreeDefender(const TPlayer& D, i32 carrier) {
  return D.OldTackleTimer <= 0 && D.standuptimer <= 0 && (D.playertofollowtimer <= 0 || D.playertofollow == carrier) &&
         (D.TackleAttemptTimer <= 0 || D.target == carrier);
}

i16 FreeDefendersWithin(const TWorld& W, const TPlayer& C, double reach) {
  const i32 carrier = W.Teams[1].BallCarrier;
  i16 n = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& D = W.Teams[2].Players[i];
    if (IsFreeDefender(D, carrier) && Distance2D(D.Pos.x, D.Pos.z, C.Pos.x, C.Pos.z) < reach) ++n;
  }
  return n;
}

// The pressure on a carrier who has just caught (after passing) or gathered
// (after freeball) the ball.
void TrackPressure(TWorld& W, const TRun& run, TSimResult& R) {
  const TPlayer* C = CarrierOf(W);
  if (W.gamestate != gsRunning || C == nullptr || PossessionChanged(W, run)) return;
  if (!(run.TotalTime > 3.0 * W.TimeStep)) return;
  if (W.PrevFrameGameState == gsPassing) {
    const i16 n = FreeDefendersWithin(W, *C, kCatchPressureReach);
    if (n > R.PeakPressureAtCatch) R.PeakPressureAtCatch = n;
  } else if (W.PrevFrameGameState == gsFreeBall) {
    const i16 n = FreeDefendersWithin(W, *C, kGatherPressureReach);
    if (n > R.PeakPressureAtGather) R.PeakPressureAtGather = n;
  }
}

// Passes planned or wound up, and dummies, of the carrier.
void TrackPasses(TWorld& W, TSimResult& R) {
  const TPlayer* C = CarrierOf(W);
  if (C == nullptr) return;
  if (W.gamestate == gsRunning) {
    if (R.PassSeen == 0) {
      if (CurrentEventIs(*C, 1, 2)) R.PassSeen = kTrue32;
      if (C->passtimer > 0) {
        R.PassSeen = kTrue32;
        if (CurrentEventIs(*C, 3, 4)) R.PassSeen = kFalse32;
      }
    }
    if (R.Event34Seen == 0 && CurrentEventIs(*C, 3, 4)) R.Event34Seen = kTrue32;
  } else if (W.gamestate == gsGotTackled && R.PassSeen == 0) {
    if (CurrentEventIs(*C, 1, 2) || C->passtimer > 0) R.PassSeen = kTrue32;
  }
}

// The current flight segment (BallPhase) starts late, low and falling. A
// phase outside the flight's segments reads nothing.
bool LooseBallIsDropping(const TWorld& W) {
  const i32 k = W.BallPhase;
  if (k < 1 || k > W.FlightSegments || k > W.FlightTimes.kHigh) return false;
  return W.FlightTimes[k] > kDropAfter && W.FlightPos[k].y < kDropHeight && W.FlightVel[k].y < 0;
}

void TrackFreeBall(TWorld& W, TSimResult& R) {
  if (W.gamestate != gsFreeBall) return;
  R.FreeBallSeen = kTrue32;
  if (R.OpponentTouchedBall == 0) {
    for (int i = 1; i <= PlayerCount(W); ++i) {
      if (W.Teams[2].Players[i].BallTouchLockTimer > 0) {
        R.OpponentTouchedBall = kTrue32;
        break;
      }
    }
  }
  if (R.OpponentTouchedBall == 0 && R.LooseBallDropping == 0 && LooseBallIsDropping(W))
    R.LooseBallDropping = kTrue32;
}

void TrackFrame(TWorld& W, TRun& run, TSimResult& R) {
  if (W.CarrierPushedByOpponent != 0 || W.CarrierPushedByTeamMate != 0) Accumulate(R.CarrierContactTime, W.TimeStep);
  TrackPressure(W, run, R);
  if (run.StartState == gsGotTackled && !run.ExitNoted && W.gamestate != run.StartState) {
    run.ExitNoted = true;
    R.RuckOverTimeAtExit = W.RuckWaitClock;
  }
  TrackPasses(W, R);
  if (W.gamestate == gsPassing) R.PassingSeen = kTrue32;
  const TPlayer* C = CarrierOf(W);
  if (W.gamestate == gsRunning && C != nullptr && C->KickTimer > 0) R.KickSeen = kTrue32;
  TrackFreeBall(W, R);
  R.OwnScore = static_cast<i16>(W.Teams[PossessionChanged(W, run) ? 2 : 1].score);
  if (W.gamestate == gsRunning && W.BallPos.z > run.StartZ) Accumulate(run.ForwardTime, W.TimeStep);
}

// ------------------------------------------------------------------ diagnostic

const char* DiagnosticStateName(TGameState s) {
  switch (s) {
    case gsRunning: return "Running";
    case gsGotTackled: return "Gottackled";
    case gsLineout: return "lineout";
    case gsTransition: return "transition";
    case gsScrum: return "scrum";
    case gsFreeBall: return "freeball";
    case gsPassing: return "passing";
    case gsKickRestartSet: return "kickrestartset";
    default: return nullptr;
  }
}

// Once per run, an implausible clock replaces the look-ahead log with a
// report. The beep that goes with it is silent here.
void CheckTiming(const TWorld& W, const TMove& Move, TRun& run) {
  if (run.DiagnosticDone) return;
  if (!(W.TimeStep <= 0 || W.PrevTimeStep <= 0 || run.TotalTime > kImplausibleTime || run.TotalTime <= 0)) return;
  run.DiagnosticDone = true;
  TLines& log = Form1.Memo1;
  log.Clear();
  log.Add("totsimtime");
  log.Add(FormatGeneral(run.TotalTime));
  log.Add("OrigSimmedFromGameState");
  if (run.StartState == gsRunning || run.StartState == gsGotTackled) log.Add(DiagnosticStateName(run.StartState));
  log.Add("Sim game crashed gamestate");
  if (const char* now = DiagnosticStateName(W.gamestate)) log.Add(now);
  log.Add("Move index");
  log.Add(std::to_string(W.Teams[1].MoveIndex));
  log.Add("Max sim time");
  log.Add(FormatGeneral(Move.SimDuration));
  log.Add("Last time inc");
  log.Add(FormatGeneral(W.PrevTimeStep));
  log.Add("Time inc");
  log.Add(FormatGeneral(W.TimeStep));
}

// ------------------------------------------------------------------ end tests

// Whether the run ends after this frame; sets PossessionLost and WentToTouch
// as the tests find them.
bool RunEnds(TWorld& W, const TMove& Move, u16 MoveCode, const TRun& run, TGameState frameStart, TSimResult& R) {
  const TGameState s = W.gamestate;
  bool ends = run.TotalTime > kHardLimit || run.Frames >= kFrameLimit;
  if ((frameStart != gsKickRestartSet && s == gsKickRestartSet) || (frameStart != gsTransition && s == gsTransition))
    ends = true;

  const TPlayer* C = CarrierOf(W);
  const bool running = s == gsRunning;
  const double halfW = W.PitchWidth / 2.0;
  const bool carrierAtTouch = running && C != nullptr && (C->Pos.x > halfW - kTouchMargin || C->Pos.x < -halfW + kTouchMargin);
  const bool beyondTryLine = running && W.BallPos.z > W.PitchLength / 2.0 + kTryLineMargin;
  const bool changed = PossessionChanged(W, run);
  const bool forwardTimeUp = run.ForwardTime > run.TimeLimit;

  if (run.StartState == gsRunning) {
    if (beyondTryLine || forwardTimeUp || !InOpenPlay(s)) ends = true;
    if (changed) {
      R.PossessionLost = kTrue32;
      ends = true;
    }
    if (Move.StopOnGain != 0 && running && static_cast<double>(W.BallPos.z) - run.StartZ > Move.GainLimit) ends = true;
    if (carrierAtTouch || s == gsLineout || (s == gsTransition && W.PendingGameState == gsLineout)) {
      R.WentToTouch = kTrue32;
      ends = true;
    }
    if (Move.StopOnForcedRun != 0 && running && C != nullptr && C->ForcedRunTimer > 0) ends = true;
    if (Move.StopOnTackle != 0 && ((running && C != nullptr && C->GettingTackledTimer > 0) || s == gsGotTackled))
      ends = true;
    if (Move.StopOnFreeBall != 0 && s == gsFreeBall) ends = true;
  } else if (run.StartState == gsGotTackled) {
    const bool ballOverTouch = W.BallPos.x >= halfW || W.BallPos.x <= -halfW;
    if (!InOpenPlay(s) && s != gsGotTackled) ends = true;
    if (MoveCode == kTouchPlayKind && ballOverTouch) ends = true;
    if (carrierAtTouch || ballOverTouch) R.WentToTouch = kTrue32;
    if (changed) {
      R.PossessionLost = kTrue32;
      ends = true;
    }
    if (beyondTryLine || forwardTimeUp) ends = true;
    if (Move.StopOnTackle != 0 && frameStart != gsGotTackled && s == gsGotTackled) ends = true;
  }
  return ends;
}

// ------------------------------------------------------------------ outcome

// A defender of block 2 who closes on the carrier.
bool MarksCarrier(const TWorld& W, const TPlayer& D) {
  return D.ClosingOnCarrier != 0 && D.ChaseTarget == W.Teams[1].BallCarrier;
}

// With possession kept and the run ended in running: whether the carrier is
// marked and none of his markers is engaged with him yet, and the clear
// ground ahead of the ball before the nearest marker meets him.
void ScoreMarkers(const TWorld& W, const TPlayer& C, TSimResult& R) {
  bool marked = false, engaged = false;
  f32 eta = kNoMarker;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& D = W.Teams[2].Players[i];
    if (!MarksCarrier(W, D)) continue;
    marked = true;
    if (D.ClosingEngaged != 0) engaged = true;
    if (D.InterceptZ < eta) eta = D.InterceptZ;
  }
  R.MarkedFree = Flag(marked && !engaged);
  if (W.RunningPhase <= 1 || C.GettingTackledTimer > 0) return;
  double ahead = eta;
  if (ahead > W.PitchLength / 2.0) ahead = W.PitchLength / 2.0;
  if (W.Teams[2].DefHeadingForTouch != 0 && ahead > W.RunLineTouchZ) ahead = W.RunLineTouchZ;
  const double space = ahead - R.EndBallZ;
  R.SpaceAhead = space > 0 ? ToF32(space) : 0.0f;
}

// Players of block b strictly within `across` m of the ball's x and on the
// given side of `z` (ahead: z above it; else below it), optionally only
// those not attempting a tackle.
int PlayersNearBall(const TWorld& W, int b, double across, double z, bool ahead, bool freeOnly) {
  int n = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& P = W.Teams[b].Players[i];
    if (!(std::fabs(static_cast<double>(P.Pos.x) - W.BallPos.x) < across)) continue;
    if (ahead ? !(P.Pos.z > z) : !(P.Pos.z < z)) continue;
    if (freeOnly && P.TackleAttemptTimer > 0) continue;
    ++n;
  }
  return n;
}

// The situation at the end: room round the ball in running, support and
// free defenders round the breakdown in gottackled.
f32 SupportScore(const TWorld& W, const TRun& run, const TSimResult& R) {
  const TGameState s = W.gamestate;
  if ((s != gsRunning && s != gsGotTackled) || R.PossessionLost != 0 ||
      (R.WentToTouch != 0 && run.StartState != gsRunning))
    return kFailedRun;
  const double ballZ = W.BallPos.z;
  double score = 0.0;
  if (s == gsRunning) {
    const int near = PlayersNearBall(W, 2, 2.0, ballZ - 2.0, true, false);
    score += near == 0 ? 10.0 : near == 1 ? 1.0 : near == 2 ? 0.5 : 0.0;
  } else {
    const int support = PlayersNearBall(W, 1, 4.0, ballZ, false, false);
    score += support == 0 ? 0.0 : support == 1 ? 0.5 : support == 2 ? 1.0 : 1.5;
    const int free = PlayersNearBall(W, 2, 2.0, ballZ - 2.0, true, true);
    score += free == 0 ? 2.0 : free == 1 ? 1.0 : free == 2 ? 0.5 : 0.0;
  }
  return ToF32(score);
}

void FillOutcome(TWorld& W, const TMove& Move, const TRun& run, TSimResult& R) {
  const TGameState s = W.gamestate;
  const bool running = s == gsRunning;
  const TPlayer* C = CarrierOf(W);
  const bool changed = PossessionChanged(W, run);
  R.SimTime = run.TotalTime;
  if (running && C != nullptr && C->ActionSeq.seqON != 0) {
    if (const TActionEvent* E = CurrentEventOf(C->ActionSeq)) R.EndEventType = static_cast<u16>(E->EventType);
  }
  if (running && C != nullptr) R.EndCarrierVelX = C->Velocity.x;
  R.EndBallX = W.BallPos.x;
  R.EndBallZ = W.BallPos.z;
  if (changed) {
    R.EndBallX = -R.EndBallX;
    R.EndBallZ = -R.EndBallZ;
    R.EndCarrierVelX = -R.EndCarrierVelX;
  }
  const double capZ = static_cast<double>(run.StartZ) + Move.GainLimit;
  if (Move.StopOnGain != 0 && R.EndBallZ > capZ) R.EndBallZ = ToF32(capZ);
  R.Gain = ToF32(static_cast<double>(R.EndBallZ) - run.StartZ);
  R.EndState = s;
  R.EndHeading = kStraightUpField;
  if ((running || s == gsGotTackled) && C != nullptr) {
    R.EndHeading = HeadingToPoint(C->OldPos.x, C->OldPos.z, C->Pos.x, C->Pos.z, kStraightUpField);
    R.EndTackled = Flag(C->GettingTackledTimer > 0);
  }
  if (!changed && running && C != nullptr) ScoreMarkers(W, *C, R);
  if (running) R.EndContactTime = W.LastContactTime;
  R.SupportScore = SupportScore(W, run, R);
}

}  // namespace

void SimulateAhead(TWorld& W, const TMove& Move, u16 MoveCode, TSimResult& Result) {
  TRun run;
  TSimResult R;
  if (SetUpRun(W, Move, run, R)) {
    for (;;) {
      const TGameState frameStart = W.gamestate;
      // The frame's last step passed its flag check, so the error flags
      // are clear for the tracking without a clear (which reads them).
      RunOneFrame(W, Move, run, R);
      TrackFrame(W, run, R);
      CheckTiming(W, Move, run);
      const bool ends = RunEnds(W, Move, MoveCode, run, frameStart, R);
      CheckFloatFlags("SimulateAhead");
      if (ends) break;
    }
  }
  ClearFloatFlags();
  FillOutcome(W, Move, run, R);
  CheckFloatFlags("SimulateAhead");
  Result = R;
}
