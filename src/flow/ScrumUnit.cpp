#include "flow/ScrumUnit.h"

#include <algorithm>
#include <cmath>

#include "core/Advantage.h"
#include "core/AttackTarget.h"
#include "core/AuxState.h"
#include "core/Geometry.h"
#include "core/Interception.h"
#include "core/Kinematics.h"
#include "core/MatchStore.h"
#include "core/MirrorWorld.h"
#include "core/OptionWeights.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/ScrumSetup.h"
#include "flow/ActionSequences.h"
#include "flow/SetPieceShared.h"
#include "hooks/UserControl.h"

namespace {

constexpr int kPackSize = 8;
constexpr int kScrumHalf = 9;
constexpr f32 kCollapsedRole = 52.0f;

// Shirt numbers of the pack by slot; index 0 holds MarkX > 0, 1 otherwise
// (the flankers change sides with the mark).
constexpr int kSlots[3][2][kPackSize] = {
    {},
    {{2, 1, 3, 4, 5, 8, 7, 6}, {2, 1, 3, 4, 5, 8, 6, 7}},
    {{2, 3, 1, 5, 4, 8, 6, 7}, {2, 3, 1, 5, 4, 8, 7, 6}},
};

// The order in which a side's slots take the animation codes base + 0..7,
// and block 1's and block 2's engagement-call thresholds in that order (s).
constexpr int kCallOrder[3][kPackSize] = {
    {}, {1, 2, 3, 4, 5, 7, 8, 6}, {1, 3, 2, 5, 4, 8, 7, 6}};
constexpr f32 kCallAt[3][kPackSize] = {
    {}, {1.4f, 1.4f, 1.4f, 1.1f, 1.1f, 0.85f, 0.85f, 0.5f},
    {1.3f, 1.3f, 1.3f, 1.0f, 1.0f, 0.75f, 0.75f, 0.4f}};
constexpr f32 kCallRole = 20.0f;
constexpr f32 kClosingRole = 36.0f;
constexpr f32 kEngagedRole = 44.0f;

// Scrummaging weight of slots 1..8.
constexpr double kPushWeight[kPackSize] = {1.5, 1.5, 1.5, 1.0, 1.0, 0.5, 0.5, 0.5};

// +1 when the side's scrum-half stands at positive x, else -1.
double SideSign(const TTeamBlock& T) { return T.FeedNegativeSide != 0 ? -1.0 : 1.0; }

TPlayer* SlotPlayer(TWorld& W, int side, int slot) {
  if (side < 1 || side > 2) return nullptr;
  const i32 n = W.Teams[side].PackSpots.OccupantB[slot];
  return n <= PlayerCount(W) ? PlayerAt(W.Teams[side], n) : nullptr;
}

TPlayer* ScrumHalf(TWorld& W, int side) {
  const i32 n = W.Teams[side].SetPieceHolder;
  return n <= PlayerCount(W) ? PlayerAt(W.Teams[side], n) : nullptr;
}

void SetDesired(TPlayer& P, double x, double z) {
  P.DesiredPos.x = static_cast<f32>(x);
  P.DesiredPos.z = static_cast<f32>(z);
}

bool Within(const TPlayer& P, double reach) {
  return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z) <= reach;
}

// Block 1's scrum-half at (MarkX + dx s, MarkZ); block 2's `pair` m further
// out and `up` m up-field of him.
void PlaceScrumHalves(TWorld& W, double dx, double pair, double up) {
  const double s = SideSign(W.Teams[1]);
  TPlayer* H1 = ScrumHalf(W, 1);
  if (H1 == nullptr) return;
  SetDesired(*H1, W.MarkX + dx * s, W.MarkZ);
  if (TPlayer* H2 = ScrumHalf(W, 2)) SetDesired(*H2, H1->DesiredPos.x + pair * s, H1->DesiredPos.z + up);
}

// Block 1's scrum-half at (x, z); block 2's by the pair rule.
void PlaceScrumHalvesAt(TWorld& W, double x, double z, double pair, double up) {
  TPlayer* H1 = ScrumHalf(W, 1);
  if (H1 == nullptr) return;
  SetDesired(*H1, x, z);
  const double s = SideSign(W.Teams[1]);
  if (TPlayer* H2 = ScrumHalf(W, 2)) SetDesired(*H2, H1->DesiredPos.x + pair * s, H1->DesiredPos.z + up);
}

