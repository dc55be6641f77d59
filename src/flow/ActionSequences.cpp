#include "flow/ActionSequences.h"

#include <algorithm>
#include <cmath>

#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "core/SupportSpot.h"

namespace {

// The two event types the runner moves a player on.
constexpr i32 kPlainRun = 0;
constexpr i32 kToLine = 14;  // go to the side's line shape at TargetX

constexpr double kRunLead = 10.0;          // m ahead of a run that is not the last
constexpr double kRunEndMargin = 0.01;     // m: the last run aims this far past its end
constexpr double kLineArrival = 0.4;       // m from the line point: arrived
constexpr double kSideLimitRun = 0.5;      // m inside touch: a wide run ends (condition 7)
constexpr double kSideLimitWide = 0.9;     // m inside touch (condition 9)
constexpr double kSideLimitCatch = 1.0;    // m inside touch (condition 16)
constexpr double kMinRunForTouch = 0.5;    // m run before the touch test of condition 7
constexpr double kReceiverReach = 1.25;    // m: a receiver on his point (condition 12)
constexpr double kReleaseReach = 0.45;     // m: a ruck runner at his start point
constexpr double kReleaseReceiverReach = 0.75;  // m: the holder's receiver in place
constexpr double kStandDownLead = 0.85;    // m ahead of the holder: stood down
constexpr double kCarrierSideReach = 1.75; // m sideways of the carrier or receiver
constexpr double kCarrierBehind = 0.5;     // m: a type-14 runner stays this far behind him
constexpr double kHoldChaseReach = 0.3;    // m from the meeting point: chase at top speed
constexpr double kHoldSpeedShare = 0.95;   // of the reference's speed once there
constexpr double kMovingReference = 0.1;   // m/s
constexpr double kKickChaseSpare = 0.01;   // m per unit of the spare-run draw

bool Running(const TWorld& W) { return W.gamestate == gsRunning; }
bool Passing(const TWorld& W) { return W.gamestate == gsPassing; }
bool OpenPlay(const TWorld& W) { return Running(W) || Passing(W); }

// Events in use, kept within the ten of the array.
int EventCount(const TActionSeq& S) { return std::clamp(S.NumEvents, 0, 10); }

// The current event, or null when none is chosen yet (or the index is out of
// the events in use).
TActionEvent* CurrentEvent(TActionSeq& S) {
  const int k = S.CurrEventIndex;
  return k >= 1 && k <= EventCount(S) ? &S.EventArray[k] : nullptr;
}
const TActionEvent* CurrentEvent(const TActionSeq& S) {
  const int k = S.CurrEventIndex;
  return k >= 1 && k <= EventCount(S) ? &S.EventArray[k] : nullptr;
}

const TPlayer* Carrier(const TWorld& W) { return PlayerAt(W.Teams[1], W.Teams[1].BallCarrier); }
const TPlayer* Receiver(const TWorld& W) { return PlayerAt(W.Teams[1], W.Teams[1].PassReceiver); }

// The block-1 player a pass or kick event (type 1 to 4) names, when he is
// one of the players 1..PlayersPerTeam.
const TPlayer* NamedPlayer(const TWorld& W, const TActionEvent& E) {
  if (E.EventSubType < 1 || E.EventSubType > PlayerCount(W)) return nullptr;
  return &W.Teams[1].Players[E.EventSubType];
}

// Events of types 1 and 2, the passes that end conditions 10 to 12 look at.
bool PassEvent(const TActionEvent& E) { return E.EventType == 1 || E.EventType == 2; }

// The reference player of a relative run: block 1 when RelOwnTeam is set,
// else block 2.
const TPlayer* RelReference(const TWorld& W, const TActionEvent& E) {
  return PlayerAt(W.Teams[E.RelOwnTeam != 0 ? 1 : 2], E.RelPlayer);
}

// i is ahead of the reference when the reference's z + Lead is below his.
bool Ahead(const TPlayer& Ref, f32 Lead, const TPlayer& P) {
  return static_cast<double>(Ref.Pos.z) + Lead < P.Pos.z;
}

bool BeyondTouch(const TWorld& W, f32 X, double Margin) {
  const double limit = W.PitchWidth / 2.0 - Margin;
  return X > limit || X < -limit;
}

// How a reference player moves, as a meeting point is worked out against him.
struct TMover {
  f32 Heading;  // degrees, from his last position to this one (90 standing)
  f32 Speed;    // m/s
  f32 Accel;    // m/s², his change of speed over the last step
  f32 MaxSpeed; // m/s
};

TMover ReadMover(const TWorld& W, const TPlayer& Ref) {
  TMover m;
  m.Heading = HeadingToPoint(Ref.OldPos.x, Ref.OldPos.z, Ref.Pos.x, Ref.Pos.z, 90.0f);
  m.Speed = Ref.speed;
  m.Accel = W.TimeStep > 0
                ? ToF32(std::fabs(static_cast<double>(Ref.speed) - Ref.MeasuredSpeed) / W.TimeStep)
                : 0.0f;
  m.MaxSpeed = Ref.maxspeed;
  return m;
}

// Where player P, running at his speed and acceleration up to TopSpeed,
// meets the point Target that moves like the reference.
TVector2 MeetMovingPoint(const TWorld& W, const TPlayer& P, f32 TopSpeed, TVector2 Target, const TMover& Ref) {
  return InterceptPoint(Ref.Heading, Target.x, Target.z, Ref.Speed, Ref.Accel, Ref.MaxSpeed, P.Pos.x, P.Pos.z,
                        P.speed, P.Acceleration, TopSpeed, W.PitchWidth, kTrue32, kTrue32, kFalse32);
}

// The point of a type-14 event on the side's line shape: TargetX across, the
// shape's depth there anchored at the reference point (the carrier in
// running, the receiver in passing, the mark on the breakdown line in
// gottackled, else the ball).
TVector2 LinePoint(const TWorld& W, const TActionEvent& E) {
  const TTeamBlock& A = W.Teams[1];
  TVector2 ref{W.BallPos.x, W.BallPos.z};
  const TPlayer* who = Running(W) ? Carrier(W) : (Passing(W) ? Receiver(W) : nullptr);
  if (who != nullptr) ref = {who->Pos.x, who->Pos.z};
  if (W.gamestate == gsGotTackled) ref = {W.MarkX, A.SetPieceLineZ};
  return {E.TargetX, ProfileValueAt(A.CurrentStrategy, E.TargetX, ref.x, ref.z)};
}

void SetDesiredXZ(TPlayer& P, double X, double Z) {
  P.DesiredPos.x = ToF32(X);
  P.DesiredPos.z = ToF32(Z);
}

// ---------------------------------------------------------------- end conditions

// Conditions 4 and 5: i has run past the play.
bool PastThePlay(const TWorld& W, const TPlayer& P, f32 Lead) {
  if (!OpenPlay(W)) return true;
  const TPlayer* C = Carrier(W);
  const TPlayer* R = Receiver(W);
  if (Running(W)) return C != nullptr && Ahead(*C, Lead, P);
  return R != nullptr && Ahead(*R, Lead, P);
}

bool CarrierTackled(const TWorld& W) {
  const TPlayer* C = Carrier(W);
  return Running(W) && C != nullptr && C->GettingTackledTimer > 0;
}

bool CatchingOrReceiving(const TWorld& W, int i, const TPlayer& P) {
  return (Passing(W) && i == W.Teams[1].PassReceiver) || P.passcatchtimer > 0 || P.freeballcatchtimer > 0;
}

bool RunningAheadOfCarrier(const TWorld& W, int i, const TPlayer& P, f32 Lead) {
  const TPlayer* C = Carrier(W);
  return Running(W) && C != nullptr && i != W.Teams[1].BallCarrier && Ahead(*C, Lead, P);
}

// Condition 12: the receiver s of the first later pass event stands on the
// point of his own relative run.
bool ReceiverOnHisPoint(const TWorld& W, const TActionSeq& S, int k) {
  for (int j = k + 1; j <= EventCount(S); ++j) {
    const TActionEvent& later = S.EventArray[j];
    if (!PassEvent(later)) continue;
    const TPlayer* s = NamedPlayer(W, later);
    if (s == nullptr) continue;
    const TActionSeq& his = s->ActionSeq;
    const TActionEvent* cur = his.seqON != 0 ? CurrentEvent(his) : nullptr;
    if (cur == nullptr || cur->RelMovementOn == 0) return false;
    return Distance2D(s->Pos.x, s->Pos.z, cur->TargetPos.x, cur->TargetPos.z) < kReceiverReach;
  }
  return false;
}

// Conditions 10 and 11: i is to one side of the receiver of the very next
// event (a pass of type 1 or 2).
bool SideOfNextReceiver(const TWorld& W, const TActionSeq& S, int k, const TPlayer& P, bool Right) {
  if (k + 1 > EventCount(S)) return false;
  const TActionEvent& next = S.EventArray[k + 1];
  if (!PassEvent(next)) return false;
  const TPlayer* s = NamedPlayer(W, next);
  if (s == nullptr) return false;
  const double x = static_cast<double>(P.Pos.x) + S.EventArray[k].EndLeadX;
  return Right ? x > s->Pos.x : x < s->Pos.x;
}

// Whether event k's end condition holds (17 is KickChase's).
bool EndConditionHolds(const TWorld& W, int i, const TPlayer& P, int k) {
  const TActionSeq& S = P.ActionSeq;
  const TActionEvent& E = S.EventArray[k];
  const f32 L = E.EndLeadZ;
  const TTeamBlock& A = W.Teams[1];
  switch (E.EndCondition) {
    case 1: return Passing(W) && i == A.PassReceiver;
    case 2: return Passing(W);
    case 3: return CatchingOrReceiving(W, i, P);
    case 4: return PastThePlay(W, P, L);
    case 5: return PastThePlay(W, P, L) || CarrierTackled(W);
    case 6: return !Running(W) || i == A.BallCarrier;
    case 7:
      if (PastThePlay(W, P, L) || CarrierTackled(W)) return true;
      if (E.RelMovementOn == 0) return E.DistTravelled > kMinRunForTouch && BeyondTouch(W, P.Pos.x, kSideLimitRun);
      return BeyondTouch(W, E.TargetPos.x, kSideLimitRun);
    case 8: return RunningAheadOfCarrier(W, i, P, L);
    case 9: return RunningAheadOfCarrier(W, i, P, L) || BeyondTouch(W, P.Pos.x, kSideLimitWide);
    case 10: return SideOfNextReceiver(W, S, k, P, true);
    case 11: return SideOfNextReceiver(W, S, k, P, false);
    case 12: return ReceiverOnHisPoint(W, S, k);
    case 14: return k > 1 && S.EventArray[k - 1].Complete != 0;
    case 15: {
      const TPlayer* C = Carrier(W);
      return Running(W) && C != nullptr && C->passtimer > 0 && i != A.PassReceiver;
    }
    case 16: return CatchingOrReceiving(W, i, P) || BeyondTouch(W, P.Pos.x, kSideLimitCatch);
    case 18:
      return W.FrameGameState == gsRunning && W.PrevFrameGameState == gsRunning && i == A.BallCarrier;
    default: return false;
  }
}

// Condition 17: the carrier kicks. The event completes; a player behind the
// kicker drops his sequence for the template run up the pitch, timed to
// reach the kicker's z as the kick goes and to run on 0.5 to 2.0 m past it.
// True when the sequence was replaced.
bool KickChase(TWorld& W, int i, TPlayer& P, TActionEvent& E) {
  const TTeamBlock& A = W.Teams[1];
  const TPlayer* C = Carrier(W);
  if (!Running(W) || C == nullptr || !(C->KickTimer > 0) || !(A.KickTimeLeft > 0) || i == A.BallCarrier) {
    return false;
  }
  E.Complete = kTrue32;
  if (!(C->Pos.z > P.Pos.z)) return false;
  const double gap = static_cast<double>(C->Pos.z) - P.Pos.z;
  P.ActionSeq = StrategyParams.ActionSeqTemplate;
  TActionEvent& run = P.ActionSeq.EventArray[1];
  run.DesSpeed = SpeedToCoverInTime(P.Velocity.z, P.Acceleration, P.maxspeed, ToF32(gap), A.KickTimeLeft, kTrue32);
  run.DistOrig = ToF32(gap + RandomRange(50, 201) * kKickChaseSpare);
  return true;
}

// Every event in use whose end condition holds is complete. A kick chase
// replaces the sequence, which then starts afresh.
void ApplyEndConditions(TWorld& W, int i, TPlayer& P) {
  TActionSeq& S = P.ActionSeq;
  for (int k = 1; k <= EventCount(S); ++k) {
    TActionEvent& E = S.EventArray[k];
    if (E.EndCondition == 17) {
      if (KickChase(W, i, P, E)) return;
    } else if (EndConditionHolds(W, i, P, k)) {
      E.Complete = kTrue32;
    }
  }
}

// ---------------------------------------------------------------- breakdown

// The holder's receiver is ready: in place, or on a ruck run of his own. A
// holder without a first pass to a player leaves nobody to wait for.
bool HolderReceiverReady(const TWorld& W, int i) {
  const TTeamBlock& A = W.Teams[1];
  const TPlayer* h = PlayerAt(A, A.SetPieceHolder);
  if (h == nullptr || A.SetPieceHolder == i) return true;
  const TActionEvent& first = h->ActionSeq.EventArray[1];
  if (first.EventType != 1) return true;
  const TPlayer* r = PlayerAt(A, first.EventSubType);
  if (r == nullptr) return true;
  if (Distance2D(r->Pos.x, r->Pos.z, r->DesiredPos.x, r->DesiredPos.z) < kReleaseReceiverReach) return true;
  return r->ActionSeq.seqON != 0 && r->ActionSeq.SeqHeadValue > 0;
}

// In gottackled a player with a pending breakdown move is released once he
// stands on his start point and the holder's receiver is ready; a released
// runner whose move is not a run to the line stands down when he has gone
// past a holder who is not passing or catching.
void ReleaseForBreakdown(TWorld& W, int i, TPlayer& P) {
  if (W.gamestate != gsGotTackled) return;
  TActionSeq& S = P.ActionSeq;
  if (S.SeqHeadFlag == 0 && S.SeqHeadValue > 0 && W.RestartDelay <= S.SeqHeadValue &&
      Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z) < kReleaseReach && HolderReceiverReady(W, i)) {
    S.SeqHeadFlag = kTrue32;
  }
  const TTeamBlock& A = W.Teams[1];
  const TPlayer* h = PlayerAt(A, A.SetPieceHolder);
  if (S.SeqHeadFlag != 0 && S.SeqHeadValue > 0 && S.EventArray[1].EventType != kToLine && h != nullptr &&
      h->passtimer <= 0 && h->freeballcatchtimer <= 0 &&
      static_cast<double>(h->Pos.z) + kStandDownLead < P.Pos.z) {
    S.SeqHeadFlag = kFalse32;
    S.SeqHeadValue = 0.0f;
  }
}

