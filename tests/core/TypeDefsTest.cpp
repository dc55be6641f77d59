#include "core/TypeDefs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/MatchStore.h"

TEST(GameStateName, NamesEveryStateAndUnspecifiedOtherwise) {
  EXPECT_STREQ(GameStateName(0), "UserInterface");
  EXPECT_STREQ(GameStateName(3), "gottackled");
  EXPECT_STREQ(GameStateName(14), "leaguechamps");
  EXPECT_STREQ(GameStateName(15), "GSmisc01");
  EXPECT_STREQ(GameStateName(24), "GSmisc10");
  EXPECT_STREQ(GameStateName(25), "huddle");
  for (int s : {6, 26, 255}) EXPECT_STREQ(GameStateName(static_cast<TGameState>(s)), "unspecified");
}

TEST(MessageQueue, FillsFirstFreeSlotsAndDropsWhenFull) {
  static TWorld W;
  std::memset(&W, 0, sizeof W);
  for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
  MatchStore.RecordClock = 12.5f;
  W.MessageSlotFree[1] = kFalse32;  // taken already
  for (int i = 0; i < 10; ++i) PostMessage(W, 7, static_cast<u32>(100 + i), 20, static_cast<f32>(i));
  for (int k = 2; k <= 10; ++k) {
    EXPECT_EQ(W.MessageSlotFree[k], 0);
    EXPECT_EQ(W.MessageQueue[k].playerID, static_cast<u32>(100 + k - 2));
    EXPECT_EQ(W.MessageQueue[k].teamID, 7u);
    EXPECT_FLOAT_EQ(W.MessageQueue[k].time, 12.5f);
  }
  // The tenth message found no free slot: nothing in slot 1 changed.
  EXPECT_EQ(W.MessageQueue[1].playerID, 0u);
  PostMessage(W, 7, 0, 21, 0);  // a team message would carry player 0
  EXPECT_EQ(W.MessageQueue[1].message, 0);
  MatchStore.RecordClock = 0;
}

TEST(LookAheadCopy, EqualsTheWorldButIsNotLive) {
  std::memset(&World, 0, sizeof World);
  World.LiveWorld = kTrue32;
  World.clock = 33.0f;
  World.Teams[2].Players[25].Pos.x = 4.5f;
  World.LastKnownHasBall = 9;
  TakeLookAheadCopy();
  EXPECT_EQ(LookAheadWorld.LiveWorld, 0);
  LookAheadWorld.LiveWorld = World.LiveWorld;
  EXPECT_EQ(std::memcmp(&LookAheadWorld, &World, sizeof World), 0);
}
