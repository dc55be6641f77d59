#include "motion/AnimatePlayersUnit.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/Kinematics.h"
#include "core/NameHash.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/RunLog.h"

namespace {

// ---------------------------------------------------------------- names
// A name built from a prefix and a number ("blockloop" 13), in a fixed
// buffer: the longest prefix is 18 characters, a number at most 10 digits.
struct TBuiltName {
  char s[32];
  u8 len;
  std::string_view View() const { return {s, len}; }
};

// The decimal digits of N into Buf (no leading zeros); returns their count.
int DecimalDigits(u32 N, char (&Buf)[10]) {
  char rev[10];
  int n = 0;
  do {
    rev[n++] = static_cast<char>('0' + N % 10);
    N /= 10;
  } while (N != 0);
  for (int k = 0; k < n; ++k) Buf[k] = rev[n - 1 - k];
  return n;
}

TBuiltName NumberedAnim(std::string_view Prefix, u32 Number) {
  TBuiltName a{};
  char digits[10];
  const int n = DecimalDigits(Number, digits);
  const size_t p = Prefix.size() < 20 ? Prefix.size() : 20;
  for (size_t k = 0; k < p; ++k) a.s[k] = Prefix[k];
  for (int k = 0; k < n; ++k) a.s[p + k] = digits[k];
  a.len = static_cast<u8>(p + n);
  return a;
}

bool Runs(f32 Timer) { return Timer > 0.0f; }

// Starts Name unless it already plays.
void StartIfNew(TPlayer& P, std::string_view Name, f32 Length, bool Loop, i16 Track, bool Fresh = false) {
  if (!(P.currentAnim == Name)) StartAnim(P, Name, Length, Loop, Track, Fresh);
}

bool IsGait(std::string_view Name) {
  return Name == "walk" || Name == "jog" || Name == "jogfists" || Name == "sprint";
}

// ---------------------------------------------------------------- sequence
// How long a sequence entry plays: its Duration when it loops, else its
// frame span at its rate (0 s at a rate of 0 or less).
double EntryDuration(const TAnimSeqEntry& E) {
  if (E.Loop != 0) return E.Duration;
  if (!(E.Rate > 0.0f)) return 0.0;
  return (static_cast<double>(E.EndFrame) - E.StartFrame) / E.Rate;
}

int EntryCount(const TAnimSeq& S) { return S.NumEntries < 0 ? 0 : (S.NumEntries > 10 ? 10 : S.NumEntries); }

// The frame an entry shows t seconds after it began: its frame span wraps
// at the entry's rate, so a one-shot entry at its exact end shows StartFrame.
f32 EntryFrame(const TAnimSeqEntry& E, double t) {
  const double span = static_cast<double>(E.EndFrame) - E.StartFrame;
  if (E.StartFrame == E.EndFrame || !(E.Rate > 0.0f)) return E.StartFrame;
  const double q = t / (span / E.Rate);
  return ToF32(E.StartFrame + (q - std::trunc(q)) * span);
}

// ---------------------------------------------------------------- rates
constexpr u8 kBlock1 = 1;
constexpr u8 kBlock2 = 2;
constexpr u8 kBoth = 3;

enum class ERate : u8 {
  Seconds,                // maxframes / Seconds
  Curve,                  // maxframes / (Scale x clamp(Base - Slope x speed, Lo, Hi))
  TackleDrive,            // block 1 by speed, block 2 0.4 s
  CarrierPass,            // block 1: the running carrier's fraction, else 1.25 x the sprint cycle; block 2: fraction
  Release,                // a fraction of Frames (maxframes when 0) in the player's release time
  DummyHalfRight,         // Release; block 1 logs a zero draw
  GoalKick,               // a fraction in the block's GoalKickReleaseTime
  CenterPass,             // 0.8 s; block 1 then turns it into the scrimmage start
  Shimmy,                 // maxframes / ShimmyDuration
  DiveTackleFallForward,  // 0.98 s; block 2 slowed while the tackled carrier is his target
};

// A speed-dependent cycle: Scale x clamp(Base - Slope x speed, Lo, Hi) s.
struct TCurve {
  double Base, Slope, Lo, Hi, Scale;
};

constexpr TCurve kSprintCurve{0.8, 0.04, 0.4, 0.8, 1.0};
constexpr TCurve kJogCurve{0.8, 0.04, 0.4, 0.8, 0.9};
constexpr TCurve kWalkCurve{0.85, 0.03125, 0.75, 0.85, 1.0};
constexpr TCurve kAccelerateCurve{0.75, 0.025, 0.5, 0.75, 1.0};
constexpr TCurve kBraceCurve{0.9, 0.04, 0.5, 0.9, 1.0};
constexpr double kPassPaceScale = 1.25;  // a pass not timed by a release plays 1.25 sprint cycles

struct TRateRule {
  std::string_view Name;
  ERate Kind;
  u8 Blocks;
  double Seconds;                  // Seconds
  TCurve Curve;                    // Curve
  double Fraction1, Fraction2;     // block 1 and block 2 fractions (CarrierPass, Release, GoalKick)
  double Frames;                   // Release: the frames the fraction is of; 0 = maxframes
  TDistribution TPlayer::*ReleaseTime;
};

constexpr TRateRule Fixed(std::string_view N, double S, u8 Blocks = kBoth) {
  return {N, ERate::Seconds, Blocks, S, {}, 0, 0, 0, nullptr};
}
constexpr TRateRule Speed(std::string_view N, const TCurve& C) { return {N, ERate::Curve, kBoth, 0, C, 0, 0, 0, nullptr}; }
constexpr TRateRule Pass(std::string_view N, double F1, double F2, TDistribution TPlayer::*R) {
  return {N, ERate::CarrierPass, kBoth, 0, {}, F1, F2, 0, R};
}
constexpr TRateRule Release(std::string_view N, double F1, double F2, TDistribution TPlayer::*R, double Frames = 0,
                            ERate Kind = ERate::Release) {
  return {N, Kind, kBoth, 0, {}, F1, F2, Frames, R};
}
constexpr TRateRule Special(std::string_view N, ERate Kind, double F = 0) {
  return {N, Kind, kBoth, 0, {}, F, F, 0, nullptr};
}

constexpr double kCenterPassCycle = 0.8;       // s
constexpr double kPuntFrames = 9838.0;         // the punt's release fraction is of these frames
constexpr double kDiveTackleCycle = 0.98;      // s
constexpr double kDiveTackleSlowing = 0.4;     // block 2's dive at a tackled carrier, early on
constexpr double kDiveTackleSlowUntil = 0.375;  // progress
constexpr double kZeroReleaseRate = 10.0;      // frames per second for a release time of 0 or less

using P_ = TPlayer;
constexpr TRateRule kRateRules[] = {
    // Locomotion follows the running speed.
    Speed("sprint", kSprintCurve), Speed("sprintwithball", kSprintCurve), Speed("runwithball", kSprintCurve),
    Speed("jog", kJogCurve), Speed("jogfists", kJogCurve), Speed("walk", kWalkCurve),
    Speed("acceleratewithball", kAccelerateCurve), Speed("bracewithball", kBraceCurve),
    Special("tackledrivewithball", ERate::TackleDrive),
    // Passes and kicks are paced by the player's release times.
    Pass("poppassleft", 0.37, 0.37, &P_::PopPassLeftReleaseTime),
    Pass("poppassright", 0.37, 0.37, &P_::PopPassRightReleaseTime),
    Pass("shortpassleft", 0.45, 0.45, &P_::ShortPassLeftReleaseTime),
    Pass("shortpassright", 0.45, 0.45, &P_::ShortPassRightReleaseTime),
    Pass("mediumpassleft", 0.49, 0.49, &P_::MediumPassLeftReleaseTime),
    Pass("mediumpassright", 0.49, 0.49, &P_::MediumPassRightReleaseTime),
    Pass("longpassleft", 0.52, 0.52, &P_::LongPassLeftReleaseTime),
    Pass("longpassright", 0.52, 0.52, &P_::LongPassRightReleaseTime),
    Pass("standingstillpassleft", 0.425, 0.5, &P_::StandingStillPassLeftReleaseTime),
    Pass("standingstillpassright", 0.425, 0.5, &P_::StandingStillPassRightReleaseTime),
    Release("dummyhalfpassleft", 0.5, 0.5, &P_::DummyhalfPassLeftReleaseTime),
    Release("dummyhalfpassright", 0.5, 0.5, &P_::DummyhalfPassRightReleaseTime, 0, ERate::DummyHalfRight),
    Release("twohandedoffloadlow", 0.5, 0.5, &P_::OffloadReleaseTime),
    Release("qbpass1", 0.39, 0.41, &P_::LongPassRightReleaseTime),
    Release("punt", 0.55, 0.55, &P_::PuntRightFootReleaseTime, kPuntFrames),
    Release("grubber", 0.6, 0.6, &P_::GrubberReleaseTime),
    Release("chip", 0.6, 0.6, &P_::ChipReleaseTime),
    Release("dropkick", 0.55, 0.55, &P_::DropKickReleaseTime),
    Special("goalkick", ERate::GoalKick, 0.55),
    Special("centerpass1", ERate::CenterPass),
    Special("shimmyleft", ERate::Shimmy), Special("shimmyright", ERate::Shimmy),
    Special("shimmyleftsmall", ERate::Shimmy), Special("shimmyrightsmall", ERate::Shimmy),
    Special("shimmyleftdiag", ERate::Shimmy), Special("shimmyrightdiag", ERate::Shimmy),
    Special("divetacklefallforward", ERate::DiveTackleFallForward),
    // Fixed cycles.
    Fixed("onehandraisedstart", 0.2, kBlock1), Fixed("onehandraisedend", 0.2, kBlock1),
    Fixed("twohandsraisedstart", 0.2, kBlock1), Fixed("twohandsraisedend", 0.2, kBlock1),
    Fixed("trophybreathloop", 0.3), Fixed("rolloverfromback", 0.3), Fixed("twohandsraisedstillloop", 0.3, kBlock1),
    Fixed("breathingwithball", 0.4), Fixed("qbbreath1", 0.4), Fixed("catchright", 0.4), Fixed("catchrightlow", 0.4),
    Fixed("catchrighthigh", 0.4), Fixed("catchrightstandingstill", 0.4), Fixed("catchleft", 0.4),
    Fixed("catchleftlow", 0.4), Fixed("catchlefthigh", 0.4), Fixed("catchleftstandingstill", 0.4),
    Fixed("standingstilllowcatch", 0.4),
    Fixed("fendleft", 0.4636364, kBlock1), Fixed("fendright", 0.4636364, kBlock1),
    Fixed("turn45leftwithball", 0.475), Fixed("turn45rightwithball", 0.475),
    Fixed("goosestep", 0.48, kBlock1),
    Fixed("runninglowcatch", 0.5), Fixed("runningmidcatch", 0.5), Fixed("jumpcatchp2", 0.5),
    Fixed("jumpcatchtipp1", 0.5), Fixed("kicklooseball", 0.5), Fixed("injuryloopfaceup", 0.5),
    Fixed("injuryloopfacedown", 0.5), Fixed("clearoutdrivingloop", 0.5), Fixed("charged", 0.5),
    Fixed("hookercrouchloop", 0.5), Fixed("hookerengage", 0.5), Fixed("hookerengagedloop", 0.5),
    Fixed("hookerdrivingloop", 0.5), Fixed("leftpropcrouchloop", 0.5), Fixed("leftpropengage", 0.5),
    Fixed("leftpropengagedloop", 0.5), Fixed("leftpropdrivingloop", 0.5), Fixed("rightpropcrouchloop", 0.5),
    Fixed("rightpropengage", 0.5), Fixed("rightpropengagedloop", 0.5), Fixed("rightpropdrivingloop", 0.5),
    Fixed("leftlockcrouchloop", 0.5), Fixed("leftlockengage", 0.5), Fixed("leftlockengagedloop", 0.5),
    Fixed("leftlockdrivingloop", 0.5), Fixed("rightlockcrouchloop", 0.5), Fixed("rightlockengage", 0.5),
    Fixed("rightlockengagedloop", 0.5), Fixed("rightlockdrivingloop", 0.5), Fixed("leftflankercrouchloop", 0.5),
    Fixed("leftflankerengage", 0.5), Fixed("leftflankerengagedloop", 0.5), Fixed("leftflankerdrivingloop", 0.5),
    Fixed("rightflankercrouchloop", 0.5), Fixed("rightflankerengage", 0.5), Fixed("rightflankerengagedloop", 0.5),
    Fixed("rightflankerdrivingloop", 0.5), Fixed("no8crouchloop", 0.5), Fixed("no8engage", 0.5),
    Fixed("no8engagedloop", 0.5), Fixed("no8drivingloop", 0.5),
    Fixed("mauljoin", 0.5), Fixed("mauldrivingloop", 0.5), Fixed("maulbreathingloop", 0.5),
    Fixed("maulwithballdrivingloop", 0.5), Fixed("maulwithballbreathingloop", 0.5),
    Fixed("maulwithballdrivingloop2", 0.5), Fixed("maulwithballbreatheloop2", 0.5),
    Fixed("lineoutthrowready", 0.5), Fixed("lineoutthrowreadyloop", 0.5), Fixed("lineoutthrow", 0.5),
    Fixed("lineoutliftercrouch", 0.5), Fixed("lineoutliftercrouchloop", 0.5), Fixed("lineoutlifterlift", 0.5),
    Fixed("lineoutpassleftp2", 0.5), Fixed("lineoutpassrightp2", 0.5),
    Fixed("tapkick", 0.5, kBlock1), Fixed("chargeleft", 0.5, kBlock1), Fixed("chargeright", 0.5, kBlock1),
    Fixed("fendleftfront", 0.5, kBlock1), Fixed("fendleftback", 0.5, kBlock1),
    Fixed("fendrightfront", 0.5, kBlock1), Fixed("fendrightback", 0.5, kBlock1),
    Fixed("stumbleforward", 0.5, kBlock1), Fixed("stumbleforwardleft", 0.5, kBlock1),
    Fixed("stumbleforwardright", 0.5, kBlock1), Fixed("stumbleleftforward", 0.5, kBlock1),
    Fixed("stumbleleft", 0.5, kBlock1), Fixed("stumbleleftback", 0.5, kBlock1),
    Fixed("stumblerightforward", 0.5, kBlock1), Fixed("stumbleright", 0.5, kBlock1),
    Fixed("stumblerightback", 0.5, kBlock1), Fixed("stepleft", 0.5, kBlock1), Fixed("stepright", 0.5, kBlock1),
    Fixed("onehandraisedloop", 0.5, kBlock1),
    Fixed("intackleloop", 0.5, kBlock2), Fixed("fendedleft", 0.5, kBlock2), Fixed("fendedright", 0.5, kBlock2),
    Fixed("charge", 0.5272727, kBlock1),
    Fixed("jackle", 0.55),
    Fixed("twohandsraisedloop", 0.6, kBlock1),
    Fixed("jumpcatchhighp1", 0.65),
    Fixed("standingstillhighcatch", 0.7), Fixed("jumpcatchp1", 0.7), Fixed("looseballdive", 0.7),
    Fixed("divetacklefallback", 0.7), Fixed("divetacklemissed", 0.7), Fixed("divetackledfallforward", 0.7),
    Fixed("divetackledfallback", 0.7), Fixed("clearout", 0.7), Fixed("clearedout", 0.7),
    Fixed("lineoutpassleftp1", 0.7), Fixed("lineoutpassrightp1", 0.7),
    Fixed("spinleft", 0.7, kBlock1), Fixed("spinright", 0.7, kBlock1),
    Fixed("trydivestandupbackflick", 0.75), Fixed("trydivestandupbackflick180", 0.75),
    Fixed("scrumfeed", 0.75, kBlock1),
    Fixed("trydotdown", 0.85),
    Fixed("n9pointleft", 0.9), Fixed("n9pointright", 0.9), Fixed("n10pointleft", 0.9),
    Fixed("n10pointright", 0.9), Fixed("n10shoutleft", 0.9), Fixed("n10shoutright", 0.9),
    Fixed("throwballaway", 1.0), Fixed("playball", 1.0),
    Fixed("breathing", 1.2), Fixed("breathingnormal", 1.2), Fixed("breathingtired", 1.2),
    Fixed("breathingback", 1.2), Fixed("breathingforward", 1.2),
    Fixed("trydivehigh", 1.25), Fixed("trydivequick", 1.25),
    Fixed("trydive", 1.5),
    // Try celebrations.
    Fixed("pelko", 2.95), Fixed("vellark1", 2.6), Fixed("crowdpoint1", 2.45), Fixed("bicepflex", 2.5),
    Fixed("boxing", 2.55), Fixed("chesttap", 2.5), Fixed("excited", 2.6), Fixed("foldarms", 2.7),
    Fixed("greatest", 2.7), Fixed("karatekid", 2.95), Fixed("pumpupcrowd", 2.9), Fixed("salute", 2.5),
    Fixed("throwdown", 2.7), Fixed("xfactor", 2.5), Fixed("gorilla", 2.6),
};
constexpr int kRuleCount = static_cast<int>(sizeof kRateRules / sizeof kRateRules[0]);

// The rules by name: an open-addressed table built at compile time, so a
// lookup costs one hash of the name and a compare or two.
constexpr int kRuleSlots = 1024;
static_assert(kRuleSlots >= 3 * kRuleCount);

constexpr std::array<i16, kRuleSlots> BuildRuleSlots() {
  std::array<i16, kRuleSlots> slots{};
  for (int r = 0; r < kRuleCount; ++r) {
    u32 k = NameHash(kRateRules[r].Name) % kRuleSlots;
    while (slots[k] != 0) {
      if (kRateRules[slots[k] - 1].Name == kRateRules[r].Name) throw "an animation name has two rate rules";
      k = (k + 1) % kRuleSlots;
    }
    slots[k] = static_cast<i16>(r + 1);
  }
  return slots;
}
constexpr std::array<i16, kRuleSlots> kRuleSlotTable = BuildRuleSlots();

const TRateRule* FindRateRule(std::string_view Name) {
  u32 k = NameHash(Name) % kRuleSlots;
  while (kRuleSlotTable[k] != 0) {
    const TRateRule& r = kRateRules[kRuleSlotTable[k] - 1];
    if (r.Name == Name) return &r;
    k = (k + 1) % kRuleSlots;
  }
  return nullptr;
}

// The rate code a player's animation name keeps (TAnimName::RateCode): its
// rule's index + 1, or one of these two when it has no rule.
constexpr u8 kNumberedCode = 254;  // may be a numbered animation (NumberedSeconds)
constexpr u8 kNoRateCode = 255;    // keeps its rate
static_assert(kRuleCount < kNumberedCode);

// Every prefix NumberedSeconds knows starts with "srimmage" or "block", so a
// name with neither has no numbered rate whatever the player's numbers.
u8 RateCodeOf(std::string_view Name) {
  if (const TRateRule* r = FindRateRule(Name)) return static_cast<u8>(r - kRateRules + 1);
  return Name.starts_with("srimmage") || Name.starts_with("block") ? kNumberedCode : kNoRateCode;
}

double CurveSeconds(const TCurve& C, double v) {
  double s = C.Base - C.Slope * v;
  if (s < C.Lo) s = C.Lo;
  if (s > C.Hi) s = C.Hi;
  return C.Scale * s;
}

double TackleDriveSeconds(int b, double v) {
  if (b == 2) return 0.4;
  if (v <= 0.75) return 0.5;
  if (v <= 1.5) return 0.45;
  if (v <= 2.75) return 0.4;
  return 0.35;
}

// The rate at which fraction F of Frames has played after Release seconds;
// a release time of 0 or less gives 10 frames per second.
double FractionRate(double F, double Frames, f32 Release) {
  if (!(Release > 0.0f)) return kZeroReleaseRate;
  return F * Frames / Release;
}

// Block 1's dummy-half pass to the right with a release time of exactly 0:
// two run-log lines on every such frame, also in the look-ahead.
void LogZeroDummyHalfRelease(const TWorld& W, int i) {
  WriteRunLog("0 time pass at " + FormatGeneral(static_cast<double>(W.clock) / 60.0));
  WriteRunLog("by " + std::to_string(i));
}

// The scrimmage start out of "centerpass1" (block 1): once past 10 % of it,
// in passing or free ball, or in running for anyone but the carrier.
void CenterPassToScrimmage(TWorld& W, int i, TPlayer& P) {
  if (!(AnimProgress(P) > 0.1)) return;
  const bool running = W.gamestate == gsRunning && i != W.Teams[1].BallCarrier;
  if (!(W.gamestate == gsPassing || W.gamestate == gsFreeBall || running)) return;
  P.passtimer = 0.0f;
  P.ScrimmageNumber = 1;
  P.currentAnim.Assign("srimmageofftheline1");
  P.AnimLoop = kTrue32;
  P.AnimFreshStart = kTrue32;
}

// Block 2's dive at a carrier being tackled plays slower while less than
// 37.5 % of it has played, when he dives on his own at that carrier.
bool DiveSlowed(const TWorld& W, const TPlayer& P) {
  if (W.gamestate != gsRunning) return false;
  const i32 c = W.Teams[1].BallCarrier;
  const TPlayer* C = PlayerAt(W.Teams[1], c);
  return C != nullptr && Runs(C->GettingTackledTimer) && P.governedby == 0 && P.target == c &&
         AnimProgress(P) < kDiveTackleSlowUntil;
}

// Seconds of a numbered animation, or 0 when the name is none of them (or
// carries another number than the player's).
double NumberedSeconds(const TPlayer& P, std::string_view Name) {
  if (Name.size() < 9) return 0.0;
  const u32 scrim = P.ScrimmageNumber;
  if (IsNumberedAnim(Name, "srimmagebreathloop", scrim)) return 0.35;
  if (IsNumberedAnim(Name, "srimmagesetting", scrim) || IsNumberedAnim(Name, "srimmageofftheline", scrim)) return 0.5;
  if (IsNumberedAnim(Name, "blockloop", P.BlockLoopNumber)) {
    switch (P.BlockLoopNumber) {
      case 1: case 2: return 0.5;
      case 3: case 4: return 0.55;
      case 5: case 6: case 9: case 10: case 11: case 12: return 0.6;
      case 7: case 8: return 0.65;
      default: return 0.4;
    }
  }
  if (IsNumberedAnim(Name, "blockexit", P.BlockExitNumber)) {
    const u32 n = P.BlockExitNumber;
    return n == 5 || n == 6 || n == 15 || n == 16 ? 0.6 : 0.5;
  }
  if (IsNumberedAnim(Name, "blockgotexitedon", P.BlockExitedOnNumber)) {
    const u32 n = P.BlockExitedOnNumber;
    return n == 7 ? 0.6 : (n == 15 || n == 16 ? 0.7 : 0.5);
  }
  return 0.0;
}

// ---------------------------------------------------------------- choice
// The hold of a fresh gait or rest: it stays until it has looped once or
// more than the fraction F of it has played.
bool HeldFresh(const TPlayer& P, double F) {
  return P.AnimFreshStart != 0 && !(P.AnimLoopCount > 0 || AnimProgress(P) > F);
}

// Speeds are compared as the records hold them, in 32 bits: a player at
// 0.3 m/s is not walking, one at 3.2 m/s is not running.
constexpr f32 kCarrierMoving = 0.5f;     // m/s
constexpr f32 kRunningGait = 3.2f;       // m/s
constexpr f32 kSprintWish = 5.75f;       // m/s of desiredspeed
constexpr f32 kWalking = 0.3f;           // m/s
constexpr f32 kOffSpot = 0.1f;           // m in x or z
constexpr f32 kTurnSpeed = 4.0f;         // m/s
constexpr double kAccelerating = 0.75;   // of maxspeed
constexpr double kGaitHold = 0.25;       // of a fresh gait's cycle
constexpr double kRestHold = 0.55;       // of a fresh rest's cycle
constexpr double kScrimmageDone = 0.95;  // progress

// Lengths in frames.
constexpr f32 kSprintFrames = 1839.0f;
constexpr f32 kJogFistsFrames = 100.0f;
constexpr f32 kWalkFrames = 1900.0f;
constexpr f32 kRestFrames = 1839.0f;
constexpr f32 kHoldingBallFrames = 1920.0f;
constexpr f32 kShortFrames = 100.0f;
constexpr f32 kTurnFrames = 1830.0f;
constexpr f32 kTackleLoopFrames = 1839.0f;

void BreatheWithBall(TPlayer& P) { StartIfNew(P, "breathingwithball", kHoldingBallFrames, true, 8); }

void ChooseCarrierAnim(TWorld& W, int b, TPlayer& P) {
  const f32 v = P.speed;
  if (b == 2) {
    if (v > kCarrierMoving) StartIfNew(P, "sprintwithball", kSprintFrames, true, 1);
    else BreatheWithBall(P);
    return;
  }
  if (Runs(P.GettingTackledTimer)) {
    StartIfNew(P, "tackledrivewithball", kShortFrames, true, 74, true);
    return;
  }
  if (W.CarrierBrace != 0) {
    if (!(P.currentAnim == "bracewithball")) StartAnim(P, "bracewithball", kShortFrames, true, 73);
    else if (P.AnimLoopCount >= 1) W.CarrierBrace = kFalse32;
    return;
  }
  if (!(v > kCarrierMoving)) {
    BreatheWithBall(P);
    return;
  }
  if (P.AnimFreshStart != 0 && P.AnimLoopCount < 1) return;
  const bool running = W.gamestate == gsRunning;
  if (running && (P.TurnLeftWithBall != 0 || P.TurnRightWithBall != 0) && v > kTurnSpeed) {
    if (P.TurnLeftWithBall != 0) StartIfNew(P, "turn45leftwithball", kTurnFrames, true, 69, true);
    else StartIfNew(P, "turn45rightwithball", kTurnFrames, true, 70, true);
    P.TurnLeftWithBall = 0;
    P.TurnRightWithBall = 0;
  } else if (running && v > P.MeasuredSpeed && P.maxspeed > 0.0f &&
             static_cast<double>(v) / P.maxspeed < kAccelerating) {
    StartIfNew(P, "acceleratewithball", kShortFrames, true, 76, true);
  } else {
    StartIfNew(P, "sprintwithball", kSprintFrames, true, 1, true);
  }
}

bool HoldsBallInTransition(const TWorld& W, int b, int i) {
  if (W.gamestate != gsTransition || W.TransitionBallHeld == 0 || W.TransitionHolder != i) return false;
  return (W.TransitionHolderFirstBlock != 0) == (b == 1);
}

// A scrimmage player out of gottackled goes off the line for one loop (or
// 95 % of it), after which the ordinary gaits return. False when the rule
// does not apply.
bool ScrimmageOffTheLine(const TWorld& W, TPlayer& P) {
  const u32 n = P.ScrimmageNumber;
  if (W.gamestate == gsGotTackled || n == 0) return false;
  const std::string_view a = P.currentAnim.View();
  const bool offTheLine = IsNumberedAnim(a, "srimmageofftheline", n);
  if (!offTheLine && !IsNumberedAnim(a, "srimmagesetting", n) && !IsNumberedAnim(a, "srimmagebreathloop", n))
    return false;
  if (!offTheLine) StartAnim(P, NumberedAnim("srimmageofftheline", n).View(), kShortFrames, true, 1, true);
  else if (P.AnimLoopCount > 0 || AnimProgress(P) > kScrimmageDone) P.ScrimmageNumber = 0;
  return true;
}

void ChooseGait(TPlayer& P, std::string_view Name, f32 Length) {
  if (!(P.currentAnim == Name)) ContinueGait(P, Name, Length);
}

constexpr std::string_view kRestAnims[] = {"breathing", "breathingnormal", "breathingback", "breathingforward",
                                           "breathingtired"};

void Rest(const TWorld& W, TPlayer& P) {
  if (HeldFresh(P, kRestHold)) return;
  const TGameState s = W.gamestate;
  if (s == gsRunning || s == gsPassing || s == gsFreeBall || s == gsTransition) P.RestStyle = 0;
  const u32 n = P.ScrimmageNumber;
  if (s == gsGotTackled && n > 0) {
    const std::string_view a = P.currentAnim.View();
    const bool breathLoop = IsNumberedAnim(a, "srimmagebreathloop", n);
    if (!breathLoop && !IsNumberedAnim(a, "srimmagesetting", n))
      StartAnim(P, NumberedAnim("srimmagesetting", n).View(), kShortFrames, false, 1);
    else if (breathLoop && AnimProgress(P) > kScrimmageDone)
      StartAnim(P, NumberedAnim("srimmagebreathloop", n).View(), kShortFrames, true, 1);
    return;
  }
  if (P.RestStyle < std::size(kRestAnims)) StartIfNew(P, kRestAnims[P.RestStyle], kRestFrames, true, 1, true);
}

// ---------------------------------------------------------------- actions
// An action's animation: name, length in frames, loop flag, ball track.
struct TActionAnim {
  std::string_view Name;
  f32 Length;
  bool Loop;
  i16 Track;
};

constexpr TActionAnim kNoAnim{};

void StartIfNew(TPlayer& P, const TActionAnim& A) {
  if (!A.Name.empty()) StartIfNew(P, A.Name, A.Length, A.Loop, A.Track);
}

template <size_t N>
bool PlaysAnyOf(const TPlayer& P, const TActionAnim (&Anims)[N]) {
  for (const TActionAnim& a : Anims)
    if (P.currentAnim == a.Name) return true;
  return false;
}

// Whether Name plays and has reached its length.
bool HasEnded(const TPlayer& P, std::string_view Name) { return P.currentAnim == Name && P.currentframe >= P.maxframes; }

// Row K (1-based) of a table, or no animation.
template <size_t N>
const TActionAnim& Row(const TActionAnim (&Table)[N], int K) {
  return K >= 1 && static_cast<size_t>(K) <= N ? Table[K - 1] : kNoAnim;
}

// Plays A once; when it has ended, Next. A starts only while neither plays.
void OnceThen(TPlayer& P, const TActionAnim& A, const TActionAnim& Next) {
  if (HasEnded(P, A.Name)) StartIfNew(P, Next);
  else if (!(P.currentAnim == A.Name) && !(P.currentAnim == Next.Name)) StartAnim(P, A.Name, A.Length, A.Loop, A.Track);
}

// Passes by side (rows) and kind (columns 1..6); kind 7 on side 1 and kind
// 8 on side 2 are the centre and quarterback passes.
constexpr TActionAnim kPassLeft[] = {
    {"poppassleft", 2388, false, 36},   {"shortpassleft", 2638, false, 43},
    {"mediumpassleft", 2638, false, 34}, {"longpassleft", 2638, false, 32},
    {"standingstillpassleft", 2638, false, 48}, {"dummyhalfpassleft", 5678, false, 21},
    {"centerpass1", 100, false, 1}};
constexpr TActionAnim kPassRight[] = {
    {"poppassright", 2388, false, 37},   {"shortpassright", 2638, false, 44},
    {"mediumpassright", 2638, false, 35}, {"longpassright", 2638, false, 33},
    {"standingstillpassright", 2638, false, 49}, {"dummyhalfpassright", 5678, false, 22},
    {}, {"qbpass1", 100, false, 90}};
constexpr f32 kStandingStillPassFrames2 = 2720;  // block 2's standing-still pass
constexpr std::string_view kPassAnims[] = {
    "poppassleft",  "shortpassleft",  "mediumpassleft",  "longpassleft",  "standingstillpassleft",  "dummyhalfpassleft",
    "poppassright", "shortpassright", "mediumpassright", "longpassright", "standingstillpassright", "dummyhalfpassright",
    "centerpass1",  "qbpass1"};

constexpr TActionAnim kCatchLeft[] = {{"catchleft", 1838, false, 9}, {"catchleftlow", 1838, false, 11},
                                      {"catchlefthigh", 1838, false, 10}, {"catchleftstandingstill", 1838, false, 12}};
constexpr TActionAnim kCatchRight[] = {{"catchright", 1838, false, 13}, {"catchrightlow", 1838, false, 15},
                                       {"catchrighthigh", 1838, false, 14},
                                       {"catchrightstandingstill", 1838, false, 16}};
constexpr std::string_view kCatchAnims[] = {"catchleft",  "catchleftlow",  "catchlefthigh",  "catchleftstandingstill",
                                            "catchright", "catchrightlow", "catchrighthigh", "catchrightstandingstill"};

// Loose-ball takes by FreeBallCatchKind; kind 5, the jump catch, is built
// from the three below.
constexpr TActionAnim kLooseBallTakes[] = {
    {"runninglowcatch", 1920, false, 39}, {"standingstilllowcatch", 3840, false, 47},
    {"runningmidcatch", 1920, false, 40}, {"standingstillhighcatch", 3740, false, 46},
    {},                                   {"jumpcatchtipp1", 1920, false, 1},
    {"looseballdive", 8700, false, 60},   {"kicklooseball", 1835, false, 161}};
constexpr TActionAnim kJumpCatch{"jumpcatchp1", 4160, false, 25};
constexpr TActionAnim kJumpCatchHigh{"jumpcatchhighp1", 100, false, 75};
constexpr TActionAnim kJumpCatchLand{"jumpcatchp2", 1600, false, 26};
constexpr std::string_view kLooseBallEnds[] = {"runninglowcatch", "standingstilllowcatch", "standingstillhighcatch",
                                               "runningmidcatch", "looseballdive",         "jumpcatchp2",
                                               "jumpcatchtipp1",  "kicklooseball"};

constexpr TActionAnim kKicks[] = {{"punt", 9838, false, 38},     {"grubber", 1839, false, 23},
                                  {"chip", 1839, false, 17},     {"punt", 9838, false, 38},
                                  {"dropkick", 9838, false, 20}, {"goalkick", 9500, false, 1},
                                  {},                            {"punt", 9838, false, 38}};
constexpr std::string_view kKickAnims[] = {"punt", "grubber", "chip", "bomb", "dropkick", "goalkick"};

constexpr TActionAnim kDives[] = {{"trydotdown", 3750, false, 56}, {"trydive", 8719, false, 52},
                                  {"trydivehigh", 7120, false, 53}, {"trydivequick", 7115, false, 54}};

constexpr TActionAnim kCharge{"charge", 1920, false, 6};
constexpr TActionAnim kFendLeft{"fendleft", 1839, false, 2};
constexpr TActionAnim kFendRight{"fendright", 1839, false, 3};
constexpr TActionAnim kGooseStep{"goosestep", 2470, false, 7};
constexpr TActionAnim kStumble{"stumbleforward", 1920, false, 50};
constexpr std::string_view kBreakAnims[] = {
    "chargeleft",          "charge",       "chargeright",     "fendleftfront",      "fendleft",
    "fendleftback",        "fendrightfront", "fendright",     "fendrightback",      "goosestep",
    "stumbleforward",      "stumbleforwardleft", "stumbleforwardright", "stumbleleftforward", "stumbleleft",
    "stumbleleftback",     "stumblerightforward", "stumbleright", "stumblerightback"};

constexpr std::string_view kShimmyAnims[] = {"shimmyleft",      "shimmyright",      "shimmyleftsmall",
                                             "shimmyrightsmall", "shimmyleftdiag", "shimmyrightdiag"};
constexpr f32 kShimmyFrames = 2328;

constexpr TActionAnim kSteps[] = {{"stepleft", 1920, false, 4}, {"stepright", 1920, false, 5},
                                  {"spinleft", 100, false, 83}, {"spinright", 100, false, 84}};

constexpr TActionAnim kGetUp{"trydivestandupbackflick", 5998, false, 55};
constexpr TActionAnim kGetUpTurned{"trydivestandupbackflick180", 100, false, 55};
// Try celebrations, StandUpKind 2..16.
constexpr std::string_view kTryCelebrations[] = {"pelko",     "vellark1",  "crowdpoint1", "bicepflex",   "boxing",
                                                 "chesttap",  "excited",   "foldarms",    "greatest",    "karatekid",
                                                 "pumpupcrowd", "salute",  "throwdown",   "xfactor",     "gorilla"};
constexpr f32 kCelebrationFrames = 100;

constexpr TActionAnim kTackledForward{"divetackledfallforward", 3260, false, 19};
constexpr TActionAnim kTackledBack{"divetackledfallback", 4540, false, 18};
constexpr TActionAnim kOffload{"twohandedoffloadlow", 1920, false, 57};

constexpr TActionAnim kTackleForward{"divetacklefallforward", 4540, false, 1};
constexpr TActionAnim kTackleBack{"divetacklefallback", 3260, false, 1};
constexpr TActionAnim kFendedLeft{"fendedleft", 1838, false, 1};
constexpr TActionAnim kFendedRight{"fendedright", 1838, false, 1};

// Breakdown, scrum and maul roles.
constexpr std::string_view kPackPositions[] = {"hooker",   "leftprop",     "rightprop",     "leftlock",
                                               "rightlock", "leftflanker", "rightflanker", "no8"};
constexpr f32 kPackFrames = 1920;
constexpr f32 kClearOutFrames = 1980;
constexpr f32 kClearedOutLateStart = 297;  // 15 % of "clearedout"
constexpr f32 kMaulFrames = 12;
constexpr double kClearOutDriving = 0.05;  // |PackVelocityZ|, m/s
constexpr double kPackDriving = 0.1;       // |PackVelocityZ|, m/s
constexpr f32 kMaulHoldMoving = 0.1f;      // m/s

// Lineout roles.
constexpr TActionAnim kLifterCrouch{"lineoutliftercrouch", 1830, false, 1};
constexpr TActionAnim kLifterCrouchLoop{"lineoutliftercrouchloop", 1920, true, 1};
constexpr TActionAnim kLifterLift{"lineoutlifterlift", 2790, false, 1};
constexpr TActionAnim kThrowReady{"lineoutthrowready", 1820, false, 30};
constexpr TActionAnim kThrowReadyLoop{"lineoutthrowreadyloop", 1920, true, 31};
constexpr TActionAnim kThrow{"lineoutthrow", 1830, false, 29};
constexpr TActionAnim kLineoutPassLeft1{"lineoutpassleftp1", 3115, false, 27};
constexpr TActionAnim kLineoutPassLeft2{"lineoutpassleftp2", 1838, false, 28};
constexpr TActionAnim kLineoutPassRight1{"lineoutpassrightp1", 3115, false, 64};
constexpr TActionAnim kLineoutPassRight2{"lineoutpassrightp2", 3115, false, 65};
constexpr std::string_view kLineoutEnds[] = {"lineoutlifterlift", "lineoutpassleftp2", "lineoutpassrightp2",
                                             "lineoutpassleftp1", "lineoutpassrightp1"};

// Celebration gestures by CelebrateKind 1..3: start, loop, end.
struct TGesture {
  TActionAnim Start, Loop, End;
};
constexpr TGesture kGestures[] = {
    {{"onehandraisedstart", 860, false, 1}, {"onehandraisedloop", 950, true, 1}, {"onehandraisedend", 950, false, 1}},
    {{"twohandsraisedstart", 870, false, 1}, {"twohandsraisedloop", 950, true, 1}, {"twohandsraisedend", 950, false, 1}},
    {{"twohandsraisedstart", 870, false, 1},
     {"twohandsraisedstillloop", 950, true, 1},
     {"twohandsraisedend", 950, false, 1}}};
constexpr f32 kGestureEndTimer = 10.0f;  // s, CelebrateTimer while the end gesture plays

// Set-piece gestures by SpecialAnimKind 1..11.
constexpr TActionAnim kSpecialAnims[] = {
    {"scrumfeed", 3110, false, 42},  {"throwballaway", 3110, false, 51}, {"tapkick", 1800, false, 58},
    {"playball", 2795, false, 59},   {"trophybreathloop", 1900, true, 1}, {"n9pointleft", 100, false, 1},
    {"n9pointright", 100, false, 1}, {"n10pointleft", 100, false, 1},   {"n10pointright", 100, false, 1},
    {"n10shoutleft", 100, false, 1}, {"n10shoutright", 100, false, 1}};
constexpr int kTapKickKind = 3;
constexpr std::string_view kSpecialEnds[] = {"scrumfeed",     "throwballaway", "playball",     "n9pointleft",
                                             "n9pointright",  "n10pointleft",  "n10pointright", "n10shoutleft",
                                             "n10shoutright"};
constexpr f32 kBlockMoveFrames = 100;
constexpr u32 kBlockMoveNumbers = 16;  // "blockexit1" .. "blockexit16"

bool IsNumberedUpTo(std::string_view Name, std::string_view Prefix, u32 Last) {
  for (u32 n = 1; n <= Last; ++n)
    if (IsNumberedAnim(Name, Prefix, n)) return true;
  return false;
}

// ---------------------------------------------------------------- sections
void PassSection(TWorld& W, int b, TPlayer& P) {
  if (!Runs(P.passtimer) || PlaysAnyOf(P, kPassAnims) || (b == 1 && Runs(P.LineOutTimer))) return;
  const TTeamBlock& T = W.Teams[b];
  TActionAnim a = T.PassSide == 1 ? Row(kPassLeft, T.PassKind) : T.PassSide == 2 ? Row(kPassRight, T.PassKind) : kNoAnim;
  if (b == 2 && T.PassKind == 5) a.Length = kStandingStillPassFrames2;
  StartIfNew(P, a);
}

void CatchSection(TWorld& W, int b, TPlayer& P) {
  if (!Runs(P.passcatchtimer) || PlaysAnyOf(P, kCatchAnims)) return;
  const TTeamBlock& T = W.Teams[b];
  StartIfNew(P, T.CatchSide == 1 ? Row(kCatchLeft, T.CatchHeight)
                : T.CatchSide == 2 ? Row(kCatchRight, T.CatchHeight) : kNoAnim);
}

void LooseBallSection(TWorld& W, int b, int i, TPlayer& P) {
  if (!Runs(P.freeballcatchtimer)) return;
  const int kind = WholeKind(P.FreeBallCatchKind);
  if (kind != 5) {
    StartIfNew(P, Row(kLooseBallTakes, kind));
    return;
  }
  if (HasEnded(P, kJumpCatch.Name) || HasEnded(P, kJumpCatchHigh.Name)) {
    if (b == 1 && i == W.Teams[1].BallCarrier) W.JumpCatchLanded = kTrue32;
    StartIfNew(P, kJumpCatchLand);
  } else if (!(P.currentAnim == kJumpCatch.Name) && !(P.currentAnim == kJumpCatchHigh.Name) &&
             !(P.currentAnim == kJumpCatchLand.Name)) {
    StartIfNew(P, P.JumpCatchHigh != 0 ? kJumpCatchHigh : kJumpCatch);
  }
}

void KickSection(TPlayer& P) {
  if (Runs(P.KickTimer) && !PlaysAnyOf(P, kKickAnims)) StartIfNew(P, Row(kKicks, WholeKind(P.KickKind)));
}

void DiveSection(TPlayer& P) {
  if (Runs(P.DiveTimer) && !PlaysAnyOf(P, kDives)) StartIfNew(P, Row(kDives, P.DiveKind));
}

void BreakTackleSection(TPlayer& P) {
  if (!Runs(P.BreakTackleTimer)) return;
  const int code = WholeKind(P.ActionCode);
  if (code >= 1 && code <= 3) StartIfNew(P, kCharge);
  else if (code >= 4 && code <= 6) StartIfNew(P, kFendLeft);
  else if (code >= 7 && code <= 9) StartIfNew(P, kFendRight);
  else if (code == 10 || code == 20) StartIfNew(P, kGooseStep);
  else if (code >= 11 && code <= 19) StartIfNew(P, kStumble);
}

void ShimmySection(TPlayer& P) {
  if (!Runs(P.shimmytimer)) return;
  const i32 k = P.ShimmyKind;
  if (k == 1 || k == 3 || k == 5) StartIfNew(P, "shimmyleft", kShimmyFrames, false, 1);
  else if (k == 2 || k == 4 || k == 6) StartIfNew(P, "shimmyright", kShimmyFrames, false, 1);
}

void SideStepSection(TPlayer& P) {
  if (Runs(P.StepTimer) && !PlaysAnyOf(P, kSteps)) StartIfNew(P, Row(kSteps, WholeKind(P.StepKind)));
}

void GetUpSection(TPlayer& P) {
  if (!Runs(P.standuptimer)) return;
  const i32 k = P.StandUpKind;
  if (k == 1) StartIfNew(P, kGetUp);
  else if (k == 17) StartIfNew(P, kGetUpTurned);
  else if (k >= 2 && k <= 16) StartIfNew(P, kTryCelebrations[k - 2], kCelebrationFrames, false, 1);
}

void BeingTackledSection(TPlayer& P) {
  if (!Runs(P.GettingTackledTimer) || P.currentAnim == kTackledForward.Name || P.currentAnim == kTackledBack.Name)
    return;
  const int k = WholeKind(P.GettingTackledKind);
  if (k == 1 || k == 6) StartIfNew(P, kTackledForward);
  else if (k == 2 || k == 7) StartIfNew(P, kTackledBack);
}

void OffloadSection(TPlayer& P) {
  if (Runs(P.OffloadPending) && !Runs(P.passtimer)) StartIfNew(P, kOffload);
}

void TackleAttemptSection(TPlayer& P) {
  if (!Runs(P.TackleAttemptTimer)) return;
  const int k = WholeKind(P.TackleAttemptKind);
  if (k == 1 || k == 5) StartIfNew(P, kTackleForward);
  else if (k == 2 || k == 6) StartIfNew(P, kTackleBack);
  else if (k == 7) StartIfNew(P, kFendedLeft);
  else if (k == 8) StartIfNew(P, kFendedRight);
}

// The pack animation of a scrum position: Position (0..7) + Suffix.
void StartPackAnim(TPlayer& P, int Position, std::string_view Suffix, bool Loop) {
  char name[32];
  const std::string_view pos = kPackPositions[Position];
  size_t n = 0;
  for (char c : pos) name[n++] = c;
  for (char c : Suffix) name[n++] = c;
  StartIfNew(P, std::string_view(name, n), kPackFrames, Loop, 1);
}

void RuckRoleSection(const TWorld& W, TPlayer& P) {
  if (!Runs(P.RuckTimer)) return;
  const double pack = std::fabs(static_cast<double>(W.PackVelocityZ));
  const bool driving = pack > kPackDriving;
  const int role = WholeKind(P.RuckRole);
  if (role == 2) {
    StartIfNew(P, "jackle", 1820, false, 1);
  } else if (role == 3) {
    if (HasEnded(P, "clearout") && pack > kClearOutDriving) {
      StartIfNew(P, "clearoutdrivingloop", 1820, true, 1);
    } else if (P.currentAnim == "clearoutdrivingloop" && !(pack > kClearOutDriving)) {
      // Shown at its last frame, so it counts as ended at once.
      StartAnim(P, "clearout", kClearOutFrames, false, 1);
      P.currentframe = kClearOutFrames;
    } else if (!(P.currentAnim == "clearout") && !(P.currentAnim == "clearoutdrivingloop")) {
      StartAnim(P, "clearout", kClearOutFrames, false, 1);
    }
  } else if (role == 4) {
    StartIfNew(P, "clearedout", kClearOutFrames, false, 1);
  } else if (role >= 20 && role <= 35) {
    StartPackAnim(P, (role - 20) % 8, "crouchloop", true);
  } else if (role >= 36 && role <= 43) {
    StartPackAnim(P, role - 36, "engage", false);
  } else if (role >= 44 && role <= 51) {
    StartPackAnim(P, role - 44, driving ? "drivingloop" : "engagedloop", true);
  } else if (role == 52) {
    if (!(P.currentAnim == "clearedout")) {
      StartAnim(P, "clearedout", kClearOutFrames, false, 1);
      P.currentframe = kClearedOutLateStart;
    }
  } else if (role == 62) {
    if (HasEnded(P, "mauljoin")) P.RuckRole = 63.0f;
    else StartIfNew(P, "mauljoin", kMaulFrames, false, 1);
  } else if (role == 63) {
    StartIfNew(P, driving ? "mauldrivingloop" : "maulbreathingloop", kMaulFrames, true, 1);
  } else if (role == 64) {
    StartIfNew(P, driving ? "maulwithballdrivingloop" : "maulwithballbreathingloop", kMaulFrames, true, 1);
  } else if (role == 65) {
    StartIfNew(P, driving ? "maulwithballdrivingloop2" : "maulwithballbreatheloop2", kMaulFrames, true, 1);
  }
}

void MaulHoldSection(TPlayer& P) {
  if (!Runs(P.MaulHoldTimer) || P.MaulHoldKind != 0) return;
  StartIfNew(P, P.speed > kMaulHoldMoving ? "maulwithballdrivingloop" : "maulwithballbreathingloop", kMaulFrames,
             true, 1);
}

// Every lineout action's animation: the lifters', the thrower's, the jumps
// and landings.
constexpr TActionAnim kLineoutAnims[] = {kLifterCrouch,     kLifterCrouchLoop,  kLifterLift,
                                         kThrowReady,       kThrowReadyLoop,    kThrow,
                                         kLineoutPassLeft1, kLineoutPassLeft2,  kLineoutPassRight1,
                                         kLineoutPassRight2};

// Outside the lineout a lineout action only plays out. Once an action of
// another section has taken the player's animation (a jumper who goes for
// the loose ball), his lineout action is over: started again here, the two
// would restart each other's animation every frame and neither timer would
// ever end.
void LineoutSection(const TWorld& W, int b, TPlayer& P) {
  if (!Runs(P.LineOutTimer)) return;
  if (W.gamestate != gsLineout && !PlaysAnyOf(P, kLineoutAnims)) {
    P.LineOutTimer = 0.0f;
    return;
  }
  const int role = WholeKind(P.LineoutRole);
  if (role == 4) OnceThen(P, kLifterCrouch, kLifterCrouchLoop);
  else if (role == 5) StartIfNew(P, kLifterLift);
  else if (role == 2 && b == 1) OnceThen(P, kThrowReady, kThrowReadyLoop);
  else if (role == 3 && b == 1) StartIfNew(P, kThrow);
  else if (role == 10) OnceThen(P, kLineoutPassLeft1, kLineoutPassLeft2);
  else if (role == 11) OnceThen(P, kLineoutPassRight1, kLineoutPassRight2);
}

void GestureSection(const TWorld& W, TPlayer& P) {
  if (!Runs(P.CelebrateTimer)) return;
  const int kind = WholeKind(P.CelebrateKind);
  if (kind < 1 || kind > 3) return;
  const TGesture& g = kGestures[kind - 1];
  if (P.currentAnim == g.Loop.Name) {
    P.CelebrateTimer = ToF32(static_cast<double>(P.CelebrateTimer) - W.TimeStep);
    if (!Runs(P.CelebrateTimer)) {
      P.CelebrateTimer = kGestureEndTimer;
      StartIfNew(P, g.End);
    }
  } else if (HasEnded(P, g.Start.Name)) {
    StartIfNew(P, g.Loop);
  } else if (!(P.currentAnim == g.Start.Name) && !(P.currentAnim == g.End.Name)) {
    StartIfNew(P, g.Start);
  }
}

void SpecialSection(int b, TPlayer& P) {
  if (!Runs(P.SpecialAnimTimer)) return;
  const int kind = WholeKind(P.SpecialAnimKind);
  if (kind == kTapKickKind && b != 1) return;
  StartIfNew(P, Row(kSpecialAnims, kind));
}

void BlockExitSection(TPlayer& P) {
  if (Runs(P.BlockExitTimer))
    StartIfNew(P, NumberedAnim("blockexit", P.BlockExitNumber).View(), kBlockMoveFrames, false, 1);
}

void BlockExitedOnSection(TPlayer& P) {
  if (Runs(P.BlockExitedOnTimer))
    StartIfNew(P, NumberedAnim("blockgotexitedon", P.BlockExitedOnNumber).View(), kBlockMoveFrames, false, 1);
}

// ---------------------------------------------------------------- endings
// The tap kick of a mark: a special action of kind 3 that plays "tapkick".
void StartTapKick(TPlayer& P) {
  P.SpecialAnimTimer = 10.0f;
  P.SpecialAnimAngle = 90.0f;
  P.SpecialAnimFacing = 90.0f;
  P.SpecialAnimSpeed = 0.0f;
  P.SpecialAnimKind = static_cast<f32>(kTapKickKind);
}

bool TakesTapKick(const TWorld& W, int i) {
  return W.MarkCalled != 0 && W.gamestate == gsRunning && i == W.Teams[1].BallCarrier;
}

// A carrier's break or step has played out: the decision step may choose
// again (CarrierActionEnded only in the match world).
void EndCarrierAction(TWorld& W, i32 Kind) {
  TTeamBlock& T = W.Teams[1];
  if (T.CarrierActionKind != Kind) return;
  T.CarrierActionTime = 0.0f;
  if (W.LiveWorld != 0) T.CarrierActionEnded = kTrue32;
}

// The lineout thrower's new place once his throw has played: 1.5 to 3.0 m
// behind the line and 4.8 to 5.7 m in from his touchline (z drawn first).
void LeaveThrowerRole(TWorld& W, TPlayer& P) {
  P.LineoutRole = 0.0f;
  const double back = RandomRange(150, 301) / 100.0;
  P.DesiredPos.z = ToF32(static_cast<double>(W.LineoutZ) - back);
  const double in = RandomRange(480, 571) / 100.0;
  const double half = static_cast<double>(W.PitchWidth) / 2.0;
  P.DesiredPos.x = ToF32(W.LineoutOnNegativeX != 0 ? -half + in : half - in);
}

// The timers whose running cancels a pointing gesture or a block move.
bool RunsOtherAction(const TPlayer& P) {
  return Runs(P.TackleAttemptTimer) || Runs(P.standuptimer) || Runs(P.freeballcatchtimer) || Runs(P.RuckTimer) ||
         Runs(P.LineOutTimer) || Runs(P.GettingTackledTimer) || Runs(P.OldTackleTimer) || Runs(P.passtimer) ||
         Runs(P.passcatchtimer) || Runs(P.KickTimer) || Runs(P.BreakTackleTimer) || Runs(P.StepTimer) ||
         Runs(P.shimmytimer);
}

bool AwaitsPass(const TWorld& W, int b, int i) {
  const TTeamBlock& T = W.Teams[b];
  return i == T.PassReceiver && Runs(T.PassTimeLeft);
}

bool BallInPlay(const TWorld& W) {
  return W.gamestate == gsRunning || W.gamestate == gsPassing || W.gamestate == gsFreeBall;
}

}  // namespace

