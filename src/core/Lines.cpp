#include "core/Lines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Geometry.h"

namespace {

constexpr int kLineCapacity = 15;

// The least time for a free player of the block to reach (x, z) at top
// speed; 10000 when nobody is free. A player without speed cannot get there.
f32 LeastTimeToReach(const TWorld& W, const TTeamBlock& B, f32 x, f32 z) {
  f32 best = 10000.0f;
  for (int j = 1; j <= PlayerCount(W); ++j) {
    const TPlayer& P = B.Players[j];
    if (!IsClearOfTackles(P) || P.maxspeed <= 0) continue;
    const f32 t = static_cast<f32>(Distance2D(x, z, P.Pos.x, P.Pos.z) / static_cast<double>(P.maxspeed));
    if (t < best) best = t;
  }
  return best;
}

}  // namespace

bool IsClearOfTackles(const TPlayer& P) {
  return P.GettingTackledTimer <= 0 && P.TackleAttemptTimer <= 0 && P.OldTackleTimer <= 0;
}

f32 ChooseKickAheadDistance(const TWorld& W, i32 Player, bool InFirstBlock) {
  const TTeamBlock& own = W.Teams[InFirstBlock ? 1 : 2];
  const TTeamBlock& opp = W.Teams[InFirstBlock ? 2 : 1];
  f32 result = InFirstBlock ? 5.0f : 7.0f;
  if (!IsPlayer(Player)) return result;
  const TPlayer& K = own.Players[Player];
  const double a = K.FreeBallCatchAngle * std::numbers::pi / 180.0;
  const double halfW = W.PitchWidth / 2.0;
  const double endZ = W.PitchLength / 2.0 + W.InGoalDepth;
  f32 bestMargin = -10000.0f;
  for (int k = 1; k <= 4; ++k) {
    const int d = 5 * k + 2;
    const f32 px = static_cast<f32>(K.Pos.x + d * -std::cos(a));
    const f32 pz = static_cast<f32>(K.Pos.z + d * std::sin(a));
    if (px > halfW || px < -halfW || pz > endZ || pz < -endZ) return result;
    const f32 margin = static_cast<f32>(static_cast<double>(LeastTimeToReach(W, opp, px, pz)) -
                                        LeastTimeToReach(W, own, px, pz));
    if (margin >= bestMargin) {  // equal margins go to the farther distance
      bestMargin = margin;
      result = static_cast<f32>(d);
    }
  }
  return result;
}

bool HasNumbersAdvantage(const TWorld& W) {
  int aheadL = 0, aheadR = 0, supportL = 0, supportR = 0;
  const i32 c = W.Teams[1].BallCarrier;
  const int n = PlayerCount(W);
  if (IsPlayer(c)) {
    const TVector3 cp = W.Teams[1].Players[c].Pos;
    // The x difference in double: a 32-bit difference could round up to 10.
    auto near = [&](f32 x) { return std::fabs(static_cast<double>(x) - cp.x) < 10.0; };
    for (int j = 1; j <= n; ++j) {
      const TVector3 o = W.Teams[2].Players[j].Pos;
      if (o.z > cp.z && near(o.x)) ++(o.x <= cp.x ? aheadL : aheadR);
      if (j == c) continue;
      const TVector3 m = W.Teams[1].Players[j].Pos;
      if (m.z < cp.z && near(m.x)) ++(m.x <= cp.x ? supportL : supportR);
    }
  }
  return aheadL + aheadR == 0 || aheadL <= supportL || aheadR <= supportR;
}

namespace {

// Eases the runner forward behind the carrier, with his lateral move limited
// to an acceleration of 10 m/s2.
void StepForward(TPlayer& P, f32& s, f32 VelX, f32 MinSpeed, f32 dt) {
  s = std::max(s, MinSpeed);
  const double gap = std::max(static_cast<double>(P.Pos.z) - P.DesiredPos.z, 0.0);
  const double f = std::max(1.0 - 0.225 * gap, 0.55);
  P.DesiredPos.z = static_cast<f32>(std::max(P.Pos.z, P.DesiredPos.z) + f * s * dt);
  P.DesiredPos.x = static_cast<f32>(P.DesiredPos.x + static_cast<double>(VelX) * dt);
  if (dt <= 0 || std::fabs(static_cast<double>(P.DesiredPos.x) - P.Pos.x) / dt <= 0.05) return;
  if (P.DesiredPos.x < P.Pos.x) {
    const double v = std::max(P.Velocity.x - 10.0 * dt, -static_cast<double>(P.maxspeed));
    P.DesiredPos.x = static_cast<f32>(std::max<double>(P.DesiredPos.x, P.Pos.x + v * dt));
  } else {
    const double v = std::min(P.Velocity.x + 10.0 * dt, static_cast<double>(P.maxspeed));
    P.DesiredPos.x = static_cast<f32>(std::min<double>(P.DesiredPos.x, P.Pos.x + v * dt));
  }
}

}  // namespace

