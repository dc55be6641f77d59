#include "motion/ActionAnimations.h"

#include <cmath>
#include <iterator>
#include <span>

#include "core/Random.h"
#include "core/Rounding.h"
#include "motion/AnimatePlayersUnit.h"

namespace {

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
void EndCarrierAction(TWorld& W, TCarrierAction Kind) {
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

// What else ends with an action, beyond its timer.
void EndShimmy(TWorld&, int, int, TPlayer& P) {
  P.ActionHoldTimer = 0.0f;
  P.PassReadTimer = 0.0f;
  P.AngleReactionTimer = 0.0f;
}

void EndCatch(TWorld&, int, int, TPlayer& P) { P.WillAttemptPassInterCept = kFalse32; }

// A loose-ball dive leaves the player to stand up; block 1's carrier who
// called a mark takes his tap kick.
void EndLooseBallTake(TWorld& W, int b, int i, TPlayer& P) {
  if (P.currentAnim == "looseballdive") {
    P.standuptimer = 10.0f;
    P.StandUpFacing = P.FreeBallCatchFacing;
    P.StandUpTurn = 0.0f;
    P.StandUpKind = 1;
  } else if (b == 1 && TakesTapKick(W, i)) {
    StartTapKick(P);
  }
}

// After a conversion the kicker walks away.
void EndKick(TWorld& W, int, int, TPlayer& P) {
  if (W.KickType != kKickTypeConversion) return;
  P.SpecialAnimKind = 0.0f;
  P.SpecialAnimTimer = 10.0f;
  P.SpecialAnimFacing = 270.0f;
  P.SpecialAnimAngle = 270.0f;
  P.SpecialAnimSpeed = ToF32(static_cast<double>(P.JogSpeed) - 1.0);
}

void EndTryDotDown(TWorld&, int, int, TPlayer& P) { P.DiveTimer = 0.0f; }

void EndGetUp(TWorld& W, int b, int i, TPlayer& P) {
  P.standuptimer = 0.0f;
  if (b == 1 && TakesTapKick(W, i)) StartTapKick(P);
}

bool CelebratesTry(const TWorld&, int, const TPlayer& P) { return P.StandUpKind >= 2 && P.StandUpKind <= 16; }

void EndTryCelebration(TWorld& W, int, int, TPlayer& P) {
  if (W.gamestate != gsTryScored) return;
  P.CelebrateStage = 0;
  P.CelebrateJoin = 0;
  P.CelebrateTimer = 0.0f;
}

void EndGesture(TWorld&, int, int, TPlayer& P) { ++P.CelebrateStage; }

// The thrower keeps his role while he holds the ball through the throw.
bool ThrowerLeaves(const TWorld& W, int i, const TPlayer&) {
  return !(i == W.Teams[1].BallCarrier && W.LineoutPhase <= 12);
}

void EndThrow(TWorld& W, int, int, TPlayer& P) { LeaveThrowerRole(W, P); }

bool OutOfLineout(const TWorld& W, int, const TPlayer&) { return W.gamestate != gsLineout; }

void EndBreak(TWorld& W, int, int, TPlayer&) {
  W.CarrierBrace = kFalse32;
  EndCarrierAction(W, caBreak);
}

void EndStep(TWorld& W, int, int, TPlayer&) { EndCarrierAction(W, caStep); }

void EndFended(TWorld&, int, int, TPlayer& P) {
  P.ForcedRunTimer = 0.0f;
  P.TackleAttemptTimer = 0.0f;
}

// The blocks a row of the table applies to (bits).
constexpr u8 kEndsBlock1 = 1;
constexpr u8 kEndsBlock2 = 2;
constexpr u8 kEndsBoth = 3;

// An action that ends with its animation. When the row applies to the
// player's block, its timer runs (a row without a timer: always), the
// animation now playing is one of its animations (or, with a numbered
// prefix, that prefix with 1..16) and When holds (when given): the timer
// := 0, then Then ends the rest.
struct TActionEnd {
  f32 TPlayer::*Timer;
  u8 Blocks;
  std::span<const std::string_view> Anims;
  std::string_view NumberedPrefix;
  bool (*When)(const TWorld& W, int i, const TPlayer& P);
  void (*Then)(TWorld& W, int b, int i, TPlayer& P);
};

constexpr std::string_view kOffloadEnds[] = {kOffload.Name};
constexpr std::string_view kTryDotDownEnds[] = {"trydotdown"};
constexpr std::string_view kGetUpEnds[] = {kGetUp.Name, kGetUpTurned.Name};
constexpr std::string_view kGestureEnds[] = {"onehandraisedend", "twohandsraisedend"};
constexpr std::string_view kThrowEnds[] = {kThrow.Name};
constexpr std::string_view kStepEnds[] = {kSteps[0].Name, kSteps[1].Name, kSteps[2].Name, kSteps[3].Name};
static_assert(std::size(kSteps) == std::size(kStepEnds));
constexpr std::string_view kFendedEnds[] = {kFendedLeft.Name, kFendedRight.Name};

// In this order: a row's end may start what a later row reads (a tap kick,
// a stand-up).
using P_ = TPlayer;
constexpr TActionEnd kActionEnds[] = {
    {&P_::shimmytimer, kEndsBoth, kShimmyAnims, {}, nullptr, EndShimmy},
    {&P_::passtimer, kEndsBoth, kPassAnims, {}, nullptr, nullptr},
    {&P_::OffloadPending, kEndsBoth, kOffloadEnds, {}, nullptr, nullptr},
    {&P_::passcatchtimer, kEndsBoth, kCatchAnims, {}, nullptr, EndCatch},
    {&P_::freeballcatchtimer, kEndsBoth, kLooseBallEnds, {}, nullptr, EndLooseBallTake},
    {&P_::KickTimer, kEndsBlock1, kKickAnims, {}, nullptr, EndKick},
    {nullptr, kEndsBoth, kTryDotDownEnds, {}, nullptr, EndTryDotDown},
    {nullptr, kEndsBoth, kGetUpEnds, {}, nullptr, EndGetUp},
    {&P_::standuptimer, kEndsBoth, kTryCelebrations, {}, CelebratesTry, EndTryCelebration},
    {&P_::SpecialAnimTimer, kEndsBoth, kSpecialEnds, {}, nullptr, nullptr},
    {&P_::BlockExitTimer, kEndsBoth, {}, "blockexit", nullptr, nullptr},
    {&P_::BlockExitedOnTimer, kEndsBoth, {}, "blockgotexitedon", nullptr, nullptr},
    {&P_::CelebrateTimer, kEndsBlock1, kGestureEnds, {}, nullptr, EndGesture},
    {nullptr, kEndsBlock1, kThrowEnds, {}, ThrowerLeaves, EndThrow},
    {&P_::LineOutTimer, kEndsBoth, kLineoutEnds, {}, OutOfLineout, nullptr},
    {&P_::BreakTackleTimer, kEndsBlock1, kBreakAnims, {}, nullptr, EndBreak},
    {&P_::StepTimer, kEndsBlock1, kStepEnds, {}, nullptr, EndStep},
    {nullptr, kEndsBlock2, kFendedEnds, {}, nullptr, EndFended},
};

bool PlaysEndOf(const TPlayer& P, const TActionEnd& E) {
  if (!E.NumberedPrefix.empty()) return IsNumberedUpTo(P.currentAnim.View(), E.NumberedPrefix, kBlockMoveNumbers);
  for (std::string_view n : E.Anims)
    if (P.currentAnim == n) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------- stages
void CancelRunningActions(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
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

void EndPlayedOutActions(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  const u8 block = b == 1 ? kEndsBlock1 : kEndsBlock2;
  for (const TActionEnd& E : kActionEnds) {
    if ((E.Blocks & block) == 0) continue;
    if (E.Timer != nullptr && !Runs(P.*E.Timer)) continue;
    if (!PlaysEndOf(P, E)) continue;
    if (E.When != nullptr && !E.When(W, i, P)) continue;
    if (E.Timer != nullptr) P.*E.Timer = 0.0f;
    if (E.Then != nullptr) E.Then(W, b, i, P);
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