// Bind points from the mark, the gap (when `gap`) and the bind shift of
// slots 4 to 8; every pack player then heads for his point.
void LayBindPoints(TWorld& W, bool gap) {
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    const double dir = side == 1 ? -1.0 : 1.0;  // away from the mark
    const double back = W.RuckBindDepth + (gap ? T.PackGap : 0.0);
    for (int k = 1; k <= kPackSize; ++k) {
      const double shift = k >= 4 ? W.PackAux : 0.0;
      T.PackSpots.PosB[k].x =
          static_cast<f32>(W.MarkX + T.PackSpots.OffsetB[k].x + dir * W.PackOffsetX / 2.0);
      T.PackSpots.PosB[k].z =
          static_cast<f32>(W.MarkZ + T.PackSpots.OffsetB[k].z + dir * (back + shift));
      if (TPlayer* P = SlotPlayer(W, side, k)) SetDesired(*P, T.PackSpots.PosB[k].x, T.PackSpots.PosB[k].z);
    }
  }
}

void SetPackLines(TWorld& W, bool gap) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  A.SetPieceLineZ = static_cast<f32>(W.MarkZ - A.PackSpots.Depth - (gap ? A.PackGap : 0.0));
  D.SetPieceLineZ = static_cast<f32>(W.MarkZ + D.PackSpots.Depth + (gap ? D.PackGap : 0.0));
}

// RuckRole base + 0..7 of each side's pack in its call order.
void SetPackRoles(TWorld& W, f32 base) {
  for (int side = 1; side <= 2; ++side) {
    for (int i = 0; i < kPackSize; ++i) {
      if (TPlayer* P = SlotPlayer(W, side, kCallOrder[side][i])) P->RuckRole = base + static_cast<f32>(i);
    }
  }
}

// ---------------------------------------------------------------- phase 0 and set-up

void DrawScrumTimes(TWorld& W) {
  W.TurnoverPending = kFalse32;
  W.ScrumRollTimer = static_cast<f32>(RandomRange(200, 401) / 1000.0);
  W.ScrumPenaltyGiven = kFalse32;
  W.ScrumDriveEnd = static_cast<f32>(RandomRange(750, 1401) / 1000.0);
  if (RandomRange(1, 1001) < 500) W.ScrumDriveEnd = static_cast<f32>(RandomRange(500, 1001) / 1000.0);
  if (RandomRange(400, 501) < 500) W.ScrumDriveEnd = static_cast<f32>(RandomRange(500, 1001) / 1000.0);
  bool longStop = RandomRange(1, 1001) < 500;
  if (!longStop) longStop = RandomRange(1, 1001) < 500;
  const int extra = longStop ? RandomRange(1000, 2501) : RandomRange(1000, 1501);
  W.ScrumStopTime = static_cast<f32>(W.ScrumDriveEnd + extra / 1000.0);
}

void ResetBlocks(TWorld& W) {
  W.FromSetPiece = kFalse32;
  for (int side = 1; side <= 2; ++side) {
    W.Teams[side].DeepPlayerNumber = 15;
    W.Teams[side].FullbackCandidate = 0;
  }
  W.DefenceCycleTimer = 0;
  W.RestartDelay = GaussianRandom(52.77f, 25.68f, 10.0f, 116.97f, kTrue32, kTrue32);
  ChoosePlayOption(W, kTrue32, kTrue32);
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    for (int p = 1; p <= PlayerCount(W); ++p) T.Players[p].SupportRunCall = kFalse32;
    for (int k = 1; k <= 5; ++k) T.ChaserSlots[k] = T.PrevChaserSlots[k] = T.DefExtras[k] = 0;
    T.SelectedPlayer = 0;
  }
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = T.Players[p];
      P.chasertimer = 0;
      P.ScrumPower.value = DrawDistribution(P.ScrumPower);
      P.target = P.numtargetting = P.governedby = P.numgoverning = 0;
      for (int f = 1; f <= 8; ++f) P.FootprintHolder[f] = 0;
      P.RuckTimer = 0;
    }
  }
  W.Teams[1].CarrierActionStage = 0;
  W.Teams[1].CarrierActionKind = -1;
  W.Teams[1].StrategyTimer = W.Teams[2].StrategyTimer = 0;
  for (int k = 1; k <= 5; ++k) AuxState.HalfTimeWords[k] = 0;
  W.BallPhase = 0;
  W.Teams[1].PassTimeAux = 0;
  // The scrum-half's pass and the pending kick are chosen afresh.
  W.Teams[1].HalfTimeAux = kFalse32;
  W.Teams[1].KickChosen = W.Teams[2].KickChosen = kFalse32;
  W.BreakdownClock = 0;
}

