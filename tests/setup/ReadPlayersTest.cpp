#include "setup/ReadPlayers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/EngineError.h"
#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "core/UDPRealtime.h"
#include "core/WorldDefaults.h"
#include "platform/Form.h"
#include "setup/ReadMatchAndTeams.h"

namespace {

const std::vector<std::string> kRatingColumns = {
    "speed",    "acceleration", "awareness", "discipline", "fitness",     "tackling",    "agility",
    "elusiveness", "fend",      "breaktackle", "strength", "handling",    "highball",    "lineoutjumping",
    "lineoutthrow", "rucking",  "scrummaging", "form",     "passing",     "kicking",     "goalkicking",
    "finesse",  "injury",       "offloads",  "bodyfat",    "leadership"};

// A players.csv built column by column: every row gets a value for every
// column, from the row itself or from the table's defaults.
class PlayersCsv {
 public:
  PlayersCsv(std::vector<std::string> columns, std::map<std::string, std::string> defaults)
      : columns_(std::move(columns)), defaults_(std::move(defaults)) {}

  // Every key of the reader, ratings at 50, for team 11 (which kicks off).
  static PlayersCsv Full() {
    std::vector<std::string> columns = {"teamid",   "kickoffteamid", "playernum", "playerid", "firstname",
                                        "surname",  "prefposition",  "jerseynum", "age",      "height",
                                        "width",    "weight",        "trycelebration", "appearance",
                                        "player_image_file", "user", "stadiumid", "matchtype",
                                        "winnerifdrawteamid"};
    std::map<std::string, std::string> defaults = {
        {"teamid", "11"},   {"kickoffteamid", "11"}, {"playernum", "1"},   {"playerid", "1001"},
        {"firstname", "Kit"}, {"surname", "Thorne"}, {"prefposition", "wing"}, {"jerseynum", "14"},
        {"age", "25"},      {"height", "195"},       {"width", "50"},      {"weight", "110"},
        {"trycelebration", "5"}, {"appearance", "abcdefghijklmnopqrstuvwxyzabcd"},
        {"player_image_file", "p.png"}, {"user", ""},
        // With these the match reader stops at the first row of the second team.
        {"stadiumid", "S1"}, {"matchtype", "league"}, {"winnerifdrawteamid", "0"}};
    for (const std::string& r : kRatingColumns) {
      columns.push_back(r);
      defaults[r] = "50";
    }
    return PlayersCsv(columns, defaults);
  }

  PlayersCsv& Row(const std::map<std::string, std::string>& values) {
    std::string line;
    for (size_t c = 0; c < columns_.size(); ++c) {
      const auto v = values.find(columns_[c]);
      line += (c ? "," : "") + (v != values.end() ? v->second : defaults_[columns_[c]]);
    }
    rows_.push_back(line);
    return *this;
  }
  PlayersCsv& Add(const std::string& column, const std::string& value) {
    columns_.push_back(column);
    defaults_[column] = value;
    return *this;
  }
  std::string Text() const {
    std::string text;
    for (size_t c = 0; c < columns_.size(); ++c) text += (c ? "," : "") + columns_[c];
    text += "\r\n";
    for (const std::string& row : rows_) text += row + "\r\n";
    return text;
  }

 private:
  std::vector<std::string> columns_;
  std::map<std::string, std::string> defaults_;
  std::vector<std::string> rows_;
};

class ReadPlayersTest : public ::testing::Test {
 protected:
  RunFolder run{false};

  void SetUp() override {
    ExeDir = run.Dir();
    InitialiseWorld(World);
    std::memset(&MatchStore.MatchInfo, 0, sizeof MatchStore.MatchInfo);
    std::memset(&MatchStats, 0, sizeof MatchStats);
    Form1.Reset();
    UDPRealtime.Active = kFalse32;
    UDPRealtime.AuxMode = kFalse32;
    RandSeed = 777;
  }
  void TearDown() override {
    UDPRealtime.Active = kFalse32;
    UDPRealtime.AuxMode = kFalse32;
  }

