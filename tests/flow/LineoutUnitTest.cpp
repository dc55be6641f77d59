#include "flow/LineoutUnit.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "AllocationCounter.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "flow/OpenPlayScene.h"

namespace {

constexpr f32 kLineZ = 10.0f;

class LineoutUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSmallPitch(World);
    World.PlayersPerTeam = 15;
    MakeOpenPlayPitch(W);
    W.gamestate = W.FrameGameState = gsLineout;
    W.Team1InFirstBlock = kTrue32;
    W.LineoutZ = kLineZ;
    W.LineoutPhase = 0;
    W.SetPieceFlag = kTrue32;
    W.RecordingOn = kTrue32;
    for (int side = 1; side <= 2; ++side) {
      TTeamBlock& T = W.Teams[side];
      T.teamid = side;
      for (int k = 1; k <= kSlotCount; ++k) T.LineSlotPos[k] = {static_cast<f32>(k - 101), 0.0f};
      T.SupportGridSize = 5;
      for (int r = 1; r <= 5; ++r) {
        for (int c = 1; c <= 5; ++c) T.SupportGridWeights[r][c] = 1;
      }
      for (int p = 1; p <= 15; ++p) {
        TPlayer& P = T.Players[p];
        P.id = side * 100 + p;
        P.Height = 1.9f;
        P.maxspeed = 8.0f;
        P.lineoutthrow = 1000;
        P.lineoutjumping = 1000;
        // Far from every mark, so nobody is in place on the first frame.
        P.Pos = {static_cast<f32>(2 * p - 16), 0, side == 1 ? -30.0f : 45.0f};
      }
    }
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    RandSeed = 4321;
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  void TearDown() override { EXPECT_FALSE(FloatErrorRaised()); }

  static void Arrive() { ArriveAtDesiredPositions(W); }
  static bool InLine(const TTeamBlock& T, int p) {
    for (int k = 1; k <= 15; ++k) {
      if (T.LineoutSlots[k] == p) return true;
    }
    return false;
  }
  static int MessageCount(u8 code, f32 extra, i32 player) {
    int n = 0;
    for (int k = 1; k <= 10; ++k) {
      const TMatchMessage& M = W.MessageQueue[k];
      n += W.MessageSlotFree[k] == 0 && M.message == code && M.extravalue == extra && M.playerID == player;
    }
    return n;
  }
  static bool Same(const TSlotLine& a, const TSlotLine& b) {
    for (int k = 1; k <= kSlotCount; ++k) {
      if (a[k] != b[k]) return false;
    }
    return true;
  }
  static TPlayer& Jumper(int side) { return W.Teams[side].Players[W.LineoutTargetJumper[side]]; }
  // The set-up frame, then the phases up to the computed throw (phase 12)
  // with everybody arriving at once.
  static void ReadyToThrow() {
    DoLineout(W);
    W.RestartDelay = 0;
    W.LineoutPhase = 9;
    Arrive();
    DoLineout(W);
    Arrive();
    DoLineout(W);
  }
  static TWorld W;
};
TWorld LineoutUnitTest::W;

