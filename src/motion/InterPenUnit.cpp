#include "motion/InterPenUnit.h"

#include <cmath>

#include "core/Geometry.h"

namespace {

constexpr double kGap = 0.5;          // m, the least distance between two bodies
constexpr double kCarrierGap = 0.525;  // m, the carrier's in the look-ahead
constexpr double kBoxDepth = 20.0;    // m, the box's half-length in z
constexpr double kExtraSpeed = 1.0;   // m/s, pushed beyond the overlap in open play

enum TPairing { kOpponents, kAttackers, kDefenders };

struct TPass {
  TPairing Pairing;
  double BoxHalfWidth;  // m
};

bool Running(const TWorld& W) { return W.gamestate == gsRunning; }
bool OpenPlay(const TWorld& W) {
  return W.gamestate == gsRunning || W.gamestate == gsPassing || W.gamestate == gsFreeBall;
}

bool InBox(const TWorld& W, const TPlayer& P, double HalfWidth) {
  return std::fabs(static_cast<double>(P.Pos.x) - W.BallPos.x) <= HalfWidth &&
         std::fabs(static_cast<double>(P.Pos.z) - W.BallPos.z) <= kBoxDepth;
}

bool Engaged(const TPlayer& P) { return P.BlockEngaged[1] > 0 && P.BlockEngaged[2] > 0; }

bool InOneBlock(const TPlayer& A, const TPlayer& B) {
  return Engaged(A) && Engaged(B) && A.BlockEngaged[1] == B.BlockEngaged[1];
}

bool BlockExitBetween(const TPlayer& A, const TPlayer& B) {
  return (A.BlockExitTimer > 0 && B.BlockExitedOnTimer > 0) || (B.BlockExitTimer > 0 && A.BlockExitedOnTimer > 0);
}

// A tackle attempt that keeps its contact: near its end, a kind 7 or 8, or a
// kind 3 that turned into a charge, an exit or a roll-over.
bool TackleHolds(const TPlayer& P) {
  if (!(P.TackleAttemptTimer > 0)) return false;
  if (P.maxframes > 0 && P.currentframe / static_cast<double>(P.maxframes) > 0.95) return true;
  const f32 kind = P.TackleAttemptKind;
  if (kind == 7 || kind == 8) return true;
  if (kind != 3) return false;
  const auto& a = P.currentAnim;
  return a == "charged" || a == "blockgotexitedon8" || a == "blockgotexitedon10" || a == "blockgotexitedon13" ||
         a == "rolloverfromback";
}

bool InRange(double v, double lo, double hi) { return v >= lo && v <= hi; }

bool CarrierBreaking(const TWorld& W, int i, const TPlayer& P) {
  if (i != W.Teams[1].BallCarrier || !(P.BreakTackleTimer > 0)) return false;
  const double a = P.ActionCode;
  return InRange(a, 1, 3) || InRange(a, 4, 6) || InRange(a, 7, 9);
}

bool Exempt(const TWorld& W, TPairing Pairing, int i, const TPlayer& A, const TPlayer& B) {
  if (InOneBlock(A, B)) return true;
  const TGameState s = W.gamestate;
  if (s == gsFreeBall) return BlockExitBetween(A, B);
  if (s != gsRunning && s != gsPassing) return false;
  switch (Pairing) {
    case kOpponents:
      if (BlockExitBetween(A, B)) return true;
      if (!Running(W)) return false;
      return A.numgoverning > 0 || B.numgoverning > 0 || A.OldTackleTimer > 0 || B.OldTackleTimer > 0 ||
             TackleHolds(A) || TackleHolds(B) || CarrierBreaking(W, i, A);
    case kAttackers:
      return A.RuckTimer2 > 0 || B.RuckTimer2 > 0 || A.OldTackleTimer > 0 || B.OldTackleTimer > 0 ||
             TackleHolds(A) || TackleHolds(B);
    case kDefenders: {
      const TPlayer* C = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier);
      return !(Running(W) && C != nullptr && C->KickTimer > 0);
    }
  }
  return false;
}