// ---------------------------------------------------------------- starting
void StartAnim(TPlayer& P, std::string_view Name, f32 Length, bool Loop, i16 Track, bool Fresh) {
  P.currentAnim.Assign(Name);
  P.currentframe = 0.0f;
  P.maxframes = Length;
  P.AnimLoop = Flag(Loop);
  P.BallTrack = Track;
  P.AnimLoopCount = 0;
  P.AnimFreshStart = Flag(Fresh);
}

void ContinueGait(TPlayer& P, std::string_view Name, f32 Length) {
  if (IsGait(P.currentAnim.View())) {
    P.currentframe = ToF32(AnimProgress(P) * Length);
    P.AnimFreshStart = kFalse32;
  } else {
    P.currentframe = 0.0f;
    P.AnimFreshStart = kTrue32;
  }
  P.maxframes = Length;
  P.currentAnim.Assign(Name);
  P.AnimLoop = kTrue32;
  P.BallTrack = 1;
  P.AnimLoopCount = 0;
}

double AnimProgress(const TPlayer& P) {
  return P.maxframes > 0.0f ? static_cast<double>(P.currentframe) / P.maxframes : 0.0;
}

bool IsNumberedAnim(std::string_view Name, std::string_view Prefix, u32 Number) {
  if (Name.size() <= Prefix.size() || Name.substr(0, Prefix.size()) != Prefix) return false;
  char digits[10];
  const int n = DecimalDigits(Number, digits);
  return Name.substr(Prefix.size()) == std::string_view(digits, static_cast<size_t>(n));
}