TEST_F(LineoutUnitTest, FirstFrameSetsUpAndDrawsTheForwardsMarks) {
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    T.PassTimeLeft = T.KickTimeLeft = 1.0f;
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = T.Players[p];
      P.passtimer = P.LineOutTimer = P.ForcedRunTimer = P.RuckTimer2 = 2.0f;
      P.LineoutRole = 4.0f;
    }
  }
  W.LineoutCountdown = 5.0f;
  StartCountingAllocations();
  DoLineout(W);
  EXPECT_EQ(0, StopCountingAllocations());
  EXPECT_EQ(W.LineoutPhase, 3);
  EXPECT_EQ(W.LineoutCountdown, 0.0f);
  EXPECT_EQ(W.RecordingOn, 0);
  EXPECT_NE(W.FromSetPiece, 0);
  for (int side = 1; side <= 2; ++side) {
    const TTeamBlock& T = W.Teams[side];
    EXPECT_EQ(T.PassTimeLeft, 0.0f);
    EXPECT_EQ(T.KickTimeLeft, 0.0f);
    EXPECT_EQ(T.DeepPlayerNumber, 15);
    for (int p = 1; p <= 15; ++p) {
      const TPlayer& P = T.Players[p];
      EXPECT_EQ(P.passtimer + P.LineOutTimer + P.ForcedRunTimer + P.RuckTimer2, 0.0f) << side << " " << p;
      EXPECT_EQ(P.LineoutRole, 0.0f);
    }
    for (int k = 1; k <= 15; ++k) {
      if (T.LineoutSlots[k] == 0) continue;
      const TPlayer& P = T.Players[T.LineoutSlots[k]];
      EXPECT_EQ(P.DesiredPos.x, T.LineoutSlotPos[k].x);
      EXPECT_EQ(P.DesiredPos.z, T.LineoutSlotPos[k].z);
    }
    // The receiver between his jumper's slot and 3 m towards touch.
    const TPlayer& R = T.Players[9];
    const f32 j = T.LineoutSlotPos[W.LineoutTargetSlot[side]].x;
    EXPECT_GE(R.DesiredPos.x, j);
    EXPECT_LE(R.DesiredPos.x, j + 3.0f);
    const double back = std::fabs(R.DesiredPos.z - kLineZ) - 0.75;
    EXPECT_GE(back, 2.75 - 1e-5);
    EXPECT_LE(back, 4.0 + 1e-5);
    EXPECT_EQ(R.DesiredPos.z < kLineZ, side == 1);
  }
  const TPlayer& H1 = W.Teams[1].Players[2];
  EXPECT_EQ(H1.DesiredPos.z, kLineZ);
  EXPECT_GE(H1.DesiredPos.x, 35.30f);
  EXPECT_LT(H1.DesiredPos.x, 35.40f);
  const TPlayer& H2 = W.Teams[2].Players[2];
  EXPECT_GE(H2.DesiredPos.z, kLineZ + 1.80f);
  EXPECT_LT(H2.DesiredPos.z, kLineZ + 2.20f);
  EXPECT_GT(H2.DesiredPos.x, 35.0f - 3.21f);
  EXPECT_LE(H2.DesiredPos.x, 35.0f - 2.80f);
}

TEST_F(LineoutUnitTest, BackLinesHoldTheBacksAndTheForwardsTakeCells) {
  DoLineout(W);
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  EXPECT_EQ(A.SetPieceLine[101], 9);
  for (int p = 1; p <= 15; ++p) {
    int onLine = 0, onCells = 0;
    for (int k = 1; k <= kSlotCount; ++k) onLine += k != 101 && A.SetPieceLine[k] == p;
    for (int r = 1; r <= 5; ++r) {
      for (int c = 1; c <= 5; ++c) onCells += A.SupportGridCells[r][c] == p;
    }
    const bool back = !InLine(A, p) && p != 2;
    EXPECT_EQ(A.Players[p].InBackline != 0, back) << p;
    EXPECT_EQ(onLine, back && p != 9 ? 1 : 0) << p;
    // Every forward of the line has a cell; the thrower and the backs none.
    EXPECT_EQ(onCells, InLine(A, p) ? 1 : 0) << p;
    // Block 2's free backs, 10 to 14, each once on its line.
    int defending = 0;
    for (int k = 1; k <= kSlotCount; ++k) defending += D.DefenceLine[k] == p;
    EXPECT_EQ(defending, p >= 10 && p <= 14 ? 1 : 0) << p;
  }
  // The back line stands the receiver's depth behind the line of touch.
  EXPECT_FLOAT_EQ(A.SetPieceSlotPos[1].z, kLineZ - 10.0f);
  EXPECT_FLOAT_EQ(A.SetPieceSlotPos[101].x, W.LineoutRefX);
  for (int k = 1; k <= kSlotCount; ++k) {
    const i32 p = A.SetPieceLine[k];
    if (p == 0 || k == 101) continue;
    EXPECT_EQ(A.Players[p].DesiredPos.x, A.SetPieceSlotPos[k].x) << k;
    EXPECT_EQ(A.Players[p].DesiredPos.z, A.SetPieceSlotPos[k].z) << k;
  }
}

TEST_F(LineoutUnitTest, AFullGridGivesTheLaterForwardsNoCell) {
  W.Teams[1].SupportGridSize = 2;
  DoLineout(W);
  const TTeamBlock& A = W.Teams[1];
  int held = 0;
  for (int r = 1; r <= 2; ++r) {
    for (int c = 1; c <= 2; ++c) {
      const int p = A.SupportGridCells[r][c];
      EXPECT_TRUE(InLine(A, p)) << p;
      held += p != 0;
    }
  }
  EXPECT_EQ(held, 4);
}

