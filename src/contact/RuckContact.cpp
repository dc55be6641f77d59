// The ruck: players sent in by the gottackled handler bind into their side's
// pack (PackSpots) and take their roles, the pack moves by momentum, late
// tacklers take hold and bring attackers down, dives that found nobody end,
// a ruck held by defenders alone is penalised, a ball in touch stops play
// and, in the match world, a front-row attacker picks the ball up and runs.
#include "contact/ContactHolds.h"
#include "contact/ContactSteps.h"
#include "contact/RunningStoppages.h"
#include "contact/SetPieceHandOver.h"
#include "core/Advantage.h"
#include "core/Geometry.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "hooks/UserControl.h"

namespace {

// Ruck roles (RuckRole).
constexpr f32 kNoRole = 0.0f;
constexpr f32 kAtSpot = 1.0f;
constexpr f32 kJackler = 2.0f;
constexpr f32 kClearOut = 3.0f;
constexpr f32 kClearedOut = 4.0f;

// Reaches compared with f32 distances, as f32.
constexpr f32 kArrivalReach = 0.4f;  // m from the arrival point
constexpr f32 kBindReach = 0.3f;     // m from the spot
constexpr double kFatigueShift = 2.0;  // s of FatigueTimer per bind
constexpr double kPackPush = 0.8;      // share of a binder's momentum the pack takes
constexpr i32 kRestartBallInTouch = 7;

bool HasRole(const TPlayer& P, f32 Role) { return P.RuckRole == Role; }

// Still walking in or only at the spot: a role nobody clears out.
bool NotYetInRuck(const TPlayer& P) { return HasRole(P, kNoRole) || HasRole(P, kAtSpot); }

// The side's bound player at spot k (1..10), or null for a free spot or a
// number naming nobody of the match.
TPlayer* SpotOccupant(TWorld& W, TTeamBlock& T, int k) {
  const i32 p = T.PackSpots.OccupantB[k];
  return p <= PlayerCount(W) ? PlayerAt(T, p) : nullptr;
}

// Arrivals near their point take the first free spot of the pack.
void SettleArrivals(TWorld& W, TTeamBlock& T) {
  for (int k = 1; k <= 10; ++k) {
    const i32 p = T.PackSpots.OccupantA[k];
    if (p > PlayerCount(W) || !IsPlayer(p)) continue;
    TPlayer& P = T.Players[p];
    const TVector2& at = T.PackSpots.PosA[k];
    if (!(Distance2D(P.Pos.x, P.Pos.z, at.x, at.z) < kArrivalReach)) continue;
    P.RuckRole = kAtSpot;
    T.PackSpots = ClaimNextFreeSpot(T.PackSpots, p, P.Pos.x, P.Pos.z);
    T.PackSpots.OccupantA[k] = 0;
  }
}

// The ruck's time as player P binds for side s.
void ScaleRestartDelay(TWorld& W, const TPlayer& P, int s) {
  const double factor = P.RuckFactor.value;
  if (s == 1) {
    W.RestartDelay = ToF32(W.RestartDelay * factor);
    return;
  }
  const double sum = 0.05 + factor;
  // A sum of 0 or less would divide by zero or turn the time negative.
  if (sum < 1.0 && sum > 0.0) W.RestartDelay = ToF32(W.RestartDelay / sum);
  const f32 cap = W.Teams[1].RuckTime.max;
  if (W.RestartDelay > cap) W.RestartDelay = cap;
}

// The line depth of a side by how many have bound; above 10 it stays.
void SetPackDepth(const TWorld& W, TSpotTable& S) {
  const double unit = W.RuckDepthUnit;
  if (S.BoundCount <= 10) S.Depth = ToF32(unit * 3.0);
  if (S.BoundCount <= 5) S.Depth = ToF32(unit * 2.0);
  if (S.BoundCount <= 3) S.Depth = ToF32(unit * 1.0);
}

// Player p of side s binds at spot k.
void Bind(TWorld& W, int s, int k, int p) {
  TTeamBlock& T = W.Teams[s];
  TTeamBlock& O = W.Teams[3 - s];
  TPlayer& P = T.Players[p];
  TSpotTable& S = T.PackSpots;
  S.BoundCount += 1;

  if (P.Fatigued != 0) {
    P.FatigueTimer = ToF32(P.FatigueTimer + kFatigueShift);
  } else {
    P.FatigueTimer = ToF32(P.FatigueTimer - kFatigueShift);
    if (!(P.FatigueTimer > 0)) P.FatigueTimer = 0.01f;
  }
  ScaleRestartDelay(W, P, s);

  const i32 total = W.Teams[1].PackSpots.BoundCount + W.Teams[2].PackSpots.BoundCount;
  PostMessage(W, T.teamid, P.id, msgRuckJoined, static_cast<f32>(total));

  const bool otherBound = O.PackSpots.BoundCount >= 1;
  if (S.BoundCount == 1) {
    S.FirstBinder = p;
    if (!otherBound) {
      S.BoundFirst = kTrue32;
      O.PackSpots.BoundFirst = kFalse32;
      S.TimeSinceFirstBind = 0;
    }
  }
  SetPackDepth(W, S);

  if (!otherBound && S.BoundCount <= 3) {
    P.RuckRole = kJackler;
  } else {
    P.RuckRole = kClearOut;
    for (int j = 1; j <= 3; ++j) {
      TPlayer* Q = SpotOccupant(W, T, j);
      if (Q != nullptr && !NotYetInRuck(*Q) && !HasRole(*Q, kClearedOut)) Q->RuckRole = kClearOut;
    }
    const double push = s == 1 ? kPackPush : -kPackPush;
    const double mass = static_cast<double>(W.PackMass) + P.Weight;
    // A pack of no mass has no momentum to share (no division by zero).
    if (mass != 0.0) {
      W.PackVelocityZ = ToF32((static_cast<double>(W.PackMass) * W.PackVelocityZ +
                               push * P.Weight * P.speed) / mass);
    }
    if (otherBound && k <= 3) {
      TPlayer* Q = SpotOccupant(W, O, k);
      if (Q != nullptr && !NotYetInRuck(*Q)) Q->RuckRole = kClearedOut;
    }
  }
  W.PackMass = ToF32(static_cast<double>(W.PackMass) + P.Weight);
}

// Side s: arrivals take spots, then those at their spot bind.
void BindSide(TWorld& W, int s) {
  TTeamBlock& T = W.Teams[s];
  SettleArrivals(W, T);
  for (int k = 1; k <= 10; ++k) {
    TPlayer* P = SpotOccupant(W, T, k);
    if (P == nullptr || !HasRole(*P, kAtSpot)) continue;
    const TVector2& at = T.PackSpots.PosB[k];
    if (Distance2D(P->Pos.x, P->Pos.z, at.x, at.z) < kBindReach) Bind(W, s, k, T.PackSpots.OccupantB[k]);
  }
}

// Step 7: only defenders bound for too long.
void PenaliseDefendersAlone(TWorld& W) {
  if (W.DefendersAloneTime > W.DefendersAloneLimit && W.TurnoverPending == 0)
    EnterHandsInRuck(W, W.Teams[1].TackledPlayer);
}

// Step 8: the ball in touch (either line counts as in touch) stops play for
// a lineout to the opponents.
void StopIfBallInTouch(TWorld& W) {
  if (W.TurnoverPending != 0) return;
  const double touch = 0.5 * W.PitchWidth;
  if (!(W.BallPos.x >= touch || W.BallPos.x <= -touch)) return;
  const i32 carrier = W.Teams[1].BallCarrier;
  W.KickTouchPos = {W.BallPos.x, W.BallPos.z};
  W.TouchPos = {W.BallPos.x, W.BallPos.z};
  W.BallBouncedInField = kTrue32;
  StopPlay(W, kRestartBallInTouch, gsLineout, true, true);
  W.TransitionBallHeld = Flag(carrier != 0);
}

// Whether bound attacker P has played far enough into his ruck animation to
// pick the ball up.
bool ReadyToPickUp(const TPlayer& P) {
  if (HasRole(P, kJackler)) return P.currentAnim == "jackle" && AnimationShare(P) > 0.8;
  if (HasRole(P, kClearOut))
    return (P.currentAnim == "clearout" || P.currentAnim == "clearoutdrivingloop") &&
           AnimationShare(P) > 0.95;
  return false;
}

// Whether a defender can be used to chase: nothing keeps him busy.
bool FreeToChase(const TPlayer& D) {
  return !(D.OldTackleTimer > 0) && !(D.TackleAttemptTimer > 0) && !(D.GettingTackledTimer > 0) &&
         !(D.RuckJoinDelay > 0);
}

// Whether block-1 player C reaches the point 2 m ahead of him before every
// free defender not behind him. A runner of no top speed reaches nothing.
bool RoomToRun(const TWorld& W, const TPlayer& C) {
  constexpr double kAhead = 2.0;  // m
  if (!(C.maxspeed > 0)) return false;
  const f32 tx = C.Pos.x;
  const f32 tz = ToF32(C.Pos.z + kAhead);
  double least = 10000.0;
  for (int d = 1; d <= PlayerCount(W); ++d) {
    const TPlayer& D = W.Teams[2].Players[d];
    if (D.Pos.z < C.Pos.z || !FreeToChase(D) || !(D.maxspeed > 0)) continue;
    const double t = Distance2D(D.Pos.x, D.Pos.z, tx, tz) / static_cast<double>(D.maxspeed);
    if (t < least) least = t;
  }
  return kAhead / C.maxspeed < least;
}

// Block-1 player c picks the ball up and runs with it.
void PickUp(TWorld& W, int c) {
  TTeamBlock& A = W.Teams[1];
  for (TTeamBlock& T : W.Teams)
    for (TPlayer& P : T.Players) P.ActionSeq.seqON = kFalse32;
  TPlayer& C = A.Players[c];
  A.BallCarrier = c;
  PostMessage(W, A.teamid, C.id, msgCarryStart, 0.0f);
  C.ActionSeq = StrategyParams.ActionSeqTemplate;
  C.freeballcatchtimer = 10.0f;
  C.FreeBallCatchAngle = 90.0f;
  C.FreeBallCatchFacing = 90.0f;
  C.FreeBallCatchSpeed = ToF32(0.9 * C.maxspeed);
  C.FreeBallCatchKind = 1.0f;
  C.currentAnim.Assign("runninglowcatch");
  C.maxframes = 1920.0f;
  C.currentframe = 864.0f;
  C.AnimLoop = kFalse32;
  C.BallTrack = 39;
  C.AnimLoopCount = 0;
  A.CarryStartFlag = kTrue32;
  ResumeRunningPlay(W, c);
  C.RuckTimer = 0;
}

// The ruck breaks up after a pick-up by carrier c: everyone's reaction time
// is drawn anew, ruck roles end with a delay before rejoining, busy
// defenders are kept off the carrier for 1.25 s. Returns the largest delay
// of block 1.
double BreakUpRuck(TWorld& W, int c) {
  double longest = 0.0;
  TPlayer& C = W.Teams[1].Players[c];
  for (int p = 1; p <= PlayerCount(W); ++p) {
    for (int s = 1; s <= 2; ++s) {
      TPlayer& P = W.Teams[s].Players[p];
      P.RunningAngleReactionTime.value = DrawDistribution(P.RunningAngleReactionTime);
      if (P.RuckTimer > 0) {
        P.RuckTimer = 0;
        if (!NotYetInRuck(P)) {
          P.RuckJoinDelay = ToF32(2.0 * P.RunningAngleReactionTime.value);
          if (s == 1 && P.RuckJoinDelay > longest) longest = P.RuckJoinDelay;
        }
      }
      if (s == 2 && (P.RuckJoinDelay > 0 || P.OldTackleTimer > 0 || P.TackleAttemptTimer > 0 ||
                     P.GettingTackledTimer > 0))
        C.ContactTimer[p] = 1.25f;
    }
  }
  return longest;
}

bool PlainTackleKind(f32 Kind) { return !(Kind >= 3.0f && Kind <= 8.0f); }

// Tackles and tackle attempts near the ruck end; their players keep the old
// tackle for Delay + 0.25 s.
void ReleaseTackles(TWorld& W, double Delay) {
  for (int s = 1; s <= 2; ++s) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = W.Teams[s].Players[p];
      const bool tackled = P.GettingTackledTimer > 0 && PlainTackleKind(P.GettingTackledKind);
      const bool tackling = P.TackleAttemptTimer > 0 && PlainTackleKind(P.TackleAttemptKind);
      if (!tackled && !tackling) continue;
      P.OldTackleTimer = ToF32(Delay + 0.25);
      P.OldTackleFacing = P.GettingTackledFacing;
      P.OldTackleKind = P.GettingTackledKind == 2.0f ? 2 : 1;
      if (tackling) {
        P.OldTackleFacing = P.TackleAttemptFacing;
        P.OldTackleKind = P.TackleAttemptKind == 2.0f ? 2 : 1;
      }
      LetGoOfTackle(W, s, p);
    }
  }
}

