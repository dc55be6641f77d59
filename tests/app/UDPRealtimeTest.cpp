#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Datagrams.h"
#include "app/UDPCommands.h"
#include "core/MatchStore.h"
#include "platform/Form.h"

namespace {

void Send(const std::string& d) {
  ReceiveUDPCommand("127.0.0.1", 2504, d.data(), static_cast<i32>(d.size()));
}

// A complete command "1": fields[n - 1] is datagram field n.
std::vector<std::string> FullStep() {
  std::vector<std::string> f = {"1", "77", "45.5", "2", "10", "7"};
  for (int b = 1; b <= 20; ++b) f.push_back(b % 2 ? "1" : (b == 4 ? "x" : "0"));
  for (const char* s : {"500", "-1000", "0", "250.5", "1e3", "-0.5"}) f.push_back(s);
  f.push_back("1");                                                       // 33
  for (int w = 1; w <= 10; ++w) f.push_back(std::to_string(10 + w));      // 34..43
  for (const char* s : {"3", "7", "2", "2.5", "1", "4"}) f.push_back(s);  // 44..49
  return f;
}

std::vector<std::string> With(std::vector<std::string> f, int field, const std::string& v) {
  f[field - 1] = v;
  return f;
}

// The record's values apart from the raw field texts, as bytes (the fields
// before and after Fields hold no padding).
std::string Values(const TUDPRealtime& R) {
  const char* a = reinterpret_cast<const char*>(&R);
  std::string v(a, static_cast<size_t>(reinterpret_cast<const char*>(&R.TargetPoint + 1) - a));
  const char* b = reinterpret_cast<const char*>(&R.ViewerTeamId);
  v.append(b, static_cast<size_t>(reinterpret_cast<const char*>(&R.FrameDelayValue + 1) - b));
  return v;
}

class UDPRealtimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUDPRealtimeDefaults();
    for (std::string& f : UDPRealtime.Fields) f.clear();
    MatchStore.MatchInfo.Team[1].teamid = 10;
    MatchStore.MatchInfo.Team[2].teamid = 20;
    World.clock = 123.5f;
    MatchStore.RecordClock = 61.25f;
  }
};

TEST_F(UDPRealtimeTest, StartValues) {
  const TUDPRealtime& R = UDPRealtime;
  EXPECT_EQ(R.Active, 0);
  EXPECT_EQ(R.AuxMode, 0);
  EXPECT_FLOAT_EQ(R.TimeStep, 0.05f);
  EXPECT_EQ(R.Paused, kTrue32);
  EXPECT_EQ(R.FramesAllowed, 0);
  EXPECT_EQ(R.UserLevel, 1);
  EXPECT_FLOAT_EQ(R.KickSpeedStart, 20.0f);
  EXPECT_FLOAT_EQ(R.KickSpeedTop, 30.0f);
  EXPECT_FLOAT_EQ(R.KickChargeTime, -1.0f);
  EXPECT_FLOAT_EQ(R.FrameDelayValue, -1.0f);
  EXPECT_EQ(TakenRequests(), 0);
  for (const TUDPUserSlot& s : R.Users) EXPECT_EQ(s.TeamId, 0);
}

