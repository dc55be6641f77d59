#include "decision/StrategyUnit.h"

#include <cmath>
#include <numbers>

#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/MoveBooks.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/RunLog.h"
#include "core/StrategyShapes.h"
#include "decision/BallCarrierDecision.h"
#include "decision/CarrierLookups.h"
#include "decision/LookAhead.h"
#include "decision/MaulHolder.h"
#include "decision/MoveApplication.h"
#include "decision/OpenMoveFinder.h"
#include "decision/SetPieceHolder.h"
#include "decision/TackledDecision.h"
#include "hooks/UserControl.h"

TSamplerSeam SamplerSeam = {nullptr, nullptr, nullptr};

namespace {

constexpr f32 kTouchAlarmHold = 0.25f;   // s without a new alarm
constexpr f32 kScanInterval = 0.1f;      // s between defender scans
constexpr f32 kNoDefender = 100000.0f;   // s, the scan's start value
constexpr double kResampleAge = 0.3;     // s, least TimeSinceSample for a reset at a crossing
constexpr i32 kEventKick = 5;
constexpr i32 kEventRunDead = 6;
constexpr i32 kEventRunIn = 7;
constexpr i32 kEventRun = 0;

TPlayer* Carrier(TWorld& W) { return PlayerAt(W.Teams[1], W.Teams[1].BallCarrier); }

void RaiseTouchDanger() {
  StrategyParams.TouchDanger = kTrue32;
  StrategyParams.TouchDangerTimer = kTouchAlarmHold;
}

// A defender who is busy elsewhere enters the scan as standing still.
bool IsBusyDefender(const TPlayer& D, i32 carrier) {
  const f32 kind = D.TackleAttemptKind;
  const bool lunge = kind == 3 || kind == 4 || kind == 5 || kind == 6 || kind == 7 || kind == 8;
  return D.OldTackleTimer > 0 || (D.TackleAttemptTimer > 0 && (D.target != carrier || lunge)) ||
         (D.playertofollowtimer > 0 && D.playertofollow != carrier) || D.standuptimer > 0 || D.RuckTimer > 0 ||
         D.RuckJoinDelay > 0;
}

// Rule 1: the carrier near a touch line and moving towards it.
void CheckTouchDanger(TWorld& W, const TPlayer& C) {
  StrategyParams.TouchDanger = kFalse32;
  if (StrategyParams.TouchDangerTimer > 0) return;
  const double edge = W.PitchWidth / 2.0 - 0.85;
  if (C.Pos.x < -edge && C.Velocity.x < -0.01) RaiseTouchDanger();
  if (C.Pos.x > edge && C.Velocity.x > 0.01) RaiseTouchDanger();
  if (C.passtimer > 0 && W.Teams[1].CarrierActionCode == 6) StrategyParams.TouchDanger = kFalse32;
}

// Rule 2: the least closing time of block 2 on the carrier, every 0.1 s.
void ScanClosingDefenders(TWorld& W, const TPlayer& C) {
  TStrategyParams& S = StrategyParams;
  S.PrevNearestClosing = S.NearestClosing;
  if (S.ClosingScanTimer > 0 || W.RunningPhase == 1) return;
  S.ClosingScanTimer = kScanInterval;
  S.NearestClosingMin = kNoDefender;
  S.NearestDefender = 1;
  const f32 carrierX0 = static_cast<f32>(C.Pos.x - static_cast<double>(W.TimeStep) * C.Velocity.x);
  const f32 carrierZ0 = static_cast<f32>(C.Pos.z - static_cast<double>(W.TimeStep) * C.Velocity.z);
  const i32 carrier = W.Teams[1].BallCarrier;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    const TPlayer& D = W.Teams[2].Players[i];
    const TVector3& prev = IsBusyDefender(D, carrier) ? D.Pos : D.OldPos;
    const f32 reach = D.Pos.z < C.Pos.z ? 0.8f : 0.9f;
    const f32 t = ClosingTime(carrierX0, carrierZ0, C.Pos.x, C.Pos.z, prev.x, prev.z, D.Pos.x, D.Pos.z,
                              W.TimeStep, reach);
    if (t < S.NearestClosingMin) {
      S.NearestClosingMin = t;
      S.NearestDefender = i;
    }
  }
  W.SearchFlag = kTrue32;
  S.NearestClosing = S.NearestClosingMin;
}

