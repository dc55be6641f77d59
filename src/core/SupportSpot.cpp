#include "core/SupportSpot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/Geometry.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"

int SupportGridSide(const TTeamBlock& T) { return std::clamp(T.SupportGridSize, 0, kSupportGridMax); }

void ClearSupportGridCells(TTeamBlock& T) {
  const int side = SupportGridSide(T);
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) T.SupportGridCells[r][c] = 0;
  }
}

void ClearPlayerSupportCells(TTeamBlock& T, i32 p) {
  const int side = SupportGridSide(T);
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      if (T.SupportGridCells[r][c] == p) T.SupportGridCells[r][c] = 0;
    }
  }
}

void SetSupportGridOrigin(TTeamBlock& T, f32 X, f32 Z) {
  const int side = SupportGridSide(T);
  T.SupportGridOrigin = {X, Z};
  // A cell's x depends on its column only and its z on its row only, so each
  // is worked out once. In float: a row or column number is exact in float,
  // and the double sum of two floats rounded to float is the float sum (53
  // bits are more than twice 24 + 2), with the same float errors.
  f32 xs[kSupportGridMax + 1], zs[kSupportGridMax + 1];
  for (int k = 1; k <= side; ++k) {
    xs[k] = X + static_cast<f32>(k);
    zs[k] = Z - static_cast<f32>(k);
  }
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) T.SupportGridSpots[r][c] = {xs[c], zs[r]};
  }
}

void PlaceOnWeightedCell(TTeamBlock& T, i16 p, const TSupportGrid<i32>& Weights) {
  const int side = SupportGridSide(T);
  int64_t sum = 0;
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      if (T.SupportGridCells[r][c] == 0) sum += Weights[r][c];
    }
  }
  sum = std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX - 1);
  const int64_t n = RandomRange(1, static_cast<i32>(sum) + 1);
  int64_t running = 0;
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      if (T.SupportGridCells[r][c] != 0) continue;
      running += Weights[r][c];
      if (running >= n) {
        T.SupportGridCells[r][c] = static_cast<u16>(p);
        return;
      }
    }
  }
}

void RemovePlayerFromLists(TTeamBlock& Block, i16 Player, bool32 UseFirstTable, bool32 TakeOffLine) {
  if (!IsPlayer(Player)) return;
  if (TakeOffLine) {
    for (int k = 1; k <= kSlotCount; ++k) {
      if (Block.SetPieceLine[k] != Player) continue;
      if (k == kCentreSlot) return;  // the set-piece holder keeps his place
      Block.SetPieceLine[k] = 0;
      break;
    }
  }
  Block.Players[Player].InBackline = kFalse32;
  const int side = SupportGridSide(Block);
  bool cleared = false;
  for (int r = 1; r <= side && !cleared; ++r) {
    for (int c = 1; c <= side && !cleared; ++c) {
      if (Block.SupportGridCells[r][c] == static_cast<u16>(Player)) {
        Block.SupportGridCells[r][c] = 0;
        cleared = true;
      }
    }
  }
  // Occupied cells count for nothing in the draw.
  PlaceOnWeightedCell(Block, Player, UseFirstTable ? Block.SupportGridWeightsAlt1 : Block.SupportGridWeightsAlt2);
}

namespace {

double Fraction() { return RandomRange(1, 101) / 100.0; }

}  // namespace

void StartTemplateSequence(TWorld& W, i16 Player) {
  if (!IsPlayer(Player)) return;
  TTeamBlock& A = W.Teams[1];
  TPlayer& P = A.Players[Player];
  const bool tackled = W.gamestate == gsGotTackled;
  P.InBackline = kTrue32;
  P.ActionSeq = StrategyParams.ActionSeqTemplate;
  P.ActionSeq.seqON = kTrue32;
  TActionEvent& E = P.ActionSeq.EventArray[1];
  E.EventType = 14;  // go to a point
  E.EndCondition = 3;
  if (tackled) {
    P.ActionSeq.SeqHeadValue = 100.0f;
    P.ActionSeq.SeqHeadFlag = kTrue32;
  }

  const double halfW = W.PitchWidth / 2.0;
  double d = Fraction() * halfW;
  double s = RandomRange(1, 1001) < 500 ? 1 : -1;
  double b = 0;
  auto xOf = [&](i32 p) { return IsPlayer(p) ? static_cast<double>(A.Players[p].Pos.x) : 0.0; };
  switch (W.gamestate) {
    case gsRunning: b = xOf(A.BallCarrier); d = Fraction() * 7.0; break;
    case gsPassing: b = xOf(A.PassReceiver); d = Fraction() * 7.0; break;
    case gsFreeBall: b = W.BallPos.x; d = Fraction() * 7.0; break;
    case gsGotTackled:
      b = W.MarkX;
      d = Fraction() * 7.0 + 15.0;
      s = W.MarkX >= 0 ? -1 : 1;  // away from the near touchline
      break;
    default: break;
  }
  // Half-backs stay close; wings run their own touchline.
  if (!tackled && (Player == 9 || Player == 10)) d = Fraction() * 2.0;
  if (Player == 11) b = -halfW, d = Fraction() * 5.0, s = 1;
  if (Player == 14) b = halfW, d = Fraction() * 5.0, s = -1;
  const double edge = halfW - 0.8;
  E.TargetX = static_cast<f32>(std::clamp(s * d + b, -edge, edge));
}

void ApplyPassError(TPassLaunch& Launch, TVector3 Start, bool32 HalfChance, f32 Gravity,
                    f32 HeadingSD, f32 ElevationSD, bool32 SpeedError) {
  f32 k = 1.0f;
  if (HalfChance && RandomRange(1, 1001) < 500) k = 0.5f;
  f32 h = Distance2D(0, 0, Launch.vx, Launch.vz);
  f32 s = Distance2D(0, 0, h, Launch.vy);
  f32 a = HeadingToPoint(0, 0, Launch.vx, Launch.vz, 315.0f);
  f32 e = HeadingToPoint(0, 0, h, Launch.vy, 180.0f);
  if (SpeedError) {
    const int r = RandomRange(-10, 10);
    s = static_cast<f32>(s + s * (r / 100.0 * k));
  }
  e = static_cast<f32>(e + k * static_cast<double>(GaussianRandom(0, ElevationSD, -17, 17, kTrue32, kTrue32)));
  h = static_cast<f32>(-std::cos(e * kDegToRad) * s);
  Launch.vy = static_cast<f32>(std::sin(e * kDegToRad) * s);
  f32 g = GaussianRandom(0, HeadingSD, -25, 14, kTrue32, kTrue32);
  if (Launch.vx > 0) g = -g;
  a = static_cast<f32>(a + static_cast<double>(k) * g);
  Launch.vx = static_cast<f32>(-std::cos(a * kDegToRad) * h);
  Launch.vz = static_cast<f32>(std::sin(a * kDegToRad) * h);
  const double T = Launch.T;
  Launch.x = static_cast<f32>(Start.x - std::cos(a * kDegToRad) * h * T);
  Launch.z = static_cast<f32>(Start.z + std::sin(a * kDegToRad) * h * T);
  Launch.y = static_cast<f32>(Launch.vy * T + Start.y - 0.5 * Gravity * T * T);
}