  void Read(const PlayersCsv& csv) const {
    run.Write("csvinput/internetinit/players.csv", csv.Text());
    ReadMatchAndTeams();
    ReadPlayers();
  }
  // Reads and returns the error text, or "" when reading succeeds.
  std::string ReadError(const PlayersCsv& csv) const {
    try {
      Read(csv);
    } catch (const EEngineError& e) {
      return e.what();
    }
    return "";
  }
  static const TPlayer& Player(int side, int n) { return World.Teams[side].Players[n]; }
  static const TSquadPlayer& Squad(int side, int n) { return MatchStore.MatchInfo.Team[side].Squad[n]; }
  static const TPlayerStats& Stats(int side, int n) { return MatchStats.PlayerStats[side][n]; }
  static long YesLines() { return std::count(Form1.Memo2.Lines.begin(), Form1.Memo2.Lines.end(), "yes"); }
};

// Rows of team 11 with every rating at r, but awareness 0 and strength 50 so
// that neither the strength nor the leadership factor moves the values;
// weight 110 and height 1.95 m leave the weight and height steps out.
TEST_F(ReadPlayersTest, RatingsZeroFiftyAndHundredSpanTheRanges) {
  PlayersCsv csv = PlayersCsv::Full();
  const char* ratings[] = {"0", "50", "100"};
  for (int k = 0; k < 3; ++k) {
    std::map<std::string, std::string> row = {{"playernum", std::to_string(k + 1)}};
    for (const std::string& r : kRatingColumns) row[r] = ratings[k];
    row["awareness"] = "0";
    row["strength"] = "50";
    csv.Row(row);
  }
  csv.Row({{"teamid", "22"}});
  Read(csv);

  struct Expect {
    f32 maxspeed, jog, accel, slope, elusValue, kickDev1, kickDev2, goalDev1, goalDev2, ruck;
    i16 offload, breakdown, loJump, loThrow, fresh, tired, elusProb, tackle, bt, bt2, fend, catchP, hold, high,
        high2, injury;
  };
  const Expect key[] = {
      {4.75f, 3.5625f, 1.5f, -1.316f, 1, 15, 30, 10, 21, 0.97f, 1, 50, 1, 1, 60, 420, 1, 675, 1, 200, 200, 827, 790,
       400, 5, 100},
      // Ties round to even: 524.5, 475.5, 250.5, 175.5, 599.5, 908.5, 427.5.
      {7.375f, 5.53125f, 4.25f, -0.877333f, 250, 10, 17.5f, 7.5f, 12.5f, 0.885f, 263, 524, 463, 476, 240, 225, 250,
       835, 176, 600, 600, 908, 870, 675, 428, 55},
      {10.0f, 7.5f, 7.0f, -0.658f, 500, 5, 5, 5, 4, 0.8f, 525, 999, 925, 950, 420, 30, 500, 995, 350, 999, 999, 990,
       950, 950, 850, 10},
  };
  for (int k = 0; k < 3; ++k) {
    const TPlayer& p = Player(1, k + 1);
    const Expect& e = key[k];
    SCOPED_TRACE(ratings[k]);
    EXPECT_FLOAT_EQ(p.maxspeed, e.maxspeed);
    EXPECT_FLOAT_EQ(p.MaxSpeedNonFatigued, e.maxspeed);
    EXPECT_FLOAT_EQ(p.JogSpeed, e.jog);
    EXPECT_FLOAT_EQ(p.Acceleration, e.accel);
    EXPECT_FLOAT_EQ(p.AccelerationInit, e.accel);
    EXPECT_NEAR(p.SpeedLossSlope, e.slope, 1e-6);
    EXPECT_EQ(p.ElusivenessValue, e.elusValue);
    EXPECT_EQ(p.KickDeviation0, 0.0f);
    EXPECT_FLOAT_EQ(p.KickDeviation1, e.kickDev1);
    EXPECT_FLOAT_EQ(p.KickDeviation2, e.kickDev2);
    EXPECT_EQ(p.GoalKickDeviation0, 0.0f);
    EXPECT_FLOAT_EQ(p.GoalKickDeviation1, e.goalDev1);
    EXPECT_FLOAT_EQ(p.GoalKickDeviation2, e.goalDev2);
    EXPECT_FLOAT_EQ(p.RuckFactor.value, e.ruck);
    EXPECT_EQ(p.LookForOffloadProb, e.offload);
    EXPECT_EQ(p.BreakdownChance, e.breakdown);
    EXPECT_EQ(p.lineoutjumping, e.loJump);
    EXPECT_EQ(p.lineoutthrow, e.loThrow);
    EXPECT_EQ(p.FatigueFreshTime, e.fresh);
    EXPECT_EQ(p.FatigueTiredTime, e.tired);
    EXPECT_GE(p.FatigueTimer, e.fresh + 1.0f);
    EXPECT_LE(p.FatigueTimer, e.fresh + 5.0f);
    EXPECT_EQ(p.ElusivenessProb, e.elusProb);
    EXPECT_EQ(p.MakeTackleProb, e.tackle);
    EXPECT_EQ(p.BreakTackleProb, e.bt);
    EXPECT_EQ(p.BreakTackleProb2, e.bt2);
    EXPECT_EQ(p.fend, e.fend);
    EXPECT_EQ(p.CleanCatchProb, e.catchP);
    EXPECT_EQ(p.HoldBallOnContactProb, e.hold);
    EXPECT_EQ(p.HighBallProb, e.high);
    EXPECT_EQ(p.HighBallProb2, e.high2);
    EXPECT_EQ(p.injury, e.injury);
    EXPECT_EQ(p.agility, k * 50);
    EXPECT_EQ(p.finesse, k * 50);
    EXPECT_EQ(p.awareness, 0);
  }

  // The derived values, with A = 0 and S = 50 throughout.
  struct Derived {
    f32 pass, pass2, sdDir, sdLaunch, imag, kickSD, kickSpeed, goalSpeed, scrum, spreadSD;
    i16 kickProb, kickAcc, awareProb, discProb, jump, finesse, indisc;
  };
  const Derived derived[] = {
      {11.5f, 20, 7.452f, 4.86f, 1.0f, 6, 19, 27, 250, 0.3f, 200, 0, 324, 487, 1, 1, 200},
      {12.645f, 22.5f, 4.301f, 2.805f, 0.75f, 3.5f, 26.75f, 31, 750, 0.2f, 592, 235, 406, 560, 500, 100, 150},
      {13.79f, 25, 1.15f, 0.75f, 0.5f, 1, 34.5f, 35, 1250, 0.102f, 985, 585, 500, 634, 999, 200, 100},
  };
  for (int k = 0; k < 3; ++k) {
    const TPlayer& p = Player(1, k + 1);
    const Derived& e = derived[k];
    SCOPED_TRACE(ratings[k]);
    EXPECT_FLOAT_EQ(p.maxpassspeed, e.pass);
    EXPECT_FLOAT_EQ(p.maxpassspeed2, e.pass2);
    EXPECT_FLOAT_EQ(p.passAccuracySDDir, e.sdDir);
    EXPECT_FLOAT_EQ(p.passAccuracySDLaunch, e.sdLaunch);
    EXPECT_FLOAT_EQ(p.passImagAccuracyFactor, e.imag);
    EXPECT_FLOAT_EQ(p.kickAccuracySDDir, e.kickSD);
    EXPECT_FLOAT_EQ(p.kickAccuracySDLaunch, e.kickSD);
    EXPECT_FLOAT_EQ(p.MaxKickSpeed, e.kickSpeed);
    EXPECT_FLOAT_EQ(p.MaxGoalKickSpeed, e.goalSpeed);
    EXPECT_EQ(p.ScrumPower.mean, e.scrum);
    EXPECT_EQ(p.KickProb, e.kickProb);
    // Awareness 0 takes five steps off, finesse below 90 four more (r = 50).
    EXPECT_EQ(p.KickAccuracyProb, e.kickAcc);
    EXPECT_EQ(p.AwarenessProb, e.awareProb);
    EXPECT_EQ(p.DisciplineProb, e.discProb);
    EXPECT_EQ(p.LineoutJumpProb, e.jump);
    EXPECT_EQ(p.FinesseProb, e.finesse);
    EXPECT_EQ(p.IndisciplineProb, e.indisc);
    EXPECT_EQ(p.PassSpread.mean, -0.2f);
    EXPECT_FLOAT_EQ(p.PassSpread.sd, e.spreadSD);
    // The reaction times of awareness 0.
    EXPECT_FLOAT_EQ(p.RunningAngleReactionTime.mean, 0.8f);
    EXPECT_FLOAT_EQ(p.RunningAngleReactionTime.sd, 0.04f);
    EXPECT_FLOAT_EQ(p.DefensiveRunningAngleReactionTime.mean, 0.8f);
    EXPECT_FLOAT_EQ(p.DefensiveRunningAngleReactionTime.sd, 0.155f);
    EXPECT_FLOAT_EQ(p.DefensiveRunningAngleReactionTime.max, 0.5f);
    EXPECT_FLOAT_EQ(p.ReactionDelayA.value, 0.12f);
    EXPECT_FLOAT_EQ(p.ReactionDelayB.value, 0.15f);
    EXPECT_FLOAT_EQ(p.AwarenessReactionTime.mean, 0.8f);
    EXPECT_FLOAT_EQ(p.AwarenessReactionTime.sd, 0.075f);
    EXPECT_FLOAT_EQ(p.AwarenessReactionTime.max, 0.75f);
    EXPECT_EQ(p.AwarenessReactionTime.useMin, kTrue32);
    // Strength 50 and weight 110.
    EXPECT_FLOAT_EQ(p.StrengthScale.mean, 1.0f + 20.0f / 55.0f);
    EXPECT_FLOAT_EQ(p.StrengthChance.value, 0.255f);
    EXPECT_EQ(p.StrengthPower.mean, 650.0f);
    EXPECT_EQ(p.StrengthPower.max, 1025.0f);
    EXPECT_EQ(p.StrengthPower2.mean, 875.0f);
    EXPECT_EQ(p.StrengthPower2.min, 500.0f);
    EXPECT_EQ(p.StrengthPower2.max, 1250.0f);
    // Drawn from StrengthPower2's distribution.
    EXPECT_GE(p.StrengthPower.value, 500.0f);
    EXPECT_LE(p.StrengthPower.value, 1250.0f);
    EXPECT_EQ(p.SupportCommitProb, 250.0f);
  }
  // The ratings as read go to the statistics entry.
  EXPECT_EQ(Stats(1, 3).speed, 100.0f);
  EXPECT_EQ(Stats(1, 3).awareness, 0.0f);
  EXPECT_EQ(Stats(1, 2).leadership, 50.0f);
  EXPECT_EQ(Stats(1, 1).height, 195.0f);
  EXPECT_EQ(Stats(1, 1).ExtraValue1, -1.0f);
  EXPECT_EQ(Stats(1, 1).ExtraValue2, -1.0f);
}

// Strong, heavy, aware players and the captain's leadership on his side.
TEST_F(ReadPlayersTest, StrengthWeightHeightAndLeadershipSteps) {
  PlayersCsv csv = PlayersCsv::Full();
  csv.Add("captainid", "5005");
  const std::map<std::string, std::string> strong = {
      {"awareness", "100"}, {"strength", "100"}, {"weight", "120"}, {"height", "170"},
      {"lineoutjumping", "100"}, {"kicking", "100"}, {"finesse", "100"}, {"discipline", "100"}};
  auto with = [&](std::map<std::string, std::string> row) {
    row.insert(strong.begin(), strong.end());
    return row;
  };
  csv.Row(with({{"playernum", "1"}, {"playerid", "5005"}, {"leadership", "96"}}));  // the captain
  csv.Row(with({{"playernum", "2"}, {"playerid", "5006"}}));
  csv.Row({{"playernum", "3"}, {"weight", "79"}, {"strength", "40"}, {"awareness", "0"}});
  csv.Row({{"playernum", "4"}, {"weight", "92"}, {"strength", "40"}, {"awareness", "0"}});
  csv.Row(with({{"teamid", "22"}, {"playernum", "1"}, {"playerid", "5005"}, {"captainid", "9"}}));
  Read(csv);

  // L = 1 + 0.05 + 6 x 0.003 = 1.068 for the captain's side; strength 100
  // gives f1 = 1 + 0.1 x 50 / 49 and f2 = 1 + 0.025 x 50 / 49.
  const TPlayer& c = Player(1, 1);
  EXPECT_FLOAT_EQ(c.StrengthScale.mean, 2.1f + 30.0f / 55.0f);
  EXPECT_FLOAT_EQ(c.StrengthChance.value, 0.5f);
  EXPECT_EQ(c.LineoutJumpProb, 503);  // 999 x 0.7 x 0.8 x 0.9, rounded each time
  EXPECT_NEAR(c.ScrumPower.mean, 750 * 1.01 * 1.01 * 1.01 * 1.01 * 1.01, 1e-3);
  EXPECT_EQ(c.StrengthPower.mean, 1250.0f);
  EXPECT_EQ(c.StrengthPower.max, 1625.0f);
  EXPECT_EQ(c.BreakdownChance, 577);        // 524 x f1 = 577.47; no leadership step
  EXPECT_EQ(c.MakeTackleProb, 983);         // 835 x f1 -> 920, x 1.068 -> 983
  EXPECT_EQ(c.BreakTackleProb, 192);        // 176 x f2 -> 180, x 1.068 -> 192
  EXPECT_EQ(c.BreakTackleProb2, 706);       // 600 x f1 -> 661, x 1.068 -> 706
  EXPECT_EQ(c.fend, 706);
  EXPECT_EQ(c.ElusivenessValue, 268.0f);    // 250.5 x 1.068 -> 268
  EXPECT_EQ(c.ElusivenessProb, 267);
  EXPECT_EQ(c.HoldBallOnContactProb, 929);  // 870 x 1.068
  EXPECT_EQ(c.HighBallProb, 721);           // 675 x 1.068
  EXPECT_EQ(c.IndisciplineProb, 3);         // m within 1..100: 2.99 -> 3
  EXPECT_EQ(c.CleanCatchProb, 888);         // 908 + 300 x (1 - 1.068)
  EXPECT_EQ(c.KickAccuracyProb, 900);
  EXPECT_EQ(c.DisciplineProb, 975);
  EXPECT_EQ(c.AwarenessProb, 812);  // 999 with four 0.95 steps for highball 50
  EXPECT_FLOAT_EQ(c.RunningAngleReactionTime.mean, 0.2f);
  EXPECT_FLOAT_EQ(c.DefensiveRunningAngleReactionTime.sd, 0.01f);
  EXPECT_FLOAT_EQ(c.ReactionDelayA.value, 0.02f);
  EXPECT_FLOAT_EQ(c.ReactionDelayB.value, 0.05f);

  // A team-mate under the same captain; the other side's player has no
  // captain above 50 (only side 2's captain counts for him).
  EXPECT_EQ(Player(1, 2).MakeTackleProb, 983);
  EXPECT_EQ(Player(2, 1).MakeTackleProb, 966);  // 920 x 1.05

  // Light players: one weight class factor, 0.975 per weight step below 110.
  const TPlayer& light = Player(1, 3);
  EXPECT_EQ(light.ScrumPower.mean, 600.0f);  // 750 x 0.8
  EXPECT_NEAR(light.StrengthChance.value, 0.206 * 0.975 * 0.975 * 0.975 * 0.975 * 0.975 * 0.975, 1e-6);
  EXPECT_FLOAT_EQ(light.StrengthScale.mean, 1.0f);
  EXPECT_EQ(light.MakeTackleProb, 850);  // strength 40: only the captain's 1.018
  const TPlayer& mid = Player(1, 4);
  EXPECT_EQ(mid.ScrumPower.mean, 712.5f);  // 750 x 0.95
  EXPECT_NEAR(mid.StrengthChance.value, 0.206 * 0.975 * 0.975 * 0.975, 1e-6);
  EXPECT_NEAR(mid.StrengthScale.mean, 1.0 + 2.0 / 55.0, 1e-6);
}

// Each row pairs its leadership only with its own ids, even when the
// leadership column comes first: the player after the captain must not hand
// the captain his leadership.
TEST_F(ReadPlayersTest, CaptainLeadershipComesFromTheCaptainsOwnRow) {
  PlayersCsv csv({"leadership", "teamid", "playerid", "playernum", "captainid", "kickoffteamid", "tackling",
                  "stadiumid", "matchtype", "winnerifdrawteamid"},
                 {{"teamid", "11"}, {"captainid", "5005"}, {"kickoffteamid", "11"}, {"tackling", "50"},
                  {"stadiumid", "S1"}, {"matchtype", "league"}, {"winnerifdrawteamid", "0"}});
  csv.Row({{"leadership", "96"}, {"playerid", "5005"}, {"playernum", "1"}});
  csv.Row({{"leadership", "10"}, {"playerid", "5006"}, {"playernum", "2"}});
  csv.Row({{"leadership", "10"}, {"teamid", "22"}, {"playerid", "6001"}, {"playernum", "1"}});
  Read(csv);
  // Captain above all six steps: L = 1.018 with awareness 0, 835 -> 850.
  EXPECT_EQ(Player(1, 1).MakeTackleProb, 850);
  EXPECT_EQ(Player(1, 2).MakeTackleProb, 850);
  EXPECT_EQ(Player(2, 1).MakeTackleProb, 835);  // side 2 has no captain's leadership
}

// The reader's draws, in column order per row: the try celebration, the
// fatigue timer, then one clamped normal draw; nothing else.
TEST_F(ReadPlayersTest, RandomDrawsInOrderAndNumber) {
  PlayersCsv csv = PlayersCsv::Full();
  csv.Row({{"trycelebration", "1"}}).Row({{"teamid", "22"}});
  run.Write("csvinput/internetinit/players.csv", csv.Text());
  ReadMatchAndTeams();
  RandSeed = 4242;
  ReadPlayers();
  const u32 after = RandSeed;

  RandSeed = 4242;
  const i32 celebration = RandomRange(2, 17);
  const i32 fatigue1 = RandomRange(1, 6);
  const TDistribution& d1 = Player(1, 1).StrengthPower2;
  const f32 power1 = GaussianRandom(d1.mean, d1.sd, d1.min, d1.max, d1.useMin, d1.useMax);
  const i32 fatigue2 = RandomRange(1, 6);
  const TDistribution& d2 = Player(2, 1).StrengthPower2;
  const f32 power2 = GaussianRandom(d2.mean, d2.sd, d2.min, d2.max, d2.useMin, d2.useMax);
  EXPECT_EQ(RandSeed, after);
  EXPECT_EQ(Player(1, 1).trycelebration, celebration);
  EXPECT_EQ(Player(1, 1).FatigueTimer, 240.0f + fatigue1);  // fitness 50: fresh time 240
  EXPECT_EQ(Player(1, 1).StrengthPower.value, power1);
  EXPECT_EQ(Player(2, 1).FatigueTimer, 240.0f + fatigue2);
  EXPECT_EQ(Player(2, 1).StrengthPower.value, power2);
}

TEST_F(ReadPlayersTest, AcademySideFactorSlowsTheVisitorsOnly) {
  struct Case {
    const char* matchtype;
    const char* intensity;
    f32 visitorSpeed;
  };
  const Case cases[] = {{"academy", "low", 8.425f},
                        {"academy", "medium", 9.2125f},
                        {"academy", "high", 10.0f},
                        {"league", "low", 10.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.matchtype) + " " + c.intensity);
    PlayersCsv csv = PlayersCsv::Full();
    csv.Add("teamname", "Quarryhawks").Add("academyintensity", "");
    csv.Row({{"matchtype", c.matchtype}, {"speed", "100"}});
    csv.Row({{"matchtype", c.matchtype}, {"teamid", "22"}, {"teamname", "Youth Academy"}, {"speed", "100"},
             {"academyintensity", c.intensity}});
    Read(csv);
    EXPECT_EQ(Player(1, 1).maxspeed, c.visitorSpeed);
    EXPECT_EQ(Player(2, 1).maxspeed, 10.0f);
    EXPECT_EQ(Stats(1, 1).speed, 100.0f);  // as read, before the factor
  }
  // Low intensity scales acceleration, strength and injury too, whichever
  // side the visitors are.
  PlayersCsv csv = PlayersCsv::Full();
  csv.Add("teamname", "Youth Academy").Add("academyintensity", "low");
  csv.Row({{"matchtype", "academy"}, {"teamid", "22"}, {"teamname", "Quarryhawks"}, {"acceleration", "100"},
           {"injury", "100"}, {"strength", "100"}});
  csv.Row({});
  Read(csv);
  EXPECT_FLOAT_EQ(Player(2, 1).Acceleration, 1.5f + 5.5f * 0.7f);
  EXPECT_EQ(Player(2, 1).injury, 37);               // falling 10..100 at 70
  EXPECT_EQ(Player(2, 1).StrengthPower.mean, 890);  // rising 50..1250 at 70
}

