#include "motion/AnimatePlayersUnit.h"

#include <cmath>
#include <cstdint>
#include <iterator>

#include "core/Kinematics.h"
#include "core/Rounding.h"

namespace {

// ---------------------------------------------------------------- names
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

void AdvanceAnim(const TWorld& W, TPlayer& P) {
  if (P.AnimLoop != 0 && !(P.maxframes > 0.0f)) {
    P.currentframe = 0.0f;
    return;
  }
  const f32 old = P.currentframe;
  P.currentframe = AdvanceAnimTime(old, P.maxframes, P.AnimRate, W.TimeStep, P.AnimLoop);
  if (P.currentframe < old && P.AnimLoopCount < INT16_MAX) ++P.AnimLoopCount;
}

namespace {
namespace body {

// Inline here, so the step holds it in its loop; ChooseAnimation forwards.
inline bool ChooseAnimation(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  if (PlayAnimSeq(W, P)) return false;
  CancelActions(W, b, i);
  EndActions(W, b, i);
  if (IsFreeOfActions(P, b)) ChooseLocomotionAnim(W, b, i);
  else ChooseActionAnim(W, b, i);
  SetPlaybackRate(W, b, i);
  return true;
}

}  // namespace body
}  // namespace

bool ChooseAnimation(TWorld& W, int b, int i) { return body::ChooseAnimation(W, b, i); }

void AnimatePlayers(TWorld& W) {
  const int n = PlayerCount(W);
  // The advance runs as a second pass: each player's rate is then no longer
  // waited for before the next player's choice starts. The order is the
  // same for every player's own stages, and the advance writes only his
  // currentframe and AnimLoopCount, which no stage reads of another player.
  u32 advance[3] = {0, 0, 0};  // bit i of block b: player i advances
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i)
      if (body::ChooseAnimation(W, b, i)) advance[b] |= 1u << i;
  for (int b = 1; b <= 2; ++b)
    for (int i = 1; i <= n; ++i)
      if ((advance[b] >> i & 1u) != 0) AdvanceAnim(W, W.Teams[b].Players[i]);
}