void FormPacks(TWorld& W) {
  W.RuckBindDepth = 0.55f;
  W.RuckOriginX = W.MarkX;
  W.RuckOriginZ = W.MarkZ;
  W.PackAux = 0.25f;
  W.PackOffsetX = 0.32f;
  constexpr f32 kAccel[3] = {0, 5.5f, 1.4f};
  constexpr f32 kMax[3] = {0, 8.5f, 1.8f};
  const int flank = W.MarkX > 0 ? 0 : 1;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    T.PackGap = 0.5f;
    T.PackDriveAccel = kAccel[side];
    T.PackDriveSpeed = 0;
    T.PackDriveMax = kMax[side];
    T.PackSpots.BoundCount = T.PackSpots.SpotWord3 = T.PackSpots.SpotWord4 = kPackSize;
    T.PackSpots.Depth = static_cast<f32>(W.RuckDepthUnit * 3.0);
    for (int k = 1; k <= 10; ++k) T.PackSpots.OccupantB[k] = k <= kPackSize ? kSlots[side][flank][k - 1] : 0;
  }
  SetPackLines(W, true);
  for (int side = 1; side <= 2; ++side) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = W.Teams[side].Players[p];
      P.DesiredPos.x = P.Pos.x;
      P.DesiredPos.z = P.Pos.z;
    }
  }
  LayBindPoints(W, true);
  double mass = 0;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    double weight = 0, push = 0;
    for (int k = 1; k <= kPackSize; ++k) {
      TPlayer* P = SlotPlayer(W, side, k);
      if (P == nullptr) continue;
      P->RuckTimer = 10.0f;
      P->RuckRole = 1.0f;
      P->desiredspeed = static_cast<f32>(RandomRange(275, 300) / 100.0);
      weight += P->Weight;
      push += P->ScrumPower.value * kPushWeight[k - 1];
    }
    T.PackWeight = static_cast<f32>(weight);
    T.PackPush = static_cast<f32>(push);
    mass += T.PackWeight;
  }
  W.PackVelocityZ = 0;
  W.PackMass = static_cast<f32>(std::max(mass, 1.0));
}

void SetUpScrum(TWorld& W) {
  DrawScrumTimes(W);
  ResetBlocks(W);
  FormPacks(W);
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  A.FeedNegativeSide = kTrue32;
  D.FeedNegativeSide = kFalse32;
  A.SetPieceHolder = A.BallCarrier = kScrumHalf;
  D.SetPieceHolder = kScrumHalf;
  for (int side = 1; side <= 2; ++side) {
    if (TPlayer* H = ScrumHalf(W, side)) {
      if (side == 1) PostMessage(W, A.teamid, H->id, msgScrumFeed, 0.0f);
      H->desiredspeed = 3.0f;
    }
  }
  PlaceScrumHalves(W, 3.0, 1.2, 0.2);
  SetupScrumPlay(W);
  DrawRestStyles(W, true);
  W.RecordingOn = kFalse32;
  W.SetPieceFlagSaved = W.SetPieceFlag;
}

// ---------------------------------------------------------------- backs

void PlaceAttackingBacks(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const double low = -W.PitchLength / 2.0 - W.InGoalDepth;
  for (int k = 1; k <= 201; ++k) {
    double z = A.SetPieceLineZ + A.LineSlotPos[k].z;
    if (z > A.SetPieceLineZ - 5.0) z = A.SetPieceLineZ - 5.0;
    if (z < low) z = low;
    A.SetPieceSlotPos[k].x = static_cast<f32>(W.MarkX + A.LineSlotPos[k].x);
    A.SetPieceSlotPos[k].z = static_cast<f32>(z);
    const i32 n = A.SetPieceLine[k];
    if (n == A.SetPieceHolder || n > PlayerCount(W)) continue;
    TPlayer* P = PlayerAt(A, n);
    if (P == nullptr) continue;
    SetDesired(*P, A.SetPieceSlotPos[k].x, A.SetPieceSlotPos[k].z);
    AlignByRoleCode(W, A, *P, A.SetPieceSlotPos[k].z);
  }
  for (int p = 1; p <= PlayerCount(W); ++p) A.Players[p].SpeedOverrideOn = kFalse32;
  RunActionSequences(W);
}

