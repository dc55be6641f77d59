#include "flow/LineoutUnit.h"

#include <algorithm>
#include <cmath>

#include "core/AttackTarget.h"
#include "core/Backline.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/LineoutSetup.h"
#include "core/OptionWeights.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/ScrumSetup.h"
#include "core/SlotLines.h"
#include "core/SupportSpot.h"
#include "flow/SetPieceShared.h"
#include "hooks/UserControl.h"

namespace {

constexpr int kLineSlots = 15;
constexpr int kFlyHalf = 10;
constexpr int kDeepPlayer = 15;
constexpr f32 kPlacedTimer = 10.0f;   // s, LineOutTimer of a player who has reached his place
constexpr double kInPlace = 0.2;      // m from DesiredPos
constexpr double kGridBehind = 3.0;   // m, first support row behind the line of touch (0.5 + 2.5)
constexpr f32 kJumpLead = 0.42f;      // s of flight left when the jumper goes up
constexpr double kMaxThrowSpeed = 12.0;  // m/s
constexpr double kThrowStep = 0.05;   // s added to the flight time of a throw that is too fast
constexpr double kLongestThrow = 10.0;  // s, no flight is lengthened beyond this
constexpr double kReleaseShare = 0.4;   // of the throw animation
constexpr double kReceiverLead = 1.75;  // m, the receiver's aim short of his jumper's x
constexpr double kReceiverSlack = 2.0;  // m/s, slower runs are not made

// Lineout roles (LineoutRole), which pick the animation.
constexpr f32 kRoleNone = 0.0f;
constexpr f32 kRoleThrowReady = 2.0f;
constexpr f32 kRoleThrow = 3.0f;
constexpr f32 kRoleCrouch = 4.0f;
constexpr f32 kRoleLift = 5.0f;
constexpr f32 kRoleJumpLeft = 10.0f;
constexpr f32 kRoleJumpRight = 11.0f;

i32 Roll() { return RandomRange(1, 1001); }

bool OnField(const TWorld& W, i32 n) { return n >= 1 && n <= PlayerCount(W); }

TPlayer* Player(TWorld& W, int side, i32 n) { return OnField(W, n) ? &W.Teams[side].Players[n] : nullptr; }

// +1 with the touchline at +x, -1 at -x.
double SideSign(const TWorld& W) { return W.LineoutOnNegativeX != 0 ? -1.0 : 1.0; }
bool PositiveSide(const TWorld& W) { return W.LineoutOnNegativeX == 0; }

void SetDesired(TPlayer& P, double x, double z) {
  P.DesiredPos.x = static_cast<f32>(x);
  P.DesiredPos.z = static_cast<f32>(z);
}

void SetHeading(TPlayer& P, f32 h) { P.LineoutHeading = P.LineoutFacing = h; }

bool InPlace(const TPlayer& P) {
  return Distance2D(P.DesiredPos.x, P.DesiredPos.z, P.Pos.x, P.Pos.z) < kInPlace;
}

bool InLineout(const TTeamBlock& T, i32 n) {
  for (int k = 1; k <= kLineSlots; ++k) {
    if (T.LineoutSlots[k] == n) return true;
  }
  return false;
}

bool IsJumper(const TPlayer& P) { return P.LineoutRole == kRoleJumpLeft || P.LineoutRole == kRoleJumpRight; }

TPlayer* Jumper(TWorld& W, int side) { return Player(W, side, W.LineoutTargetJumper[side]); }

// x of the side's jumper's slot, or of slot 1 for a slot outside the line.
double JumperSlotX(const TWorld& W, int side) {
  const int k = W.LineoutTargetSlot[side];
  return W.Teams[side].LineoutSlotPos[k >= 1 && k <= kLineSlots ? k : 1].x;
}

// ---------------------------------------------------------------- set-up

void ResetForLineout(TWorld& W) {
  W.FromSetPiece = kTrue32;
  W.RecordingOn = kFalse32;
  W.SetPieceFlagSaved = W.SetPieceFlag;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    T.DeepPlayerNumber = kDeepPlayer;
    T.LeftEdgePlayer = T.RightEdgePlayer = 0;
  }
  W.DefenceCycleTimer = 0;
  W.RestartDelay = GaussianRandom(27.4f, 13.16f, 10.0f, 60.3f, kTrue32, kTrue32);
  ChoosePlayOption(W, kTrue32, kTrue32);
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    for (int p = 1; p <= PlayerCount(W); ++p) {
      T.Players[p].SupportRunCall = kFalse32;
      T.Players[p].chasertimer = 0;
    }
    for (int k = 1; k <= 5; ++k) T.ChaserSlots[k] = T.PrevChaserSlots[k] = T.DefExtras[k] = 0;
    T.SelectedPlayer = 0;
  }
  // Any pending kick is chosen afresh.
  W.Teams[1].KickChosen = W.Teams[2].KickChosen = kFalse32;
}

