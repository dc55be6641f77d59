#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/FloatFlags.h"
#include "core/MatchStore.h"
#include "core/RunContext.h"
#include "output/ReplayStore.h"
#include "output/ReplayUnit.h"
#include "platform/Form.h"

namespace {

struct Window {
  u32 start, end, type;
  bool operator==(const Window&) const = default;
};

void PrintTo(const Window& w, std::ostream* os) { *os << "(" << w.start << ", " << w.end << ", " << w.type << ")"; }

void States(int from, int to, TGameState state) {
  for (int n = from; n <= to; ++n) MatchStore.FrameGameState[n] = state;
}

// A message stamped exactly as frame n.
void MessageAt(u8 type, int n, i32 team = 10) { AddMessage(type, team, 0, SlotTime(n)); }

// Adds `seconds` to the match clock of frame n and every later frame up to `frames`.
void ClockJumpBefore(int n, int frames, double seconds) {
  for (int k = n; k <= frames; ++k) MatchStore.FrameClock[k] = ToF32(MatchStore.FrameClock[k] + seconds);
}

// The highlights of the first `frames` frames.
std::vector<Window> Highlights(int frames) {
  MatchStore.AnimFrameCount = frames;
  std::feclearexcept(FE_ALL_EXCEPT);
  BuildHighlights();
  EXPECT_FALSE(FloatErrorRaised());
  std::vector<Window> out;
  for (int k = 1; k <= MatchStore.HighlightCount; ++k) {
    const THighlight& h = MatchStore.Highlights[k];
    out.push_back({h.StartFrame, h.EndFrame, h.MessageType});
  }
  return out;
}

constexpr int kFrames = 1000;  // 40 s

class ReplayPostProcessingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetReplayStore(kFrames);
    States(1, 9, gsKickRestartSet);  // the kick-off, then open play
  }
  void TearDown() override { ClearReplayStore(); }
};

using ReplayConversionTest = ReplayPostProcessingTest;

}  // namespace

// --- Frame count, half time and the conversion ---

