#include "core/Replacements.h"

#include <numbers>
#include <utility>

#include "core/Random.h"
#include "core/WorldDefaults.h"

namespace {

constexpr int kLastBench = 22;

int FreeMessageSlots(const TWorld& W) {
  int n = 0;
  for (bool32 f : W.MessageSlotFree) n += (f != 0) ? 1 : 0;
  return n;
}

bool Available(const TPlayer& P) { return P.Unavailable == 0; }

bool MustLeave(const TTeamBlock& T, int p) {
  const TPlayer& P = T.Players[p];
  if (P.Unavailable == 0 || P.UnavailableKind != 1) return false;
  // A front-row player stays on when neither front-row replacement can come on.
  const bool frontRowBenchGone = !Available(T.Players[16]) && !Available(T.Players[17]);
  return !(p <= 3 && frontRowBenchGone);
}

// How well bench player Q suits position p.
f32 ReplacementScore(const TPlayer& Q, int p) {
  const double tackle = 0.01 * Q.MakeTackleProb;
  const double breakdown = 0.01 * Q.BreakdownChance;
  const double speed = Q.MaxSpeedNonFatigued;
  double s;
  switch (p) {
    case 1: case 2: case 3: s = 0.01 * Q.Weight + breakdown + tackle; break;
    case 4: case 5: s = 5.0 * Q.Height + breakdown + tackle; break;
    case 6: case 7: case 8: s = speed + breakdown + tackle; break;
    case 9: s = speed + Q.maxpassspeed + tackle; break;
    case 10: case 12:
      s = speed + Q.maxpassspeed + tackle + Q.Acceleration + (40.0 - Q.KickDeviation2);
      break;
    case 11: case 14: s = speed; break;
    case 13: s = speed + tackle; break;
    default: s = speed + Q.Acceleration + tackle; break;  // 15 and any other
  }
  return static_cast<f32>(s);
}

// The named replacement for position p that is on the bench and available;
// 0 if there is none. A named number that is not on the bench (more than 15
// players on the field) is passed over, so no player on the field is swapped.
int NamedReplacement(const TTeamBlock& T, int p, int firstBench) {
  auto ready = [&](int q) { return q >= firstBench && q <= kLastBench && Available(T.Players[q]); };
  auto first = [&](int a, int b) { return ready(a) ? a : (b != 0 && ready(b)) ? b : 0; };
  switch (p) {
    case 1: case 3: return first(16, 17);
    case 2: return first(17, 16);
    case 4: case 5: return first(18, 0);
    case 6: case 7: case 8: return first(19, 0);
    case 9: case 10: return first(20, 0);
    case 12: case 13: return first(21, 0);
    case 11: case 14: case 15: return first(22, 0);
    default: return 0;
  }
}

int ChooseReplacement(const TTeamBlock& T, int p, int firstBench) {
  if (const int named = NamedReplacement(T, p, firstBench)) return named;
  f32 best = -1000.0f;
  int b = 0;
  for (int q = firstBench; q <= kLastBench; ++q) {
    if (!Available(T.Players[q])) continue;
    const f32 s = ReplacementScore(T.Players[q], p);
    if (s > best) {
      best = s;
      b = q;
    }
  }
  return b;
}

// The newcomer starts fresh on the touch line at halfway.
void MakeReady(const TWorld& W, TPlayer& B) {
  B.GettingTackledTimer = B.TackleAttemptTimer = B.OldTackleTimer = B.RuckTimer = 0;
  B.shimmytimer = B.standuptimer = B.passtimer = B.passcatchtimer = B.freeballcatchtimer = 0;
  B.SpecialAnimTimer = B.DiveTimer = B.KickTimer = B.ForcedRunTimer = B.LineOutTimer = 0;
  B.CelebrateTimer = B.playertofollowtimer = 0;
  B.target = B.numtargetting = B.governedby = B.numgoverning = 0;
  B.SetPiecePlaced = kFalse32;
  B.OffsideMark = 0;
  B.Fatigued = kFalse32;
  B.FatigueLevel = 0;
  for (i32& h : B.FootprintHolder) h = 0;
  B.ActionSeq.seqON = kFalse32;
  B.Pos.x = static_cast<f32>(-0.5 * W.PitchWidth);
  B.Pos.z = 0;
  B.OldPos = B.Pos;
  B.DesiredPos = B.Pos;
  B.speed = 0;
  B.FatigueTimer = static_cast<f32>(B.FatigueFreshTime + RandomRange(1, 6));
  SetBreathing(B);
  B.InBackline = kTrue32;
  B.Heading = 270.0f;
  B.FacingAngle = static_cast<f32>(2.0 * std::numbers::pi);
  for (TDistribution* d : {&B.StrengthScale, &B.ActionTime3}) {
    d->value = DrawClamped(*d);
  }
}

void ReplaceOnSide(TWorld& W, TTeamBlock& T) {
  const int onField = PlayerCount(W);
  for (int p = 1; p <= onField; ++p) {
    if (!MustLeave(T, p)) continue;
    if (FreeMessageSlots(W) < 2) return;  // no room to announce it: wait for the next restart
    const int b = ChooseReplacement(T, p, onField + 1);
    if (b == 0) continue;
    MakeReady(W, T.Players[b]);
    const f32 shirt = static_cast<f32>(p);
    PostMessage(W, T.teamid, T.Players[p].id, msgPlayerOff, shirt);
    PostMessage(W, T.teamid, T.Players[b].id, msgPlayerOn, shirt);
    std::swap(T.Players[p], T.Players[b]);
  }
}

}  // namespace

void ResetPlayersForRestart(TWorld& W) {
  ReplaceOnSide(W, W.Teams[1]);
  ReplaceOnSide(W, W.Teams[2]);
}

void ChooseRandomProfile(Arr1<u16, 5>& ProfileChoice) {
  // Weights of profiles 0 to 4: categories 1 and 2 never take profile 3.
  static constexpr i16 kWeightsFirst[5] = {100, 100, 100, 0, 100};
  static constexpr i16 kWeightsLater[5] = {100, 100, 100, 100, 100};
  for (int c = 2; c <= 5; ++c) ProfileChoice[c] = 0;
  for (int category = 1; category <= 4; ++category) {
    const i16* weights = (category <= 2) ? kWeightsFirst : kWeightsLater;
    ProfileChoice[category + 1] = static_cast<u16>(WeightedRandomIndex(weights, 5) - 1);
  }
}
