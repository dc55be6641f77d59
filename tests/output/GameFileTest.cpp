#include "output/GameFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "app/FrameSteps.h"
#include "app/MainUnit.h"
#include "core/DrawCount.h"
#include "core/EngineError.h"
#include "core/FloatFlags.h"
#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/RunContext.h"
#include "core/StrategyShapes.h"
#include "core/WorldDefaults.h"
#include "output/CsvFields.h"
#include "output/MatchSummary.h"
#include "output/OutputUnit.h"
#include "output/WebSubmission.h"
#include "setup/AnimationCatalogue.h"

namespace {

constexpr i32 kHome = 101;
constexpr i32 kAway = 202;
constexpr u32 kSeed = 4711;
constexpr int kAnim = 7;  // catalogue entry of the test animation, 40 frames long

// Draws of a whole file: 10 seeds; per team and half 6 + 4 + 3 + 4 + 3 + 3
// strategy lines of 2 draws; 22 player lines of 2 per team; 2 per
// submission line.
constexpr int kFileDraws = 10 + 2 * 2 * 23 * 2 + 2 * 22 * 2 + 2 * 2;

// The marker lines, in order.
std::vector<std::string> Markers(const std::vector<std::string>& lines) {
  std::vector<std::string> m;
  for (const std::string& l : lines)
    if (l.rfind("//", 0) == 0) m.push_back(l);
  return m;
}

// The data lines of a section; a test failure when it is missing.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& marker) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != marker) continue;
    std::vector<std::string> data;
    for (size_t j = i + 1; j < lines.size(); ++j) {
      if (lines[j] == marker + " ends") return data;
      data.push_back(lines[j]);
    }
  }
  ADD_FAILURE() << "no section " << marker;
  return {};
}

// Every one of the file's `count` lines ends in CR LF, the last included,
// and no LF stands alone.
void ExpectCrLfLines(const std::string& bytes, size_t count) {
  size_t crlf = 0, lf = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    lf += bytes[i] == '\n';
    crlf += bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r';
  }
  EXPECT_EQ(crlf, count);
  EXPECT_EQ(lf, count);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

class GameFileTest : public ::testing::Test {
 protected:
  RunFolder run{false};
  f32 savedScale = 0;
  f32 savedLength = 0;
  i32 savedPlayers = 0;
  i32 savedHalfTime = 0;
  u32 savedSeed = 0;
  // The highest frame slot a test writes itself. The store's own clear at a
  // run's start reaches only the slots its counters cover, so these are
  // cleared here: a stale animation index there made the next run's finish
  // convert frames it never recorded.
  int slotsWritten = 0;