// ---------------------------------------------------------------- stages
bool PlayAnimSeq(TWorld& W, TPlayer& P) {
  TAnimSeq& S = P.AnimSeq;
  if (S.Playing == 0) return false;
  const int count = EntryCount(S);
  if (S.CurrEntry == 0) {
    S.CurrEntry = 1;
    S.Time = 0.0f;
    double total = 0.0;
    for (int k = 1; k <= count; ++k) total += EntryDuration(S.Entries[k]);
    S.TotalTime = ToF32(total);
  }
  S.Time = ToF32(static_cast<double>(S.Time) + W.TimeStep);
  const bool over = S.Time > S.TotalTime;
  if (count > 0) {
    int k = count;
    double start = 0.0;
    if (over) {
      P.currentframe = S.Entries[count].EndFrame;
    } else {
      // The first entry that ends at or after the sequence's time; past the
      // last by rounding, the last.
      double s = 0.0;
      for (int e = 1; e <= count; ++e) {
        const double d = EntryDuration(S.Entries[e]);
        if (S.Time <= s + d || e == count) {
          k = e;
          start = s;
          break;
        }
        s += d;
      }
      P.currentframe = EntryFrame(S.Entries[k], S.Time - start);
    }
    S.CurrEntry = static_cast<i16>(k);
    const TAnimSeqEntry& E = S.Entries[k];
    P.AnimLoop = E.Loop;
    if (!(P.currentAnim == E.Name.View())) P.currentAnim.Assign(E.Name.View());
  } else {
    S.CurrEntry = 0;
  }
  if (over) S.Playing = kFalse32;
  return S.Playing != 0;
}