TEST_F(ReplayConversionTest, FramesTurnToWholeUnitsInOneOrientationOfThePitch) {
  struct Case {
    bool team1InBlock1;
    TGameState state;
    TI16Vec3 ball, angles;
    i16 heading;
    const char* what;
  } cases[] = {
      // Frames 1 to 3 are first half; the match clock passes halflength at frame 4.
      {false, gsRunning, {-12, 4, 4}, {-57, 115, -172}, 450, "first half, team 2 in block 1"},
      {true, gsRunning, {12, 4, -4}, {57, 115, 172}, 270, "first half, team 1 in block 1"},
      {false, gsLeagueChamps, {12, 4, -4}, {-57, 295, -172}, 270, "champions, team 2 in block 1: second half"},
      {false, gsRunning, {12, 4, -4}, {-57, 295, -172}, 270, "second half, team 2 in block 1"},
      {true, gsRunning, {-12, 4, 4}, {57, 295, 172}, 450, "second half, team 1 in block 1"},
      {true, gsLeagueChamps, {12, 4, -4}, {57, 115, 172}, 270, "champions, team 1 in block 1: first half"},
  };
  constexpr int n = std::size(cases);
  ResetReplayStore(n);
  TMatchStore& S = MatchStore;
  World.PlayersPerTeam = 14;
  S.FrameClock[3] = 2400.0f;  // not above halflength
  S.FrameClock[4] = 2400.04f;
  S.FrameClock[n + 50] = 2500.0f;  // beyond the recording: not converted
  for (int k = 1; k <= n; ++k) {
    const Case& c = cases[k - 1];
    S.FrameTeam1InFirstBlock[k] = Flag(c.team1InBlock1);
    S.FrameGameState[k] = c.state;
    S.FrameBallPos[k] = {123, 45, -40};  // y 4.5 rounds to even
    S.FrameBallAngles[k] = {10, 20, 30};  // tenths of radians
    for (int b = 1; b <= 2; ++b)
      for (int p = 1; p <= kTrackPlayers; ++p) {
        S.PlayerTracks[b][p].Pos[k] = {123, 45, -40};
        S.PlayerTracks[b][p].Heading[k] = 1804;
      }
  }
  S.MessageCountCopy = 3;
  Form1.Memo2.Clear();
  RunFolder run{false};
  run.UseAsRunContext();
  std::feclearexcept(FE_ALL_EXCEPT);
  PrepareReplayFrames();
  EXPECT_FALSE(FloatErrorRaised());

  EXPECT_EQ(S.AnimFrameCount, n);
  EXPECT_EQ(HalfTimeFrame, 4);
  ASSERT_EQ(Form1.Memo2.Lines.size(), 2u);
  EXPECT_EQ(Form1.Memo2.Lines[0], "actual num messages");
  EXPECT_EQ(Form1.Memo2.Lines[1], "3");
  EXPECT_EQ(std::filesystem::current_path().string() + "/", run.Dir());
  auto same = [](const TI16Vec3& a, const TI16Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
  for (int k = 1; k <= n; ++k) {
    const Case& c = cases[k - 1];
    EXPECT_TRUE(same(S.FrameBallPos[k], c.ball)) << c.what;
    EXPECT_TRUE(same(S.FrameBallAngles[k], c.angles))
        << c.what << ": " << S.FrameBallAngles[k].x << " " << S.FrameBallAngles[k].y << " " << S.FrameBallAngles[k].z;
    for (int b = 1; b <= 2; ++b) {
      EXPECT_TRUE(same(S.PlayerTracks[b][14].Pos[k], c.ball)) << c.what;
      EXPECT_EQ(S.PlayerTracks[b][14].Heading[k], c.heading) << c.what;
      // Player slots beyond PlayersPerTeam keep their recorded values.
      EXPECT_TRUE(same(S.PlayerTracks[b][15].Pos[k], {123, 45, -40})) << c.what;
      EXPECT_EQ(S.PlayerTracks[b][15].Heading[k], 1804) << c.what;
    }
  }
}

TEST_F(ReplayConversionTest, HeadingHalvesRoundToEven) {
  ResetReplayStore(2);
  TMatchStore& S = MatchStore;
  S.FrameTeam1InFirstBlock[1] = S.FrameTeam1InFirstBlock[2] = kFalse32;
  S.FrameClock[2] = 2500.0f;  // second half from frame 2
  S.PlayerTracks[1][1].Heading[1] = 1805;
  S.PlayerTracks[1][1].Heading[2] = 1805;
  S.PlayerTracks[1][2].Heading[2] = 1815;
  PrepareReplayFrames();
  EXPECT_EQ(S.PlayerTracks[1][1].Heading[1], 450);  // 180.5 + 270 = 450.5
  EXPECT_EQ(S.PlayerTracks[1][1].Heading[2], 270);  // 270.5
  EXPECT_EQ(S.PlayerTracks[1][2].Heading[2], 272);  // 271.5
}

TEST_F(ReplayConversionTest, CountsTheLeadingFilledSlotsAndFindsNoHalfTimeWithoutAClockPastIt) {
  TMatchStore& S = MatchStore;
  ResetReplayStore(5);
  S.PlayerTracks[1][1].AnimIndex[4] = 0;  // a gap ends the count
  PrepareReplayFrames();
  EXPECT_EQ(S.AnimFrameCount, 3);
  EXPECT_EQ(HalfTimeFrame, 300001);
  EXPECT_EQ(S.PlayerTracks[1][1].Heading[3], 90) << "first half, team 1 in block 1";
  EXPECT_EQ(S.PlayerTracks[1][1].Heading[5], 0) << "after the count: not converted";

  // A catalogue index that names no animation ends it too.
  ResetReplayStore(5);
  S.PlayerTracks[1][1].AnimIndex[3] = 501;
  PrepareReplayFrames();
  EXPECT_EQ(S.AnimFrameCount, 2);

  // Every slot filled.
  auto& first = S.PlayerTracks[1][1].AnimIndex;
  std::fill(first.begin(), first.end(), u16{3});
  EXPECT_EQ(RecordedFrameCount(), 300000);
  PrepareReplayFrames();
  EXPECT_EQ(S.AnimFrameCount, 300000);
}

TEST_F(ReplayConversionTest, AnEmptyRecordingMakesNoHighlight) {
  ResetReplayStore(0);
  MessageAt(msgTry, 1);
  MessageAt(msgPressureKick, 1);
  PrepareReplayFrames();
  EXPECT_EQ(MatchStore.AnimFrameCount, 0);
  EXPECT_EQ(MatchStore.HighlightCount, 0);
}

// --- Highlight windows by type ---

TEST_F(ReplayPostProcessingTest, ATryRunsFromTheStartOfTheMoveToTwoSecondsAfterOrTheEndOfTheCelebration) {
  // Open play from frame 10, the try at frame 251 (10.0 s), "tryscored" to
  // frame 350, then the transition.
  States(251, 350, gsTryScored);
  States(351, kFrames, gsTransition);
  MessageAt(msgTry, 251);
  // 12.0 s is not beyond the try's 2 s: the window ends at frame 301.
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{9, 301, msgTry}})) << "no celebration";

  // A celebration only one frame after the first frame beyond 2 s changes nothing.
  MatchStore.PlayerTracks[2][7].AnimIndex[303] = static_cast<u16>(AnimNameToIndex("liberty"));
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{9, 301, msgTry}})) << "celebration at frame 303";

  // At frame 302 it runs to the last "tryscored" frame less 0.01 s.
  MatchStore.PlayerTracks[2][7].AnimIndex[302] = static_cast<u16>(AnimNameToIndex("liberty"));
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{9, 350, msgTry}})) << "celebration at frame 302";

  // The recording ends before 2 s after the try: nothing to look at, no extension.
  EXPECT_EQ(Highlights(300), (std::vector<Window>{{9, 300, msgTry}})) << "recording ends at frame 300";
}

