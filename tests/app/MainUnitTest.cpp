#include "app/MainUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdlib>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "core/MatchStore.h"
#include "core/TypeDefs.h"
#include "platform/Application.h"

namespace {

const char* const kMarker = "this file contains nothing but this text!\r\n";

void Nothing(TWorld&) {}

void DivideByZero(TWorld& W) {
  volatile float zero = W.ScratchValue1 * 0.0f;
  W.ScratchValue2 = 1.0f / zero;
}

void ThrowError(TWorld&) { throw std::runtime_error("step failed on purpose"); }

void SetClockTo90(TWorld& W) { W.clock = 90.0f; }

class MainUnitTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFrameSteps(); }
  void TearDown() override { ResetFrameSteps(); }
  static void ReplaceAllSteps(TFrameStep step) {
    for (int i = 1; i <= kFrameStepCount; ++i) FrameSteps[i].Step = step;
  }
};

TEST_F(MainUnitTest, DummyRunRunsOneFrameAndWritesLogAndSuccessMarkers) {
  RunFolder run;
  run.Write("csvinput/internetinit/dummyOutputOnly.txt", "");
  run.Remove("csvinput/internetinit/fileID.txt");
  ReplaceAllSteps(Nothing);
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_FLOAT_EQ(ElapsedSimTime, 0.04f);

  const auto log = run.Lines("mydebuglog.txt");
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[0], "Memo2");
  ASSERT_EQ(log[1].rfind("randseed ", 0), 0u);
  const long seed = std::stol(log[1].substr(9));
  EXPECT_GE(seed, 0);
  EXPECT_LT(seed, 24L * 3600 * 1000);
  bool sawEnd = false;
  for (size_t i = 0; i + 2 < log.size(); ++i) {
    if (log[i] == "Sim finished.............") {
      sawEnd = true;
      EXPECT_EQ(log[i + 1], "0");
      EXPECT_EQ(log[i + 2], "0");
    }
  }
  EXPECT_TRUE(sawEnd);
  EXPECT_EQ(run.Read("output/ThisSimFinished.txt"), kMarker);
  EXPECT_EQ(run.Read("output/ThisSimHasNoErrors.txt"), kMarker);
  EXPECT_FALSE(run.Exists("output/ThisSimHasErrors.txt"));
  // The run log itself ends every line with CR LF.
  EXPECT_EQ(run.Read("mydebuglog.txt").substr(0, 7), "Memo2\r\n");
}

// The one frame is the kick-off set-up, which pauses the recorder: no slot
// is recorded.
TEST_F(MainUnitTest, DummyRunOfTheExampleListsTheStartMessagesAndPausesTheRecorder) {
  RunFolder run;
  run.Write("csvinput/internetinit/dummyOutputOnly.txt", "");
  MatchStore.PlayerTracks[1][1].AnimIndex[1] = 0;
  EXPECT_EQ(RunProgram(), 0);
  ASSERT_GE(MatchStore.MessageCountCopy, 2);
  EXPECT_EQ(MatchStore.Messages[1].message, msgPlayersPerTeam);
  EXPECT_EQ(MatchStore.Messages[2].message, msgHalfLength);
  EXPECT_EQ(World.RecordingOn, 0);
  EXPECT_EQ(MatchStore.PlayerTracks[1][1].AnimIndex[1], 0);
  EXPECT_EQ(MatchStore.FrameCount, 1);
}

TEST_F(MainUnitTest, DummyRunOfTheExampleWritesTheEventListAndPreparesTheReplay) {
  RunFolder run;
  run.Write("csvinput/internetinit/dummyOutputOnly.txt", "");
  auto& first = MatchStore.PlayerTracks[1][1].AnimIndex;
  std::fill(first.begin(), first.end(), u16{0});
  EXPECT_EQ(RunProgram(), 0);
  // The two start messages are of no listed type.
  EXPECT_EQ(run.Read("output/eventlist_example01.csv"),
            "message,time,clock,extravalue,teamID,playerID,playerX,playerZ,ballX,ballZ,gamestate,"
            "lastknownhasballteamID,lastknownhasballplayerID\r\n");
  EXPECT_EQ(MatchStore.AnimFrameCount, 0);  // the kick-off set-up paused the recorder
  EXPECT_EQ(HalfTimeFrame, 300001);
  const auto log = run.Lines("mydebuglog.txt");
  const auto at = std::find(log.begin(), log.end(), "actual num messages");
  ASSERT_NE(at, log.end());
  ASSERT_NE(at + 1, log.end());
  EXPECT_EQ(*(at + 1), std::to_string(MatchStore.MessageCountCopy));
}