void CancelActions(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  // Only these three timers are ever cancelled, and what decides it reads
  // the world without changing it: with none running there is nothing to do.
  if (!Runs(P.SpecialAnimTimer) && !Runs(P.BlockExitTimer) && !Runs(P.BlockExitedOnTimer)) return;
  const bool engaged = P.BlockEngaged[1] > 0 && P.BlockEngaged[2] > 0;
  const bool awaitsPass = AwaitsPass(W, b, i);
  const int special = WholeKind(P.SpecialAnimKind);
  if (Runs(P.SpecialAnimTimer) && special >= 6 && special <= 11) {
    if (BallInPlay(W) || (P.ActionSeq.seqON != 0 && P.ActionSeq.SeqHeadFlag != 0) || P.RuckMarking != 0 ||
        RunsOtherAction(P) || Runs(P.BlockExitTimer) || Runs(P.BlockExitedOnTimer) || engaged || awaitsPass ||
        (W.gamestate == gsScrum && W.PackVelocityZ < 0.0f))
      P.SpecialAnimTimer = 0.0f;
  }
  const bool blockMoveOff = !BallInPlay(W) || RunsOtherAction(P) || Runs(P.SpecialAnimTimer) || engaged || awaitsPass;
  if (Runs(P.BlockExitTimer) && (blockMoveOff || Runs(P.BlockExitedOnTimer))) P.BlockExitTimer = 0.0f;
  if (Runs(P.BlockExitedOnTimer) && (blockMoveOff || Runs(P.BlockExitTimer))) P.BlockExitedOnTimer = 0.0f;
}

