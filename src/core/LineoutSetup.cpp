#include "core/LineoutSetup.h"

#include <cmath>
#include <utility>

#include "core/Random.h"

namespace {

// One formation: player and role of slots 1..8, who lifts whom, and the
// jumper the throw is aimed at with his slot.
struct TFormation {
  int player[8];
  int role[8];
  int lifts[3][2];  // {lifter, jumper}; {0, 0} unused
  int jumper, slot;
};

constexpr TFormation kThrowing[5] = {
    {{3, 4, 7, 0, 1, 5, 8, 6}, {1, 2, 1, 0, 3, 3, 3, 1}, {{3, 4}, {7, 4}, {6, 8}}, 8, 7},
    {{3, 4, 7, 0, 1, 5, 8, 6}, {1, 2, 1, 0, 3, 3, 3, 1}, {{3, 4}, {7, 4}, {6, 8}}, 4, 2},
    {{6, 4, 1, 0, 5, 3, 8, 7}, {1, 2, 1, 0, 3, 3, 3, 1}, {{6, 4}, {1, 4}, {7, 8}}, 5, 5},
    {{6, 0, 1, 4, 3, 5, 8, 7}, {3, 0, 1, 2, 3, 2, 3, 3}, {{1, 4}, {0, 0}, {0, 0}}, 4, 4},
    {{6, 0, 1, 4, 3, 5, 8, 7}, {3, 0, 1, 2, 3, 2, 3, 3}, {{1, 4}, {0, 0}, {0, 0}}, 5, 6},
};

constexpr TFormation kReceiving[2] = {
    {{3, 4, 7, 5, 0, 1, 6, 8}, {1, 2, 1, 2, 0, 3, 3, 1}, {{3, 4}, {7, 4}, {8, 6}}, 4, 2},
    {{3, 4, 7, 5, 0, 1, 6, 8}, {1, 2, 1, 2, 0, 3, 3, 1}, {{3, 4}, {7, 5}, {8, 6}}, 5, 4},
};

void ResetSide(TTeamBlock& T, i32 ballCarrier) {
  T.LineoutThrower = 2;
  T.BallCarrier = ballCarrier;
  T.SetPieceHolder = 9;
  T.DeepPlayerNumber = 15;
  for (int k = 1; k <= 15; ++k) {
    T.LineoutSlots[k] = 0;
    T.LineoutSlotRoles[k] = 0;
  }
}

void ApplyFormation(TWorld& W, int side, const TFormation& F) {
  TTeamBlock& T = W.Teams[side];
  T.LineoutCount = 7;
  for (int k = 1; k <= 8; ++k) {
    T.LineoutSlots[k] = F.player[k - 1];
    T.LineoutSlotRoles[k] = F.role[k - 1];
  }
  for (const auto& lift : F.lifts) {
    if (lift[0] != 0) T.Players[lift[0]].LiftTarget = lift[1];
  }
  W.LineoutTargetJumper[side] = static_cast<u16>(F.jumper);
  W.LineoutTargetSlot[side] = static_cast<u16>(F.slot);
}

// Of the back row, the best jumper by height, jumping and catching, with
// 10 % either way of chance; he takes the target's slot and lifters.
void ChooseBackRowJumper(TWorld& W) {
  TTeamBlock& T = W.Teams[1];
  const int target = W.LineoutTargetJumper[1];
  f32 best = -10000.0f;
  int chosen = target;
  for (int p = 6; p <= 8; ++p) {
    const TPlayer& P = T.Players[p];
    f32 score = static_cast<f32>((P.Height - 1.9) * 1000 + 1.0 * P.lineoutjumping +
                                 0.1 * P.CleanCatchProb);
    const int r = RandomRange(-10, 11);
    score = static_cast<f32>(score + static_cast<double>(score) * r / 100);
    if (score > best) {
      best = score;
      chosen = p;
    }
  }
  if (chosen == target) return;
  auto swap = [&](i32& v) {
    if (v == chosen) v = target;
    else if (v == target) v = chosen;
  };
  for (int k = 1; k <= 15; ++k) swap(T.LineoutSlots[k]);
  for (int p = 1; p <= PlayerCount(W); ++p) swap(T.Players[p].LiftTarget);
  // Each takes over the other's lifting duty with his slot, so the jumper
  // lifts nobody and the one he replaces lifts from the jumper's old slot.
  std::swap(T.Players[chosen].LiftTarget, T.Players[target].LiftTarget);
  W.LineoutTargetJumper[1] = static_cast<u16>(chosen);
}

// Slots 1 m apart from 5.25 m in from touch, slot 1 at the front, on a line
// `offsetZ` from the line of touch.
void PlaceSlots(const TWorld& W, TTeamBlock& T, f32 offsetZ) {
  const bool neg = W.LineoutOnNegativeX != 0;
  T.LineoutLineOffsetZ = offsetZ;
  T.LineoutFrontX = static_cast<f32>(neg ? -W.PitchWidth / 2.0 + 5 + 0.25
                                         : W.PitchWidth / 2.0 - 5 - 0.25);
  for (int k = 1; k <= 15; ++k) {
    const TVector2 off{static_cast<f32>(neg ? k - 1 : 1 - k), 0.0f};
    T.LineoutSlotOffsets[k] = off;
    T.LineoutSlotPos[k] = {static_cast<f32>(off.x + static_cast<double>(T.LineoutFrontX)),
                           static_cast<f32>(off.z + static_cast<double>(W.LineoutZ) + offsetZ)};
  }
}

}  // namespace

void SetupLineout(TWorld& W) {
  W.LineoutResolved = kFalse32;
  W.LineoutCountdown = 0;
  W.LineoutTargetJumper[1] = 0;
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      W.Teams[b].Players[p].LineOutTimer = 0;
      W.Teams[b].Players[p].LineoutRole = 0;
    }
  }
  const double halfL = W.PitchLength / 2.0;

  TTeamBlock& A = W.Teams[1];
  ResetSide(A, 2);
  ApplyFormation(W, 1, kThrowing[RandomRange(1, 6) - 1]);
  const int target = W.LineoutTargetJumper[1];
  if (target >= 6 && target <= 8) ChooseBackRowJumper(W);
  PlaceSlots(W, A, -0.7f);
  W.LineoutRefX = A.LineoutSlotPos[5].x;
  A.LineoutReceiverDepth = 10.0f;
  if (-halfL >= W.LineoutZ - 10.0) A.LineoutReceiverDepth = static_cast<f32>(std::fabs(-halfL - W.LineoutZ));

  TTeamBlock& D = W.Teams[2];
  ResetSide(D, 0);
  ApplyFormation(W, 2, kReceiving[RandomRange(1, 3) - 1]);
  PlaceSlots(W, D, 0.7f);
  D.LineoutReceiverDepth = 10.0f;
  if (W.LineoutZ + 10.0 >= halfL) D.LineoutReceiverDepth = static_cast<f32>(std::fabs(halfL - W.LineoutZ));
}
