#include "core/MatchStore.h"

#include <gtest/gtest.h>

#include <type_traits>

// The recorder's arrays are as wide as the replay and game file read them:
// 22 bytes per frame for each player track.
static_assert(sizeof(TPlayerTrack) == 22u * kFrameCapacity);
static_assert(sizeof(TMatchMessage) == 20);
static_assert(std::is_trivially_copyable_v<TMatchStore>);
// 6,600 s of 0.04 s frames, the longest run, fit.
static_assert(kFrameCapacity >= 165000);

TEST(MatchStore, StartsZeroedWithRoomForTheLongestMatch) {
  // Static storage: every slot of the replay reads 0 before the recorder runs.
  EXPECT_EQ(MatchStore.PlayerTracks[2][kTrackPlayers].AnimIndex[kFrameCapacity], 0);
  EXPECT_EQ(MatchStore.FrameTimes[kFrameCapacity], 0.0f);
  EXPECT_EQ(MatchStore.Highlights[kHighlightCapacity].MessageType, 0u);
}