TEST_F(UDPRealtimeTest, FullStepFillsSlotInputsSimAheadAndQueuesTheRequest) {
  Form1.Memo4.Add("an earlier sim-ahead line");
  UDPRealtime.Input[3] = 99;
  Send(Join(FullStep()));
  const TUDPRealtime& R = UDPRealtime;
  EXPECT_EQ(R.Paused, 0);
  EXPECT_EQ(R.FramesAllowed, 1);
  EXPECT_EQ(R.ViewerTeamId, 77);
  EXPECT_FLOAT_EQ(R.ViewAngle, 45.5f);
  const TUDPUserSlot& s = R.Users[2];
  EXPECT_EQ(s.TeamId, 10);
  EXPECT_EQ(s.PlayerNum, 7);
  EXPECT_EQ(s.Present, kTrue32);
  EXPECT_EQ(s.AutoPick, 0);
  EXPECT_EQ(s.OwnTeam, kTrue32);
  for (int b = 1; b <= 20; ++b) EXPECT_EQ(s.Buttons[b], b % 2 ? kTrue32 : 0) << b;
  const double sticks[6] = {500, -1000, 0, 250.5, 1e3, -0.5};
  for (int a = 1; a <= 6; ++a) EXPECT_EQ(s.Sticks[a], static_cast<f32>(sticks[a - 1] * 0.001));
  EXPECT_EQ(s.ExtraButton, kTrue32);
  for (int u : {1, 3, 4}) EXPECT_EQ(R.Users[u].Present, 0);
  for (int w = 1; w <= 10; ++w) EXPECT_EQ(R.Input[w], 10 + w);
  // The sim-ahead request takes the new inputs as the previous ones.
  EXPECT_EQ(R.PrevInput[3], 13);
  EXPECT_FLOAT_EQ(R.SimAheadSeconds, 2.5f);
  EXPECT_EQ(R.SimAhead, kTrue32);
  EXPECT_FLOAT_EQ(R.SimAheadStartUdpClock, 61.25f);
  EXPECT_FLOAT_EQ(R.SimAheadStartGameClock, 123.5f);
  EXPECT_EQ(Form1.Memo4.Count(), 0u);
  EXPECT_EQ(R.AuxUserControl, kTrue32);
  EXPECT_EQ(R.UserLevel, 4);
  EXPECT_EQ(R.Requests[1][1], 3);
  EXPECT_EQ(R.Requests[1][2], 7);
  EXPECT_EQ(R.Requests[1][3], 2);
  EXPECT_EQ(TakenRequests(), 1);
  // A user of the other team, with the engine picking his player.
  Send(Join(With(With(FullStep(), 5, "20"), 6, "0")));
  EXPECT_EQ(R.Users[2].OwnTeam, 0);
  EXPECT_EQ(R.Users[2].AutoPick, kTrue32);
}

TEST_F(UDPRealtimeTest, StepWithoutSimAheadKeepsTheInputsBeforeItAsPrevious) {
  Send(Join(With(With(FullStep(), 47, "0"), 34, "5")));
  Send(Join(With(With(FullStep(), 47, "-1"), 34, "6")));
  EXPECT_EQ(UDPRealtime.PrevInput[1], 5);
  EXPECT_EQ(UDPRealtime.Input[1], 6);
  EXPECT_EQ(UDPRealtime.SimAhead, 0);
  // The same request again takes a second entry.
  EXPECT_EQ(TakenRequests(), 2);
}

TEST_F(UDPRealtimeTest, PauseAloneChangesNothingElse) {
  Send(Join(With(FullStep(), 45, "0")));
  TUDPRealtime before = UDPRealtime;
  Send("0");
  EXPECT_EQ(UDPRealtime.Paused, kTrue32);
  before.Paused = kTrue32;
  EXPECT_EQ(Values(UDPRealtime), Values(before));
  // Only the first field was reached: the others keep their text.
  EXPECT_EQ(UDPRealtime.Fields[1], "0");
  EXPECT_EQ(UDPRealtime.Fields[49], "4");
}

TEST_F(UDPRealtimeTest, ShortDatagramQueuesTheRequestLeftInTheFieldsAgain) {
  Send(Join(FullStep()));
  Send("0");
  EXPECT_EQ(TakenRequests(), 2);
  EXPECT_EQ(UDPRealtime.Requests[2][2], 7);
}

