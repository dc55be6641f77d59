#include "core/StrategyZones.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/Caches.h"
#include "core/FloatGuard.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Rounding.h"
#include "core/StrategyShapes.h"
#include "core/UDPRealtime.h"

namespace {

constexpr int kShapeCount = 10;

// Shape number of a zone's setting, rounded half to even. Kept within the
// table: a value outside it must not index past the shapes.
int ShapeNumber(f32 setting) { return std::clamp(RoundToI32(setting), 1, kShapeCount); }

const TStrategyShape& Shape(int s) { return StrategyParams.Shapes[s]; }

// The half of the possessing side's field strategy in force: catch-up when
// it trails by more points per minute left than its threshold.
const TFieldStrategyHalf& HalfInForce(const TWorld& W) {
  const TFieldStrategy& F = FieldStrategy[W.Team1InFirstBlock != 0 ? 1 : 2];
  const double behind = static_cast<double>(W.Teams[2].score) - W.Teams[1].score;
  const double minutesLeft =
      std::max((2.0 * static_cast<double>(W.halflength) - W.clock) / 60.0, 0.01);
  return behind / minutesLeft > F.CatchUpThreshold ? F.CatchUp : F.Normal;
}

bool OpenPlay(TGameState s) { return s == gsRunning || s == gsPassing || s == gsFreeBall; }

// The viewer's user may force a shape; its mode is never switched on in a match.
void ApplyUserShape(TWorld& W) {
  const TUDPRealtime& U = UDPRealtime;
  TTeamBlock& T1 = W.Teams[1];
  if (U.Active == 0 || U.AuxMode == 0 || U.SimAhead != 0) return;
  if (U.Input[1] != T1.teamid || U.Input[4] == 0) return;
  const i32 choice = U.Input[4];
  if (choice >= 1 && choice <= 3) T1.CurrentStrategy = Shape(OpenPlay(W.gamestate) ? choice : choice + 3);
  T1.StrategyNumber = static_cast<u16>(choice);
}

// Defence refresh by game state: the time to the next one and the depth
// ahead of the carrier. False when the state has no refresh yet.
bool DefenceRefresh(const TWorld& W, f32& timer, f32& offset) {
  const TTeamBlock& T2 = W.Teams[2];
  timer = 2.0f;
  switch (W.gamestate) {
    case gsRunning: {
      const TPlayer* carrier = PlayerAt(W.Teams[1], W.Teams[1].BallCarrier);
      const f32 z = carrier != nullptr ? carrier->Pos.z : W.BallPos.z;
      offset = z < 28.0f ? 2.0f : 1.5f;
      return true;
    }
    case gsGotTackled:
      offset = T2.PackSpots.Depth;
      return W.GotTackledPhase >= 2;
    case gsScrum:
      offset = static_cast<f32>(T2.PackSpots.Depth + 5.0);
      return W.ScrumPhase >= 2;
    case gsLineout:
      offset = T2.LineoutReceiverDepth;
      return W.LineoutPhase >= 2;
    case gsMaul:
      offset = T2.PackSpots.Depth;
      return W.MaulPhase >= 2;
    case gsFreeBall:
      timer = 5.0f;
      offset = 3.5f;
      return true;
    default:
      return false;
  }
}

f32 LineSpeed(i16 setting) {
  switch (setting) {
    case 2: return 2.5f;
    case 3: return 3.5f;
    default: return 1.5f;
  }
}

void UpdateDefenceLine(TWorld& W) {
  TTeamBlock& T1 = W.Teams[1];
  TTeamBlock& T2 = W.Teams[2];
  // The player whose run the line follows: the carrier in running, the
  // receiver in passing.
  const TPlayer* runner = nullptr;
  if (W.gamestate == gsRunning) runner = PlayerAt(T1, T1.BallCarrier);
  if (W.gamestate == gsPassing) runner = PlayerAt(T1, T1.PassReceiver);

  T2.DefenceLineRefZ = W.BallPos.z;
  if (runner != nullptr && W.gamestate == gsRunning) {
    T2.DefenceLineRefZ = runner->Pos.z + T2.DefenceLineOffset;
  } else if (runner != nullptr) {
    T2.DefenceLineRefZ = runner->DesiredPos.z + T2.DefenceLineOffset;
  } else if (W.gamestate == gsGotTackled) {
    T2.DefenceLineRefZ = T2.SetPieceLineZ;
  }

  T2.DefenceLineSpeed = LineSpeed(T2.LineSpeedSetting);
  if (runner != nullptr && runner->Velocity.z < 0) T2.DefenceLineSpeed *= 2.0f;
}

}  // namespace