TEST_F(LineoutUnitTest, RestartDelayStaysWithinItsLimits) {
  f32 lo = 1000, hi = 0;
  for (u32 seed = 1; seed <= 300; ++seed) {
    SetUp();
    RandSeed = seed;
    DoLineout(W);
    lo = std::min(lo, W.RestartDelay);
    hi = std::max(hi, W.RestartDelay);
  }
  EXPECT_GE(lo, 10.0f);
  EXPECT_LE(hi, 60.3f);
  EXPECT_LT(lo, 15.0f);
  EXPECT_GT(hi, 45.0f);
}

TEST_F(LineoutUnitTest, FlyHalfGoesNextToTheReceiver) {
  TSlotLine line = kEmptySlotLine;
  line[101] = 9;
  line[99] = 12;
  line[97] = 10;
  line[95] = 13;
  line[104] = 14;
  struct Case {
    const char* what;
    u16 option;
  };
  for (const Case c : {Case{"attacking option 3", 3}, Case{"option 1", 1}}) {
    W.Teams[1].PlayOption = c.option;
    int moved = 0, further = 0;
    for (u32 seed = 1; seed <= 200; ++seed) {
      RandSeed = seed;
      const TSlotLine out = PlaceFlyHalfByReceiver(W, line);
      RandSeed = seed;
      const bool first = c.option == 3 || RandomRange(1, 1001) < 500;
      const bool second = first && RandomRange(1, 1001) < 500;
      // The first roll only outside the attacking options, the second only
      // after a swap.
      EXPECT_EQ(DrawsSince(seed), (c.option == 3 ? 0 : 1) + (first ? 1 : 0)) << c.what;
      if (!first) {
        EXPECT_TRUE(Same(out, line)) << c.what;
        continue;
      }
      ++moved;
      EXPECT_EQ(out[99], 10) << c.what;
      EXPECT_EQ(out[104], 14) << c.what;
      // The displaced centre: in 10's old slot, or one further out.
      EXPECT_EQ(out[97], second ? 13 : 12) << c.what;
      EXPECT_EQ(out[95], second ? 12 : 13) << c.what;
      further += second;
    }
    if (c.option == 3) {
      EXPECT_EQ(moved, 200);
    }
    if (c.option != 3) {
      EXPECT_GT(moved, 70);
      EXPECT_LT(moved, 130);
    }
    EXPECT_GT(further, 0) << c.what;
  }
  // Mirrored: the infield side lies above the centre.
  W.LineoutOnNegativeX = kTrue32;
  W.Teams[1].PlayOption = 5;
  TSlotLine neg = kEmptySlotLine;
  neg[101] = 9;
  neg[103] = 12;
  neg[106] = 10;
  RandSeed = 7;
  const TSlotLine out = PlaceFlyHalfByReceiver(W, neg);
  EXPECT_EQ(out[103], 10);
  EXPECT_EQ(out[106], 12);
  // Nothing to do: 10 already there, or nobody infield; no draw.
  for (const TSlotLine& same : {out, [] {
         TSlotLine l = kEmptySlotLine;
         l[101] = 9;
         l[99] = 10;
         return l;
       }()}) {
    W.Teams[1].PlayOption = 1;
    RandSeed = 9;
    EXPECT_TRUE(Same(PlaceFlyHalfByReceiver(W, same), same));
    EXPECT_EQ(DrawsSince(9), 0);
  }
}

TEST_F(LineoutUnitTest, SweeperStandsInFromTheBall) {
  W.LineoutZ = 20.0f;
  W.BallPos = {35.0f, 1.0f, 20.0f};
  DoLineout(W);
  const TPlayer& S = W.Teams[2].Players[15];
  EXPECT_FLOAT_EQ(S.DesiredPos.x, 25.0f);
  EXPECT_FLOAT_EQ(S.DesiredPos.z, 35.0f);
  // Block 2's backs stand the depth beyond the line of touch, opposite
  // block 1's slots.
  const TTeamBlock& D = W.Teams[2];
  for (int k = 1; k <= kSlotCount; ++k) {
    if (D.DefenceLine[k] >= 10 && D.DefenceLine[k] <= 14) {
      EXPECT_FLOAT_EQ(D.Players[D.DefenceLine[k]].DesiredPos.z, 30.0f);
      EXPECT_FLOAT_EQ(D.Players[D.DefenceLine[k]].DesiredPos.x, W.Teams[1].SetPieceSlotPos[k].x);
    }
  }
}

