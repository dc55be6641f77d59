#include "core/Advantage.h"

#include <algorithm>
#include <cmath>

#include "core/Random.h"
#include "core/Rounding.h"

namespace {

bool InUse(const TInfringement& I) { return I.Kind != 0; }
bool AgainstDefence(const TInfringement& I) { return I.AgainstDefence != 0; }

// Entries in use: from the first up to the first empty one.
int EntriesInUse(const TWorld& W) {
  int n = 0;
  while (n < 10 && InUse(W.Infringements[n + 1])) ++n;
  return n;
}

// Does `j` make a better head of the list than `best`? A major offence
// wins; otherwise the one furthest towards the non-offending side's goal.
bool BetterHead(const TInfringement& j, const TInfringement& best) {
  if ((j.Major != 0) != (best.Major != 0)) return j.Major != 0;
  return AgainstDefence(best) ? j.Z > best.Z : j.Z < best.Z;
}

// A new infringement starts the advantage when none is held: 12.5 s of
// hold, the first judgement after 2.5 s.
void StartAdvantageIfIdle(TWorld& W) {
  if (W.AdvantageHoldTimer <= 0) {
    W.AdvantageHoldTimer = 12.5f;
    W.AdvantageTimer = 2.5f;
  }
}

// The side that gains the advantage is Teams[1] when the offender is a
// defender, else Teams[2]; the offender is in the other block.
TTeamBlock& NonOffendingSide(TWorld& W, const TInfringement& I) {
  return W.Teams[AgainstDefence(I) ? 1 : 2];
}
TTeamBlock& OffendingSide(TWorld& W, const TInfringement& I) {
  return W.Teams[AgainstDefence(I) ? 2 : 1];
}

void PostAdvantageMessage(TWorld& W, const TInfringement& I, u8 code) {
  const TPlayer* offender = PlayerAt(OffendingSide(W, I), I.Player);
  const i32 playerID = offender != nullptr ? offender->id : 0;
  PostMessage(W, NonOffendingSide(W, I).teamid, playerID, code,
              static_cast<f32>(I.Kind));
}

// Entry k is kept when new (InfringementIsNew); else it is freed again.
bool KeepIfNew(TWorld& W, int k, bool IsNew) {
  W.InfringementIsNew = Flag(IsNew);
  if (!IsNew) W.Infringements[k].Kind = 0;
  return IsNew;
}

bool SameEntry(const TInfringement& a, const TInfringement& b) {
  return a.Kind == b.Kind && AgainstDefence(a) == AgainstDefence(b) && a.Player == b.Player;
}

// The defending side cannot let the attackers run the advantage out beyond
// the time they need to reach the try line.
void LimitDefendersAdvantage(TWorld& W) {
  const bool running = W.gamestate == gsRunning;
  if (!running && W.gamestate != gsFreeBall) return;
  const double d = std::max(0.0, W.PitchLength / 2.0 - W.BallPos.z);
  double v = 30.0;
  if (running) {
    if (const TPlayer* carrier = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier)) {
      v = carrier->Velocity.z + 0.5;
    }
  } else if (W.BallPhase >= 1 && W.BallPhase <= 1000) {
    v = W.FlightVel[W.BallPhase].z + 0.5;
  }
  v = std::max(v, 1.0);
  const double limit = d / v - 0.25;
  if (limit < W.AdvantageTimer) W.AdvantageTimer = static_cast<f32>(limit);
}

bool AnyDefenderInContact(const TWorld& W) {
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (W.Teams[2].Players[p].AdvantageContactFlag != 0) return true;
  }
  return false;
}

enum TOutcome { kPlayOnPending = 0, kPlayOn = 1, kStopPlay = 2 };

TOutcome JudgeAdvantage(const TWorld& W, const TInfringement& head) {
  TOutcome outcome = AgainstDefence(head) ? kPlayOnPending : kStopPlay;
  if (W.AdvantageHoldTimer <= 0 && AgainstDefence(head)) {
    const bool gained = W.BallPos.z > head.Z + 10.0;
    const bool overTryLine = W.BallPos.z > 0.5 * W.PitchLength;
    const bool openPlay = W.gamestate == gsRunning || W.gamestate == gsPassing;
    if (gained || overTryLine || (openPlay && !AnyDefenderInContact(W))) outcome = kPlayOn;
  }
  const int n = EntriesInUse(W);
  for (int k = 2; k <= n; ++k) {
    if (AgainstDefence(W.Infringements[k]) != AgainstDefence(head)) outcome = kStopPlay;
  }
  return outcome;
}

