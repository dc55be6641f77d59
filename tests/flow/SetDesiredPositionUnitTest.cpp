#include "flow/SetDesiredPositionUnit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/FloatFlags.h"
#include "flow/RunningUnit.h"

namespace {

TWorld W, Before;
std::vector<int> Calls;  // handler ids in call order

template <int Id>
void Recorder(TWorld&) {
  Calls.push_back(Id);
}

class SetDesiredPositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&W, 0, sizeof W);
    W.PlayersPerTeam = 15;
    for (int b = 1; b <= 2; ++b)
      for (int p = 1; p <= 25; ++p) W.Teams[b].Players[p].DesiredPos = {static_cast<f32>(p), 0, 3.0f * b};
    Calls.clear();
  }
  void TearDown() override { ResetStateHandlers(); }
};

}  // namespace

TEST_F(SetDesiredPositionTest, EachStateCallsItsOwnHandlerOnly) {
  const TGameState handled[] = {gsRunning,        gsPassing, gsGotTackled, gsFreeBall, gsScrum,
                                gsKickRestartSet, gsLineout, gsTryScored,  gsTransition};
  for (TGameState s : handled) ASSERT_NE(StateHandlers[s], nullptr) << int(s);
  EXPECT_EQ(StateHandlers[gsRunning], &DoRunning);
  for (int s = 0; s <= gsHuddle; ++s) {
    bool has = false;
    for (TGameState h : handled) has = has || h == s;
    if (!has) {
      EXPECT_EQ(StateHandlers[s], nullptr) << s;
    }
  }
  // Each handled state reaches the entry of its own state.
  StateHandlers[gsRunning] = Recorder<1>;
  StateHandlers[gsLineout] = Recorder<9>;
  StateHandlers[gsTransition] = Recorder<12>;
  for (TGameState s : {gsLineout, gsRunning, gsTransition, gsRunning}) {
    W.gamestate = s;
    SetDesiredPosition(W);
  }
  EXPECT_EQ(Calls, (std::vector<int>{9, 1, 12, 1}));
}

TEST_F(SetDesiredPositionTest, StatesWithoutAHandlerLeaveTheWorldAlone) {
  for (int s : {0, 5, 6, 11, 13, 14, 15, 24, 25, 26, 200, 255}) {
    W.gamestate = static_cast<TGameState>(s);
    Before = W;
    std::feclearexcept(FE_ALL_EXCEPT);
    SetDesiredPosition(W);
    EXPECT_FALSE(FloatErrorRaised());
    EXPECT_EQ(std::memcmp(&W, &Before, sizeof W), 0) << s;
  }
}

// The shared contract: set up and positioned in the same frame when the
// counter is found at 1; above 1, positioned only.
TEST_F(SetDesiredPositionTest, PhaseCounterAtOneSetsUpThenPositionsInTheSameCall) {
  struct Case {
    i32 phase;
    std::vector<int> calls;
    i32 after;
  } cases[] = {{1, {1, 2}, 2}, {2, {2}, 2}, {5, {2}, 5}, {0, {2}, 0}};
  for (const Case& c : cases) {
    Calls.clear();
    W.RunningPhase = c.phase;
    RunStateHandler(
        W, W.RunningPhase,
        [](TWorld& w) {
          EXPECT_EQ(w.RunningPhase, 1);  // the set-up sees the counter at 1
          Calls.push_back(1);
        },
        [](TWorld&) { Calls.push_back(2); });
    EXPECT_EQ(Calls, c.calls) << c.phase;
    EXPECT_EQ(W.RunningPhase, c.after) << c.phase;
  }
}