TEST_F(UDPRealtimeTest, SlotNotInUseKeepsItsButtonsAndSticks) {
  Send(Join(FullStep()));
  auto f = With(FullStep(), 5, "0");
  for (int b = 7; b <= 33; ++b) f[b - 1] = "0";
  Send(Join(f));
  const TUDPUserSlot& s = UDPRealtime.Users[2];
  EXPECT_EQ(s.TeamId, 0);
  EXPECT_EQ(s.Present, 0);
  EXPECT_EQ(s.Buttons[1], kTrue32);
  EXPECT_EQ(s.Sticks[1], static_cast<f32>(0.5));
  EXPECT_EQ(s.ExtraButton, kTrue32);
  // The inputs after the slot are still applied.
  EXPECT_EQ(UDPRealtime.FramesAllowed, 2);
  EXPECT_EQ(UDPRealtime.UserLevel, 4);
}

TEST_F(UDPRealtimeTest, LoneStepReusesTheFieldsOfTheLastDatagram) {
  Send(Join(With(FullStep(), 44, "0")));
  UDPRealtime.Input[1] = 0;
  UDPRealtime.Users[2].Buttons[1] = 0;
  Send("1");
  EXPECT_EQ(UDPRealtime.FramesAllowed, 2);
  EXPECT_EQ(UDPRealtime.Input[1], 11);
  EXPECT_EQ(UDPRealtime.Users[2].Buttons[1], kTrue32);
  EXPECT_EQ(TakenRequests(), 0);
}

TEST_F(UDPRealtimeTest, RequestsQueueForAnyCommandUntilTheTableIsFull) {
  auto request = [](const std::string& cmd, const std::string& a, const std::string& b,
                    const std::string& c) {
    std::vector<std::string> f(46);
    f[0] = cmd;
    f[43] = a;
    f[44] = b;
    f[45] = c;
    return Join(f);
  };
  Send(request("0", "3", "0", "2"));
  Send(request("5", "0", "7", "2"));
  Send(request("5", "3", "7", "0"));
  EXPECT_EQ(TakenRequests(), 0);
  Send(request("0", "3", "7", "2"));
  EXPECT_EQ(UDPRealtime.Paused, kTrue32);
  Send(request("5", "-1", "8", "9"));
  EXPECT_EQ(TakenRequests(), 2);
  EXPECT_EQ(UDPRealtime.Requests[2][1], -1);
  for (int k = 3; k <= 80; ++k) Send(request("2", std::to_string(k), "1", "1"));
  EXPECT_EQ(TakenRequests(), 75);
  EXPECT_EQ(UDPRealtime.Requests[75][1], 75);
  EXPECT_EQ(UDPRealtime.FramesAllowed, 0);
}

TEST_F(UDPRealtimeTest, FieldThatDoesNotConvertKeepsWhatCameBeforeAndDropsTheRest) {
  // A bad whole number in field 2: the frame is granted, nothing after it.
  Send(Join(With(FullStep(), 2, "seven")));
  EXPECT_EQ(UDPRealtime.Paused, 0);
  EXPECT_EQ(UDPRealtime.FramesAllowed, 1);
  EXPECT_EQ(UDPRealtime.ViewerTeamId, 0);
  EXPECT_EQ(UDPRealtime.Users[2].TeamId, 0);
  EXPECT_EQ(TakenRequests(), 0);

  // A bad stick: the slot head and buttons are in, the sticks and inputs not.
  SetUp();
  Send(Join(With(FullStep(), 29, "1.2.3")));
  const TUDPUserSlot& s = UDPRealtime.Users[2];
  EXPECT_EQ(s.Present, kTrue32);
  EXPECT_EQ(s.Buttons[1], kTrue32);
  EXPECT_EQ(s.Sticks[1], static_cast<f32>(0.5));
  EXPECT_EQ(s.Sticks[2], static_cast<f32>(-1.0));
  EXPECT_EQ(s.Sticks[3], 0.0f);
  EXPECT_EQ(s.ExtraButton, 0);
  EXPECT_EQ(UDPRealtime.Input[1], 0);

  // A bad input word: the words before it are in.
  SetUp();
  Send(Join(With(FullStep(), 40, "")));
  for (int w = 1; w <= 6; ++w) EXPECT_EQ(UDPRealtime.Input[w], 10 + w);
  for (int w = 7; w <= 10; ++w) EXPECT_EQ(UDPRealtime.Input[w], 0);
  EXPECT_EQ(UDPRealtime.SimAhead, 0);

  // A bad user level, or a bad request word: everything else is in.
  SetUp();
  Send(Join(With(FullStep(), 49, "4x")));
  EXPECT_EQ(UDPRealtime.AuxUserControl, kTrue32);
  EXPECT_EQ(UDPRealtime.UserLevel, 1);
  EXPECT_EQ(TakenRequests(), 0);
  Send(Join(With(FullStep(), 45, "7.0")));
  EXPECT_EQ(UDPRealtime.UserLevel, 4);
  EXPECT_EQ(TakenRequests(), 0);

  // A command that is not a whole number does nothing but store the fields.
  SetUp();
  const std::string before = Values(UDPRealtime);
  for (const char* d : {"x", "1.0,2", " ", "-", "1 ,2", "", ",1,2"}) {
    Send(d);
    EXPECT_EQ(Values(UDPRealtime), before) << d;
  }
}