void EndActions(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  if (!(P.currentframe >= P.maxframes)) return;
  const bool block1 = b == 1;
  const std::string_view a = P.currentAnim.View();
  if (Runs(P.shimmytimer) && PlaysAnyOf(P, kShimmyAnims)) {
    P.shimmytimer = 0.0f;
    P.ActionHoldTimer = 0.0f;
    P.PassReadTimer = 0.0f;
    P.AngleReactionTimer = 0.0f;
  }
  if (Runs(P.passtimer) && PlaysAnyOf(P, kPassAnims)) P.passtimer = 0.0f;
  if (Runs(P.OffloadPending) && a == kOffload.Name) P.OffloadPending = 0.0f;
  if (Runs(P.passcatchtimer) && PlaysAnyOf(P, kCatchAnims)) {
    P.passcatchtimer = 0.0f;
    P.WillAttemptPassInterCept = kFalse32;
  }
  if (Runs(P.freeballcatchtimer) && PlaysAnyOf(P, kLooseBallEnds)) {
    P.freeballcatchtimer = 0.0f;
    if (a == "looseballdive") {
      P.standuptimer = 10.0f;
      P.StandUpFacing = P.FreeBallCatchFacing;
      P.StandUpTurn = 0.0f;
      P.StandUpKind = 1;
    } else if (block1 && TakesTapKick(W, i)) {
      StartTapKick(P);
    }
  }
  if (block1 && Runs(P.KickTimer) && PlaysAnyOf(P, kKickAnims)) {
    P.KickTimer = 0.0f;
    if (W.KickType == 9) {  // a conversion: the kicker walks away
      P.SpecialAnimKind = 0.0f;
      P.SpecialAnimTimer = 10.0f;
      P.SpecialAnimFacing = 270.0f;
      P.SpecialAnimAngle = 270.0f;
      P.SpecialAnimSpeed = ToF32(static_cast<double>(P.JogSpeed) - 1.0);
    }
  }
  if (a == "trydotdown") P.DiveTimer = 0.0f;
  if (a == kGetUp.Name || a == kGetUpTurned.Name) {
    P.standuptimer = 0.0f;
    if (block1 && TakesTapKick(W, i)) StartTapKick(P);
  }
  if (Runs(P.standuptimer) && P.StandUpKind >= 2 && P.StandUpKind <= 16 && PlaysAnyOf(P, kTryCelebrations)) {
    P.standuptimer = 0.0f;
    if (W.gamestate == gsTryScored) {
      P.CelebrateStage = 0;
      P.CelebrateJoin = 0;
      P.CelebrateTimer = 0.0f;
    }
  }
  if (Runs(P.SpecialAnimTimer) && PlaysAnyOf(P, kSpecialEnds)) P.SpecialAnimTimer = 0.0f;
  if (Runs(P.BlockExitTimer) && IsNumberedUpTo(a, "blockexit", kBlockMoveNumbers)) P.BlockExitTimer = 0.0f;
  if (Runs(P.BlockExitedOnTimer) && IsNumberedUpTo(a, "blockgotexitedon", kBlockMoveNumbers))
    P.BlockExitedOnTimer = 0.0f;
  if (block1 && Runs(P.CelebrateTimer) && (a == "onehandraisedend" || a == "twohandsraisedend")) {
    P.CelebrateTimer = 0.0f;
    ++P.CelebrateStage;
  }
  if (block1 && a == kThrow.Name && !(i == W.Teams[1].BallCarrier && W.LineoutPhase <= 12)) LeaveThrowerRole(W, P);
  if (Runs(P.LineOutTimer) && W.gamestate != gsLineout && PlaysAnyOf(P, kLineoutEnds)) P.LineOutTimer = 0.0f;
  if (block1) {
    if (Runs(P.BreakTackleTimer) && PlaysAnyOf(P, kBreakAnims)) {
      P.BreakTackleTimer = 0.0f;
      W.CarrierBrace = kFalse32;
      EndCarrierAction(W, 4);
    }
    if (Runs(P.StepTimer) && PlaysAnyOf(P, kSteps)) {
      P.StepTimer = 0.0f;
      EndCarrierAction(W, 5);
    }
  } else if (a == kFendedLeft.Name || a == kFendedRight.Name) {
    P.ForcedRunTimer = 0.0f;
    P.TackleAttemptTimer = 0.0f;
  }
}