TEST_F(ReadPlayersTest, SupportCommitChanceOfForwardsAndBacks) {
  const std::map<std::string, f32> cases = {{"prop", 1000}, {"hooker", 1000}, {"lock", 1000},
                                            {"loose forward", 1000}, {"wing", 500}, {"Prop", 500},
                                            {"prop ", 500}};
  PlayersCsv csv = PlayersCsv::Full();
  int n = 0;
  for (const auto& [position, chance] : cases) {
    csv.Row({{"playernum", std::to_string(++n)}, {"prefposition", position}, {"awareness", "100"}});
  }
  csv.Row({{"playernum", "20"}, {"prefposition", "prop"}, {"awareness", "50"}});
  csv.Row({{"teamid", "22"}});
  Read(csv);
  n = 0;
  for (const auto& [position, chance] : cases) {
    ++n;
    EXPECT_EQ(Player(1, n).SupportCommitProb, chance) << position;
    EXPECT_EQ(Squad(1, n).prefposition, position);
  }
  EXPECT_EQ(Player(1, 20).SupportCommitProb, 750.0f);
}

TEST_F(ReadPlayersTest, SquadEntriesSidesAndHeights) {
  // A squad entry from an earlier read must not survive as a player.
  MatchStore.MatchInfo.Team[1].Squad[9].playerid = 99;
  PlayersCsv csv = PlayersCsv::Full();
  csv.Row({{"playernum", "2"}, {"playerid", "1002"}, {"firstname", "Bram"}, {"surname", "Wakeling"},
           {"jerseynum", "2"}, {"height", "145"}, {"weight", "105"}, {"bodyfat", "13.5"},
           {"player_image_file", "p2.png"}, {"user", "coach_dunmore"}, {"age", "31"}, {"width", "52"}});
  csv.Row({{"playernum", "3"}, {"height", "260"}});
  csv.Row({{"teamid", "22"}, {"playernum", "7"}, {"playerid", "2007"}});
  csv.Row({{"teamid", "22"}, {"playernum", "7"}, {"playerid", "2008"}});  // overwrites
  csv.Row({{"teamid", "33"}, {"playernum", "8"}, {"playerid", "3008"}});  // neither side
  Read(csv);

  const TSquadPlayer& sq = Squad(1, 2);
  EXPECT_EQ(sq.playerid, 1002);
  EXPECT_EQ(Player(1, 2).id, 1002);
  EXPECT_EQ(sq.firstname, "Bram");
  EXPECT_EQ(sq.surname, "Wakeling");
  EXPECT_EQ(sq.jerseynum, 2);
  EXPECT_EQ(sq.height, 150);
  EXPECT_FLOAT_EQ(Player(1, 2).Height, 1.45f);  // the player keeps his height
  EXPECT_EQ(sq.weight, 105);
  EXPECT_EQ(Player(1, 2).Weight, 105.0f);
  EXPECT_EQ(sq.bodyfat, 14);
  EXPECT_EQ(sq.player_image_file, "p2.png");
  EXPECT_EQ(sq.prefposition, "wing");
  const TPlayerStats& st = Stats(1, 2);
  EXPECT_EQ(st.user, "coach_dunmore");
  EXPECT_EQ(st.Text1.len + st.Text2.len + st.Text3.len + st.Text5.len + st.Text6.len, 0);
  EXPECT_EQ(st.age, 31.0f);
  EXPECT_EQ(st.width, 52.0f);
  EXPECT_EQ(st.weight, 105.0f);
  EXPECT_EQ(st.bodyfat, 13.5f);
  EXPECT_EQ(st.height, 150.0f);
  EXPECT_EQ(Squad(1, 3).height, 250);
  EXPECT_EQ(Stats(1, 3).height, 250.0f);
  EXPECT_EQ(Stats(1, 3).user.len, 0);  // the next row's user is empty again

  EXPECT_EQ(Squad(2, 7).playerid, 2008);
  EXPECT_EQ(Player(2, 7).id, 2008);
  EXPECT_EQ(Squad(2, 8).playerid, 3008);
  EXPECT_EQ(Player(2, 8).id, 3008);
  EXPECT_EQ(Squad(1, 8).playerid, 0);

  // Entries that no row fills.
  for (int side = 1; side <= 2; ++side) {
    EXPECT_EQ(Squad(side, 9).playerid, 0);
    EXPECT_EQ(Squad(side, 9).height, 150);
    EXPECT_EQ(Stats(side, 9).height, 150.0f);
    EXPECT_EQ(Stats(side, 9).speed, 0.0f);
  }
}