TEST_F(LineoutUnitTest, NearestSlotsPutEachBackAtHisOwnX) {
  W.LineoutNearestSlots = kTrue32;
  W.Teams[2].Players[15].Pos = {3.0f, 0, 25.0f};
  DoLineout(W);
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  EXPECT_EQ(A.SetPieceLine[101], 9);
  EXPECT_EQ(D.DefenceLine[101], 9);
  for (int p = 10; p <= 15; ++p) {
    for (int side = 1; side <= 2; ++side) {
      int slot = 0;
      for (int k = 1; k <= kSlotCount; ++k) {
        if ((side == 1 ? A.SetPieceLine[k] : D.DefenceLine[k]) == p) slot = k;
      }
      if (side == 2 && p == 15) {
        EXPECT_EQ(slot, 0) << "the sweeper";
        continue;
      }
      ASSERT_NE(slot, 0) << side << " " << p;
      EXPECT_LT(std::fabs(A.SetPieceSlotPos[slot].x - W.Teams[side].Players[p].Pos.x), 0.51f) << side << " " << p;
    }
  }
  // The sweeper keeps his x and stands at least the depth beyond the line.
  EXPECT_EQ(D.Players[15].DesiredPos.x, 3.0f);
  EXPECT_EQ(D.Players[15].DesiredPos.z, 25.0f);
  W.Teams[2].Players[15].Pos.z = 12.0f;
  DoLineout(W);
  EXPECT_EQ(D.Players[15].DesiredPos.z, kLineZ + 10.0f);
}

TEST_F(LineoutUnitTest, PhasesWalkBothLinesInAndBindTheLifters) {
  DoLineout(W);
  W.RestartDelay = 1.0f;
  Arrive();
  DoLineout(W);
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  EXPECT_EQ(W.LineoutPhase, 3) << "waits for the restart delay";
  EXPECT_EQ(W.RecordingOn, 0);
  for (int k = 1; k <= 15; ++k) {
    if (A.LineoutSlots[k] == 0) continue;
    const TPlayer& P = A.Players[A.LineoutSlots[k]];
    EXPECT_EQ(P.LineOutTimer, 10.0f);
    EXPECT_EQ(P.LineoutHeading, P.LineoutFacing);
    if (A.LineoutSlotRoles[k] == 1) {
      // A lifter faces along the line towards his jumper.
      EXPECT_EQ(P.LineoutRole, 4.0f);
      int j = 0;
      for (int m = 1; m <= 15; ++m) j = A.LineoutSlots[m] == P.LiftTarget ? m : j;
      ASSERT_NE(j, 0);
      EXPECT_FLOAT_EQ(P.LineoutHeading, A.LineoutSlotPos[j].x > A.LineoutSlotPos[k].x ? 180.0f : 0.0f) << k;
    } else {
      EXPECT_EQ(P.LineoutRole, 0.0f);
      EXPECT_EQ(P.LineoutHeading, 180.0f);
    }
  }
  EXPECT_EQ(A.Players[2].LineOutTimer, 10.0f);
  EXPECT_EQ(A.Players[2].LineoutHeading, 0.0f);
  EXPECT_EQ(D.Players[3].LineOutTimer, 0.0f) << "block 2 waits";

  W.RestartDelay = 0;
  DoLineout(W);
  EXPECT_EQ(W.LineoutPhase, 7);
  EXPECT_NE(W.RecordingOn, 0);
  EXPECT_EQ(D.Players[2].LineoutHeading, 270.0f);
  EXPECT_EQ(A.Players[2].LineoutRole, 2.0f);
  DoLineout(W);
  EXPECT_EQ(W.LineoutPhase, 7) << "the thrower is not ready";
  W.Teams[1].Players[2].currentAnim.Assign("lineoutthrowreadyloop");
  DoLineout(W);
  EXPECT_EQ(MessageCount(msgLineoutThrow, 0.0f, 102), 1);
  EXPECT_EQ(W.LineoutPhase, 10);
  for (int side = 1; side <= 2; ++side) {
    const TTeamBlock& T = W.Teams[side];
    const TPlayer& J = Jumper(side);
    const int k = W.LineoutTargetSlot[side];
    int front = 0, back = 0;
    for (int m = k + 1; m <= 15 && front == 0; ++m) front = T.LineoutSlots[m];
    for (int m = k - 1; m >= 1 && back == 0; --m) back = T.LineoutSlots[m];
    EXPECT_EQ(J.LifterFront, front);
    EXPECT_EQ(J.LifterBack, back);
    const TPlayer& F = T.Players[front];
    const TPlayer& B = T.Players[back];
    EXPECT_EQ(F.LiftTarget, W.LineoutTargetJumper[side]);
    EXPECT_EQ(B.LiftTarget, W.LineoutTargetJumper[side]);
    EXPECT_FLOAT_EQ(J.DesiredPos.z, T.LineoutSlotPos[k].z + (side == 1 ? 0.15f : -0.15f));
    EXPECT_FLOAT_EQ(F.DesiredPos.x, J.Pos.x - 0.45f);
    EXPECT_FLOAT_EQ(B.DesiredPos.x, J.Pos.x + 0.55f);
    EXPECT_EQ(F.DesiredPos.z, J.DesiredPos.z);
    EXPECT_EQ(F.LineoutHeading, 180.0f);
    EXPECT_EQ(B.LineoutHeading, 0.0f);
    EXPECT_EQ(F.LineoutRole, 0.0f) << "not yet bound";
  }
  Arrive();
  DoLineout(W);
  EXPECT_EQ(Jumper(1).LineoutRole, 0.0f);
  EXPECT_EQ(W.Teams[1].Players[Jumper(1).LifterFront].LineoutRole, 4.0f);
  EXPECT_EQ(W.LineoutPhase, 12);
  EXPECT_EQ(A.Players[2].LineoutRole, 3.0f);
}