// Block 1's back-line slots behind the line of touch, about LineoutRefX.
void LaySlotPositions(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const double z = static_cast<double>(W.LineoutZ) - A.LineoutReceiverDepth;
  for (int k = 1; k <= kSlotCount; ++k) {
    A.SetPieceSlotPos[k].x = static_cast<f32>(static_cast<double>(W.LineoutRefX) + A.LineSlotPos[k].x);
    A.SetPieceSlotPos[k].z = static_cast<f32>(z);
  }
}

// The first occupied slot from `from` stepping by dir within 1..201; 0 none.
int OccupiedFrom(const TSlotLine& L, int from, int dir) {
  for (int k = from; k >= 1 && k <= kSlotCount; k += dir) {
    if (L[k] != 0) return k;
  }
  return 0;
}

}  // namespace

TSlotLine PlaceFlyHalfByReceiver(const TWorld& W, TSlotLine L) {
  int ten = 0;
  for (int k = 1; k <= kSlotCount; ++k) {
    if (L[k] == kFlyHalf) ten = k;
  }
  if (ten == 0) return L;
  const int in = PositiveSide(W) ? -1 : +1;  // towards the middle of the field
  const int next = OccupiedFrom(L, kCentreSlot + in, in);
  if (next == 0) return L;
  const i16 p = L[next];
  if (p == kFlyHalf) return L;
  const u16 option = W.Teams[1].PlayOption;
  if (!((option >= 3 && option <= 7) || Roll() < 500)) return L;
  L[ten] = p;
  L[next] = kFlyHalf;
  if (!(Roll() < 500)) return L;
  const bool infield = in < 0 ? ten < kCentreSlot : ten > kCentreSlot;
  if (!infield) return L;
  const int out = OccupiedFrom(L, ten + in, in);
  if (out == 0) return L;
  L[ten] = L[out];
  L[out] = p;
  return L;
}

namespace {

void BuildAttackingLine(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  W.ScratchPlayerList = kEmptyPlayerList;
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (A.Players[p].InBackline != 0) W.ScratchPlayerList[++n] = static_cast<i16>(p);
  }
  const TSlotLine plan = PlanBacklineSpacing(PlayerListCount(W.ScratchPlayerList), W.LineoutRefX);
  for (int k = 1; k <= kSlotCount; ++k) W.ScratchLine[k] = static_cast<u16>(plan[k]);
  W.ScratchPriorityList = kEmptyPlayerList;
  W.ScratchPriorityList[1] = 10;
  W.ScratchPriorityList[2] = 12;
  W.ScratchPriorityList[3] = 13;
  W.ScratchPriorityList[4] = 15;
  TSlotLine line = BuildBackline(A, W.ScratchPlayerList, plan, A.SetPieceHolder, W.LineoutRefX, W.LineoutZ,
                                 kTrue32, kFalse32, W.ScratchPriorityList);
  // BuildBackline never fills the centre slot; the line's holder, the
  // receiver, stands there, as the nearest-slots line has him.
  line[kCentreSlot] = static_cast<i16>(A.SetPieceHolder);
  StoreSetPieceSlotLine(A, PlaceFlyHalfByReceiver(W, line));
}

// Each listed player of the block, in index order, to the free slot (x from
// block 1's slots) nearest his own x.
TSlotLine NearestSlotsLine(const TWorld& W, int side, i32 Holder, bool (*Listed)(const TWorld&, i32)) {
  TSlotLine line = kEmptySlotLine;
  line[kCentreSlot] = static_cast<i16>(Holder);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (!Listed(W, p)) continue;
    line = MovePlayerToNearestSlot(line, W.Teams[1].SetPieceSlotPos, static_cast<i16>(p),
                                   W.Teams[side].Players[p].Pos.x);
  }
  return line;
}