TEST_F(UDPRealtimeTest, NumberConversionFollowsOneStrictRule) {
  const struct {
    const char* text;
    bool converts;
    i32 value;
  } ints[] = {{"12", true, 12},
              {" 12", true, 12},
              {"+12", true, 12},
              {"-2147483648", true, INT32_MIN},
              {"2147483647", true, INT32_MAX},
              {"2147483648", false, 0},
              {"-2147483649", false, 0},
              {"99999999999999999999", false, 0},
              {"12 ", false, 0},
              {"1.0", false, 0},
              {"0x10", false, 0},
              {"", false, 0},
              {"+", false, 0},
              {"1e2", false, 0}};
  for (const auto& c : ints) {
    SetUp();
    Send(std::string("1,") + c.text + ",9");
    EXPECT_EQ(UDPRealtime.ViewerTeamId, c.value) << c.text;
    EXPECT_EQ(UDPRealtime.ViewAngle, c.converts ? 9.0f : 0.0f) << c.text;
  }
  const struct {
    const char* text;
    bool converts;
    f32 value;
  } reals[] = {{"1.5e2", true, 150.0f}, {"-0.25", true, -0.25f},   {"+3", true, 3.0f},
               {"1E-2", true, 0.01f},   {"3.4e38", true, 3.4e38f}, {"1e39", false, 0},
               {"1e400", false, 0},     {".5", true, 0.5f},        {"5.", true, 5.0f},
               {"nan", false, 0},       {"inf", false, 0},         {" 1", false, 0},
               {"1e", false, 0},        {"1.5e+", false, 0}};
  for (const auto& c : reals) {
    SetUp();
    Send(std::string("1,5,") + c.text + ",1,10");
    EXPECT_EQ(UDPRealtime.ViewAngle, c.value) << c.text;
    // The slot after it is written only when the angle converted.
    EXPECT_EQ(UDPRealtime.Users[1].TeamId, c.converts ? 10 : 0) << c.text;
  }
}