TEST_F(ReadPlayersTest, TryCelebrationChoice) {
  struct Case {
    const char* value;
    bool drawn;
  };
  const Case cases[] = {{"0", true}, {"17", true}, {"1", true}, {"-4", true},
                        {"5", false}, {"2", false}, {"16", false}};
  PlayersCsv csv = PlayersCsv::Full();
  int n = 0;
  for (const Case& c : cases) csv.Row({{"playernum", std::to_string(++n)}, {"trycelebration", c.value}});
  csv.Row({{"teamid", "22"}});
  Read(csv);
  n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const TPlayer& p = Player(1, ++n);
    if (c.drawn) {
      EXPECT_GE(p.trycelebration, 2);
      EXPECT_LE(p.trycelebration, 16);
      EXPECT_EQ(p.TryCelebrationChosen, kFalse32);
    } else {
      EXPECT_EQ(p.trycelebration, std::stoi(c.value));
      EXPECT_EQ(p.TryCelebrationChosen, kTrue32);
    }
    EXPECT_EQ(Stats(1, n).trycelebration, p.trycelebration);
  }
}

TEST_F(ReadPlayersTest, PlayerNumberOutsideTheSquadIsAStartUpError) {
  const std::string path = run.InputDir() + "players.csv";
  for (const char* num : {"0", "26", "-3", "1000000"}) {
    SCOPED_TRACE(num);
    SetUp();
    PlayersCsv csv = PlayersCsv::Full();
    csv.Row({{"playernum", "4"}, {"playerid", "1004"}});
    csv.Row({{"teamid", "22"}, {"playernum", num}, {"playerid", "2000"}});
    const std::string error = ReadError(csv);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    EXPECT_NE(error.find("\"playernum\""), std::string::npos) << error;
    EXPECT_NE(error.find(std::string("'") + num + "'"), std::string::npos) << error;
    EXPECT_EQ(Squad(1, 4).playerid, 1004);  // the row before is stored
  }
  PlayersCsv csv = PlayersCsv::Full();
  csv.Row({{"playernum", ""}}).Row({{"teamid", "22"}});
  EXPECT_NE(ReadError(csv).find("'' is not a valid integer value"), std::string::npos);
}