bool FreeAttackingBack(const TWorld& W, i32 p) {
  const TTeamBlock& A = W.Teams[1];
  return p != A.SetPieceHolder && p != A.LineoutThrower && !InLineout(A, p) && A.Players[p].InBackline != 0;
}

bool FreeDefendingBack(const TWorld& W, i32 p) {
  const TTeamBlock& D = W.Teams[2];
  return p != D.SetPieceHolder && p != D.LineoutThrower && p != D.DeepPlayerNumber && !InLineout(D, p);
}

void LineUpAttack(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  for (int p = 1; p <= PlayerCount(W); ++p) A.Players[p].InBackline = Flag(!InLineout(A, p));
  if (OnField(W, A.LineoutThrower)) A.Players[A.LineoutThrower].InBackline = kFalse32;
  for (int k = 1; k <= kSlotCount; ++k) A.SetPieceLine[k] = 0;
  LaySlotPositions(W);
  if (W.LineoutNearestSlots == 0) BuildAttackingLine(W);
  else StoreSetPieceSlotLine(A, NearestSlotsLine(W, 1, A.SetPieceHolder, FreeAttackingBack));
  // The forwards of the line (and the receiver's team-mates off the line)
  // on weighted support cells.
  ClearSupportGridCells(A);
  SetSupportGridOrigin(A, static_cast<f32>(W.LineoutRefX - A.SupportGridSize / 2.0),
                       static_cast<f32>(W.LineoutZ - kGridBehind));
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (p == A.BallCarrier || A.Players[p].InBackline != 0) continue;
    PlaceOnWeightedCell(A, static_cast<i16>(p), A.SupportGridWeights);
  }
}

void LineUpDefence(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  if (W.LineoutNearestSlots != 0) {
    D.DefenceLine = NearestSlotsLine(W, 2, D.SetPieceHolder, FreeDefendingBack);
    return;
  }
  D.DefenceLine = kEmptySlotLine;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const bool busy = InLineout(D, p) || p == D.SetPieceHolder || p == D.LineoutThrower || p == D.DeepPlayerNumber;
    D.Players[p].SetPiecePlaced = Flag(busy);
  }
  D.AttackBacksList = kEmptyPlayerList;
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (A.Players[p].InBackline != 0 && p != A.LineoutThrower && p != A.SetPieceHolder)
      D.AttackBacksList[++n] = static_cast<i16>(p);
  }
  for (int p = 1; p <= PlayerCount(W); ++p) W.ScratchPositions[p] = {A.Players[p].Pos.x, A.Players[p].Pos.z};
  const TSlotLine attack = SetPieceSlotLine(A);
  for (int k = 1; k <= kSlotCount; ++k) W.ScratchLine[k] = static_cast<u16>(attack[k]);
  LineUpDefenceAgainst(W, attack, W.LineoutRefX);
}

void SetUpLineout(TWorld& W) {
  ResetForLineout(W);
  SetupLineout(W);
  LineUpAttack(W);
  LineUpDefence(W);
  DrawRestStyles(W, false);
}

// ---------------------------------------------------------------- backs, every frame

void PlaceAttackingBacks(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  LaySlotPositions(W);
  for (int k = 1; k <= kSlotCount; ++k) {
    const i32 n = A.SetPieceLine[k];
    if (!OnField(W, n) || n == A.SetPieceHolder || n == A.LineoutThrower || InLineout(A, n)) continue;
    TPlayer& P = A.Players[n];
    SetDesired(P, A.SetPieceSlotPos[k].x, A.SetPieceSlotPos[k].z);
    AlignByRoleCode(W, A, P, A.SetPieceSlotPos[k].z);
  }
  for (int p = 1; p <= PlayerCount(W); ++p) A.Players[p].SpeedOverrideOn = kFalse32;
  SetSupportGridOrigin(A, static_cast<f32>(W.LineoutRefX - A.SupportGridSize / 2.0),
                       static_cast<f32>(W.LineoutZ - kGridBehind));
  const int side = SupportGridSide(A);
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) {
      const i32 n = A.SupportGridCells[r][c];
      if (!OnField(W, n) || n == A.SetPieceHolder || n == A.LineoutThrower || InLineout(A, n)) continue;
      SetDesired(A.Players[n], A.SupportGridSpots[r][c].x, A.SupportGridSpots[r][c].z);
    }
  }
}