// Rule 3: a defender about to arrive while the carrier is near touch, unless
// he reaches the try line first.
void CheckTouchDangerUnderPressure(TWorld& W, const TPlayer& C) {
  const TStrategyParams& S = StrategyParams;
  if (S.TouchDanger != 0 || S.TouchDangerTimer > 0 || !(S.NearestClosing <= 0.5f)) return;
  const double edge = W.PitchWidth / 2.0 - 1.9;
  if (!(C.Pos.x < -edge || C.Pos.x > edge)) return;
  if (C.Pos.z + static_cast<double>(C.Velocity.z) * S.NearestClosing < W.PitchLength / 2.0) RaiseTouchDanger();
}

// Rule 4: the estimate crossing the threshold asks both books to resample.
void ResampleOnThresholdCrossing() {
  const TStrategyParams& S = StrategyParams;
  const f32 prev = S.PrevNearestClosing;
  const f32 limit = S.ClosingThreshold;
  const f32 now = S.NearestClosing;
  if (!((prev < limit && limit < now) || (prev > limit && limit > now))) return;
  for (TMoveBook& B : MoveBooks) {
    if (B.TimeSinceSample > kResampleAge) B.ResampleTimer = 0;
  }
}

// Rule 5: a run dead or run in under way, or a dive, forbids sampling.
bool SamplingAllowed(const TPlayer& C) {
  const TActionEvent* e = C.ActionSeq.seqON != 0 ? CurrentEventOf(C.ActionSeq) : nullptr;
  if (e != nullptr && (e->EventType == kEventRunDead || e->EventType == kEventRunIn)) return false;
  return !(C.DiveTimer > 0);
}

// Rule 6's projection: running on at 0.8 to 1.0 of top speed until the
// nearest defender arrives (at most 0.5 s), with 0.75 m of dive when he is
// not about to, the carrier reaches over the try line inside the touch lines.
bool ProjectedOverTryLine(const TWorld& W, const TPlayer& C) {
  const double closing = StrategyParams.NearestClosing;
  double v = C.speed;
  if (v < 0.8 * C.maxspeed) v = 0.8 * C.maxspeed;
  if (v > C.maxspeed) v = C.maxspeed;
  const double t = closing < 0.5 ? closing : 0.5;
  const double e = closing > 0.225 ? 0.75 : 0.0;
  const double a = C.FacingAngle - std::numbers::pi;
  const double z = C.Pos.z + std::sin(a) * (v * t + e);
  const double x = W.BallPos.x - std::cos(a) * v * t;
  const double halfWidth = W.PitchWidth / 2.0;
  return z > W.PitchLength / 2.0 && -halfWidth < x && x < halfWidth;
}

// Rule 6: a carrier on a plain run close to the line who can reach over it
// before the defender arrives.
void CheckRunIn(TWorld& W, const TPlayer& C, const TMoveBook& Book) {
  W.SearchFlag2 = kFalse32;
  if (W.SearchFlag == 0 || !(Book.ResampleTimer > 0) || C.ActionSeq.seqON == 0) return;
  const TActionEvent* e = CurrentEventOf(C.ActionSeq);
  if (e == nullptr || e->EventType != kEventRun) return;
  if (!(C.Pos.z >= W.PitchLength / 2.0 - 3.5) || !(StrategyParams.NearestClosing < 0.75f)) return;
  if (ProjectedOverTryLine(W, C)) W.SearchFlag2 = kTrue32;
}

// The carrier's sequence from the blank template; its first event is
// returned for the rule to fill.
TActionEvent& LoadTemplate(TPlayer& C) {
  C.ActionSeq = StrategyParams.ActionSeqTemplate;
  return C.ActionSeq.EventArray[1];
}

// Rule 7: over the line, or facing it on the line, or the check above: run in.
void RunIn(TWorld& W, TPlayer& C) {
  const double line = W.PitchLength / 2.0;
  const bool facingIn = std::sin(C.FacingAngle - std::numbers::pi) > 0;
  const bool over = C.Pos.z >= line + 0.25 || (C.Pos.z >= line && C.Pos.z < line + 0.25 && facingIn);
  if (!over && W.SearchFlag2 == 0) return;
  C.passtimer = 0;
  C.KickTimer = 0;
  W.Teams[1].PassTimeLeft = 0;
  W.Teams[1].KickTimeLeft = 0;
  TActionEvent& e = LoadTemplate(C);
  e.EventType = kEventRunIn;
  e.Angle = C.Pos.x > 0 ? 3.0f : 177.0f;
  e.DesSpeed = C.maxspeed;
}