// The referee's stop when the advantage is judged over, towards the
// infringement's restart. Its clearing of block 1's pass and kick countdowns
// and its entry into transition are those of the contact steps' stoppages
// (touch, in-goal, held up: the contact steps' StopPlay), but the stop
// differs: it posts the both-sides message, has no restart kind of its
// own (0, pending kickrestartset), lets only a carrier in running or in a
// breakdown with AuxTackleFlag clear keep the ball, clears TransitionAux,
// and leaves PossessionChangePending to the transition's set-up, which
// settles it and the restart from the infringement.
void StopPlay(TWorld& W) {
  const TInfringement& head = W.Infringements[1];
  // Team and player are left 0: the message concerns both sides.
  PostMessage(W, 0, 0, msgAdvantageBothSides, head.Major != 0 ? 0.75f : 0.25f);

  TTeamBlock& T1 = W.Teams[1];
  T1.PassTimeLeft = 0;
  T1.KickTimeLeft = 0;
  if (TPlayer* carrier = PlayerAt(T1, T1.BallCarrier)) {
    carrier->passtimer = 0;
    carrier->KickTimer = 0;
  }

  W.RestartKind = 0;
  W.PendingGameState = gsKickRestartSet;
  W.StoppedGameState = W.gamestate;
  W.gamestate = gsTransition;
  W.TransitionStep = 1;
  W.TransitionTimeLeft = static_cast<f32>(RandomRange(200, 350) / 100.0);
  W.TransitionBallHeld = kFalse32;
  const bool carrierKeepsBall =
      T1.BallCarrier != 0 &&
      (W.StoppedGameState == gsRunning ||
       (W.StoppedGameState == gsGotTackled && W.AuxTackleFlag == 0));
  if (carrierKeepsBall) {
    W.TransitionBallHeld = kTrue32;
    W.TransitionHolderFirstBlock = kTrue32;
    W.TransitionHolder = T1.BallCarrier;
  }
  W.TransitionAux = 0;
}

}  // namespace

void UpdateInfringementList(TWorld& W) {
  auto& list = W.Infringements;
  const int n = EntriesInUse(W);
  if (n == 0) return;
  int m = 1;
  while (m < n && AgainstDefence(list[m + 1]) == AgainstDefence(list[1])) ++m;
  if (m < 2) return;

  int best = 1;
  for (int j = 2; j <= m; ++j) {
    if (BetterHead(list[j], list[best])) best = j;
  }

  // Head, then the entries after the leading run; the rest of the run goes.
  const TInfringement head = list[best];
  list[1] = head;
  int to = 2;
  for (int k = m + 1; k <= n; ++k) list[to++] = list[k];
  for (; to <= 10; ++to) list[to] = TInfringement{};

  if (best != 1) W.AdvantageHoldTimer = 12.5f;
}

void UpdateAdvantage(TWorld& W) {
  UpdateInfringementList(W);
  TInfringement& head = W.Infringements[1];

  if (InUse(head) && !AgainstDefence(head)) LimitDefendersAdvantage(W);

  if (InUse(head)) {
    if (!SameEntry(head, W.PrevInfringement)) PostAdvantageMessage(W, head, msgAdvantage);
  } else if (InUse(W.PrevInfringement)) {
    PostAdvantageMessage(W, W.PrevInfringement, msgAdvantageOver);
    W.PrevInfringement.Kind = 0;
  }
  W.PrevInfringement = head;

  if (InUse(head) && NonOffendingSide(W, head).NoAdvantageFlag != 0) head.Kind = 0;

  if (W.AdvantageTimer > 0 || W.gamestate == gsTransition) return;
  W.AdvantageTimer = 2.5f;
  if (!InUse(head)) return;

  switch (JudgeAdvantage(W, head)) {
    case kPlayOn:  // advantage over; the next frame posts msgAdvantageOver
      for (TInfringement& I : W.Infringements) I = TInfringement{};
      return;
    case kPlayOnPending:
      return;
    case kStopPlay:
      StopPlay(W);
      return;
  }
}

int EnterInfringement(TWorld& W, i32 Kind, bool32 Major, bool32 AgainstDefence, i32 Player) {
  for (int k = 1; k <= 10; ++k) {
    TInfringement& I = W.Infringements[k];
    if (InUse(I)) continue;
    I.Kind = Kind;
    I.Major = Major;
    I.AgainstDefence = AgainstDefence;
    I.Aux = RoundToI32(W.clock);
    I.X = W.BallPos.x;
    I.Z = W.BallPos.z;
    I.Player = Player;
    return k;
  }
  return 0;
}