// Step 9, in the match world only: a front-row attacker at the ball picks up
// when the defenders have nobody bound and he has room to run.
void PickUpFromRuck(TWorld& W) {
  if (W.LiveWorld == 0 || W.gamestate != gsGotTackled) return;
  TTeamBlock& A = W.Teams[1];
  if (W.Teams[2].PackSpots.BoundCount >= 1 || !(A.PackSpots.BoundCount > 1)) return;
  if (A.SetPieceHolder > PlayerCount(W)) return;
  const TPlayer* H = PlayerAt(A, A.SetPieceHolder);
  if (H == nullptr || H->passtimer > 0 || H->freeballcatchtimer > 0) return;
  int c = 0;
  for (int k = 1; k <= 3 && c == 0; ++k) {
    const TPlayer* P = SpotOccupant(W, A, k);
    if (P == nullptr || !ReadyToPickUp(*P)) continue;
    constexpr f32 kBallReach = 0.7f;  // m
    if (Distance2D(P->Pos.x, P->Pos.z, W.BallPos.x, W.BallPos.z) < kBallReach) c = A.PackSpots.OccupantB[k];
  }
  if (c == 0 || !RoomToRun(W, A.Players[c])) return;
  PickUp(W, c);
  ReleaseTackles(W, BreakUpRuck(W, c));
}

}  // namespace

void RuckContact(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, A.Players[i], ucRuck, A);
  const bool settled = W.GotTackledPhase > 1;
  if (settled) HandOverFromSetPiece(W);
  BindSide(W, 1);
  BindSide(W, 2);
  HoldFallAndMissDives(W, THoldRules{}, 0);
  if (!settled) return;
  PenaliseDefendersAlone(W);
  StopIfBallInTouch(W);
  PickUpFromRuck(W);
}