// Rule 8: deep in his own in-goal, the carrier grounds the ball, unless his
// side trails after full time.
void RunDead(TWorld& W, TPlayer& C) {
  const TTeamBlock& T1 = W.Teams[1];
  if (!(C.Pos.z <= -W.PitchLength / 2.0 - 0.25) || T1.CarriedIntoOwnInGoal != 0) return;
  const bool trailingAfterTime =
      W.MatchPhase == 2 && W.clock >= 2.0 * W.halflength && T1.score < W.Teams[2].score;
  if (trailingAfterTime) return;
  TActionEvent& e = LoadTemplate(C);
  e.EventType = kEventRunDead;
  e.DesSpeed = static_cast<f32>(0.55 * C.maxspeed);
  f32 angle = NormaliseHeading(C.Heading);
  if (angle > 0 && angle < 90) {
    angle = 359.0f;
  } else if (angle >= 90 && angle < 180) {
    angle = 181.0f;
  }
  e.Angle = angle;
}

bool TimeUpKickWanted(const TWorld& W, const TPlayer& C) {
  const TTeamBlock& T1 = W.Teams[1];
  const TTeamBlock& T2 = W.Teams[2];
  const double ownHalf = 0.0;
  if (W.MatchPhase == 1 && W.clock >= W.halflength && C.Pos.z < ownHalf) {
    const bool farBehind = static_cast<double>(T1.score) + 7 < T2.score;
    return !farBehind || C.Pos.z < -W.PitchLength / 2.0 + 22.0;
  }
  if (W.MatchPhase == 2 && W.clock >= 2.0 * W.halflength) {
    return T1.score > T2.score || (T1.score == T2.score && C.Pos.z < ownHalf);
  }
  return false;
}

}  // namespace

void RunSharedCarrierGuards(TWorld& W) {
  TPlayer* C = Carrier(W);
  if (C == nullptr) {
    StrategyParams.TouchDanger = kFalse32;
    return;
  }
  CheckTouchDanger(W, *C);
  ScanClosingDefenders(W, *C);
  CheckTouchDangerUnderPressure(W, *C);
  ResampleOnThresholdCrossing();
}

bool RunSideCarrierGuards(TWorld& W) {
  TPlayer* C = Carrier(W);
  if (C == nullptr || W.RunningPhase == 1) return false;
  const bool allowed = SamplingAllowed(*C);
  CheckRunIn(W, *C, PossessionMoveBook(W));
  if (allowed) RunIn(W, *C);
  if (allowed) RunDead(W, *C);
  return allowed;
}

void RunTimeUpKick(TWorld& W) {
  TPlayer* C = Carrier(W);
  if (C == nullptr || C->KickTimer > 0) return;
  const TSimResult& best = PossessionMoveBook(W).BestResult;
  if (!(best.Gain < 7.0f) || !(best.EndBallZ < W.PitchLength / 2.0)) return;
  if (!TimeUpKickWanted(W, *C)) return;
  TActionEvent& e = LoadTemplate(*C);
  e.EventType = kEventKick;
  e.DesSpeed = static_cast<f32>(0.5 * C->maxspeed);
  e.Angle = static_cast<f32>(C->Pos.x > 0 ? RandomRange(170, 181) : RandomRange(0, 11));
  e.KickLaunchSpeed = 30.0f;
  e.KickLaunchElevation = static_cast<f32>(RandomRange(38, 43));
  e.KickLaunchHeading = e.Angle;
}

// ---------------------------------------------------------------- sampling

