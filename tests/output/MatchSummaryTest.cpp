#include "output/MatchSummary.h"

#include <gtest/gtest.h>

#include <type_traits>

static_assert(std::is_trivially_copyable_v<TMatchSummary>);

TEST(MatchSummary, TextsAreCutToTheirLengths) {
  TPlayerSummary s{};
  s.firstname.Assign("Bartholomew-Maximilian-Alexander");
  s.OppUser.Assign("a-user-name-that-is-longer-than-thirty");
  EXPECT_EQ(s.firstname.View(), "Bartholomew-Maximilian-Al");
  EXPECT_EQ(s.OppUser.View().size(), 30u);
}