void AdjustDesiredPosBehindLine(TPlayer& P, bool32 /*Unused2*/, bool32 ClampToLine, f32 VelX,
                                f32 VelZ, f32 LineZ, f32 MinSpeed, f32 RefX, f32 RefZ,
                                f32 /*Unused10*/, f32 TimeStep, f32 SpeedBoost) {
  const f32 dt = TimeStep;
  f32 s = VelZ < 0 ? static_cast<f32>(VelZ + SpeedBoost) : VelZ;
  if (s < 0) {
    P.DesiredPos.x = static_cast<f32>(P.DesiredPos.x + static_cast<double>(VelX) * dt);
    P.DesiredPos.z = static_cast<f32>(P.DesiredPos.z + static_cast<double>(VelZ) * dt);
    return;
  }
  if (P.Pos.z > LineZ && P.DesiredPos.z < LineZ) {
    // In front of the line and wanting back: straight back to the line when
    // that is quicker than waiting for the line to come to him.
    const double ahead = static_cast<double>(P.Pos.z) - LineZ;
    const double back = static_cast<double>(P.MaxSpeedNonFatigued) + s;
    const double t2 = ahead / (0.01 + s);
    const bool quicker = back > 0 && ahead / back + 0.5 < t2;
    P.DesiredPos.z = quicker ? LineZ : P.Pos.z;
  } else if (P.Pos.z > LineZ && ClampToLine) {
    P.DesiredPos.z = LineZ;
  } else {
    StepForward(P, s, VelX, MinSpeed, dt);
  }
  // Crossing in front of the reference point: drop back instead.
  const bool crosses = (P.Pos.x < RefX && P.DesiredPos.x > RefX) ||
                       (P.Pos.x > RefX && P.DesiredPos.x < RefX);
  if (P.Pos.z > RefZ && crosses && P.maxspeed > 0 &&
      static_cast<double>(s) * std::fabs(static_cast<double>(P.Pos.x) - RefX) / P.maxspeed + RefZ <
          P.Pos.z) {
    P.DesiredPos.x = P.Pos.x;
    P.DesiredPos.z = RefZ;
  }
}