void PlaceDefendingBacks(TWorld& W) {
  const TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const double z = std::min(static_cast<double>(W.LineoutZ) + D.LineoutReceiverDepth, W.PitchLength * 0.5);
  for (int k = 1; k <= kSlotCount; ++k) {
    const i32 n = D.DefenceLine[k];
    if (!OnField(W, n) || n == D.SetPieceHolder || n == D.LineoutThrower || InLineout(D, n)) continue;
    SetDesired(D.Players[n], A.SetPieceSlotPos[k].x, z);
  }
  TPlayer* S = Player(W, 2, D.DeepPlayerNumber);
  if (S == nullptr) return;
  if (W.LineoutNearestSlots == 0) {
    const TVector2 t = CarrierTargetPoint(W, S->Pos.x, S->Pos.z);
    SetDesired(*S, t.x, t.z);
  } else {
    SetDesired(*S, S->Pos.x, std::max(static_cast<double>(S->Pos.z), W.LineoutZ + static_cast<double>(D.LineoutReceiverDepth)));
  }
}

// ---------------------------------------------------------------- forwards

// x of a receiver: a drawn distance in from touch, kept between his
// jumper's slot and 3 m beyond it towards touch.
double ReceiverX(const TWorld& W, int side) {
  const double s = SideSign(W);
  const double x = s * (W.PitchWidth / 2.0 - RandomRange(500, 1500) / 100.0);
  const double j = JumperSlotX(W, side);
  return PositiveSide(W) ? std::clamp(x, j, j + 3.0) : std::clamp(x, j - 3.0, j);
}

void MarkForwards(TWorld& W) {
  const double s = SideSign(W);
  const double half = W.PitchWidth / 2.0;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    const double dir = side == 1 ? -1.0 : 1.0;  // the side's own half of the line of touch
    for (int k = 1; k <= kLineSlots; ++k) {
      if (TPlayer* P = Player(W, side, T.LineoutSlots[k])) SetDesired(*P, T.LineoutSlotPos[k].x, T.LineoutSlotPos[k].z);
    }
    if (TPlayer* R = Player(W, side, T.SetPieceHolder)) {
      const double z = W.LineoutZ + dir * (0.75 + RandomRange(275, 401) / 100.0);
      SetDesired(*R, ReceiverX(W, side), z);
    }
    if (TPlayer* H = Player(W, side, T.LineoutThrower)) {
      if (side == 1) {
        const double x = s * (half + RandomRange(30, 40) / 100.0);
        SetDesired(*H, x, W.LineoutZ);
      } else {
        const double z = W.LineoutZ + RandomRange(180, 220) / 100.0;
        SetDesired(*H, s * (half - RandomRange(280, 320) / 100.0), z);
      }
    }
  }
  for (int side = 1; side <= 2; ++side) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      W.Teams[side].Players[p].LineOutTimer = 0;
      W.Teams[side].Players[p].LineoutRole = kRoleNone;
    }
  }
}

// Each line player of the side (and its thrower) who has reached his place
// is marked there and turned: lifters to their jumper, the others to touch.
void WalkIn(TWorld& W, int side) {
  TTeamBlock& T = W.Teams[side];
  const bool pos = PositiveSide(W);
  for (int k = 1; k <= kLineSlots; ++k) {
    TPlayer* P = Player(W, side, T.LineoutSlots[k]);
    if (P == nullptr || P->LineOutTimer > 0 || !InPlace(*P)) continue;
    P->LineOutTimer = kPlacedTimer;
    if (T.LineoutSlotRoles[k] == 1) {
      P->LineoutRole = kRoleCrouch;
      TVector2 to = T.LineoutSlotPos[k];
      for (int j = 1; j <= kLineSlots; ++j) {
        if (T.LineoutSlots[j] == P->LiftTarget && P->LiftTarget != 0) to = T.LineoutSlotPos[j];
      }
      SetHeading(*P, HeadingToPoint(T.LineoutSlotPos[k].x, T.LineoutSlotPos[k].z, to.x, to.z, 90.0f));
    } else {
      P->LineoutRole = kRoleNone;
      SetHeading(*P, pos ? 180.0f : 0.0f);
    }
  }
  TPlayer* H = Player(W, side, T.LineoutThrower);
  if (H == nullptr || H->LineOutTimer > 0 || !InPlace(*H)) return;
  H->LineOutTimer = kPlacedTimer;
  H->LineoutRole = kRoleNone;
  SetHeading(*H, side == 2 ? 270.0f : (pos ? 0.0f : 180.0f));
}