// Who is moved past the end conditions: not the carrier in running, not the
// receiver in passing, and any released breakdown runner.
bool Moves(const TWorld& W, int i, const TActionSeq& S) {
  const TTeamBlock& A = W.Teams[1];
  if (Running(W) && i != A.BallCarrier) return true;
  if (Passing(W) && i != A.PassReceiver) return true;
  return S.SeqHeadFlag != 0 && S.SeqHeadValue > 0;
}

// ---------------------------------------------------------------- the line

// Takes player i out of the set-piece line and puts him back: into the
// centre slot if he held it, else into the free slot nearest his x a step
// ahead with the carrier, the search stopping at a slot within 0.5 m.
void ReslotOnLine(TWorld& W, int i) {
  TTeamBlock& A = W.Teams[1];
  bool centre = false;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (A.SetPieceLine[k] != i) continue;
    centre = centre || k == kCentreSlot;
    A.SetPieceLine[k] = 0;
  }
  if (centre) {
    A.SetPieceLine[kCentreSlot] = i;
    return;
  }
  const TPlayer* C = Carrier(W);
  const double step = C != nullptr ? C->Velocity.x * static_cast<double>(W.TimeStep) : 0.0;
  const double x = static_cast<double>(A.Players[i].Pos.x) + step;
  const int slot = NearestFreeSetPieceSlot(A, x);
  if (slot != 0) A.SetPieceLine[slot] = i;
}