void PlaceDefendingBacks(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  for (int k = 1; k <= 201; ++k) {
    const i32 n = D.DefenceLine[k];
    if (n == D.SetPieceHolder || n > PlayerCount(W)) continue;
    TPlayer* P = PlayerAt(D, n);
    if (P == nullptr) continue;
    const f32 x = A.SetPieceSlotPos[k].x;
    const double z = ProfileValueAt(D.CurrentStrategy, x, static_cast<f32>(W.MarkX + D.DefenceLineAux),
                                    static_cast<f32>(W.MarkZ + D.DefenceLineOffset));
    SetDesired(*P, x, std::min(z, W.PitchLength * 0.5));
  }
  TPlayer* S = D.DeepPlayerNumber <= PlayerCount(W) ? PlayerAt(D, D.DeepPlayerNumber) : nullptr;
  if (S == nullptr) return;
  if (W.ScrumKindFlag == 0) {
    const TVector2 t = CarrierTargetPoint(W, S->Pos.x, S->Pos.z);
    SetDesired(*S, t.x, t.z);
  } else {
    SetDesired(*S, S->Pos.x, S->Pos.z);
  }
  if (S->DesiredPos.z < D.SetPieceLineZ + 5.0) S->DesiredPos.z = static_cast<f32>(D.SetPieceLineZ + 5.0);
}

// ---------------------------------------------------------------- phases

void CallEngagement(TWorld& W) {
  for (int side = 1; side <= 2; ++side) {
    for (int i = 0; i < kPackSize; ++i) {
      if (W.ScrumTimer >= kCallAt[side][i]) continue;
      if (TPlayer* P = SlotPlayer(W, side, kCallOrder[side][i])) P->RuckRole = kCallRole + static_cast<f32>(i);
    }
  }
}

// Front-rowers 1, 2, 3 against the opponents' 3, 2, 1.
void FrontRowInjuries(TWorld& W) {
  const bool allowed = W.injurieson != 0 && MatchStore.MatchInfo.matchtype != 6;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    const TTeamBlock& O = W.Teams[3 - side];
    for (int n = 1; n <= 3 && n <= PlayerCount(W); ++n) {
      TPlayer& P = T.Players[n];
      if (4 - n > PlayerCount(W)) continue;
      const TPlayer& Opp = O.Players[4 - n];
      const double gap = static_cast<double>(Opp.ScrumPower.mean) - P.ScrumPower.mean;
      double chance = gap > 0 ? 0.2 * gap : 0.0;
      if (n == 2) chance *= 0.9;
      const double tall = P.Height * 100.0 - 190.0;
      if (tall > 0) chance += 5.0 * tall;
      chance += 2.0;
      if (!(RandomRange(1, 1001) < chance) || P.Unavailable != 0 || !allowed) continue;
      P.Unavailable = kTrue32;
      P.UnavailableKind = 1;
      P.MaxSpeedNonFatigued = P.maxspeed = static_cast<f32>(0.75 * P.MaxSpeedNonFatigued);
      P.AccelerationInit = P.Acceleration = static_cast<f32>(0.75 * P.AccelerationInit);
      P.BreakTackleProb = static_cast<i16>(RoundToI32(P.BreakTackleProb * 0.75));
      P.MakeTackleProb = static_cast<i16>(RoundToI32(P.MakeTackleProb * 0.75));
      P.ScrumPower.mean = static_cast<f32>(P.ScrumPower.mean * 0.75);
      PostMessage(W, T.teamid, P.id, msgInjury, static_cast<f32>(n));
    }
  }
}