TEST_F(MainUnitTest, RunThatNeverReachesFullTimeEndsAtTheLimitAsErrorRun) {
  RunFolder run;
  run.Remove("csvinput/internetinit/fileID.txt");
  ReplaceAllSteps(Nothing);
  EXPECT_EQ(RunProgram(), 1);
  // 32-bit accumulation of 0.04 s reaches 6600 s a little early.
  EXPECT_GE(ElapsedSimTime, 6600.0f);
  EXPECT_LT(ElapsedSimTime, 6600.0f + 0.04f);
  EXPECT_EQ(run.Read("output/ThisSimFinished.txt"), kMarker);
  EXPECT_EQ(run.Read("output/ThisSimHasErrors.txt"),
            std::string(kMarker) + "game time 0\r\n");
  EXPECT_FALSE(run.Exists("output/ThisSimHasNoErrors.txt"));
}

TEST_F(MainUnitTest, FailingStepEndsTheRunAfterThatFrame) {
  struct Case {
    TFrameStep step;
    const char* what;
  } cases[] = {{DivideByZero, "division by zero"}, {ThrowError, "exception"}};
  for (const Case& c : cases) {
    RunFolder run;
    run.Remove("csvinput/internetinit/fileID.txt");
    ReplaceAllSteps(Nothing);
    FrameSteps[1].Step = SetClockTo90;
    FrameSteps[12].Step = c.step;
    EXPECT_EQ(RunProgram(), 1) << c.what;
    EXPECT_FLOAT_EQ(ElapsedSimTime, 0.04f) << c.what;
    EXPECT_EQ(run.Read("output/ThisSimHasErrors.txt"),
              std::string(kMarker) + "game time 1.5\r\n")
        << c.what;
    EXPECT_FALSE(run.Exists("output/ThisSimHasNoErrors.txt")) << c.what;
    const auto log = run.Lines("mydebuglog.txt");
    EXPECT_EQ(log.back(), "0") << c.what;
    // The error's text is kept in the run log.
    bool logged = false;
    for (const std::string& line : log) logged = logged || line.rfind("Frame raised: ", 0) == 0;
    EXPECT_TRUE(logged) << c.what;
  }
}

TEST_F(MainUnitTest, DumpOnlyStrictlyInsideTheWindow) {
  struct Case {
    float clock;
    int dumps;
  } cases[] = {{3123.0f, 0}, {3123.04f, 1}, {3124.96f, 1}, {3125.0f, 0}};
  for (const Case& c : cases) {
    RunFolder run;
    run.Write("csvinput/internetinit/dummyOutputOnly.txt", "");
    ReplaceAllSteps(Nothing);
    static float clock;
    clock = c.clock;
    FrameSteps[13].Step = [](TWorld& W) { W.clock = clock; };
    EXPECT_EQ(RunProgram(), 0);
    int dumps = 0;
    for (const std::string& line : Form1.Memo2.Lines)
      dumps += line.rfind("team,upordownteam,", 0) == 0 ? 1 : 0;
    EXPECT_EQ(dumps, c.dumps) << c.clock;
  }
}

TEST_F(MainUnitTest, FailureInsideTheFinishGivesStatus2AndErrorMarkers) {
  RunFolder run;
  run.Write("csvinput/internetinit/dummyOutputOnly.txt", "");
  run.Remove("csvinput/internetinit/fileID.txt");
  // The run log cannot be saved where a folder of its name stands.
  std::filesystem::create_directory(run.Dir() + "mydebuglog.txt");
  ReplaceAllSteps(Nothing);
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunProgram(), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("mydebuglog.txt"), std::string::npos) << err;
  EXPECT_EQ(run.Read("output/ThisSimFinished.txt"), kMarker);
  EXPECT_EQ(run.Read("output/ThisSimHasErrors.txt"), std::string(kMarker) + "game time 0\r\n");
  EXPECT_FALSE(run.Exists("output/ThisSimHasNoErrors.txt"));
}

TEST_F(MainUnitTest, FullTimeEndsTheRunAsSuccess) {
  RunFolder run;
  run.Remove("csvinput/internetinit/fileID.txt");
  ReplaceAllSteps(Nothing);
  FrameSteps[13].Step = [](TWorld& W) {
    W.clock += W.TimeStep;
    if (W.clock >= 2.0f) W.MatchPhase = 3;
  };
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_NEAR(ElapsedSimTime, 2.0f, 0.05f);
  EXPECT_TRUE(run.Exists("output/ThisSimHasNoErrors.txt"));
}

TEST_F(MainUnitTest, DumpWindowLogsEveryFrameStrictlyInsideIt) {
  RunFolder run;
  run.Remove("csvinput/internetinit/fileID.txt");
  ReplaceAllSteps(Nothing);
  // The clock starts at 3122 s and reaches full time at 3126 s.
  FrameSteps[13].Step = [](TWorld& W) {
    W.clock = W.clock < 3122.0f ? 3122.0f : W.clock + 0.04f;
    if (W.clock >= 3126.0f) W.MatchPhase = 3;
  };
  EXPECT_EQ(RunProgram(), 0);
  int dumps = 0, slashes10 = 0, slashes27 = 0;
  for (const std::string& line : run.Lines("mydebuglog.txt")) {
    if (line.rfind("team,upordownteam,", 0) == 0) ++dumps;
    if (line == "//////////") ++slashes10;
    if (line == "///////////////////////////") ++slashes27;
  }
  EXPECT_GE(dumps, 49);
  EXPECT_LE(dumps, 51);
  EXPECT_EQ(slashes10, dumps);
  EXPECT_EQ(slashes27, dumps);
}