TEST_F(ReplayPostProcessingTest, ATrysStartIsTheThirdEntryIntoFreeBallOrTenSeconds) {
  for (int n : {100, 150, 200}) States(n, n + 5, gsFreeBall);
  MessageAt(msgTry, 251);
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{100, 301, msgTry}})) << "three free-ball entries";

  ResetReplayStore(kFrames);  // open play from frame 1: back stays 10 s
  MessageAt(msgTry, 401);
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{151, 451, msgTry}})) << "no stop";
}

TEST_F(ReplayPostProcessingTest, BallDeadInGoalLooksBackPastTheTransitionAtMostFifteenSeconds) {
  States(690, 720, gsTransition);
  MessageAt(msgBallDeadInGoal, 700);  // 27.96 s
  for (int n : {620, 640, 660}) States(n, n, gsFreeBall);
  // Three entries: back to the kick-off, at most 15 s (12.96 s, frame 325).
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{325, 750, msgBallDeadInGoal}}));
  States(600, 600, gsFreeBall);  // the fourth entry
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{600, 750, msgBallDeadInGoal}}));
}

TEST_F(ReplayPostProcessingTest, APressureKickStartsInItsPlayAndEndsAfterTheTransitionBegins) {
  States(240, 279, gsGotTackled);
  States(320, kFrames, gsTransition);
  MessageAt(msgPressureKick, 300);  // 11.96 s; the transition 0.8 s later
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{280, 352, msgPressureKick}}));

  ResetReplayStore(kFrames);  // no transition: 2 s before, 8 s after
  MessageAt(msgPressureKick, 301);  // 12.0 s
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{251, 501, msgPressureKick}}));
}

TEST_F(ReplayPostProcessingTest, TheChampionsSceneCoversItsFramesLessATenthOfASecond) {
  States(250, 350, gsLeagueChamps);
  MessageAt(msgLeagueChampions, 300);
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{249, 349, msgLeagueChampions}}));
}