namespace {

void RemoveLineEntry(TLineList& L, int k) {
  for (int j = k; j < L.Count; ++j) {
    L.Ids[j] = L.Ids[j + 1];
    L.Offset[j] = L.Offset[j + 1];
    L.Pos[j] = L.Pos[j + 1];
    L.Low[j] = L.Low[j + 1];
    L.High[j] = L.High[j + 1];
    L.Flag[j] = L.Flag[j + 1];
  }
  --L.Count;
}

// The place of Value among the entries' clamped positions.
int InsertPlace(const TLineList& L, f32 Value) {
  const int n = L.Count;
  if (n == 0) return 1;
  auto clamped = [&](int k) { return std::clamp(L.Pos[k], std::min(L.Low[k], L.High[k]), std::max(L.Low[k], L.High[k])); };
  int p = 0;
  if (Value <= clamped(1)) p = 1;
  if (Value >= clamped(n)) p = n + 1;
  if (p != 0) return p;
  for (int k = 1; k < n; ++k) {
    if (clamped(k) < Value && Value <= clamped(k + 1)) return k + 1;
  }
  return 1;
}

// Moves the neighbours of entry p of Wk outwards by `left` and `right`,
// judging the gaps on the record R.
void PushNeighbours(TLineList& Wk, const TLineList& R, int p, double left, double right) {
  const double sp = R.Spacing;
  if (left > 0) {
    double shift = left;
    for (int k = p - 1; k >= 1; --k) {
      Wk.Offset[k] = static_cast<f32>(Wk.Offset[k] - shift);
      if (k == 1) break;
      const double g = std::fabs(static_cast<double>(R.Offset[k]) - R.Offset[k - 1]);
      if (g - shift > sp) break;
      if (g >= sp) shift -= sp;
    }
  }
  if (right > 0) {
    double shift = right;
    for (int k = p + 1; k <= R.Count; ++k) {
      Wk.Offset[k] = static_cast<f32>(Wk.Offset[k] + shift);
      if (k == R.Count) break;
      const double g = std::fabs(static_cast<double>(R.Offset[k]) - R.Offset[k + 1]);
      if (g - shift > sp) break;
      if (g >= sp) shift -= sp;
    }
  }
}

double Overlap(const TLineList& L, int a, int b) {
  const double g = std::fabs(static_cast<double>(L.Offset[a]) - L.Offset[b]);
  return g <= L.Spacing ? L.Spacing - g : 0.0;
}

void SetPositionsAndBounds(TLineList& L, double d0) {
  const int n = L.Count;
  for (int k = 1; k <= n; ++k) L.Pos[k] = static_cast<f32>(L.Offset[k] + d0);
  const double lowGap = std::fabs(static_cast<double>(L.MinPos) - L.Pos[1]);
  const double highGap = std::fabs(static_cast<double>(L.MaxPos) - L.Pos[n]);
  for (int k = 1; k <= n; ++k) {
    L.Low[k] = static_cast<f32>(L.Pos[k] - lowGap);
    L.High[k] = static_cast<f32>(L.Pos[k] + highGap);
  }
  // Where a flagged entry stands further than the spacing from its
  // neighbour, its bounds widen by the excess.
  for (int k = 2; k <= n; ++k) {
    const double g = std::fabs(static_cast<double>(L.Pos[k]) - L.Pos[k - 1]);
    if (L.Flag[k] && g > L.Spacing) L.Low[k] = static_cast<f32>(L.Low[k] - (g - L.Spacing));
  }
  for (int k = n - 1; k >= 1; --k) {
    const double g = std::fabs(static_cast<double>(L.Pos[k]) - L.Pos[k + 1]);
    if (L.Flag[k] && g > L.Spacing) L.High[k] = static_cast<f32>(L.High[k] + (g - L.Spacing));
  }
}

}  // namespace

void InsertIntoLine(TLineList& Line, i16 Id, f32 Value) {
  if (Line.Count < 0 || Line.Count > kLineCapacity) return;  // not a line record
  const TLineList original = Line;
  if (Value < Line.MinPos) Value = Line.MinPos;
  if (Value > Line.MaxPos) Value = Line.MaxPos;
  const double d0 = static_cast<double>(Line.Pos[1]) - Line.Offset[1];  // the line's reference

  for (int k = 1; k <= Line.Count; ++k) {
    if (Line.Ids[k] == Id) {
      RemoveLineEntry(Line, k);
      break;
    }
  }
  // A full line has no room for a new player.
  if (Line.Count >= kLineCapacity) {
    Line = original;
    return;
  }
  const int p = InsertPlace(Line, Value);
  for (int k = Line.Count; k >= p; --k) {
    Line.Ids[k + 1] = Line.Ids[k];
    Line.Offset[k + 1] = Line.Offset[k];
  }
  Line.Ids[p] = Id;
  Line.Pos[p] = Value;
  Line.Offset[p] = static_cast<f32>(Value - d0);
  ++Line.Count;

  double left = p == 1 ? 0.0 : Overlap(Line, p, p - 1);
  double right = p == Line.Count ? 0.0 : Overlap(Line, p, p + 1);
  TLineList work = Line;
  PushNeighbours(work, Line, p, left, right);
  // Pushed out of range at one end: push less that way and more the other.
  const int n = Line.Count;
  double correction = 0;
  bool redo = false;
  if (work.Offset[1] < Line.MinPos) {
    const double e = std::fabs(static_cast<double>(work.Offset[1]) - Line.MinPos);
    left -= e;
    right += e;
    correction = e;
    redo = true;
  } else if (work.Offset[n] > Line.MaxPos) {
    const double e = std::fabs(static_cast<double>(work.Offset[n]) - Line.MaxPos);
    left += e;
    right -= e;
    correction = -e;
    redo = true;
  }
  if (redo) {
    work = Line;
    PushNeighbours(work, Line, p, left, right);
    work.Offset[p] = static_cast<f32>(work.Offset[p] + correction);
  }
  Line = work;
  SetPositionsAndBounds(Line, d0);
}
