#include "core/Replacements.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>

#include "core/MatchStore.h"
#include "core/Random.h"

namespace {

// Two sides of 15 with a bench of 16 to 22; every message slot free.
// Bench players differ, so that a choice by score is visible.
class Replacements : public ::testing::Test {
 protected:
  static TWorld W;

  void SetUp() override {
    std::memset(&W, 0, sizeof W);
    RandSeed = 7;
    MatchStore.RecordClock = 42.5f;
    W.PlayersPerTeam = 15;
    W.PitchWidth = 70.0f;
    for (bool32& f : W.MessageSlotFree) f = kTrue32;
    for (int b = 1; b <= 2; ++b) {
      TTeamBlock& T = W.Teams[b];
      T.teamid = 100 * b;
      for (int p = 1; p <= 25; ++p) {
        TPlayer& P = T.Players[p];
        P.id = 1000 * b + p;
        P.Pos = {5.0f, 0, 12.0f};
        P.speed = 6.0f;
        P.FatigueFreshTime = 200;
        P.MaxSpeedNonFatigued = 8.0f;
        P.Acceleration = 6.0f;
        P.MakeTackleProb = 500;
        P.StrengthScale = {0, 1.5f, 0.5f, 1.7f, 1.7f, 0, 0};
        P.ActionTime3 = {0, 0.2f, 0.4f, 0.9f, 0.9f, 0, 0};
      }
    }
  }
  static void Leaves(int b, int p) {
    W.Teams[b].Players[p].Unavailable = kTrue32;
    W.Teams[b].Players[p].UnavailableKind = 1;
  }
  static void OffBench(int b, int q) { W.Teams[b].Players[q].Unavailable = kTrue32; }
  static int FreeSlots() {
    int n = 0;
    for (bool32 f : W.MessageSlotFree) n += f != 0;
    return n;
  }
};

TWorld Replacements::W;

TEST_F(Replacements, NamedPropReplacementComesOnFreshAndIsAnnounced) {
  Leaves(1, 3);
  W.Teams[1].Players[20].Weight = 150.0f;  // the best prop by score, but 16 is named
  TPlayer& bench = W.Teams[1].Players[16];
  bench.KickTimer = 1.0f;
  bench.target = 4;
  bench.FootprintHolder[3] = 2;
  bench.ActionSeq.seqON = kTrue32;
  bench.Fatigued = kTrue32;

  ResetPlayersForRestart(W);

  const TPlayer& in = W.Teams[1].Players[3];
  EXPECT_EQ(in.id, 1016);
  EXPECT_EQ(W.Teams[1].Players[16].id, 1003);
  EXPECT_EQ(W.Teams[1].Players[16].Unavailable, kTrue32);
  EXPECT_FLOAT_EQ(in.Pos.x, -35.0f);
  EXPECT_FLOAT_EQ(in.Pos.z, 0.0f);
  EXPECT_FLOAT_EQ(in.OldPos.x, -35.0f);
  EXPECT_FLOAT_EQ(in.DesiredPos.x, -35.0f);
  EXPECT_EQ(in.speed, 0.0f);
  EXPECT_TRUE(in.currentAnim == "breathing");
  EXPECT_FLOAT_EQ(in.maxframes, 1839.0f);
  EXPECT_EQ(in.AnimLoop, kTrue32);
  EXPECT_EQ(in.InBackline, kTrue32);
  EXPECT_FLOAT_EQ(in.Heading, 270.0f);
  EXPECT_FLOAT_EQ(in.FacingAngle, static_cast<f32>(2 * std::numbers::pi));
  EXPECT_EQ(in.KickTimer, 0.0f);
  EXPECT_EQ(in.target, 0);
  EXPECT_EQ(in.FootprintHolder[3], 0);
  EXPECT_EQ(in.ActionSeq.seqON, 0);
  EXPECT_EQ(in.Fatigued, 0);
  EXPECT_GE(in.FatigueTimer, 201.0f);
  EXPECT_LE(in.FatigueTimer, 205.0f);
  EXPECT_FLOAT_EQ(in.StrengthScale.value, 1.7f);  // redrawn, clamped to min = max
  EXPECT_FLOAT_EQ(in.ActionTime3.value, 0.9f);

  const TMatchMessage& off = W.MessageQueue[1];
  const TMatchMessage& on = W.MessageQueue[2];
  EXPECT_EQ(off.message, msgPlayerOff);
  EXPECT_EQ(off.teamID, 100);
  EXPECT_EQ(off.playerID, 1003);
  EXPECT_FLOAT_EQ(off.extravalue, 3.0f);
  EXPECT_FLOAT_EQ(off.time, 42.5f);
  EXPECT_EQ(on.message, msgPlayerOn);
  EXPECT_EQ(on.playerID, 1016);
  EXPECT_FLOAT_EQ(on.extravalue, 3.0f);
  EXPECT_EQ(FreeSlots(), 8);

  // The player who left stays on the bench for good.
  ResetPlayersForRestart(W);
  EXPECT_EQ(FreeSlots(), 8);
}

TEST_F(Replacements, PropsStayOnWhenBothFrontRowReplacementsAreGone) {
  Leaves(1, 1);
  Leaves(1, 3);
  OffBench(1, 16);
  OffBench(1, 17);
  ResetPlayersForRestart(W);
  EXPECT_EQ(W.Teams[1].Players[1].id, 1001);
  EXPECT_EQ(W.Teams[1].Players[3].id, 1003);
  EXPECT_EQ(FreeSlots(), 10);
}

TEST_F(Replacements, ChoiceByPositionWhenTheNamedPlayerIsGone) {
  struct Case {
    int position, gone;
    void (*shape)(TTeamBlock&);
    int expected;
  };
  const Case cases[] = {
      // Full-back: speed + acceleration + tackling; 18 wins on acceleration.
      {15, 22, [](TTeamBlock& T) { T.Players[18].Acceleration = 7.0f; }, 18},
      // A tie keeps the lower number.
      {15, 22, [](TTeamBlock&) {}, 16},
      // Lock: height counts five times.
      {4, 18, [](TTeamBlock& T) { T.Players[21].Height = 2.1f; }, 21},
      // Wing: top speed alone.
      {11, 22, [](TTeamBlock& T) { T.Players[17].MaxSpeedNonFatigued = 9.5f; }, 17},
      // Fly-half: the kicker with the smallest spread wins.
      {10, 20, [](TTeamBlock& T) { for (int q = 16; q <= 22; ++q) T.Players[q].KickDeviation2 = q == 19 ? 5.0f : 20.0f; }, 19},
      // Prop 2 takes 17 first, else 16.
      {2, 17, [](TTeamBlock&) {}, 16},
  };
  for (const Case& c : cases) {
    SetUp();
    Leaves(1, c.position);
    OffBench(1, c.gone);
    c.shape(W.Teams[1]);
    ResetPlayersForRestart(W);
    EXPECT_EQ(W.Teams[1].Players[c.position].id, 1000 + c.expected) << "position " << c.position;
  }
}

TEST_F(Replacements, NoBenchPlayerLeftMeansNoChange) {
  Leaves(2, 9);
  for (int q = 16; q <= 22; ++q) OffBench(2, q);
  ResetPlayersForRestart(W);
  EXPECT_EQ(W.Teams[2].Players[9].id, 2009);
  EXPECT_EQ(FreeSlots(), 10);
}

TEST_F(Replacements, NeedsTwoFreeMessageSlots) {
  Leaves(1, 5);
  Leaves(1, 6);
  Leaves(2, 7);
  for (int k = 1; k <= 9; ++k) W.MessageSlotFree[k] = kFalse32;
  static TWorld before;
  before = W;
  const u32 seed = RandSeed;
  ResetPlayersForRestart(W);
  EXPECT_EQ(std::memcmp(&before, &W, sizeof W), 0);
  EXPECT_EQ(RandSeed, seed);

  // With two slots free the first player is replaced; then the queue is
  // full and the rest wait for the next restart.
  W.MessageSlotFree[9] = kTrue32;
  ResetPlayersForRestart(W);
  EXPECT_EQ(W.Teams[1].Players[5].id, 1018);
  EXPECT_EQ(W.Teams[1].Players[6].id, 1006);
  EXPECT_EQ(W.Teams[2].Players[7].id, 2007);
  EXPECT_EQ(FreeSlots(), 0);
}

TEST_F(Replacements, FirstBlockIsHandledFirst) {
  Leaves(1, 12);
  Leaves(2, 8);
  ResetPlayersForRestart(W);
  EXPECT_EQ(W.MessageQueue[1].playerID, 1012);
  EXPECT_EQ(W.MessageQueue[2].playerID, 1021);
  EXPECT_EQ(W.MessageQueue[3].teamID, 200);
  EXPECT_EQ(W.MessageQueue[3].playerID, 2008);
  EXPECT_EQ(W.MessageQueue[4].playerID, 2019);
  EXPECT_FLOAT_EQ(W.MessageQueue[4].extravalue, 8.0f);
}

// With more than 15 on the field a named number may be a player on the
// field; he is passed over rather than swapped.
TEST_F(Replacements, NamedNumberOnTheFieldIsPassedOver) {
  W.PlayersPerTeam = 16;
  Leaves(1, 1);
  ResetPlayersForRestart(W);
  EXPECT_EQ(W.Teams[1].Players[1].id, 1017);
  EXPECT_EQ(W.Teams[1].Players[16].id, 1016);
}

TEST(ChooseRandomProfile, DrawsFourCategoriesAndNeverProfileThreeInTheFirstTwo) {
  for (u32 seed = 1; seed <= 200; ++seed) {
    RandSeed = seed;
    Arr1<u16, 5> choice{};
    choice[1] = 9;
    choice[2] = choice[3] = 7;
    ChooseRandomProfile(choice);
    RandSeed = seed;
    const int first[4] = {0, 1, 2, 4};
    for (int category = 1; category <= 4; ++category) {
      const int r = RandomRange(1, category <= 2 ? 401 : 501);
      const int expected = category <= 2 ? first[(r - 1) / 100] : (r - 1) / 100;
      EXPECT_EQ(choice[category + 1], expected) << seed << " " << category;
    }
    EXPECT_EQ(choice[1], 9);
  }
}

}  // namespace