// A support player leaves the grid for the line; every line player is
// re-slotted.
void ReturnToLine(TWorld& W, int i) {
  TTeamBlock& A = W.Teams[1];
  TPlayer& P = A.Players[i];
  if (P.InBackline == 0) ClearPlayerSupportCells(A, i);
  P.InBackline = kTrue32;
  ReslotOnLine(W, i);
}

// ---------------------------------------------------------------- stepping

void ResetEvents(TActionSeq& S) {
  for (int k = 1; k <= EventCount(S); ++k) {
    TActionEvent& E = S.EventArray[k];
    E.DistTravelled = 0.0f;
    E.Complete = kFalse32;
    E.DeadlineLeft = E.Deadline;
    E.TimedOn = kFalse32;
    E.TimeLeft = E.Duration;
  }
}

// Deadlines run down, and relative points follow their reference players.
void AdvanceClocksAndTargets(const TWorld& W, TActionSeq& S) {
  for (int k = 1; k <= EventCount(S); ++k) {
    TActionEvent& E = S.EventArray[k];
    if (E.DeadlineLeft > 0 && E.Complete == 0) {
      E.DeadlineLeft = ToF32(static_cast<double>(E.DeadlineLeft) - W.TimeStep);
      if (E.DeadlineLeft <= 0) E.Complete = kTrue32;
    }
    if (E.RelMovementOn == 0) continue;
    const TPlayer* ref = RelReference(W, E);
    if (ref == nullptr) continue;
    const TDirection u = HeadingDirection(E.RelHeading);
    E.TargetPos.x = ToF32(ref->Pos.x + E.RelDistance * u.x);
    E.TargetPos.z = ToF32(ref->Pos.z + E.RelDistance * u.z);
  }
}