namespace {

// What a player's animation is and how far it has played.
struct TAnimPlayback {
  TAnimName Name;
  f32 Frame, Length;
  bool32 Loop, Fresh;
  i16 LoopCount, Track;
};

TAnimPlayback PlaybackOf(const TPlayer& P) {
  return {P.currentAnim, P.currentframe, P.maxframes, P.AnimLoop, P.AnimFreshStart, P.AnimLoopCount, P.BallTrack};
}

void Restore(TPlayer& P, const TAnimPlayback& A) {
  P.currentAnim = A.Name;
  P.currentframe = A.Frame;
  P.maxframes = A.Length;
  P.AnimLoop = A.Loop;
  P.AnimFreshStart = A.Fresh;
  P.AnimLoopCount = A.LoopCount;
  P.BallTrack = A.Track;
}

void ChooseActionAnimBySection(TWorld& W, int b, int i, TPlayer& P) {
  if (b == 1) {
    PassSection(W, b, P);
    CatchSection(W, b, P);
    LooseBallSection(W, b, i, P);
    KickSection(P);
    DiveSection(P);
    BreakTackleSection(P);
    ShimmySection(P);
    SideStepSection(P);
    GetUpSection(P);
    BeingTackledSection(P);
    OffloadSection(P);
    RuckRoleSection(W, P);
    MaulHoldSection(P);
    LineoutSection(W, b, P);
    GestureSection(W, P);
  } else {
    PassSection(W, b, P);
    CatchSection(W, b, P);
    ShimmySection(P);
    LooseBallSection(W, b, i, P);
    DiveSection(P);
    GetUpSection(P);
    TackleAttemptSection(P);
    RuckRoleSection(W, P);
    LineoutSection(W, b, P);
  }
  SpecialSection(b, P);
  BlockExitSection(P);
  BlockExitedOnSection(P);
}

}  // namespace