bool LineMarked(const TWorld& W, int side, bool WithThrower) {
  const TTeamBlock& T = W.Teams[side];
  for (int k = 1; k <= kLineSlots; ++k) {
    const i32 n = T.LineoutSlots[k];
    if (OnField(W, n) && !(T.Players[n].LineOutTimer > 0)) return false;
  }
  return !WithThrower || !OnField(W, T.LineoutThrower) || T.Players[T.LineoutThrower].LineOutTimer > 0;
}

bool EveryoneInPlace(const TWorld& W) {
  for (int side = 1; side <= 2; ++side) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      if (!InPlace(W.Teams[side].Players[p])) return false;
    }
  }
  return true;
}

// The lifters of each jumper: the next occupied slot on either side of his.
void NameLifters(TWorld& W) {
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    TPlayer* J = Jumper(W, side);
    const int k = W.LineoutTargetSlot[side];
    if (J == nullptr || k < 1 || k > kLineSlots) continue;
    J->LifterFront = J->LifterBack = 0;
    for (int j = k + 1; j <= kLineSlots && J->LifterFront == 0; ++j) J->LifterFront = T.LineoutSlots[j];
    for (int j = k - 1; j >= 1 && J->LifterBack == 0; --j) J->LifterBack = T.LineoutSlots[j];
    for (const i32 n : {J->LifterFront, J->LifterBack}) {
      if (TPlayer* L = Player(W, side, n)) L->LiftTarget = W.LineoutTargetJumper[side];
    }
  }
}

// Both jumpers a little towards the line of touch, their lifters at their
// sides; true when all four lifters stand bound (role 4).
bool BindLifters(TWorld& W) {
  const double s = SideSign(W);
  const bool pos = PositiveSide(W);
  bool bound = true;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    TPlayer* J = Jumper(W, side);
    const int k = W.LineoutTargetSlot[side];
    if (J == nullptr || k < 1 || k > kLineSlots) return false;
    J->DesiredPos.z = static_cast<f32>(T.LineoutSlotPos[k].z + (side == 1 ? 0.15 : -0.15));
    const double x = J->Pos.x;
    const double z = J->DesiredPos.z;
    if (TPlayer* F = Player(W, side, J->LifterFront)) {
      SetDesired(*F, x - 0.45 * s, z);
      SetHeading(*F, pos ? 180.0f : 0.0f);
      F->LineoutRole = InPlace(*F) ? kRoleCrouch : kRoleNone;
      bound = bound && F->LineoutRole == kRoleCrouch;
    }
    if (TPlayer* B = Player(W, side, J->LifterBack)) {
      SetDesired(*B, x + 0.55 * s, z);
      SetHeading(*B, pos ? 0.0f : 180.0f);
      B->LineoutRole = InPlace(*B) ? kRoleCrouch : kRoleNone;
      bound = bound && B->LineoutRole == kRoleCrouch;
    }
  }
  return bound;
}

TVector3 ThrowVelocity(const TTeamBlock& A, const TPlayer& J, f32 LineoutZ, double T) {
  return LaunchVelocity(A.ThrowStart.x, A.ThrowStart.y, A.ThrowStart.z, J.Pos.x, static_cast<f32>(J.Height + 0.2 + 0.6),
                        LineoutZ, static_cast<f32>(T));
}

double Speed(const TVector3& V) {
  return std::sqrt(static_cast<double>(V.x) * V.x + static_cast<double>(V.y) * V.y + static_cast<double>(V.z) * V.z);
}