TEST_F(ReplayPostProcessingTest, LineBreaksNeedOpenPlayAroundThemAndNoTryRightAfter) {
  // The break at frame 380 (15.16 s): 3.5 s back (frame 293); play stops at
  // frame X (gottackled to frame 500), "tryscored" from frame 501.
  struct Case {
    int stop;
    bool kept;
    const char* what;
  } cases[] = {
      {498, true, "three frames before the try"},
      {499, false, "two frames before"},
      {500, false, "one frame before"},
  };
  for (const Case& c : cases) {
    ResetReplayStore(kFrames);
    States(1, 9, gsKickRestartSet);
    States(c.stop, 500, gsGotTackled);
    States(501, kFrames, gsTryScored);
    MessageAt(msgLineBreak, 380);
    const auto got = Highlights(kFrames);
    if (c.kept) {
      EXPECT_EQ(got, (std::vector<Window>{{293, static_cast<u32>(c.stop), msgLineBreak}})) << c.what;
    } else {
      EXPECT_TRUE(got.empty()) << c.what;
    }
  }

  // Open play all round but for short scrums.
  struct Short {
    std::vector<int> scrums;
    const char* what;
  } shorts[] = {
      {{379}, "play resumed 0.04 s before the break"},
      {{381}, "play stops 0.04 s after it"},
      {{479}, "3.96 s after the break"},
      {{365, 485}, "4.8 s in all"},
  };
  for (const Short& s : shorts) {
    ResetReplayStore(kFrames);
    for (int n : s.scrums) States(n, n, gsScrum);
    MessageAt(msgLineBreak, 380);
    EXPECT_TRUE(Highlights(kFrames).empty()) << s.what;
  }
}

TEST_F(ReplayPostProcessingTest, ALineBreakThatLosesTheBallKeepsItsWindowOnlyIfItsSideRegainsIt) {
  struct Case {
    int looseTo;
    bool regainedByTeam1;
    bool kept;
    const char* what;
  } cases[] = {
      {340, true, true, "regained by the breaking side"},
      {340, false, false, "won by the other side"},
      {kFrames, true, false, "loose to the end of the window"},
  };
  for (const Case& c : cases) {
    ResetReplayStore(kFrames);
    States(1, 9, gsKickRestartSet);
    States(320, c.looseTo, gsFreeBall);
    if (!c.regainedByTeam1) MatchStore.FrameTeam1InFirstBlock[c.looseTo + 1] = kFalse32;
    MessageAt(msgLineBreak, 301, 10);  // 12.0 s: 3.5 s back, 8 s on
    const auto got = Highlights(kFrames);
    if (c.kept) {
      EXPECT_EQ(got, (std::vector<Window>{{214, 501, msgLineBreak}})) << c.what;
    } else {
      EXPECT_TRUE(got.empty()) << c.what;
    }
  }
}

TEST_F(ReplayPostProcessingTest, AClockJumpCutsTheWindowOnTheLongerSide) {
  struct Case {
    std::vector<int> jumps;  // the match clock jumps after these frames
    Window expected;
    const char* what;
  } cases[] = {
      // The window of a pressure kick at 12.0 s without transition: frames 251 to 501.
      {{451}, {251, 451, msgPressureKick}, "jump in the later half keeps the part before"},
      {{301}, {302, 501, msgPressureKick}, "jump in the earlier half keeps the part after"},
      {{376}, {377, 501, msgPressureKick}, "a jump at exactly half keeps the part after"},
      {{277, 401}, {278, 401, msgPressureKick}, "two jumps, two cuts"},
      {{277, 350, 401}, {351, 501, msgPressureKick}, "only two cuts: the jump after 401 stays inside"},
  };
  for (const Case& c : cases) {
    ResetReplayStore(kFrames);
    for (int j : c.jumps) ClockJumpBefore(j + 1, kFrames, 30.0);
    MessageAt(msgPressureKick, 301);
    EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{c.expected})) << c.what;
  }

  // A window of 3.25 s cut twice to 0.96 s is dropped.
  ResetReplayStore(kFrames);
  States(300, kFrames, gsTransition);
  MessageAt(msgPressureKick, 300);
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{250, 332, msgPressureKick}}));
  ClockJumpBefore(286, kFrames, 30.0);
  ClockJumpBefore(311, kFrames, 30.0);
  EXPECT_TRUE(Highlights(kFrames).empty());
}