TEST_F(ReadPlayersTest, BadValueStopsTheReadAndLeavesItsRowUnstored) {
  const TPlayer before = Player(2, 5);
  PlayersCsv csv = PlayersCsv::Full();
  csv.Row({{"playernum", "4"}, {"playerid", "1004"}});
  csv.Row({{"teamid", "22"}, {"playernum", "5"}, {"playerid", "2005"}, {"speed", "fast"}});
  const std::string error = ReadError(csv);
  EXPECT_NE(error.find("line 3, column \"speed\": 'fast' is not a valid floating point value"), std::string::npos)
      << error;
  EXPECT_EQ(Squad(1, 4).playerid, 1004);
  EXPECT_EQ(Squad(2, 5).playerid, 0);
  EXPECT_EQ(std::memcmp(&Player(2, 5), &before, sizeof before), 0);

  // A rating beyond any 32-bit float is no rating; an empty rating does not convert.
  for (const char* bad : {"1e39", ""}) {
    PlayersCsv big = PlayersCsv::Full();
    big.Row({{"kicking", bad}}).Row({{"teamid", "22"}});
    EXPECT_NE(ReadError(big).find("column \"kicking\""), std::string::npos) << bad;
  }
}

// A body without mass or height, or a rating far outside 0..100, would play
// until a contact divides by it or a speed overflows: the set-up refuses it
// where it stands. Ratings a little beyond 0..100 still read on the lines.
TEST_F(ReadPlayersTest, ValuesNoMatchCanPlayWithStopTheSetUp) {
  const std::string path = run.InputDir() + "players.csv";
  const struct {
    const char* column;
    const char* value;
    const char* text;
  } cases[] = {
      {"weight", "0", "'0' is not a weight above 0 kg"},
      {"weight", "-80", "'-80' is not a weight above 0 kg"},
      {"height", "0", "'0' is not a height above 0 cm"},
      {"speed", "1e30", "'1e30' is outside the ratings -1000 to 1000"},
      {"tackling", "-1000.5", "'-1000.5' is outside the ratings -1000 to 1000"},
      // The captains' pass reads leadership before the player pass.
      {"leadership", "1001", "'1001' is outside the ratings -1000 to 1000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.column) + " " + c.value);
    SetUp();
    PlayersCsv csv = PlayersCsv::Full();
    csv.Row({{"playernum", "4"}, {"playerid", "1004"}});
    csv.Row({{"teamid", "22"}, {"playernum", "5"}, {"playerid", "2005"}, {c.column, c.value}});
    const std::string error = ReadError(csv);
    EXPECT_NE(error.find(path + ", line 3, column \"" + c.column + "\": " + c.text), std::string::npos)
        << error;
  }

  SetUp();
  PlayersCsv csv = PlayersCsv::Full();
  csv.Row({{"speed", "100.5"}, {"tackling", "-5"}, {"weight", "1"}, {"height", "1"}});
  csv.Row({{"playernum", "2"}, {"kicking", "1000"}, {"passing", "-1000"}});
  csv.Row({{"teamid", "22"}});
  Read(csv);
  EXPECT_FLOAT_EQ(Player(1, 1).maxspeed, 4.75f + 5.25f * 1.005f);
  EXPECT_FLOAT_EQ(Stats(1, 1).tackling, -5.0f);
  EXPECT_EQ(Player(1, 1).Weight, 1.0f);
  EXPECT_FLOAT_EQ(Player(1, 1).Height, 0.01f);
  EXPECT_FLOAT_EQ(Player(1, 2).MaxKickSpeed, 19.0f + 15.5f * 10.0f);
  EXPECT_FLOAT_EQ(Player(1, 2).maxpassspeed, 11.5f - 2.29f * 10.0f);
}

TEST_F(ReadPlayersTest, AppearanceCodeWritesFixedPositions) {
  PlayersCsv csv = PlayersCsv::Full();
  // Position 5 is "z": the code is built from the names.
  csv.Row({{"playernum", "1"}, {"appearance", "ABCDzFGHIJKLMNOPQRSTUVWXYZ1234"}, {"age", "27"}});
  // Names with characters that are no letters give "a".
  csv.Row({{"playernum", "2"}, {"appearance", "ABCDzFGHIJKLMNOPQRSTUVWXYZ1234"}, {"firstname", "J."},
           {"surname", "3x"}, {"age", "42"}});
  // No "z": only position 30 changes; ages outside 17..42 give "a".
  csv.Row({{"playernum", "3"}, {"appearance", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"}, {"age", "43"}});
  csv.Row({{"playernum", "4"}, {"appearance", "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"}, {"age", "17"}});
  // A short code keeps its length: position 30 lies beyond its text.
  csv.Row({{"playernum", "5"}, {"appearance", "ab"}, {"age", "20"}});
  csv.Row({{"teamid", "22"}, {"appearance", "ab"}});
  Read(csv);
  EXPECT_EQ(Squad(1, 1).appearance, "ABCDaaabdccbbbObQRSTUVWXYZ123k");
  EXPECT_EQ(Squad(1, 2).appearance, "ABCDbaacbaacaaOaQRSTUVWXYZ123z");
  EXPECT_EQ(Squad(1, 3).appearance, "ABCDEFGHIJKLMNOPQRSTUVWXYZ123a");
  EXPECT_EQ(Squad(1, 4).appearance, "ABCDEFGHIJKLMNOPQRSTUVWXYZ123a");
  const ShortStr<30>& code = Squad(1, 5).appearance;
  EXPECT_EQ(code, "ab");
  EXPECT_EQ(code.s[29], 'd');
  EXPECT_EQ(YesLines(), 2);
}

TEST_F(ReadPlayersTest, PassSpreadBaseIsTheWorldsFirstHeadSpread) {
  World.PassDrawParams.sd = 0.3f;
  PlayersCsv csv = PlayersCsv::Full();
  csv.Row({{"passing", "50"}}).Row({{"teamid", "22"}});
  Read(csv);
  const TDistribution& d = Player(1, 1).PassSpread;
  EXPECT_FLOAT_EQ(d.sd, 0.4f);
  // Min, max and clamps stay the world's.
  EXPECT_EQ(d.min, 0.0f);
  EXPECT_EQ(d.max, 1.0f);
}

// The real-time mode plays the user's side at a higher tier.
TEST_F(ReadPlayersTest, UserSideTierInRealTimeMode) {
  UDPRealtime.Active = kTrue32;
  PlayersCsv csv = PlayersCsv::Full();
  csv.Add("gamedifficulty", "1").Add("controlledby", "ai");
  csv.Row({{"acceleration", "100"}, {"tackling", "0"}, {"awareness", "0"}});
  csv.Row({{"teamid", "22"}, {"controlledby", "human"}, {"acceleration", "100"}, {"tackling", "0"},
           {"awareness", "0"}});
  Read(csv);
  EXPECT_EQ(Player(2, 1).Acceleration, 9.0f);  // tier 5
  EXPECT_EQ(Player(2, 1).MakeTackleProb, 500);
  EXPECT_EQ(Player(1, 1).Acceleration, 6.0f);  // tier 2
  EXPECT_EQ(Player(1, 1).MakeTackleProb, 200);

  UDPRealtime.AuxMode = kTrue32;  // tiers stay dormant
  Read(csv);
  EXPECT_EQ(Player(2, 1).Acceleration, 7.0f);
}

TEST(ReadPlayersExampleTest, ExampleInputGivesEveryListedPlayerValuesInRange) {
  RunFolder run;
  ExeDir = run.Dir();
  InitialiseWorld(World);
  std::memset(&MatchStore.MatchInfo, 0, sizeof MatchStore.MatchInfo);
  Form1.Reset();
  UDPRealtime.Active = kFalse32;
  RandSeed = 31;
  ReadMatchAndTeams();
  ReadPlayers();
  int listed = 0;
  for (int side = 1; side <= 2; ++side) {
    for (int n = 1; n <= 25; ++n) {
      const TSquadPlayer& sq = MatchStore.MatchInfo.Team[side].Squad[n];
      EXPECT_GE(sq.height, 150);
      EXPECT_LE(sq.height, 250);
      if (sq.playerid == 0) continue;
      ++listed;
      SCOPED_TRACE(sq.playerid);
      const TPlayer& p = World.Teams[side].Players[n];
      EXPECT_EQ(p.id, sq.playerid);
      EXPECT_GT(sq.firstname.len, 0);
      EXPECT_GE(p.maxspeed, 4.75f);
      EXPECT_LE(p.maxspeed, 10.0f);
      EXPECT_GE(p.Acceleration, 1.5f);
      EXPECT_LE(p.Acceleration, 7.0f);
      EXPECT_GE(p.MakeTackleProb, 675);
      EXPECT_LE(p.MakeTackleProb, 995);
      EXPECT_GE(p.CleanCatchProb, 827 - 21);
      EXPECT_LE(p.CleanCatchProb, 990);
      EXPECT_GE(p.BreakdownChance, 50);
      EXPECT_LE(p.BreakdownChance, 999);
      EXPECT_GE(p.KickProb, 200);
      EXPECT_LE(p.KickProb, 985);
      EXPECT_GE(p.LineoutJumpProb, 1);
      EXPECT_LE(p.LineoutJumpProb, 999);
      EXPECT_GE(p.ElusivenessValue, 1.0f);
      EXPECT_LE(p.ElusivenessValue, 500.0f);
      EXPECT_GE(p.ScrumPower.mean, 250.0f);
      EXPECT_LE(p.ScrumPower.mean, 1250.0f);
      EXPECT_GE(p.StrengthPower.value, p.StrengthPower2.min);
      EXPECT_LE(p.StrengthPower.value, p.StrengthPower2.max);
      EXPECT_GE(p.trycelebration, 2);
      EXPECT_LE(p.trycelebration, 16);
      EXPECT_GE(p.Height, 1.5f);
      EXPECT_LE(p.Height, 2.5f);
      EXPECT_GT(p.Weight, 50.0f);
      const TPlayerStats& st = MatchStats.PlayerStats[side][n];
      EXPECT_EQ(st.height, sq.height);
      EXPECT_EQ(st.ExtraValue1, -1.0f);
      EXPECT_GE(st.speed, 0.0f);
      EXPECT_LE(st.speed, 100.0f);
    }
  }
  EXPECT_EQ(listed, 44);
  // The example's first code asks for a built appearance.
  EXPECT_GE(std::count(Form1.Memo2.Lines.begin(), Form1.Memo2.Lines.end(), "yes"), 1);
}

}  // namespace