bool IsNewBesideEntryBefore(const TWorld& W, int K) {
  if (K <= 1 || K > 10) return true;
  const TInfringement& prev = W.Infringements[K - 1];
  const TInfringement& entry = W.Infringements[K];
  if (prev.Kind != entry.Kind || (prev.Major != 0) != (entry.Major != 0)) return true;
  constexpr double kSameSpot = 0.8;  // m, in x or in z
  const bool near = std::fabs(static_cast<double>(prev.X) - entry.X) <= kSameSpot ||
                    std::fabs(static_cast<double>(prev.Z) - entry.Z) <= kSameSpot;
  return !near;
}

void EnterOffsideTackler(TWorld& W, i32 Player) {
  constexpr i32 kOffsideTackler = 3;
  const int k = EnterInfringement(W, kOffsideTackler, kTrue32, kTrue32, Player);
  if (k == 0) return;
  if (!KeepIfNew(W, k, IsNewBesideEntryBefore(W, k))) return;
  StartAdvantageIfIdle(W);
}

bool IsNewHandlingEntry(const TWorld& W, int K) {
  if (K <= 1 || K > 10) return true;
  const TInfringement& prev = W.Infringements[K - 1];
  const TInfringement& entry = W.Infringements[K];
  const bool sameSide = AgainstDefence(prev) == AgainstDefence(entry);
  if (prev.Kind == entry.Kind && sameSide && prev.Player == entry.Player) return false;
  if (prev.Kind != entry.Kind || !sameSide) return true;
  constexpr double kSameSpot = 0.8;  // m, in x and in z
  return std::fabs(static_cast<double>(prev.X) - entry.X) > kSameSpot &&
         std::fabs(static_cast<double>(prev.Z) - entry.Z) > kSameSpot;
}

bool EnterHandlingInfringement(TWorld& W, i32 Kind, bool32 AgainstDefence, i32 Player, f32 X, f32 Z) {
  const int k = EnterInfringement(W, Kind, kFalse32, AgainstDefence, Player);
  if (k == 0) return false;
  W.Infringements[k].X = X;
  W.Infringements[k].Z = Z;
  if (!KeepIfNew(W, k, IsNewHandlingEntry(W, k))) return false;
  const TTeamBlock& side = W.Teams[AgainstDefence != 0 ? 2 : 1];
  if (const TPlayer* P = PlayerAt(side, Player)) {
    if (Kind == kKnockOn) {
      PostMessage(W, side.teamid, P->id, msgHandlingError, 0.0f);
      // The ball on or beyond the goal line the offending side attacks.
      const double goal = 0.5 * W.PitchLength;
      const bool beyond = AgainstDefence != 0 ? W.BallPos.z <= -goal : W.BallPos.z >= goal;
      if (beyond) PostMessage(W, side.teamid, P->id, msgBallDeadInGoal, 0.0f);
    } else if (Kind == kForwardPass) {
      PostMessage(W, side.teamid, P->id, msgForwardPass, 0.0f);
    }
  }
  StartAdvantageIfIdle(W);
  return true;
}

void EnterScrumCollapse(TWorld& W, bool32 AgainstDefence, i32 Player, f32 X, f32 Z) {
  constexpr i32 kScrumCollapse = 5;
  const int k = EnterInfringement(W, kScrumCollapse, kTrue32, AgainstDefence, Player);
  if (k == 0) return;
  W.Infringements[k].X = X;
  W.Infringements[k].Z = Z;
  if (KeepIfNew(W, k, IsNewHandlingEntry(W, k))) StartAdvantageIfIdle(W);
}

void EnterHandsInRuck(TWorld& W, i32 Player) {
  constexpr i32 kHandsInRuck = 4;
  const int k = EnterInfringement(W, kHandsInRuck, kTrue32, kFalse32, Player);
  if (k == 0) return;
  if (!KeepIfNew(W, k, IsNewHandlingEntry(W, k))) return;
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  if (const TPlayer* P = PlayerAt(A, Player)) PostMessage(W, A.teamid, P->id, msgPenHandsInRuck, 0.0f);
  if (D.PackSpots.BoundCount >= 1 && D.PackSpots.FirstBinder <= PlayerCount(W)) {
    if (const TPlayer* F = PlayerAt(D, D.PackSpots.FirstBinder))
      PostMessage(W, D.teamid, F->id, msgPenaltyForced, 0.0f);
  }
  StartAdvantageIfIdle(W);
}