namespace {

constexpr f32 kNoScore = -10000.0f;        // the kept score before any sample, and an unusable outcome
constexpr f32 kNoOpenMove = -1000000.0f;   // BestResult's score when a pass found no open move
constexpr f32 kResampleInterval = 0.3f;    // s, the routine wait after a decision
constexpr double kKeepBonus = 0.5;         // added to the move in progress's fitness
constexpr double kKeepBonusNearTouch = 0.001;  // the same while TouchDangerTimer runs
constexpr int kFirstAttackingKick = 101;   // moves logged as attacking kicks
constexpr int kLastAttackingKick = 121;
constexpr double kTraceFrom = 3123.0;      // s, the trace window of the run log (open)
constexpr double kTraceTo = 3125.0;

void CallSimulateAhead(TWorld& W, const TMove& Move, TSimResult& Result) {
  if (SamplerSeam.SimulateAhead != nullptr) {
    SamplerSeam.SimulateAhead(W, Move, 0, Result);
  } else {
    SimulateAhead(W, Move, 0, Result);
  }
}

void CallFindOpenMoves(TWorld& W) {
  if (SamplerSeam.FindOpenMoves != nullptr) {
    SamplerSeam.FindOpenMoves(W);
  } else {
    FindOpenMoves(W);
  }
}

void CallBallCarrierDecision(TWorld& W) {
  if (SamplerSeam.BallCarrierDecision != nullptr) {
    SamplerSeam.BallCarrierDecision(W);
  } else {
    BallCarrierDecision(W);
  }
}

bool Tracing(const TWorld& W) {
  return W.Team1InFirstBlock != 0 && W.clock > kTraceFrom && W.clock < kTraceTo;
}

void TraceValue(const char* label, double v) { WriteRunLog(std::string(label) + FormatFixedPrecision(v, 7, 4)); }

// The key events: a key event timer that sees a defender close marks the
// current event as the key one; reaching the key event (or its completion)
// releases the book's hold.
void RunKeyEventRules(TWorld& W, TPlayer& C, TMoveBook& Book) {
  TStrategyParams& S = StrategyParams;
  TActionSeq& Q = C.ActionSeq;
  TTeamBlock& T1 = W.Teams[1];
  if (T1.KeyEventTimer > 0 && S.NearestClosing < 0.3) {
    T1.KeyEventTimer = 0;
    Q.KeyEventIndex = static_cast<i16>(Q.CurrEventIndex);
  }
  S.HoldReleased = kFalse32;
  const i32 key = Q.KeyEventIndex;
  if (!(Book.HoldTimer > 0) || Q.seqON == 0 || key <= 0 || key > Q.NumEvents || key > 10) return;
  if (Q.CurrEventIndex == key || Q.EventArray[key].Complete != 0) {
    S.HoldReleased = kTrue32;
    Book.HoldTimer = 0;
  }
}

// Whether this frame runs a sampling pass.
bool ResampleWanted(const TWorld& W, const TPlayer& C, const TMoveBook& Book) {
  if (C.ActionSeq.seqON == 0) return true;
  if (Book.HoldTimer > 0) return false;
  const double age = Book.TimeSinceSample;
  if (!(Book.ResampleTimer > 0) && age > 0.4 && W.Teams[1].MoveIndex <= 20) return true;
  if (age > 0.75) return true;
  if (age > 0.45 && W.QuickResampleTimer > 0) return true;
  return StrategyParams.TouchDanger != 0 || StrategyParams.HoldReleased != 0;
}

void CutOpenList(TMoveBook& Book, i32 limit) {
  const int from = limit < 0 ? 1 : limit + 1;
  for (int i = from; i <= kMovesPerBook; ++i) Book.OpenList[i] = 0;
}

// The mean fitness of S samples of Move, each from a fresh copy of the
// match world with block 1's MoveIndex set to `index`; Result holds the
// last sample.
double SampleMove(const TMove& Move, i32 index, int samples, TSimResult& Result, i16 option, f32 lossFactor) {
  double sum = 0;
  for (int s = 1; s <= samples; ++s) {
    TakeLookAheadCopy();
    LookAheadWorld.Teams[1].MoveIndex = index;
    CallSimulateAhead(LookAheadWorld, Move, Result);
    f32 f = 0;
    MoveFitness(Move, Result, f, option, lossFactor);
    sum += f;
  }
  return sum / samples;
}

// The sampling pass: the move in progress, then the listed moves; leaves
// the winner in BestMove (0 when the move in progress stands or nothing
// beat the start score).
void RunSamplingPass(TWorld& W, const TPlayer& C, TMoveBook& Book) {
  const bool trace = Tracing(W);
  const int samples = C.simsPerGenPlayAction < 1 ? 1 : C.simsPerGenPlayAction;
  const i16 option = static_cast<i16>(W.Teams[1].PlayOption);
  const f32 lossFactor = C.turnoverLossFactor;
  if (trace) {
    WriteRunLog("//////////////////");
    WriteRunLog("//debug");
  }
  Book.TimeSinceSample = 0;
  Book.ReEvaluate = kTrue32;
  double kept = kNoScore;
  if (Book.ReEvaluate != 0 && C.ActionSeq.seqON != 0) {
    Book.Candidate = Book.OpenPlayMoves[1];
    Book.Candidate.ApplyFirst = kFalse32;
    const double fitness = SampleMove(Book.Candidate, 1, samples, Book.LastResult, option, lossFactor);
    Book.BestResult = Book.LastResult;
    kept = fitness + (StrategyParams.TouchDangerTimer > 0 ? kKeepBonusNearTouch : kKeepBonus);
    if (trace) {
      WriteRunLog("//////////////////");
      WriteRunLog("//Current event resimmed");
      WriteRunLog("//receiver " + std::to_string(W.Teams[1].PassReceiver));
      TraceValue("//fitness of ", fitness);
      TraceValue("//delaytime ", Book.LastResult.SimTime);
      TraceValue("//ActionSeqReceiverLoc ", Book.LastResult.EndBallZ);
    }
    const TSimResult& R = Book.BestResult;
    if ((R.WentToTouch != 0 && StrategyParams.TouchDanger != 0) || R.SupportScore < 0) {
      ResetBestResult(Book.BestResult, kNoScore);
    }
  } else {
    ResetBestResult(Book.BestResult, kNoScore);
  }
  Book.BestMove = 0;
  const int n = ScanCount(Book);
  for (int i = 1; i <= n && Book.OpenList[i] != 0; ++i) {
    const i32 m = Book.OpenList[i];
    if (m < 1 || m > kMovesPerBook) break;
    TMove& move = Book.OpenPlayMoves[m];
    move.ApplyFirst = kTrue32;
    const double fitness = SampleMove(move, m, samples, Book.Results[m], option, lossFactor);
    if (trace) {
      TraceValue("//fitness of ", fitness);
      TraceValue("//delaytime ", Book.Results[m].SimTime);
      TraceValue("//ActionSeqReceiverLoc ", Book.Results[m].EndBallZ);
    }
    if (fitness > kept) {
      kept = fitness;
      Book.BestMove = m;
      Book.BestMoveCopy = move;
      Book.BestResult = Book.Results[m];
    }
  }
}

void ApplyBookMove(TWorld& W, TMoveBook& Book, i32 m) {
  W.Teams[1].MoveIndex = m;
  ApplyMove(W, m, Book.Feasible);
}

// The pass's winner, or the move in progress, or move 1.
void ApplyPassResult(TWorld& W, const TPlayer& C, TMoveBook& Book) {
  const i32 best = Book.BestMove;
  if (best != 0) {
    if (best >= kFirstAttackingKick && best <= kLastAttackingKick) {
      WriteRunLog("gen play attacking kick " + std::to_string(best) + " " + MatchClockText(W.clock));
    }
    ApplyBookMove(W, Book, best);
  } else if (!(Book.ReEvaluate != 0 && C.ActionSeq.seqON != 0)) {
    ApplyBookMove(W, Book, 1);
  }
}

}  // namespace