TEST_F(UDPRealtimeTest, HostileDatagramsStayInsideTheRecord) {
  // More than 49 fields: the first 49 are applied, the rest ignored.
  auto f = FullStep();
  for (int k = 50; k <= 60; ++k) f.push_back("666");
  Send(Join(f));
  EXPECT_EQ(UDPRealtime.UserLevel, 4);
  EXPECT_EQ(UDPRealtime.Fields[49], "4");
  EXPECT_EQ(UDPRealtime.Users[2].Present, kTrue32);

  // A slot outside 1..4 writes no slot; the rest of the datagram applies.
  for (const char* slot : {"0", "5", "9", "-1", "2147483647"}) {
    SetUp();
    Send(Join(With(With(FullStep(), 4, slot), 34, "42")));
    for (const TUDPUserSlot& s : UDPRealtime.Users) {
      EXPECT_EQ(s.TeamId, 0) << slot;
      EXPECT_EQ(s.Buttons[1], 0) << slot;
    }
    EXPECT_EQ(UDPRealtime.Input[1], 42) << slot;
    EXPECT_EQ(TakenRequests(), 1) << slot;
  }

  // Only commas, a maximal datagram, a long field, bytes of every value.
  SetUp();
  Send(std::string(8192, ','));
  EXPECT_TRUE(UDPRealtime.Fields[1].empty());
  std::string big = Join(FullStep());  // ends in field 49, "4"
  big += std::string(8192 - big.size(), '9');
  Send(big);
  EXPECT_EQ(UDPRealtime.FramesAllowed, 1);
  EXPECT_EQ(UDPRealtime.UserLevel, 1);
  EXPECT_EQ(UDPRealtime.Fields[49].size(), 8192u - Join(FullStep()).size() + 1);
  std::string bytes;
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  Send("1," + bytes);
  EXPECT_EQ(UDPRealtime.FramesAllowed, 2);
  UDPRealtime.FramesAllowed = INT32_MAX;  // grants stop at the top of the range
  Send("1");
  EXPECT_EQ(UDPRealtime.FramesAllowed, INT32_MAX);
  UDPRealtime.FramesAllowed = 2;
  ReceiveUDPCommand("", 0, nullptr, 5);
  ReceiveUDPCommand("", 0, bytes.data(), -3);
  EXPECT_EQ(UDPRealtime.FramesAllowed, 2);
}

TEST_F(UDPRealtimeTest, RandomDatagramsNeverBreakTheRecord) {
  std::mt19937 rng(20260501);
  const std::string alphabet = "0123456789,,,,.-+eE 1x";
  for (int n = 0; n < 3000; ++n) {
    std::string d(rng() % 160, ' ');
    for (char& c : d) c = alphabet[rng() % alphabet.size()];
    if (n % 3 == 0) d = "1," + d;
    const i32 framesBefore = UDPRealtime.FramesAllowed;
    Send(d);
    const i32 granted = UDPRealtime.FramesAllowed - framesBefore;
    EXPECT_TRUE(granted == 0 || granted == 1) << d;
    EXPECT_TRUE(UDPRealtime.Paused == 0 || UDPRealtime.Paused == kTrue32) << d;
    for (const TUDPUserSlot& s : UDPRealtime.Users)
      for (f32 a : s.Sticks) EXPECT_TRUE(std::isfinite(a)) << d;
  }
  EXPECT_LE(TakenRequests(), 75);
  EXPECT_TRUE(std::isfinite(UDPRealtime.ViewAngle));
  EXPECT_TRUE(std::isfinite(UDPRealtime.SimAheadSeconds));
}

}  // namespace

namespace {

// Random datagrams, fields and bytes: the parser must neither crash nor write
// outside the record (the sanitizer build checks the latter).
TEST_F(UDPRealtimeTest, RandomDatagramsAreHandledSafely) {
  std::mt19937 rng(2026);
  static const char* const kTokens[] = {"0",    "1",   "-1",  "4",     "5",    "99999999999", "1e39",
                                        "abc",  "",    "2.5", "-0",    "1e-9", "2147483647",  "-2147483648",
                                        "9",    "10",  "75",  "76",    "49",   " 7",          "0x1"};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    if (rng() % 5 == 0) {
      const size_t n = rng() % 9000;
      for (size_t i = 0; i < n; ++i) text += static_cast<char>(rng() % 256);
    } else {
      const int fields = static_cast<int>(rng() % 70);
      for (int f = 0; f < fields; ++f) {
        if (f > 0) text += ',';
        text += kTokens[rng() % (sizeof kTokens / sizeof *kTokens)];
      }
    }
    Send(text);
  }
  // The record stays usable: a well-formed datagram after all that applies.
  Send(Join(FullStep()));
  EXPECT_EQ(UDPRealtime.ViewerTeamId, 77);
  EXPECT_EQ(UDPRealtime.Users[2].PlayerNum, 7);
  EXPECT_EQ(UDPRealtime.Input[10], 20);
}

}  // namespace
