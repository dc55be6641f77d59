#include "motion/PlaybackRate.h"

#include <array>
#include <string>

#include "core/NameHash.h"
#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "core/RunLog.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

// The blocks a rule applies to (bits).
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
  return C != nullptr && C->GettingTackledTimer > 0.0f && P.governedby == 0 && P.target == c &&
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