// Returns whether the packs have engaged.
bool ClosePacks(TWorld& W) {
  W.PackAux = 0;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    T.PackDriveSpeed = static_cast<f32>(std::min<double>(T.PackDriveSpeed + T.PackDriveAccel * W.TimeStep, T.PackDriveMax));
    T.PackGap = static_cast<f32>(T.PackGap - T.PackDriveMax * W.TimeStep);
  }
  SetPackLines(W, true);
  LayBindPoints(W, true);
  SetPackRoles(W, kClosingRole);
  PlaceScrumHalves(W, 2.0, 1.3, 0.2);
  const TPlayer* F1 = SlotPlayer(W, 1, 1);
  const TPlayer* F2 = SlotPlayer(W, 2, 1);
  if (F1 == nullptr || F2 == nullptr) return false;
  if (!(F2->Pos.z < F1->Pos.z || std::fabs(static_cast<double>(F2->Pos.z) - F1->Pos.z) < 0.95)) return false;
  W.MarkZ = F1->Pos.z;
  W.RuckOriginZ = W.MarkZ;
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  W.PackVelocityZ = CombineMomentum(A.PackWeight, A.PackDriveSpeed, 90.0f, D.PackWeight, D.PackDriveSpeed, 270.0f).Speed;
  SetPackRoles(W, kEngagedRole);
  const TPlayer* H = ScrumHalf(W, 1);
  PostMessage(W, A.teamid, H != nullptr ? H->id : 0, msgScrumEngage, static_cast<f32>(RandomRange(1, 1001)));
  FrontRowInjuries(W);
  return true;
}

void StopDriveNearLine(TWorld& W) {
  const double limit = W.PitchLength * 0.5 - 1.0;
  auto beyond = [&](double z) { return z > limit || z < -limit; };
  if (!beyond(W.MarkZ + static_cast<double>(W.PackVelocityZ) * W.TimeStep)) return;
  W.ScrumDriveEnd = 0;
  W.ScrumStopTime = std::min(W.ScrumStopTime, 0.25f);
  if (beyond(W.MarkZ + static_cast<double>(W.PackVelocityZ) * (W.ScrumStopTime - W.PossessionClock))) W.ScrumStopTime = 0;
}

void BoundScrum(TWorld& W) {
  W.RuckPrevZ = W.MarkZ;
  const double dt = W.TimeStep;
  if (W.ScrumPhase >= 8) {
    const double v = W.PackVelocityZ + (static_cast<double>(W.Teams[1].PackPush) - W.Teams[2].PackPush) / W.PackMass * dt;
    W.PackVelocityZ = static_cast<f32>(std::clamp(v, -2.5, 2.5));
    StopDriveNearLine(W);
    if (W.ScrumDriveEnd < W.PossessionClock) {
      const double t = static_cast<double>(W.ScrumStopTime) - W.PossessionClock;
      W.PackVelocityZ = t > 2.0 * dt ? static_cast<f32>(W.PackVelocityZ * (1.0 - dt / t)) : 0.0f;
    }
  }
  const f32 speed = DepleteByRate(std::fabs(W.PackVelocityZ), 0.01f * W.Gravity, W.TimeStep, 1.0f);
  W.PackVelocityZ = W.PackVelocityZ < 0 ? -speed : speed;
  W.MarkZ = static_cast<f32>(W.MarkZ + static_cast<double>(W.PackVelocityZ) * dt);
  SetPackLines(W, false);
  if (dt > 0) W.PackVelocityZ = static_cast<f32>((static_cast<double>(W.MarkZ) - W.RuckPrevZ) / dt);
  LayBindPoints(W, false);
}

void StartFeed(TWorld& W) {
  PlaceScrumHalves(W, 1.85, 1.2, 0.2);
  TPlayer* H = ScrumHalf(W, 1);
  if (H == nullptr || !Within(*H, 0.2)) return;
  H->SpecialAnimTimer = 10.0f;
  H->SpecialAnimKind = 1.0f;
  H->SpecialAnimSpeed = 5.0f;
  H->SpecialAnimAngle = H->SpecialAnimFacing = SideSign(W.Teams[1]) > 0 ? 350.0f : 190.0f;
  W.ScrumPhase = 7;
}

void RollBallIn(TWorld& W) {
  W.BallTarget.x = W.MarkX;
  W.BallTarget.z = static_cast<f32>(W.MarkZ - 0.2);
  W.BallPhase = 1;
}