void SampleRunningMoves(TWorld& W) {
  RunSharedCarrierGuards(W);
  TMoveBook& Book = PossessionMoveBook(W);
  if (W.RunningPhase != 1 && RunSideCarrierGuards(W)) {
    TPlayer& C = *Carrier(W);  // the side guards allow sampling only with a carrier
    RunKeyEventRules(W, C, Book);
    if (ResampleWanted(W, C, Book)) {
      Book.HoldTimer = 0;
      CallFindOpenMoves(W);
      const int k = BuildOpenList(Book);
      ShuffleOpenList(Book, k, true);  // move 1 stays put
      CutOpenList(Book, C.maxGenPlaySims);
      if (Book.OpenList[1] != 0) {
        RunSamplingPass(W, C, Book);
        ApplyPassResult(W, C, Book);
      }
      if (Book.OpenList[1] == 0 && C.ActionSeq.seqON == 0) {
        ApplyBookMove(W, Book, 1);
        ResetBestResult(Book.BestResult, kNoOpenMove);
      }
      RunTimeUpKick(W);
      if (!(Book.ResampleTimer > 0)) Book.ResampleTimer = kResampleInterval;
    }
  }
  if (W.RunningPhase == 1) Book.ResampleTimer = 0;
  if (TPlayer* C = Carrier(W); C != nullptr && C->ControllingUser != 0) {
    ApplyUserControl(W, *C, ucDecision, W.Teams[1]);
  }
  CallBallCarrierDecision(W);
}

void RunningStrategy(TWorld& W) {
  for (TMoveBook& B : MoveBooks) B.SamplingOn = kTrue32;
  if (PossessionMoveBook(W).SamplingOn != 0) SampleRunningMoves(W);
}

void Strategy(TWorld& W) {
  switch (W.gamestate) {
    case gsRunning:
      RunningStrategy(W);
      break;
    case gsGotTackled:
      GotTackledStrategy(W);
      break;
    case gsMaul:
      MaulStrategy(W);
      break;
    case gsScrum:
      ScrumStrategy(W);
      break;
    case gsKickRestartSet:
      KickRestartStrategy(W);
      break;
    case gsLineout:
      LineoutStrategy(W);
      break;
    default:
      break;
  }
}