// The flight time a throw from the thrower to the jumper takes: the drawn
// time, lengthened in 0.05 s steps while the launch is faster than 12 m/s.
TEST_F(LineoutUnitTest, ThrowIsSlowedToTwelveMetresASecond) {
  struct Case {
    const char* what;
    f32 jumperX;
    bool lengthened;
  };
  for (const Case c : {Case{"near", 31.0f, false}, Case{"far", 24.0f, true}}) {
    SetUp();
    ReadyToThrow();
    W.LineoutPhase = 11;
    TPlayer& J = Jumper(1);
    J.Pos.x = c.jumperX;
    TPlayer& H = W.Teams[1].Players[2];
    H.Pos = {35.35f, 0, kLineZ};
    const u32 seed = RandSeed;
    DoLineout(W);
    EXPECT_EQ(DrawsSince(seed), 2) << c.what;  // the time and the accuracy roll
    RandSeed = seed;
    const double drawn = 0.42 + RandomRange(0, 501) / 1000.0;
    const TTeamBlock& A = W.Teams[1];
    EXPECT_FLOAT_EQ(A.ThrowStart.x, 35.2f);
    EXPECT_FLOAT_EQ(A.ThrowStart.y, 2.3f);
    auto speed = [&](double t) {
      const TVector3 v = LaunchVelocity(A.ThrowStart.x, A.ThrowStart.y, A.ThrowStart.z, J.Pos.x, J.Height + 0.8f,
                                        kLineZ, static_cast<f32>(t));
      return std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y + static_cast<double>(v.z) * v.z);
    };
    EXPECT_EQ(speed(drawn) > 12.0, c.lengthened) << c.what;
    const double t = A.ThrowTime;
    EXPECT_EQ(W.Teams[2].ThrowTime, A.ThrowTime);
    const int steps = static_cast<int>(std::lround((t - drawn) / 0.05));
    EXPECT_NEAR(t, drawn + 0.05 * steps, 1e-5) << c.what;
    EXPECT_LE(speed(t), 12.0) << c.what;
    if (steps > 0) {
      EXPECT_GT(speed(t - 0.05), 12.0) << c.what;
    }
    EXPECT_EQ(steps > 0, c.lengthened) << c.what;
    const TVector3 v = LaunchVelocity(A.ThrowStart.x, A.ThrowStart.y, A.ThrowStart.z, J.Pos.x, J.Height + 0.8f,
                                      kLineZ, static_cast<f32>(t));
    EXPECT_EQ(W.PassVel.x, v.x);
    EXPECT_EQ(W.PassVel.y, v.y);
    EXPECT_EQ(W.LineoutPhase, 12);
  }
}