void ChooseActionAnim(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  // The last section wins. When it chooses the animation that was already
  // playing, that animation plays on even if an earlier section started
  // another one in between: with two actions running, restarting it every
  // frame would let neither animation, nor its action, ever end.
  const TAnimPlayback before = PlaybackOf(P);
  ChooseActionAnimBySection(W, b, i, P);
  if (P.currentAnim == before.Name.View()) Restore(P, before);
}

bool IsFreeOfActions(const TPlayer& P, int b) {
  const bool block1 = b == 1;
  const bool busy = Runs(P.passtimer) || Runs(P.passcatchtimer) || (block1 && Runs(P.KickTimer)) ||
                    Runs(P.DiveTimer) || Runs(P.standuptimer) || Runs(P.GettingTackledTimer) ||
                    Runs(P.OffloadPending) || Runs(P.RuckTimer) || Runs(P.TackleAttemptTimer) ||
                    Runs(P.RuckTimer2) || Runs(P.OldTackleTimer) || Runs(P.SpecialAnimTimer) ||
                    (block1 && Runs(P.BreakTackleTimer)) || (block1 && Runs(P.StepTimer)) ||
                    Runs(P.LineOutTimer) || Runs(P.MaulHoldTimer) || Runs(P.freeballcatchtimer) ||
                    Runs(P.CelebrateTimer) || Runs(P.shimmytimer) || Runs(P.BlockExitTimer) ||
                    Runs(P.BlockExitedOnTimer);
  if (!busy) return true;
  if (block1 ? Runs(P.GettingTackledTimer) && P.GettingTackledKind == 0.0f && !Runs(P.OffloadPending) &&
                   !Runs(P.passtimer)
             : Runs(P.TackleAttemptTimer) && P.TackleAttemptKind == 0.0f)
    return true;
  const f32 role = P.RuckRole;
  if (Runs(P.RuckTimer) && (role == 0.0f || role == 1.0f || role == 60.0f || role == 61.0f)) return true;
  if (Runs(P.LineOutTimer) && (P.LineoutRole == 0.0f || P.LineoutRole == 1.0f)) return true;
  if (Runs(P.MaulHoldTimer) && P.MaulHoldKind == 1) return true;
  return Runs(P.SpecialAnimTimer) && P.SpecialAnimKind == 0.0f;
}