void SelectTeamStrategy(TWorld& W) {
  TTeamBlock& T1 = W.Teams[1];
  const TFieldStrategyHalf& half = HalfInForce(W);
  const int zone = FindFieldZone(half, kFalse32, W.BallPos.x, W.BallPos.z);

  if (OpenPlay(W.gamestate)) {
    const int s = ShapeNumber(half.OpenPlayStrategy[zone]);
    T1.CurrentStrategy = Shape(s);
    T1.StrategyNumber = static_cast<u16>(s);
  } else {
    const int s = ShapeNumber(half.SetPlayStrategy[zone]);
    T1.CurrentStrategy = Shape(s);
    T1.StrategyNumber = static_cast<u16>(s - 3);
  }

  ApplyUserShape(W);

  if (W.gamestate == gsRunning) {
    const TPlayer* carrier = PlayerAt(T1, T1.BallCarrier);
    if (carrier != nullptr && carrier->KickTimer > 0) {
      T1.CurrentStrategy = Shape(10);
      T1.StrategyNumber = 1;
    } else if (W.RunShapeTimer > 0) {
      T1.CurrentStrategy = Shape(3);
      T1.StrategyNumber = 3;
    }
  }
  if (W.gamestate == gsFreeBall) T1.CurrentStrategy = Shape(10);

  T1.DefenceLineAux = 0;
  T1.DefenceLineOffset = 0;
  if (W.gamestate == gsFreeBall) {
    T1.DefenceLineOffset = -3.5f;
    return;
  }
  LayLineOnShape(T1);
}

namespace {

// The layout memo of core/Caches.h: a layout whose shape and keys match bit
// for bit gives the depths read from those bits.
bool KeysMatch(const TLineLayout& M, const TTeamBlock& T) {
  for (int k = 1; k <= 201; ++k) {
    if (std::bit_cast<u32>(M.Keys[k]) != std::bit_cast<u32>(T.LineSlotPos[k].x)) return false;
  }
  return true;
}

const TLineLayout* FindLayout(const TTeamBlock& T) {
  for (const TLineLayout& M : LayoutMemo.Layouts) {
    if (M.Used && std::memcmp(&M.Shape, &T.CurrentStrategy, sizeof M.Shape) == 0 && KeysMatch(M, T)) return &M;
  }
  return nullptr;
}

}  // namespace

void LayLineOnShape(TTeamBlock& T) {
  if (const TLineLayout* M = FindLayout(T)) {
    for (int k = 1; k <= 201; ++k) T.LineSlotPos[k].z = M->Depths[k];
    return;
  }
  const bool clear = RaisedFloatFlags(kFloatErrorFlags) == 0;
  for (int k = 1; k <= 201; ++k) {
    TVector2& slot = T.LineSlotPos[k];
    slot.z = (k == 101) ? 0.0f : ProfileValueAt(T.CurrentStrategy, slot.x);
  }
  if (!clear || RaisedFloatFlags(kFloatErrorFlags) != 0) return;
  TLineLayout& M = LayoutMemo.Layouts[LayoutMemo.Next];
  LayoutMemo.Next = (LayoutMemo.Next + 1) % kLayoutMemoSize;
  M.Used = true;
  M.Shape = T.CurrentStrategy;
  for (int k = 1; k <= 201; ++k) {
    M.Keys[k] = T.LineSlotPos[k].x;
    M.Depths[k] = T.LineSlotPos[k].z;
  }
}

void UpdateStrategyTimers(TWorld& W) {
  TTeamBlock& T1 = W.Teams[1];
  TTeamBlock& T2 = W.Teams[2];

  if (T1.StrategyTimer <= 0) {
    T1.StrategyTimer = 0.4f;
    SelectTeamStrategy(W);
  }

  f32 timer, offset;
  if (T2.StrategyTimer <= 0 && DefenceRefresh(W, timer, offset)) {
    T2.StrategyTimer = timer;
    T2.CurrentStrategy = T2.DefenceShape;
    T2.DefenceLineAux = 0;
    T2.DefenceLineOffset = offset;
  }

  UpdateDefenceLine(W);

  const bool openPlay = W.gamestate == gsRunning || W.gamestate == gsPassing;
  const bool frameInOpenPlay =
      W.FrameGameState == gsRunning || W.FrameGameState == gsPassing;
  if (frameInOpenPlay && W.PrevFrameGameState == gsFreeBall) W.GainLineZ = W.BallPos.z;
  if (!openPlay) {
    W.GainLineZ = W.BallPos.z;
    T2.DefenceLineZ = static_cast<f32>(T2.DefenceLineRefZ - 1.5);
    return;
  }
  T2.DefenceLineZ =
      static_cast<f32>(T2.DefenceLineZ - static_cast<double>(T2.DefenceLineSpeed) * W.TimeStep);
}