// No launch reaches a jumper 20 m away under 12 m/s: the throw takes the
// slowest flight rather than lengthening without end.
TEST_F(LineoutUnitTest, ThrowOutOfReachStopsAtTheSlowestFlight) {
  ReadyToThrow();
  W.LineoutPhase = 11;
  Jumper(1).Pos.x = 15.0f;
  DoLineout(W);
  const TTeamBlock& A = W.Teams[1];
  auto speed = [&](double t) {
    const TVector3 v = LaunchVelocity(A.ThrowStart.x, A.ThrowStart.y, A.ThrowStart.z, 15.0f, Jumper(1).Height + 0.8f,
                                      kLineZ, static_cast<f32>(t));
    return std::hypot(v.x, v.y, v.z);
  };
  const double t = A.ThrowTime;
  EXPECT_GT(speed(t), 12.0);
  EXPECT_LE(speed(t), speed(t - 0.05));
  EXPECT_LE(speed(t), speed(t + 0.05));
  EXPECT_LT(t, 3.0);
}

TEST_F(LineoutUnitTest, InaccurateThrowStillGoesIntoTheField) {
  struct Case {
    const char* what;
    bool negative;
    i16 skill;
  };
  for (const Case c : {Case{"perfect", false, 1000}, Case{"wild", false, 0}, Case{"wild, negative side", true, 0}}) {
    int changed = 0;
    for (u32 seed = 1; seed <= 60; ++seed) {
      SetUp();
      W.LineoutOnNegativeX = Flag(c.negative);
      ReadyToThrow();
      W.LineoutPhase = 11;
      W.Teams[1].Players[2].lineoutthrow = c.skill;
      RandSeed = seed;
      DoLineout(W);
      EXPECT_EQ(DrawsSince(seed), c.skill == 1000 ? 2 : 4) << c.what;
      const TTeamBlock& A = W.Teams[1];
      const TPlayer& J = Jumper(1);
      const TVector3 v = LaunchVelocity(A.ThrowStart.x, A.ThrowStart.y, A.ThrowStart.z, J.Pos.x, J.Height + 0.8f,
                                        kLineZ, A.ThrowTime);
      EXPECT_GE(c.negative ? W.PassVel.x : -W.PassVel.x, 0.75f) << c.what;
      EXPECT_GE(W.PassVel.y, 0.0f) << c.what;
      changed += W.PassVel.x != v.x || W.PassVel.y != v.y;
    }
    EXPECT_EQ(changed > 50, c.skill == 0) << c.what << " " << changed;
    EXPECT_EQ(changed == 0, c.skill == 1000) << c.what;
  }
}

TEST_F(LineoutUnitTest, ReleaseComesAtFortyPercentOfTheThrow) {
  ReadyToThrow();
  ASSERT_EQ(W.LineoutPhase, 12);
  TTeamBlock& A = W.Teams[1];
  TPlayer& H = A.Players[2];
  H.currentAnim.Assign("lineoutthrow");
  H.maxframes = 10.0f;
  H.currentframe = 3.9f;
  DoLineout(W);
  EXPECT_EQ(W.LineoutPhase, 12);
  EXPECT_EQ(A.BallCarrier, 2);
  H.currentframe = 4.0f;
  DoLineout(W);
  EXPECT_EQ(W.LineoutPhase, 13);
  EXPECT_EQ(A.BallCarrier, 0);
  EXPECT_EQ(A.ThrowTimeLeft, A.ThrowTime) << "a sure jumper has no timing error";
  EXPECT_EQ(W.Teams[2].ThrowTimeLeft, A.ThrowTime);
  EXPECT_EQ(W.BallPos.x, A.ThrowStart.x);
  EXPECT_EQ(W.BallPos.y, A.ThrowStart.y);
  EXPECT_EQ(MessageCount(msgLineoutJump, 1.0f, Jumper(1).id), 1);
  EXPECT_EQ(MessageCount(msgLineoutJump, 2.0f, Jumper(2).id), 1);
}

TEST_F(LineoutUnitTest, UnsureJumpersMistimeByUpToAFifthOfASecond) {
  int off = 0;
  for (u32 seed = 1; seed <= 40; ++seed) {
    SetUp();
    ReadyToThrow();
    for (int side = 1; side <= 2; ++side) Jumper(side).lineoutjumping = 0;
    TPlayer& H = W.Teams[1].Players[2];
    H.currentAnim.Assign("lineoutthrow");
    H.maxframes = 10.0f;
    H.currentframe = 5.0f;
    RandSeed = seed;
    DoLineout(W);
    EXPECT_EQ(DrawsSince(seed), 4);
    for (int side = 1; side <= 2; ++side) {
      const double e = static_cast<double>(W.Teams[side].ThrowTimeLeft) - W.Teams[1].ThrowTime;
      EXPECT_LE(std::fabs(e), 0.2 + 1e-5);
      off += std::fabs(e) > 0.01;
    }
  }
  EXPECT_GT(off, 60);
}