  void SetUp() override {
    run.UseAsRunContext();
    FileSuffix = "_g1";
    savedScale = PositionScale;
    savedLength = AnimLengths[kAnim];
    savedPlayers = World.PlayersPerTeam;
    savedHalfTime = HalfTimeFrame;
    savedSeed = RandSeed;
    PositionScale = 50.0f;
    AnimLengths[kAnim] = 40.0f;
    World.PlayersPerTeam = 15;
    TMatchStore& S = MatchStore;
    S.MatchInfo = TMatchInfo{};
    S.MessageCountCopy = 0;
    S.AnimFrameCount = 0;
    S.HighlightCount = 0;
    S.ReplayQuantum = 10;
    HalfTimeFrame = kFrameCapacity + 1;
    MatchStats = TMatchStats{};
    MatchSummary = TMatchSummary{};
    for (int t = 1; t <= 2; ++t) {
      FieldStrategy[t] = TFieldStrategy{};
      for (TFieldStrategyHalf* h : {&FieldStrategy[t].Normal, &FieldStrategy[t].CatchUp})
        for (int f = 1; f <= kOptionFamilyCount; ++f) h->Families[f].OptionCount = static_cast<i16>(kOptionCounts[f - 1]);
    }
    Team(1).teamid = kHome;
    Team(2).teamid = kAway;
    Team(1).jerseyid.Assign("7");
    Team(2).jerseyid.Assign("12");
    RandSeed = kSeed;
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  void TearDown() override {
    FileSuffix.clear();
    PositionScale = savedScale;
    AnimLengths[kAnim] = savedLength;
    World.PlayersPerTeam = savedPlayers;
    HalfTimeFrame = savedHalfTime;
    RandSeed = savedSeed;
    MatchStore.AnimFrameCount = std::max(MatchStore.AnimFrameCount, slotsWritten);
    ClearMatchStore();
    MatchStats = TMatchStats{};
    MatchSummary = TMatchSummary{};
    for (TFieldStrategy& f : FieldStrategy) f = TFieldStrategy{};
  }

  static TTeamInfo& Team(int t) { return MatchStore.MatchInfo.Team[t]; }

  // Writes the file; the lines without their CR LF.
  std::vector<std::string> Write() {
    WriteGameFile();
    EXPECT_FALSE(FloatErrorRaised());
    return run.Lines("output/game_g1.txt");
  }
  // Frame slot n at recording time `time` with match team 1 in block 1 or 2.
  void Frame(int n, f32 time, bool team1InBlock1 = true) {
    slotsWritten = std::max(slotsWritten, n);
    TMatchStore& S = MatchStore;
    S.FrameTimes[n] = time;
    S.FrameClock[n] = time;
    S.FrameTeam1InFirstBlock[n] = team1InBlock1 ? kTrue32 : kFalse32;
    S.FramePointOfInterest[n] = {0, 0};
    S.FrameBallPos[n] = {0, 0, 0};
    S.FrameBallAngles[n] = {0, 0, 0};
    for (int b = 1; b <= 2; ++b)
      for (int p = 1; p <= kTrackPlayers; ++p) {
        TPlayerTrack& track = S.PlayerTracks[b][p];
        track.Pos[n] = {static_cast<i16>(b * 100 + p), 0, 0};
        track.Heading[n] = 0;
        track.AnimIndex[n] = kAnim;
        track.AnimFrame[n] = 0;
      }
  }
  static void Post(i32 team, u8 type, f32 time = 1.0f, f32 extra = 0.0f, i32 player = 9) {
    const int n = ++MatchStore.MessageCountCopy;
    MatchStore.Messages[n] = TMatchMessage{team, player, time, type, extra};
  }
};

TEST_F(GameFileTest, TheSectionsFollowInOrderAndTheOptionalOnesAreLeftOut) {
  const std::vector<std::string> lines = Write();
  const std::vector<std::string> expected = {
      "//randseeds", "//randseeds ends", "//general match info", "//general match info ends",
      "//team1 team data", "//team1 team data ends", "//team2 team data", "//team2 team data ends",
      "//team1 strategy data", "//team1 strategy data ends", "//team2 strategy data", "//team2 strategy data ends",
      "//team1 player data", "//team1 player data ends", "//team2 player data", "//team2 player data ends",
      "//team1 team stats", "//team1 team stats ends", "//team2 team stats", "//team2 team stats ends",
      "//team1 player stats", "//team1 player stats ends", "//team2 player stats", "//team2 player stats ends",
      "//web submission data", "//web submission data ends", "//frame data", "//frame data ends",
      "//message data", "//message data ends", "//numframes,0", "//nummessages,0"};
  EXPECT_EQ(Markers(lines), expected);
  EXPECT_EQ(Section(lines, "//randseeds").size(), 1u);
  EXPECT_EQ(Split(Section(lines, "//general match info")[0]).size(), 10u);
  EXPECT_EQ(Section(lines, "//team1 strategy data").size(), 46u);
  EXPECT_EQ(Section(lines, "//team2 player data").size(), 22u);
  EXPECT_EQ(Section(lines, "//web submission data").size(), 4u);
  // CR LF after every line, the last included, and nothing else.
  ExpectCrLfLines(run.Read("output/game_g1.txt"), lines.size());
}

TEST_F(GameFileTest, KitsFlagsHighlightsAndTheAcademyReportAppearWhenTheyApply) {
  MatchStore.MatchInfo.matchtype = mtAcademy;
  for (int k = 0; k <= 13; ++k) {
    KitText(Team(1), k).Assign("a" + std::to_string(k));
    KitText(Team(2), k).Assign("b" + std::to_string(k));
  }
  KitText(Team(1), 11).Assign("");  // custjerseyother
  Team(2).custflag.Assign("flag");
  Team(2).custflagfile.Assign("flag.png");
  Frame(1, 0.0f);
  Frame(2, 0.04f);
  Frame(3, 0.08f);
  MatchStore.FrameTimes[2] = 1.234567f;
  MatchStore.FrameTimes[3] = 2.5f;
  MatchStore.AnimFrameCount = 3;
  MatchStore.HighlightCount = 1;
  MatchStore.Highlights[1] = {2, 3, msgTry};
  TScoutEntry& e = MatchSummary.ScoutReport[3];
  e.teamid = kAway;
  e.playerid = 77;
  e.jerseynum = 5;
  e.speed = 60;
  e.leadership = 41;
  const std::vector<std::string> lines = Write();
  const std::vector<std::string> markers = Markers(lines);
  const std::vector<std::string> tail(markers.end() - 8, markers.end());
  const std::vector<std::string> expectedTail = {"//message data", "//message data ends", "//highlights",
                                                 "//highlights ends", "//academy report", "//academy report ends",
                                                 "//numframes,3", "//nummessages,0"};
  EXPECT_EQ(tail, expectedTail);
  const std::vector<std::string> middle(markers.begin() + 8, markers.begin() + 16);
  const std::vector<std::string> expectedMiddle = {"//team1 cust jersey", "//team1 cust jersey ends",
                                                   "//team2 cust jersey", "//team2 cust jersey ends",
                                                   "//team2 cust flag",   "//team2 cust flag ends",
                                                   "//team1 strategy data", "//team1 strategy data ends"};
  EXPECT_EQ(middle, expectedMiddle);
  const std::vector<std::string> jersey1 = Section(lines, "//team1 cust jersey");
  ASSERT_EQ(jersey1.size(), 11u);  // no custjerseyother: no last three lines
  EXPECT_EQ(jersey1[10], "a10");
  const std::vector<std::string> jersey2 = Section(lines, "//team2 cust jersey");
  ASSERT_EQ(jersey2.size(), 14u);
  EXPECT_EQ(jersey2[13], "b13");
  EXPECT_EQ(Section(lines, "//team2 cust flag"), (std::vector<std::string>{"flag", "flag.png"}));
  EXPECT_EQ(Section(lines, "//highlights"), std::vector<std::string>{"1.23457,2.50000"});
  const std::vector<std::string> report = Section(lines, "//academy report");
  ASSERT_EQ(report.size(), 22u);
  const std::vector<std::string> entry = Split(report[2]);
  ASSERT_EQ(entry.size(), 27u);
  EXPECT_EQ(entry[0], "202");
  EXPECT_EQ(entry[1], "77");
  EXPECT_EQ(entry[2], "5");
  EXPECT_EQ(entry[3], "60");   // speed
  EXPECT_EQ(entry[26], "41");  // leadership
}

TEST_F(GameFileTest, DrawsInFileOrder) {
  const std::vector<std::string> lines = Write();
  EXPECT_EQ(DrawsSince(kSeed), kFileDraws);
  RandSeed = kSeed;
  std::string seeds;
  for (int k = 1; k <= 10; ++k) seeds += (k > 1 ? "," : "") + std::to_string(RandomRange(1, 101));
  EXPECT_EQ(Section(lines, "//randseeds")[0], seeds);
  // The two submission lines' A and B are the last four draws.
  RandSeed = SeedAfter(kSeed, kFileDraws - 4);
  const std::vector<std::string> web = Section(lines, "//web submission data");
  for (int t = 0; t < 2; ++t) {
    const std::vector<std::string> f = Split(web[static_cast<size_t>(2 * t)]);
    ASSERT_EQ(f.size(), 96u);
    EXPECT_EQ(f[93], std::to_string(RandomRange(1, 101)));
    EXPECT_EQ(f[94], std::to_string(RandomRange(1, 16)));
    EXPECT_EQ(web[static_cast<size_t>(2 * t + 1)], CheckLine(web[static_cast<size_t>(2 * t)]));
  }
}

TEST_F(GameFileTest, TeamDataTakesTheHomeSideAndTheAcademyKits) {
  const struct {
    const char *name1, *name2;
    bool team1Home;
    const char *kit1, *kit2, *home1, *home2;
  } cases[] = {
      {"Rams", "Bulls", true, "7", "12", "1", "2"},
      {"Rams", "Bulls", false, "7", "12", "2", "1"},
      {"Academy", "Bulls", true, "greenbib", "orangebib", "1", "2"},
      {"Rams", "Academy", true, "orangebib", "greenbib", "1", "2"},
      {"Academy", "Academy", true, "greenbib", "greenbib", "1", "2"},
      {"academy", "Bulls", true, "7", "12", "1", "2"},
  };
  for (const auto& c : cases) {
    Team(1).teamname.Assign(c.name1);
    Team(2).teamname.Assign(c.name2);
    Team(1).homeaway = c.team1Home ? kTrue32 : kFalse32;
    Team(2).homeaway = kFalse32;
    const std::vector<std::string> lines = Write();
    const std::vector<std::string> t1 = Split(Section(lines, "//team1 team data")[0]);
    const std::vector<std::string> t2 = Split(Section(lines, "//team2 team data")[0]);
    ASSERT_EQ(t1.size(), 13u);
    ASSERT_EQ(t2.size(), 13u);
    const std::string what = std::string(c.name1) + " v " + c.name2;
    EXPECT_EQ(t1[0], "1") << what;
    EXPECT_EQ(t1[1], "101") << what;
    EXPECT_EQ(t1[4], c.home1) << what;
    EXPECT_EQ(t2[4], c.home2) << what;
    EXPECT_EQ(t1[5], c.kit1) << what;
    EXPECT_EQ(t2[5], c.kit2) << what;
  }
}

TEST_F(GameFileTest, StrategyLinesScrambleSixValuesWithTheirOwnAAndB) {
  TFieldStrategyHalf& h = FieldStrategy[2].CatchUp;
  for (int z = 1; z <= 6; ++z)
    for (int j = 1; j <= 6; ++j) h.Families[1].Weights[z][j] = static_cast<i16>(10 * z + j);
  h.Families[1].Weights[7][1] = 999;  // zone 7 is beyond the family's count of 6
  const f32 ruck[6] = {0, 1, 2, 0.4f, 1.6f, 2.5f};
  for (int z = 1; z <= 6; ++z) {
    h.OpenPlayStrategy[z] = static_cast<f32>(z % 3 + 1);
    h.LineSpeed[z] = 2.5f;
    h.RuckNumAttack[z] = ruck[z - 1];
    h.RuckNumDef[z] = 2.0f;
  }
  h.Families[2].Weights[3][3] = 55;
  const std::vector<std::string> lines = Section(Write(), "//team2 strategy data");
  ASSERT_EQ(lines.size(), 46u);
  // Decodes line k of the catch-up half (from 0).
  auto decoded = [&](int k) {
    const std::vector<std::string> f = Split(lines[static_cast<size_t>(23 + k)]);
    EXPECT_EQ(f.size(), 8u);
    const i32 a = std::stoi(f[6]), b = std::stoi(f[7]);
    EXPECT_TRUE(a >= 1 && a <= 20 && b >= 1 && b <= 15) << a << " " << b;
    std::vector<i32> v;
    for (int j = 0; j < 6; ++j) v.push_back(ScrambleStatValue(std::stoi(f[static_cast<size_t>(j)]), a, b, false));
    return v;
  };
  EXPECT_EQ(decoded(0), (std::vector<i32>{11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(decoded(5), (std::vector<i32>{61, 62, 63, 64, 65, 66}));
  EXPECT_EQ(decoded(6), (std::vector<i32>{2, 3, 1, 2, 3, 1}));  // backline depth
  EXPECT_EQ(decoded(7), (std::vector<i32>{2, 2, 2, 2, 2, 2}));  // line speed 2.5 rounds to 2
  EXPECT_EQ(decoded(8), (std::vector<i32>{1, 2, 3, 1, 3, 3}));  // ruck codes: 2.5 rounds to 2
  EXPECT_EQ(decoded(9), (std::vector<i32>{3, 3, 3, 3, 3, 3}));
  EXPECT_EQ(decoded(12), (std::vector<i32>{0, 0, 55, 0, 0, 0}));  // kick return, zone 3 of 3
}

TEST_F(GameFileTest, PlayerLinesHoldTheSquadAndScrambledRatings) {
  TSquadPlayer& q = Team(1).Squad[2];
  q.playerid = 5001;
  q.firstname.Assign("Ann");
  q.appearance.Assign("aaaaaaaaaaaaaaaaaaaaaaaaaaaaac");  // 30 characters: "c" is 19
  q.jerseynum = 2;
  q.height = 180;
  q.bodyfat = 14;
  q.player_image_file.Assign("p.png");
  q.prefposition.Assign("hooker");
  TPlayerStats& r = MatchStats.PlayerStats[1][2];
  r.speed = 70.5f;
  r.leadership = 33.0f;
  r.ExtraValue1 = -1.0f;
  r.ExtraValue2 = 2.0625f;
  r.user.Assign("coach");
  r.trycelebration = 4.5f;
  MatchSummary.Players[1][2].PositionRating = 88;
  Team(1).Squad[3].appearance.Assign("short");
  const std::vector<std::string> lines = Section(Write(), "//team1 player data");
  ASSERT_EQ(lines.size(), 22u);
  const std::vector<std::string> f = Split(lines[1]);
  ASSERT_EQ(f.size(), 46u);
  EXPECT_EQ(f[0], "Ann");
  EXPECT_EQ(f[3], "2");
  EXPECT_EQ(f[4], "180");
  EXPECT_EQ(f[6], "19");
  EXPECT_EQ(f[7], "5001");
  const i32 a = std::stoi(f[41]), b = std::stoi(f[42]);
  EXPECT_TRUE(a >= 1 && a <= 100 && b >= 1 && b <= 15);
  EXPECT_EQ(ScrambleStatValue(std::stoi(f[8]), a, b, false), 14);   // bodyfat
  EXPECT_EQ(ScrambleStatValue(std::stoi(f[9]), a, b, false), 70);   // speed, halves to even
  EXPECT_EQ(ScrambleStatValue(std::stoi(f[33]), a, b, false), 33);  // leadership
  EXPECT_EQ(f[34], "-1.000");
  EXPECT_EQ(f[35], "2.063");  // a tie away from zero
  EXPECT_EQ(f[36] + f[37] + f[38], "");
  EXPECT_EQ(f[39], "coach");
  EXPECT_EQ(ScrambleStatValue(std::stoi(f[40]), a, b, false), 88);  // PositionRating
  EXPECT_EQ(f[43], "4");
  EXPECT_EQ(f[44], "p.png");
  EXPECT_EQ(f[45], "hooker");
  EXPECT_EQ(Split(lines[2])[6], "18");  // an appearance of fewer than 30 characters
}

TEST_F(GameFileTest, TeamStatsNameTheManOfTheMatchTeamAndPlayerStatsTakeSlotOne) {
  MatchSummary.TeamFigures[2].score = 21;
  MatchSummary.TeamFigures[2].redzonetime = 300;
  MatchSummary.Players[2][1].performanceratingraw = 10.25f;
  MatchSummary.Players[2][1].performancerating = -0.04f;
  MatchSummary.Players[2][1].MinutesPlayed = 80;
  MatchSummary.Players[2][1].carries = 6;
  MatchSummary.Players[2][1].scrumpenaltiesdef = 2;
  MatchSummary.Players[2][2].carries = 99;  // slot 2 is never written
  const struct {
    i32 motm;
    const char *team1, *team2;
  } cases[] = {{kHome, "true", "false"}, {kAway, "false", "true"}, {0, "false", "true"}};
  for (const auto& c : cases) {
    MatchStore.MatchInfo.MotmTeamId = c.motm;
    const std::vector<std::string> lines = Write();
    const std::vector<std::string> t1 = Split(Section(lines, "//team1 team stats")[0]);
    const std::vector<std::string> t2 = Split(Section(lines, "//team2 team stats")[0]);
    ASSERT_EQ(t2.size(), 22u);
    EXPECT_EQ(t1[0], c.team1) << c.motm;
    EXPECT_EQ(t2[0], c.team2) << c.motm;
    EXPECT_EQ(t2[1], "21");
    EXPECT_EQ(t2[21], "300");
    const std::vector<std::string> p = Section(lines, "//team2 player stats");
    ASSERT_EQ(p.size(), 1u);
    std::string expected = "10.3,0.0,80,6";  // 10.25 away from zero; -0.04 gives no minus sign
    for (int k = 0; k < 36; ++k) expected += ",0";
    EXPECT_EQ(p[0], expected + ",2");
  }
}

TEST_F(GameFileTest, FrameLinesSkipFramesWithin40msAndTurnThePointOfInterest) {
  Frame(1, 0.0f);
  Frame(2, 0.03f);  // skipped: less than 0.04 s after slot 1
  Frame(3, 0.05f);
  Frame(4, 0.2f, false);
  Frame(5, 0.24f);  // written: as 32-bit floats 0.24 lies a rounding step below 0.2 + 0.04
  Frame(6, 0.28f);
  Frame(7, 0.30f);  // within 0.04 s of the last written slot: the walk has ended
  MatchStore.AnimFrameCount = 7;
  HalfTimeFrame = 6;
  TMatchStore& S = MatchStore;
  S.FramePointOfInterest[6] = {500.0f, -250.0f};  // x +10 m, z -5 m, second half, team 1 in block 1
  S.FramePointOfInterest[4] = {500.0f, 0.0f};     // first half, team 1 in block 2
  S.FrameBallPos[3] = {25, 50, -75};
  S.FrameBallAngles[3] = {-57, 295, 12};
  S.FrameClock[3] = 754.5f;
  S.PlayerTracks[1][1].Heading[3] = 270;
  S.PlayerTracks[1][1].AnimFrame[3] = 200;  // 20 of 40 frames: 50 per cent
  const std::vector<std::string> lines = Write();
  const std::vector<std::string> frames = Section(lines, "//frame data");
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(Markers(lines).end()[-2], "//numframes,5");
  std::vector<std::vector<std::string>> f;
  for (const std::string& l : frames) f.push_back(Split(l));
  for (const auto& v : f) {
    ASSERT_EQ(v.size(), 161u);  // 160 values, each followed by ","
    EXPECT_EQ(v.back(), "");
  }
  EXPECT_EQ(f[0][0], "0");
  EXPECT_EQ(f[1][0], "50");
  EXPECT_EQ(f[2][0], "200");
  EXPECT_EQ(f[3][0], "240");
  EXPECT_EQ(f[4][0], "280");
  // Slot 3: team 1 (block 1) player 1, then team 2's first player from value 77.
  EXPECT_EQ(f[1][1], "202");  // x 101 units: 202 cm
  EXPECT_EQ(f[1][3], "270");
  EXPECT_EQ(f[1][4], std::to_string(kAnim));
  EXPECT_EQ(f[1][5], "50");
  EXPECT_EQ(f[1][76], "402");  // block 2, player 1: x 201 units
  EXPECT_EQ(f[1][151], "50");
  EXPECT_EQ(f[1][152], "100");
  EXPECT_EQ(f[1][153], "-150");
  EXPECT_EQ(f[1][154], "-57");
  EXPECT_EQ(f[1][155], "295");
  EXPECT_EQ(f[1][156], "12");
  EXPECT_EQ(f[1][159], "754");  // halves to even
  // Slot 4: team 1 held block 2, so its players come from block 2 and the
  // point of interest is negated.
  EXPECT_EQ(f[2][1], "402");
  EXPECT_EQ(f[2][76], "202");
  EXPECT_EQ(f[2][157], "-1000");
  // Slot 6: second half with team 1 in block 1.
  EXPECT_EQ(f[4][157], "-1000");
  EXPECT_EQ(f[4][158], "500");
}

// A recording clock summed in 32-bit floats lands now above, now a rounding
// step below each multiple of its step: at 0.04 s every frame is written, at
// shorter steps at most one a 0.04 s.
TEST_F(GameFileTest, TheWalkOverA32BitRecordingClockWritesOneFrameEach004Seconds) {
  struct Case {
    f32 step;  // s
    int every;  // every how many slots one is written
  } cases[] = {{0.04f, 1}, {0.02f, 2}, {0.03f, 2}};
  constexpr int kFrames = 120000;
  TMatchStore& S = MatchStore;
  slotsWritten = kFrames;
  for (const Case& c : cases) {
    f32 clock = 0.0f;
    for (int n = 1; n <= kFrames; ++n) {
      S.FrameTimes[n] = clock;
      clock = static_cast<f32>(static_cast<double>(clock) + c.step);
    }
    S.AnimFrameCount = kFrames;
    TFrameWalk walk(S);
    int lines = 0, expected = 1;
    for (int n = walk.Next(); n != 0; n = walk.Next()) {
      ASSERT_EQ(n, expected) << c.step;
      expected += c.every;
      ++lines;
    }
    EXPECT_EQ(lines, kFrames / c.every) << c.step;
    EXPECT_EQ(walk.Next(), 0);
  }
  S.AnimFrameCount = 0;
  EXPECT_EQ(TFrameWalk(S).Next(), 0);
}

TEST_F(GameFileTest, MessageLinesHoldTheListedTypesOnly) {
  Post(kHome, msgTry, 12.3456f, 1.0f, 4);
  for (const u8 type : {40, 41, 42, 48, 2, 3, 109}) Post(kAway, type);
  Post(kAway, 108, 0.0005f, -2.5f, 6);  // 0.0005f lies above 0.0005: 1 ms
  Post(555, 0);  // a third team writes side 2
  const std::vector<std::string> lines = Write();
  const std::vector<std::string> expected = {"1,4,12346,18,1000,", "2,6,1,108,-2500,", "2,9,1000,0,0,"};
  EXPECT_EQ(Section(lines, "//message data"), expected);
  EXPECT_EQ(lines.back(), "//nummessages,3");
  int listed = 0;
  for (int type = 0; type <= 255; ++type) listed += IsGameFileMessage(static_cast<u8>(type));
  EXPECT_EQ(listed, 34);
}

TEST_F(GameFileTest, AFileThatCannotBeCreatedRaisesAndLeavesTheCurrentDirectory) {
  std::filesystem::create_directories(run.Output("game_g1.txt"));
  const std::filesystem::path before = std::filesystem::current_path();
  EXPECT_THROW(WriteGameFile(), EEngineError);
  EXPECT_EQ(std::filesystem::current_path(), before);
  std::filesystem::remove(run.Output("game_g1.txt"));
  Write();
  EXPECT_EQ(std::filesystem::current_path().string() + "/", run.Dir());
}

class GameFileRunTest : public ::testing::Test {
 protected:
  RunFolder run;
  void SetUp() override {
    ResetFrameSteps();
    run.Write("csvinput/internetinit/dummyOutputOnly.txt", "");
  }
};

TEST_F(GameFileRunTest, ADummyRunWritesTheFourOutputFilesWithTheRunsSuffix) {
  ASSERT_EQ(RunProgram(), 0);
  const std::string name = "output/game" + FileSuffix + ".txt";
  ASSERT_EQ(FileSuffix, "_example01");
  const std::vector<std::string> lines = run.Lines(name);
  ASSERT_GT(lines.size(), 200u);
  EXPECT_EQ(lines.front(), "//randseeds");
  EXPECT_EQ(lines.end()[-2].rfind("//numframes,", 0), 0u);
  const std::vector<std::string> web = Section(lines, "//web submission data");
  ASSERT_EQ(web.size(), 4u);
  EXPECT_EQ(web[1], CheckLine(web[0]));
  EXPECT_EQ(Section(lines, "//team2 player data").size(), 22u);
  ExpectCrLfLines(run.Read(name), lines.size());
  for (const char* other : {"eventlist", "playerInternet", "teamInternet"}) {
    const std::string file = "output/" + std::string(other) + FileSuffix + ".csv";
    ExpectCrLfLines(run.Read(file), run.Lines(file).size());
  }
}

}  // namespace
