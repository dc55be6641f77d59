#include "motion/AnimatePlayersUnit.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/Kinematics.h"
#include "core/NumberFormat.h"
#include "core/RunLog.h"

namespace {

// ---------------------------------------------------------------- names
// A name built from a prefix and a number ("blockloop" 13), in a fixed
// buffer: the longest prefix is 18 characters, a number at most 10 digits.
struct TAnimName {
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

TAnimName NumberedAnim(std::string_view Prefix, u32 Number) {
  TAnimName a{};
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

constexpr u32 NameHash(std::string_view N) {
  u32 h = 2166136261u;
  for (char c : N) h = (h ^ static_cast<u8>(c)) * 16777619u;
  return h;
}

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

void CancelActions(TWorld& W, int b, int i) { (void)W, (void)b, (void)i; }
void EndActions(TWorld& W, int b, int i) { (void)W, (void)b, (void)i; }
void ChooseActionAnim(TWorld& W, int b, int i) { (void)W, (void)b, (void)i; }

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

void SetPlaybackRate(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  const std::string_view name = P.currentAnim.View();
  const double frames = P.maxframes;
  const double v = P.speed;
  const TRateRule* r = FindRateRule(name);
  if (r == nullptr || (r->Blocks & (b == 1 ? kBlock1 : kBlock2)) == 0) {
    const double s = NumberedSeconds(P, name);
    if (s > 0.0) P.AnimRate = ToF32(frames / s);
    return;
  }
  const double fraction = b == 1 ? r->Fraction1 : r->Fraction2;
  double rate = 0.0;
  switch (r->Kind) {
    case ERate::Seconds: rate = frames / r->Seconds; break;
    case ERate::Curve: rate = frames / CurveSeconds(r->Curve, v); break;
    case ERate::TackleDrive: rate = frames / TackleDriveSeconds(b, v); break;
    case ERate::CarrierPass:
      if (b == 2 || (W.gamestate == gsRunning && i == W.Teams[1].BallCarrier))
        rate = FractionRate(fraction, frames, (P.*(r->ReleaseTime)).value);
      else
        rate = frames / (kPassPaceScale * CurveSeconds(kSprintCurve, v));
      break;
    case ERate::DummyHalfRight:
      if (b == 1 && (P.*(r->ReleaseTime)).value == 0.0f) LogZeroDummyHalfRelease(W, i);
      [[fallthrough]];
    case ERate::Release:
      rate = FractionRate(fraction, r->Frames > 0.0 ? r->Frames : frames, (P.*(r->ReleaseTime)).value);
      break;
    case ERate::GoalKick: rate = FractionRate(fraction, frames, W.Teams[b].GoalKickReleaseTime); break;
    case ERate::CenterPass: rate = frames / kCenterPassCycle; break;
    case ERate::Shimmy: rate = P.ShimmyDuration > 0.0f ? frames / P.ShimmyDuration : kZeroReleaseRate; break;
    case ERate::DiveTackleFallForward:
      rate = frames / kDiveTackleCycle;
      if (b == 2 && DiveSlowed(W, P)) rate *= kDiveTackleSlowing;
      break;
  }
  P.AnimRate = ToF32(rate);
  if (r->Kind == ERate::CenterPass && b == 1) CenterPassToScrimmage(W, i, P);
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
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i) {
      TPlayer& P = W.Teams[b].Players[i];
      if (PlayAnimSeq(W, P)) continue;
      CancelActions(W, b, i);
      EndActions(W, b, i);
      if (IsFreeOfActions(P, b)) ChooseLocomotionAnim(W, b, i);
      else ChooseActionAnim(W, b, i);
      SetPlaybackRate(W, b, i);
      AdvanceAnim(W, P);
    }
}