// Frames of 0.04 s until a jumper goes up with the given time on his side's
// clock: he goes up with 0.42 s left on it, so a timing error of +0.2 s
// takes him up five frames later.
TEST_F(LineoutUnitTest, JumperGoesUpWithTheLeadTimeLeft) {
  struct Case {
    const char* what;
    int side;
    f32 clock;
    int frames;
  };
  // 0.01 s over whole frames, so a lead other than 0.42 s shows.
  for (const Case c : {Case{"on time", 1, 1.01f, 15}, Case{"0.2 s late", 1, 1.21f, 20},
                       Case{"block 2", 2, 1.01f, 15}, Case{"block 2 early", 2, 0.81f, 10}}) {
    SetUp();
    ReadyToThrow();
    W.LineoutPhase = 13;
    W.Teams[1].BallCarrier = 0;
    W.Teams[1].ThrowTimeLeft = W.Teams[2].ThrowTimeLeft = 5.0f;
    W.Teams[c.side].ThrowTimeLeft = c.clock;
    TPlayer& J = Jumper(c.side);
    const f32 z = J.DesiredPos.z;
    int frames = 0;
    while (J.LineoutRole == 0.0f && frames < 100) {
      DoLineout(W);
      ++frames;
    }
    EXPECT_EQ(frames, c.frames) << c.what;
    EXPECT_EQ(J.LineoutRole, c.side == 1 ? 11.0f : 10.0f) << c.what;
    EXPECT_FLOAT_EQ(J.DesiredPos.z, z + (c.side == 1 ? 0.15f : -0.15f)) << c.what;
    EXPECT_EQ(W.LineoutPhase, c.side == 1 ? 14 : 13) << c.what;
    const TTeamBlock& T = W.Teams[c.side];
    EXPECT_EQ(T.Players[J.LifterFront].LineoutRole, 5.0f) << c.what;
    EXPECT_EQ(T.Players[J.LifterBack].LineoutRole, 5.0f) << c.what;
    DoLineout(W);
    EXPECT_FLOAT_EQ(J.DesiredPos.z, z + (c.side == 1 ? 0.15f : -0.15f)) << "once only: " << c.what;
  }
}

TEST_F(LineoutUnitTest, ReceiversMoveUpUnderTheirJumpers) {
  ReadyToThrow();
  W.LineoutPhase = 14;
  W.Teams[1].BallCarrier = 0;
  for (int side = 1; side <= 2; ++side) Jumper(side).LineoutRole = side == 1 ? 11.0f : 10.0f;
  W.BallPos.x = 40.0f;  // still beyond block 2's receiver
  struct Case {
    const char* what;
    f32 fromAim;  // m beyond the aim towards touch
    f32 left;     // s of flight on the side's clock after this frame
    double speed;
  };
  for (const Case c : {Case{"near enough stands", 0.69f, 0.3f, 0.0},
                       Case{"far runs", 3.0f, 0.3f, 3.0 / 0.35},
                       Case{"ball due stands", 3.0f, -0.05f, 0.0},
                       Case{"ball past stands", 3.0f, -0.5f, 0.0}}) {
    for (int side = 1; side <= 2; ++side) {
      TTeamBlock& T = W.Teams[side];
      TPlayer& R = T.Players[9];
      R.Pos.x = static_cast<f32>(Jumper(side).Pos.x - 1.75 + c.fromAim);
      T.ThrowTimeLeft = c.left + W.TimeStep;
      DoLineout(W);
      EXPECT_NEAR(R.DesiredPos.x, R.Pos.x - c.speed * 0.04, 1e-4) << c.what << " " << side;
    }
  }
  // Block 2's receiver does not go past the ball.
  TPlayer& R = W.Teams[2].Players[9];
  W.BallPos.x = R.Pos.x - 0.5f;
  DoLineout(W);
  EXPECT_EQ(R.DesiredPos.x, W.BallPos.x);
}

}  // namespace