TEST_F(MainUnitTest, MissingInputFileGivesStatus2AndBothMarkers) {
  RunFolder run(false);
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunProgram(), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("players.csv"), std::string::npos) << err;
  EXPECT_EQ(run.Read("output/ThisSimFinished.txt"), kMarker);
  EXPECT_EQ(run.Read("output/ThisSimHasErrors.txt"), std::string(kMarker) + "game time 0\r\n");
  const auto log = run.Lines("mydebuglog.txt");
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], "Memo2");
}

// A player no match can be played with (here one without mass) ends the
// start-up as a malformed number does: the cell named, status 2, both markers.
TEST_F(MainUnitTest, PlayerWithoutMassGivesStatus2AndNamesTheCell) {
  RunFolder run;
  run.Remove("csvinput/internetinit/fileID.txt");
  auto lines = run.Lines("csvinput/internetinit/players.csv");
  ASSERT_GE(lines.size(), 8u);
  const auto cells = [](const std::string& line) {
    std::vector<std::string> out(1);
    for (char ch : line) {
      if (ch == ',')
        out.emplace_back();
      else
        out.back().push_back(ch);
    }
    return out;
  };
  const std::vector<std::string> header = cells(lines[0]);
  const size_t weight = std::find(header.begin(), header.end(), "weight") - header.begin();
  std::vector<std::string> row = cells(lines[7]);
  ASSERT_LT(weight, row.size());
  row[weight] = "0";
  lines[7].clear();
  for (size_t c = 0; c < row.size(); ++c) lines[7] += (c ? "," : "") + row[c];
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  run.Write("csvinput/internetinit/players.csv", text);

  ReplaceAllSteps(Nothing);
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunProgram(), 2);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("players.csv, line 8, column \"weight\": '0' is not a weight above 0 kg"), std::string::npos)
      << err;
  EXPECT_EQ(run.Read("output/ThisSimFinished.txt"), kMarker);
  EXPECT_EQ(run.Read("output/ThisSimHasErrors.txt"), std::string(kMarker) + "game time 0\r\n");
  EXPECT_FALSE(run.Exists("output/ThisSimHasNoErrors.txt"));
}

TEST_F(MainUnitTest, StartMessagesAndStartValues) {
  RunFolder run;
  FormCreate();
  EXPECT_EQ(Form1.Label1, "AI Engine v 11.7");
  EXPECT_EQ(World.MessageSlotFree[1], 0);
  EXPECT_EQ(World.MessageQueue[1].message, 55);
  EXPECT_FLOAT_EQ(World.MessageQueue[1].extravalue, static_cast<float>(World.PlayersPerTeam));
  EXPECT_EQ(World.MessageQueue[2].message, 54);
  EXPECT_FLOAT_EQ(World.MessageQueue[2].extravalue, World.halflength);
  for (int k = 3; k <= 10; ++k) EXPECT_NE(World.MessageSlotFree[k], 0);
  EXPECT_FLOAT_EQ(World.MessageTimers[1], 10.0f);
  EXPECT_EQ(World.StatPlayerCursor, 1);
  EXPECT_NE(MatchStore.RecordPending, 0);
  EXPECT_EQ(MatchStore.FrameCount, 1);
  EXPECT_FLOAT_EQ(MatchStore.FrameInterval, 0.0164f);
  EXPECT_EQ(MatchStore.MessageCapacity, kMessageCapacity);
  EXPECT_EQ(MatchStore.MessageListOverflowed, kFalse32);
  EXPECT_NE(World.Teams[1].DecisionsOn, 0);
  EXPECT_NE(World.Teams[2].DecisionsOn, 0);
  EXPECT_TRUE(run.Exists("output"));
}

TEST_F(MainUnitTest, FramesAllocateNothing) {
  RunFolder run;
  FormCreate();
  bool done = true;
  ApplicationIdle(done);  // the first frame may warm up what it uses
  // That frame set the kick-off up and paused the recorder for the lining
  // up; the counted frames (2 s, before the kick) are recorded all the same.
  World.RecordingOn = kTrue32;
  // Every statistics timer fires in the counted frames, and each frame is
  // recorded.
  for (f32& timer : World.MessageTimers) timer = 0;
  const i32 slots = MatchStore.FrameCount;
  const i32 messages = MatchStore.MessageCount;
  StartCountingAllocations();
  for (int i = 0; i < 50 && !SimFinished; ++i) ApplicationIdle(done);
  const long allocations = StopCountingAllocations();
  EXPECT_FALSE(done);
  EXPECT_EQ(allocations, 0);
  EXPECT_GE(MatchStore.MessageCount, messages + 8);
  EXPECT_EQ(MatchStore.FrameCount, slots + 50);
  Application.OnIdle = nullptr;
}

}  // namespace