void ComputeThrow(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  const double s = SideSign(W);
  A.JumpLeadTime = D.JumpLeadTime = kJumpLead;
  double t = kJumpLead + RandomRange(0, 501) / 1000.0;
  const TPlayer* C = Player(W, 1, A.BallCarrier);
  TPlayer* J = Jumper(W, 1);
  if (C != nullptr) {
    A.ThrowStart = {static_cast<f32>(C->Pos.x - 0.15 * s), static_cast<f32>(C->Height + 0.4), W.LineoutZ};
  }
  if (J != nullptr) {
    TVector3 v = ThrowVelocity(A, *J, W.LineoutZ, t);
    A.MaxThrowSpeed = static_cast<f32>(kMaxThrowSpeed);
    // Longer flights are slower until gravity takes over: the lengthening
    // stops at the slowest throw when no throw is within the limit.
    while (Speed(v) > A.MaxThrowSpeed && t + kThrowStep <= kLongestThrow) {
      const TVector3 next = ThrowVelocity(A, *J, W.LineoutZ, t + kThrowStep);
      if (!(Speed(next) < Speed(v))) break;
      t += kThrowStep;
      v = next;
    }
    W.PassVel = v;
  }
  A.ThrowTime = D.ThrowTime = static_cast<f32>(t);
  const TPlayer* H = Player(W, 1, A.LineoutThrower);
  if (H != nullptr && H->lineoutthrow < Roll()) {
    W.PassVel.x = static_cast<f32>(W.PassVel.x + RandomRange(-100, 101) / 100.0);
    W.PassVel.y = static_cast<f32>(W.PassVel.y + RandomRange(-100, 101) / 100.0);
  }
  // The ball always goes into the field, and never downwards.
  if (PositiveSide(W)) W.PassVel.x = std::min(W.PassVel.x, -0.75f);
  else W.PassVel.x = std::max(W.PassVel.x, 0.75f);
  W.PassVel.y = std::max(W.PassVel.y, 0.0f);
  if (TPlayer* T = Player(W, 1, A.LineoutThrower)) T->LineoutRole = kRoleThrow;
}

bool ThrowPlayed(TWorld& W) {
  const TPlayer* H = Player(W, 1, W.Teams[1].LineoutThrower);
  return H != nullptr && H->currentAnim == "lineoutthrow" && H->maxframes > 0 &&
         static_cast<double>(H->currentframe) / H->maxframes >= kReleaseShare;
}

void Release(TWorld& W) {
  W.Teams[1].BallCarrier = 0;
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    T.ThrowTimeLeft = T.ThrowTime;
    const TPlayer* J = Jumper(W, side);
    if (J != nullptr && J->lineoutjumping < Roll()) {
      T.ThrowTimeLeft = static_cast<f32>(T.ThrowTimeLeft + RandomRange(-200, 201) / 1000.0);
    }
  }
  W.BallPos = W.Teams[1].ThrowStart;
  for (int side = 1; side <= 2; ++side) {
    const TPlayer* J = Jumper(W, side);
    PostMessage(W, W.Teams[side].teamid, J != nullptr ? J->id : 0, msgLineoutJump, static_cast<f32>(side));
  }
}

bool JumpDue(const TWorld& W, int side, const TPlayer& J) {
  return W.Teams[side].ThrowTimeLeft <= W.Teams[side].JumpLeadTime && !IsJumper(J);
}

bool LiftDue(const TWorld& W, int side) {
  const TTeamBlock& T = W.Teams[side];
  return T.ThrowTimeLeft <= T.JumpLeadTime - T.JumpLeadAdjust;
}

void Jump(TPlayer& J, f32 Role, double dz) {
  J.LineoutRole = Role;
  J.DesiredPos.z = static_cast<f32>(J.DesiredPos.z + dz);
}

void Lift(TWorld& W, int side) {
  const TPlayer* J = Jumper(W, side);
  if (J == nullptr) return;
  for (const i32 n : {J->LifterFront, J->LifterBack}) {
    if (TPlayer* L = Player(W, side, n)) L->LineoutRole = kRoleLift;
  }
}

// Each receiver moves up under his jumper in the time the ball has left;
// block 2's does not go past the ball.
void RunReceivers(TWorld& W) {
  const double s = SideSign(W);
  for (int side = 1; side <= 2; ++side) {
    const TTeamBlock& T = W.Teams[side];
    TPlayer* R = Player(W, side, T.SetPieceHolder);
    const TPlayer* J = Jumper(W, side);
    if (R == nullptr || J == nullptr) continue;
    const double aim = J->Pos.x - kReceiverLead * s;
    const double left = 0.05 + static_cast<double>(T.ThrowTimeLeft);
    double v = left > 0 ? std::fabs(R->Pos.x - aim) / left : 0.0;
    if (v < kReceiverSlack) v = 0;
    R->DesiredPos.x = static_cast<f32>(R->Pos.x - v * W.TimeStep * s);
  }
  TPlayer* R = Player(W, 2, W.Teams[2].SetPieceHolder);
  if (R == nullptr) return;
  if (PositiveSide(W) ? W.BallPos.x < R->Pos.x : W.BallPos.x > R->Pos.x) R->DesiredPos.x = W.BallPos.x;
}