// A run is done: its hold starts, goes on, or there is none and the event
// is complete.
void FinishRun(TActionEvent& E) {
  if (E.TimedOn == 0 && E.Duration > 0) {
    E.TimedOn = kTrue32;
  } else if (!(E.Duration > 0 && E.TimeLeft > 0)) {
    E.Complete = kTrue32;
  }
}

bool InHold(const TActionEvent& E) { return E.Duration > 0 && E.TimedOn != 0 && E.TimeLeft > 0; }

// The current event's own progress: its hold, the length of a plain run,
// the arrival of a relative run or on the line; then the distance covered.
void AdvanceCurrentEvent(const TWorld& W, TPlayer& P, TActionEvent& E) {
  if (InHold(E)) {
    E.TimeLeft = ToF32(static_cast<double>(E.TimeLeft) - W.TimeStep);
    if (E.TimeLeft <= 0) E.Complete = kTrue32;
  } else if (E.EventType == kPlainRun && E.RelMovementOn == 0) {
    if (E.DistTravelled > E.DistOrig) FinishRun(E);
  } else if (E.EventType == kPlainRun) {
    const f32 d = Distance2D(P.Pos.x, P.Pos.z, E.TargetPos.x, E.TargetPos.z);
    if (TimeToCoverAccelerating(P.speed, P.Acceleration, E.DesSpeed, d) < W.TimeStep) FinishRun(E);
  } else if (E.EventType == kToLine) {
    const TVector2 point = LinePoint(W, E);
    if (Distance2D(P.Pos.x, P.Pos.z, point.x, point.z) < kLineArrival) E.Complete = kTrue32;
  }
  E.DistTravelled = ToF32(static_cast<double>(E.DistTravelled) + static_cast<double>(P.speed) * W.TimeStep);
}