void ChooseLocomotionAnim(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  if (i == W.Teams[b].BallCarrier) {
    ChooseCarrierAnim(W, b, P);
    return;
  }
  if (b == 2 && Runs(P.TackleAttemptTimer)) {
    if (P.TackleAttemptKind == 0.0f) StartIfNew(P, "intackleloop", kTackleLoopFrames, true, 1);
    return;
  }
  if (HoldsBallInTransition(W, b, i)) {
    if (P.speed > kCarrierMoving) StartIfNew(P, "sprintwithball", kSprintFrames, true, 1);
    else BreatheWithBall(P);
    return;
  }
  if (P.BlockEngaged[1] > 0 && P.BlockEngaged[2] > 0) {
    StartIfNew(P, NumberedAnim("blockloop", P.BlockLoopNumber).View(), kShortFrames, true, 1);
    return;
  }
  if (ScrimmageOffTheLine(W, P)) return;
  const f32 v = P.speed;
  if (v > kRunningGait) {
    if (HeldFresh(P, kGaitHold)) return;
    if (P.desiredspeed > kSprintWish) ChooseGait(P, "sprint", kSprintFrames);
    else ChooseGait(P, "jogfists", kJogFistsFrames);
    return;
  }
  const bool offSpot = std::fabs(static_cast<double>(P.DesiredPos.x) - P.Pos.x) > kOffSpot ||
                       std::fabs(static_cast<double>(P.DesiredPos.z) - P.Pos.z) > kOffSpot;
  if (v > kWalking || offSpot) {
    if (HeldFresh(P, kGaitHold)) return;
    ChooseGait(P, "walk", kWalkFrames);
    return;
  }
  Rest(W, P);
}

namespace {

// The rate of the rarer rules (passes, kicks, shimmies, dives and the like),
// kept out of line so that the fixed and speed-paced cycles of nearly every
// player stay a short path.
[[gnu::noinline]] double PacedRate(TWorld& W, int b, int i, const TRateRule& R) {
  const TPlayer& P = W.Teams[b].Players[i];
  const double frames = P.maxframes;
  const double v = P.speed;
  const double fraction = b == 1 ? R.Fraction1 : R.Fraction2;
  switch (R.Kind) {
    case ERate::TackleDrive: return frames / TackleDriveSeconds(b, v);
    case ERate::CarrierPass:
      if (b == 2 || (W.gamestate == gsRunning && i == W.Teams[1].BallCarrier))
        return FractionRate(fraction, frames, (P.*(R.ReleaseTime)).value);
      return frames / (kPassPaceScale * CurveSeconds(kSprintCurve, v));
    case ERate::DummyHalfRight:
      if (b == 1 && (P.*(R.ReleaseTime)).value == 0.0f) LogZeroDummyHalfRelease(W, i);
      [[fallthrough]];
    case ERate::Release:
      return FractionRate(fraction, R.Frames > 0.0 ? R.Frames : frames, (P.*(R.ReleaseTime)).value);
    case ERate::GoalKick: return FractionRate(fraction, frames, W.Teams[b].GoalKickReleaseTime);
    case ERate::CenterPass: return frames / kCenterPassCycle;
    case ERate::Shimmy: return P.ShimmyDuration > 0.0f ? frames / P.ShimmyDuration : kZeroReleaseRate;
    case ERate::DiveTackleFallForward: {
      const double rate = frames / kDiveTackleCycle;
      return b == 2 && DiveSlowed(W, P) ? rate * kDiveTackleSlowing : rate;
    }
    case ERate::Seconds:
    case ERate::Curve: break;  // paced by SetPlaybackRate
  }
  return 0.0;
}

}  // namespace

void SetPlaybackRate(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  // The rule is looked up once per name: the code is kept beside the name
  // and forgotten whenever the name is assigned.
  TAnimName& anim = P.currentAnim;
  if (anim.RateCode == 0) anim.RateCode = RateCodeOf(anim.View());
  const u8 code = anim.RateCode;
  if (code == kNoRateCode) return;
  const double frames = P.maxframes;
  const TRateRule* r = code == kNumberedCode ? nullptr : &kRateRules[code - 1];
  if (r == nullptr || (r->Blocks & (b == 1 ? kBlock1 : kBlock2)) == 0) {
    const double s = NumberedSeconds(P, anim.View());
    if (s > 0.0) P.AnimRate = ToF32(frames / s);
    return;
  }
  if (r->Kind == ERate::Seconds) {
    P.AnimRate = ToF32(frames / r->Seconds);
  } else if (r->Kind == ERate::Curve) {
    P.AnimRate = ToF32(frames / CurveSeconds(r->Curve, P.speed));
  } else {
    P.AnimRate = ToF32(PacedRate(W, b, i, *r));
    if (r->Kind == ERate::CenterPass && b == 1) CenterPassToScrimmage(W, i, P);
  }
}

void AdvanceAnim(const TWorld& W, TPlayer& P) {
  if (P.AnimLoop != 0 && !(P.maxframes > 0.0f)) {
    P.currentframe = 0.0f;
    return;
  }
  const f32 old = P.currentframe;
  P.currentframe = AdvanceAnimTime(old, P.maxframes, P.AnimRate, W.TimeStep, P.AnimLoop);
  if (P.currentframe < old && P.AnimLoopCount < INT16_MAX) ++P.AnimLoopCount;
}

void AnimatePlayers(TWorld& W) {
  const int n = PlayerCount(W);
  // The advance runs as a second pass: each player's rate is then no longer
  // waited for before the next player's choice starts. The order is the
  // same for every player's own stages, and the advance writes only his
  // currentframe and AnimLoopCount, which no stage reads of another player.
  u32 advance[3] = {0, 0, 0};  // bit i of block b: player i advances
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      if (PlayAnimSeq(W, P)) continue;
      CancelActions(W, b, i);
      EndActions(W, b, i);
      if (IsFreeOfActions(P, b)) ChooseLocomotionAnim(W, b, i);
      else ChooseActionAnim(W, b, i);
      SetPlaybackRate(W, b, i);
      advance[b] |= 1u << i;
    }
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i)
      if ((advance[b] >> i & 1u) != 0) AdvanceAnim(W, W.Teams[b].Players[i]);
}