TEST_F(ReplayPostProcessingTest, OfTwoOverlappingWindowsOneIsDropped) {
  struct Msg {
    u8 type;
    int frame;
  };
  struct Case {
    std::vector<Msg> messages;
    std::vector<u32> kept;
    const char* what;
  } cases[] = {
      {{{msgTry, 300}, {msgLineBreak, 330}}, {msgTry}, "a try and a later line break: the try"},
      {{{msgLineBreak, 300}, {msgTry, 330}}, {msgTry}, "a line break and a later try: the try"},
      {{{msgTry, 300}, {msgTry, 330}}, {msgTry}, "two tries: the later one"},
      {{{msgLineBreak, 300}, {msgBallDeadInGoal, 330}}, {msgBallDeadInGoal}, "line break against 92"},
      {{{msgPressureKick, 300}, {msgLineBreak, 330}}, {msgPressureKick}, "69 against a later line break"},
      {{{msgLineBreak, 300}, {msgPressureKick, 330}}, {msgPressureKick}, "line break against a later 69"},
      {{{msgBallDeadInGoal, 300}, {msgPressureKick, 330}}, {msgPressureKick}, "other pairs: the later one"},
      {{{msgLeagueChampions, 700}, {msgBallDeadInGoal, 705}}, {msgLeagueChampions}, "91 against a later 92"},
      {{{msgBallDeadInGoal, 640}, {msgLeagueChampions, 700}}, {msgLeagueChampions}, "92 against a later 91"},
      {{{msgTry, 640}, {msgLeagueChampions, 700}}, {msgTry}, "a try against 91"},
      {{{msgTry, 50}, {msgTry, 400}, {msgLineBreak, 420}}, {msgTry, msgTry}, "apart windows stay"},
  };
  for (const Case& c : cases) {
    ResetReplayStore(kFrames);
    States(650, 750, gsLeagueChamps);
    for (const Msg& m : c.messages) MessageAt(m.type, m.frame);
    std::vector<u32> kept;
    for (const Window& w : Highlights(kFrames)) kept.push_back(w.type);
    EXPECT_EQ(kept, c.kept) << c.what;
  }
}

TEST_F(ReplayPostProcessingTest, OnlyTheFirstFiftyWindowsAndThousandCandidatesCount) {
  // Sixty pressure kicks 11 s apart: the first fifty stay.
  constexpr int kSpacing = 275, kKicks = 60;
  ResetReplayStore(kSpacing * (kKicks + 1));
  for (int k = 1; k <= kKicks; ++k) MessageAt(msgPressureKick, k * kSpacing);
  const auto got = Highlights(kSpacing * (kKicks + 1));
  ASSERT_EQ(got.size(), 50u);
  EXPECT_EQ(got[49], (Window{50 * kSpacing - 50, 50 * kSpacing + 200, msgPressureKick}));

  // A thousand short line breaks make candidates that are all dropped; a
  // try after them is not looked at.
  for (int breaks : {999, 1000}) {
    ResetReplayStore(kFrames);
    States(290, 290, gsScrum);
    States(310, 310, gsScrum);
    for (int k = 1; k <= breaks; ++k) MessageAt(msgLineBreak, 300);
    MessageAt(msgTry, 600);
    EXPECT_EQ(Highlights(kFrames).size(), breaks == 999 ? 1u : 0u) << breaks;
  }
}

TEST_F(ReplayPostProcessingTest, AMessageAfterTheLastFrameTakesTheLastFrame) {
  ResetReplayStore(kFrames);              // open play from frame 1 to 39.96 s
  AddMessage(msgTry, 10, 0, 40.0f);       // 10 s back from the last frame
  AddMessage(msgLineBreak, 10, 0, 40.0f); // no frame at or after it: dropped
  EXPECT_EQ(Highlights(kFrames), (std::vector<Window>{{751, kFrames, msgTry}}));
}