// Chance per mille that the feed is lost to a stronger block 2.
i32 FeedLossChance(const TWorld& W) {
  const double d = (static_cast<double>(W.Teams[1].PackPush) - W.Teams[2].PackPush) / W.PackMass;
  if (!(d < 0)) return 0;
  const double a = -d;
  return 1 + 75 * ((a > 0.25) + (a > 0.5) + (a > 0.75) + (a > 1.0));
}

void TurnOver(TWorld& W) {
  Toggle32(W.Team1InFirstBlock);
  MirrorWorld(W);
  for (int side = 1; side <= 2; ++side) W.Teams[side].BallCarrier = 0;
  SetPackLines(W, false);
  TTeamBlock& A = W.Teams[1];
  A.CarrierActionStage = 0;
  A.PassTimeLeft = A.PassTimeAux = A.KickTimeLeft = 0;
  // The side that won the feed still holds its commitment from its own last
  // set piece; its scrum-half has not committed at this one.
  A.HalfTimeAux = kFalse32;
  RollBallIn(W);
  W.ScrumKindFlag = kFalse32;
  SetupScrumPlay(W);
  PostMessage(W, A.teamid, 0, msgTightheadWon, 0.0f);
}

void Feed(TWorld& W) {
  TPlayer* H = ScrumHalf(W, 1);
  if (H == nullptr) return;
  if (H->SpecialAnimTimer > 0 && H->currentAnim == "scrumfeed") {
    PlaceScrumHalves(W, 1.75, 1.2, 0.2);
    H->SpecialAnimAngle = HeadingToPoint(H->Pos.x, H->Pos.z, H->DesiredPos.x, H->DesiredPos.z, H->SpecialAnimAngle);
    H->SpecialAnimSpeed = Distance2D(H->Pos.x, H->Pos.z, H->DesiredPos.x, H->DesiredPos.z) >= 0.2f ? 5.0f : 0.0f;
    if (H->maxframes > 0 && H->currentframe / H->maxframes >= 0.48f) {
      W.Teams[1].BallCarrier = 0;
      if (W.BallPhase == 0) RollBallIn(W);
    }
  }
  if (H->SpecialAnimTimer > 0) return;
  W.ScrumPhase = 8;
  W.PossessionClock = 0;
  if (W.TurnoverPending == 0 && RandomRange(1, 1001) < FeedLossChance(W)) {
    W.TurnoverPending = kTrue32;
    W.BreakdownClock = 0;
    W.Teams[2].PackPush = static_cast<f32>(W.Teams[2].PackPush + 0.35);
    TurnOver(W);
  }
  PostMessage(W, W.Teams[1].teamid, 0, msgScrumWon, 0.0f);
}

void BehindBackRow(TWorld& W) {
  const TTeamBlock& A = W.Teams[1];
  const double s = SideSign(A);
  const double x = s > 0 ? A.PackSpots.PosB[8].x + 0.5 : A.PackSpots.PosB[7].x - 0.5;
  PlaceScrumHalvesAt(W, x, A.PackSpots.PosB[6].z - 1.15, 1.2, 0.4);
  const TPlayer* H = ScrumHalf(W, 1);
  if (H != nullptr && Within(*H, 0.15)) W.ScrumPhase = 9;
}

void AwaitStableScrum(TWorld& W) {
  const double settle = W.TurnoverPending != 0 ? 4.75 : 1.0;
  const f32 v = W.PackVelocityZ;
  const bool stable = W.PossessionClock > settle && (v < 0 ? v > -0.25f : v < 0.4f);
  const TTeamBlock& A = W.Teams[1];
  const double back = !stable && W.ScrumPhase < 10 ? 1.1 : 0.85;
  PlaceScrumHalvesAt(W, A.PackSpots.PosB[6].x, A.PackSpots.PosB[6].z - back, 1.5, 0.75);
  const TPlayer* H = ScrumHalf(W, 1);
  if (W.ScrumPhase == 9 && stable && H != nullptr && Within(*H, 0.15)) W.ScrumPhase = 10;
}