// Whether a plain run may start: at once, or once the pass it waits for is
// on its way to this player.
bool MayStart(const TWorld& W, int i, const TActionEvent& E) {
  if (E.WaitFor == 0 || E.DistTravelled > 0) return true;
  if (E.WaitFor != 1 && E.WaitFor != 2) return false;
  const TPlayer* C = Carrier(W);
  if (C == nullptr) return false;
  if (C->passtimer > 0 && i == W.Teams[1].PassReceiver) return true;
  if (E.WaitFor != 2 || C->ActionSeq.seqON == 0) return false;
  const TActionEvent* cur = CurrentEvent(C->ActionSeq);
  return cur != nullptr && cur->EventType >= 1 && cur->EventType <= 4 && cur->EventSubType == i;
}

// The first incomplete plain run that may start becomes current (Idle
// cleared); otherwise the last event in use stays current and the player is
// idle. Deadlines that have run out are set again on the events passed.
void ChooseCurrentEvent(const TWorld& W, int i, TActionSeq& S) {
  S.Idle = kTrue32;
  for (int j = 1; j <= EventCount(S); ++j) {
    S.CurrEventIndex = j;
    TActionEvent& E = S.EventArray[j];
    if (E.Complete != 0) continue;
    if (E.DeadlineLeft <= 0) E.DeadlineLeft = E.Deadline;
    if (E.EventType != kPlainRun) continue;
    if (MayStart(W, i, E)) {
      S.Idle = kFalse32;
      return;
    }
  }
}

bool AllComplete(const TActionSeq& S) {
  for (int k = 1; k <= EventCount(S); ++k) {
    if (S.EventArray[k].Complete == 0) return false;
  }
  return true;
}