void ContestJump(TWorld& W) {
  const bool pos = PositiveSide(W);
  if (TPlayer* J = Jumper(W, 2); J != nullptr && JumpDue(W, 2, *J)) Jump(*J, pos ? kRoleJumpLeft : kRoleJumpRight, -0.15);
  if (LiftDue(W, 2)) Lift(W, 2);
  RunReceivers(W);
}

void RunPhases(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (W.LineoutPhase == 2) {
    MarkForwards(W);
    W.LineoutPhase = 3;
  }
  if (W.LineoutPhase == 3) {
    WalkIn(W, 1);
    if (LineMarked(W, 1, true) && W.RestartDelay <= 0) {
      W.RecordingOn = kTrue32;
      W.SetPieceFlag = W.SetPieceFlagSaved;
      W.LineoutPhase = 4;
    }
  }
  if (W.LineoutPhase == 4) {
    TTeamBlock& D = W.Teams[2];
    for (int k = 1; k <= kLineSlots; ++k) {
      if (TPlayer* P = Player(W, 2, D.LineoutSlots[k])) SetDesired(*P, D.LineoutSlotPos[k].x, D.LineoutSlotPos[k].z);
    }
    W.LineoutPhase = 5;
  }
  if (W.LineoutPhase == 5) {
    WalkIn(W, 2);
    if (LineMarked(W, 2, false)) W.LineoutPhase = 6;
  }
  if (W.LineoutPhase == 6 && EveryoneInPlace(W)) W.LineoutPhase = 7;
  if (W.LineoutPhase == 7) {
    TPlayer* H = Player(W, 1, A.LineoutThrower);
    if (H != nullptr) H->LineoutRole = kRoleThrowReady;
    if (H != nullptr && H->currentAnim == "lineoutthrowreadyloop") {
      PostMessage(W, A.teamid, H->id, msgLineoutThrow, 0.0f);
      W.LineoutPhase = 8;
    }
  }
  if (W.LineoutPhase == 8) W.LineoutPhase = 9;
  if (W.LineoutPhase == 9) {
    NameLifters(W);
    if (W.LineoutTargetJumper[1] != 0 && W.LineoutTargetJumper[2] != 0) W.LineoutPhase = 10;
  }
  if (W.LineoutPhase == 10 && BindLifters(W)) W.LineoutPhase = 11;
  if (W.LineoutPhase == 11) {
    ComputeThrow(W);
    W.LineoutPhase = 12;
  }
  if (W.LineoutPhase == 12 && ThrowPlayed(W)) {
    Release(W);
    W.LineoutPhase = 13;
  }
  if (W.LineoutPhase == 13) {
    TPlayer* J = Jumper(W, 1);
    if (J != nullptr && JumpDue(W, 1, *J)) {
      Jump(*J, PositiveSide(W) ? kRoleJumpRight : kRoleJumpLeft, 0.15);
      W.LineoutPhase = 14;
    }
  }
  if (W.LineoutPhase == 14 && LiftDue(W, 1)) Lift(W, 1);
  if (W.LineoutPhase >= 13) ContestJump(W);
}

}  // namespace

void DoLineout(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  W.LineoutCountdown -= W.TimeStep;
  A.ThrowTimeLeft -= W.TimeStep;
  D.ThrowTimeLeft -= W.TimeStep;
  if (W.LineoutPhase == 0) {
    ClearSetPieceTimers(W);
    W.LineoutPhase = 1;
  }
  if (W.LineoutPhase == 1) {
    SetUpLineout(W);
    W.LineoutPhase = 2;
  }
  if (W.LineoutPhase < 2) return;
  PlaceAttackingBacks(W);
  PlaceDefendingBacks(W);
  RunPhases(W);
  for (int p = 1; p <= PlayerCount(W); ++p) ApplyUserControl(W, D.Players[p], ucDefence, D);
}