void Collapse(TWorld& W, int side, TPlayer& P, int n) {
  W.ScrumRollTimer = static_cast<f32>(W.ScrumRollTimer + RandomRange(200, 451) / 1000.0);
  P.RuckRole = kCollapsedRole;
  W.Teams[side].PackPush = static_cast<f32>(W.Teams[side].PackPush * 0.9);
  if (W.ScrumPenaltyGiven != 0) return;
  const TPlayer* H = ScrumHalf(W, 1);
  if (H != nullptr && H->passtimer > 0) return;
  W.ScrumPenaltyGiven = kTrue32;
  W.ScrumPenaltySide = W.TurnoverPending == 0 ? kTrue32 : kFalse32;
  EnterScrumCollapse(W, Flag(side == 2), n, W.MarkX, W.MarkZ);
}

void RollForCollapse(TWorld& W) {
  W.ScrumRollTimer -= W.TimeStep;
  if (W.ScrumRollTimer > 0) return;
  W.ScrumRollTimer = static_cast<f32>(RandomRange(200, 401) / 1000.0);
  const double v = W.PackVelocityZ;
  if (!(std::fabs(v) > 0.25)) return;
  if (!(RandomRange(1, 1001) < ScrumCollapseChance(W))) return;
  const int side = v >= 0 ? 2 : 1;
  TTeamBlock& T = W.Teams[side];
  double best = 100000.0;
  int who = 0;
  for (int n = 1; n <= 3 && n <= PlayerCount(W); ++n) {
    const TPlayer& P = T.Players[n];
    if (P.RuckRole == kCollapsedRole) continue;
    const double score = P.ScrumPower.mean * (1.0 + RandomRange(-10, 11) / 100.0);
    if (score < best) {
      best = score;
      who = n;
    }
  }
  if (who != 0) Collapse(W, side, T.Players[who], who);
}

void RunPhases(TWorld& W) {
  if (W.ScrumPhase == 2) {
    bool all = W.RestartDelay <= 0;
    for (int side = 1; side <= 2 && all; ++side) {
      for (int p = 1; p <= PlayerCount(W) && all; ++p) all = Within(W.Teams[side].Players[p], 0.5);
    }
    if (all) {
      W.ScrumTimer = 1.5f;
      W.ScrumPhase = 3;
    }
  }
  if (W.ScrumPhase == 3) {
    CallEngagement(W);
    if (W.ScrumTimer <= 0) {
      W.ScrumTimer = static_cast<f32>(RandomRange(200, 501) / 1000.0);
      W.RecordingOn = kTrue32;
      W.SetPieceFlag = W.SetPieceFlagSaved;
      W.ScrumPhase = 4;
    }
  }
  if (W.ScrumPhase == 4 && W.ScrumTimer <= 0) W.ScrumPhase = 5;
  if (W.ScrumPhase == 5 && ClosePacks(W)) W.ScrumPhase = 6;
  if (W.ScrumPhase >= 6) BoundScrum(W);
  if (W.ScrumPhase == 6) StartFeed(W);
  if (W.ScrumPhase == 7) Feed(W);
  if (W.ScrumPhase == 8) BehindBackRow(W);
  if (W.ScrumPhase >= 9) AwaitStableScrum(W);
  if (W.ScrumPhase >= 8) RollForCollapse(W);
}

}  // namespace

i32 ScrumFeedLossChance(const TWorld& W) { return FeedLossChance(W); }

double ScrumCollapseChance(const TWorld& W) {
  const double v = W.PackVelocityZ;
  if (!(std::fabs(v) > 0.25)) return 0.0;
  const f32 p1 = W.Teams[1].PackPush, p2 = W.Teams[2].PackPush;
  if ((v < 0 && p2 < p1) || (v > 0 && p1 < p2)) return 0.0;
  return std::fabs(v) * 275.0;
}

void DoScrum(TWorld& W) {
  W.ScrumTimer -= W.TimeStep;
  if (W.ScrumPhase == 0) {
    ClearSetPieceTimers(W);
    W.ScrumPhase = 1;
  }
  if (W.ScrumPhase == 1) {
    SetUpScrum(W);
    W.ScrumPhase = 2;
  }
  if (W.ScrumPhase < 2) return;
  PlaceAttackingBacks(W);
  PlaceDefendingBacks(W);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    ApplyUserControl(W, W.Teams[2].Players[p], ucDefence, W.Teams[2]);
  }
  RunPhases(W);
}