// The DesiredPos of the current run: 10 m ahead along its heading, the end
// point for the last run; a relative run's point, or where the player meets
// it as it moves with the reference.
void AimAtRun(TWorld& W, TPlayer& P, int k) {
  TActionSeq& S = P.ActionSeq;
  TActionEvent& E = S.EventArray[k];
  if (E.RelMovementOn == 0) {
    double r = kRunLead;
    if (k == EventCount(S)) {
      r = std::max(kRunEndMargin, static_cast<double>(E.DistOrig) - E.DistTravelled + kRunEndMargin);
    }
    const TDirection u = HeadingDirection(E.Angle);
    SetDesiredXZ(P, P.Pos.x + r * u.x, P.Pos.z + r * u.z);
    return;
  }
  const TPlayer* ref = RelReference(W, E);
  if (E.Intercept == 0 || ref == nullptr) {
    SetDesiredXZ(P, E.TargetPos.x, E.TargetPos.z);
    return;
  }
  const TMover m = ReadMover(W, *ref);
  TVector2 point = MeetMovingPoint(W, P, E.DesSpeed, E.TargetPos, m);
  if (InHold(E) && ref->speed > kMovingReference) {
    // Holding on a moving point: catch it up, then keep pace with it.
    const f32 d = Distance2D(P.Pos.x, P.Pos.z, point.x, point.z);
    E.DesSpeed = d >= kHoldChaseReach ? P.maxspeed : ToF32(kHoldSpeedShare * ref->speed);
    const f32 t = TimeToCoverAccelerating(P.speed, P.Acceleration, E.DesSpeed, d);
    if (t < W.TimeStep) {
      const TDirection u = HeadingDirection(m.Heading);
      const double on = static_cast<double>(E.DesSpeed) * (static_cast<double>(W.TimeStep) - t);
      point = {ToF32(point.x + on * u.x), ToF32(point.z + on * u.z)};
    }
  }
  SetDesiredXZ(P, point.x, point.z);
}

// The DesiredPos of a type-14 event: its line point, met on the move in
// running and passing, and kept 0.5 m behind a carrier or receiver whom
// the player is close to sideways.
void AimAtLine(TWorld& W, TPlayer& P, const TActionEvent& E) {
  TVector2 point = LinePoint(W, E);
  const TPlayer* who = Running(W) ? Carrier(W) : (Passing(W) ? Receiver(W) : nullptr);
  if (who != nullptr) {
    point = MeetMovingPoint(W, P, E.DesSpeed, point, ReadMover(W, *who));
    if (std::fabs(static_cast<double>(P.Pos.x) - who->Pos.x) < kCarrierSideReach) {
      point.z = std::min(point.z, ToF32(who->Pos.z - kCarrierBehind));
    }
  }
  SetDesiredXZ(P, point.x, point.z);
}

void StepSequence(TWorld& W, int i) {
  TPlayer& P = W.Teams[1].Players[i];
  TActionSeq& S = P.ActionSeq;
  const TGameState g = W.gamestate;
  // A set-piece sequence keeps its start point until it starts.
  if ((g == gsGotTackled || g == gsScrum || g == gsLineout || g == gsKickRestartSet) && S.HoldStartPos != 0 &&
      S.CurrEventIndex == 0) {
    P.DesiredPos.x = S.StartX;
    P.DesiredPos.z = S.StartZ;
  }
  if (S.CurrEventIndex != 0) ApplyEndConditions(W, i, P);
  ReleaseForBreakdown(W, i, P);
  if (!Moves(W, i, S)) return;

  if (S.CurrEventIndex == 0) {
    ResetEvents(S);
    if (OpenPlay(W)) ReturnToLine(W, i);
  }
  // From its start frame on, so that a relative run has its point before it
  // first aims at it.
  AdvanceClocksAndTargets(W, S);
  if (TActionEvent* E = CurrentEvent(S)) AdvanceCurrentEvent(W, P, *E);
  ChooseCurrentEvent(W, i, S);

  if (AllComplete(S)) {
    S.seqON = kFalse32;
    SetDesiredXZ(P, P.Pos.x + static_cast<double>(P.Velocity.x) * W.TimeStep,
                 P.Pos.z + static_cast<double>(P.Velocity.z) * W.TimeStep);
    if (OpenPlay(W)) ReturnToLine(W, i);
    return;
  }
  if (S.Idle == 0) AimAtRun(W, P, S.CurrEventIndex);
  const TActionEvent* E = CurrentEvent(S);
  if (E != nullptr && E->EventType == kToLine) AimAtLine(W, P, *E);
}

}  // namespace

void RunActionSequences(TWorld& W) {
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (W.Teams[1].Players[i].ActionSeq.seqON != 0) StepSequence(W, i);
  }
}