// Too far apart in x or in z to overlap at any gap; a quick test that
// leaves the exact one to PushApart.
bool FarApart(const TPlayer& A, const TPlayer& B) {
  constexpr double kReach = kCarrierGap + 0.001;  // m
  return std::fabs(static_cast<double>(A.Pos.x) - B.Pos.x) > kReach ||
         std::fabs(static_cast<double>(A.Pos.z) - B.Pos.z) > kReach;
}

// Moves A and B apart when they overlap; true when they did (two players on
// one point overlap but have no direction to move in).
bool PushApart(const TWorld& W, TPlayer& A, TPlayer& B, bool CarrierInPair) {
  const double gap = Running(W) && W.LiveWorld == 0 && CarrierInPair ? kCarrierGap : kGap;
  const double overlap = gap - Distance2D(A.Pos.x, A.Pos.z, B.Pos.x, B.Pos.z);
  if (!(overlap > 0)) return false;
  const double push = overlap + (OpenPlay(W) ? kExtraSpeed * W.TimeStep : 0.0);
  TVector2 u;
  Subtract2D({A.Pos.x, A.Pos.z}, {B.Pos.x, B.Pos.z}, u);
  Normalise2D(u, u);
  const double weights = static_cast<double>(A.Weight) + B.Weight;
  const double shareA = weights > 0 ? A.Weight / weights : 0.5;
  const double shareB = weights > 0 ? B.Weight / weights : 0.5;
  A.Pos.x = static_cast<f32>(A.Pos.x + u.x * push * shareA);
  A.Pos.z = static_cast<f32>(A.Pos.z + u.z * push * shareA);
  B.Pos.x = static_cast<f32>(B.Pos.x - u.x * push * shareB);
  B.Pos.z = static_cast<f32>(B.Pos.z - u.z * push * shareB);
  return true;
}

// A pushed player's block is broken off.
void ReleaseBlock(TWorld& W, const TPlayer& P) {
  if (!Engaged(P)) return;
  const i16 n = P.BlockEngaged[1];
  if (!Arr1<TBlockRecord, 25>::InRange(n)) return;
  W.BlockRecords[n].Words[2] = 0;
  W.BlockRecords[n].Words[3] = 0;
}

void RunPass(TWorld& W, const TPass& Pass) {
  const int n = PlayerCount(W);
  const int carrier = W.Teams[1].BallCarrier;
  TTeamBlock& First = W.Teams[Pass.Pairing == kDefenders ? 2 : 1];
  TTeamBlock& Second = W.Teams[Pass.Pairing == kAttackers ? 1 : 2];
  const bool firstIsAttack = Pass.Pairing != kDefenders;
  for (int i = 1; i <= n; ++i) {
    TPlayer& A = First.Players[i];
    if (!InBox(W, A, Pass.BoxHalfWidth)) continue;
    for (int j = Pass.Pairing == kOpponents ? 1 : i + 1; j <= n; ++j) {
      TPlayer& B = Second.Players[j];
      if (FarApart(A, B) || Exempt(W, Pass.Pairing, i, A, B)) continue;
      const bool carrierInPair =
          firstIsAttack && (i == carrier || (Pass.Pairing == kAttackers && j == carrier));
      if (!PushApart(W, A, B, carrierInPair)) continue;
      if (!OpenPlay(W)) continue;
      ReleaseBlock(W, A);
      ReleaseBlock(W, B);
      if (!Running(W) || !carrierInPair) continue;
      if (Pass.Pairing == kOpponents) W.CarrierPushedByOpponent = kTrue32;
      if (Pass.Pairing == kAttackers) W.CarrierPushedByTeamMate = kTrue32;
    }
  }
}

}  // namespace

void InterPen(TWorld& W) {
  W.CarrierPushedByOpponent = kFalse32;
  W.CarrierPushedByTeamMate = kFalse32;
  const TGameState s = W.gamestate;
  if (s == gsFreeBall) {
    RunPass(W, {kOpponents, 10.0});
  } else if (s == gsRunning || s == gsPassing || s == gsTryScored || s == gsTransition) {
    const bool openPlay = s == gsRunning || s == gsPassing;
    RunPass(W, {kOpponents, openPlay ? 20.0 : 10.0});
    RunPass(W, {kAttackers, 20.0});
    RunPass(W, {kDefenders, 20.0});
  }
}
