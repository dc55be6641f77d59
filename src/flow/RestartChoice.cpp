#include "flow/RestartChoice.h"

#include <algorithm>

#include "core/Geometry.h"
#include "core/NumberFormat.h"
#include "core/OptionWeights.h"
#include "core/Random.h"
#include "core/RunLog.h"
#include "core/StrategyShapes.h"
#include "platform/Form.h"

namespace {

constexpr i32 kRestartScrum = 0;
constexpr int kPenaltyFamily = 3;          // of a field-strategy half's option families
constexpr int kOptionTouch = 1, kOptionGoal = 2, kOptionScrum = 4;  // 3 is the tap
constexpr double kRangeMargin = 2.0;       // m added to every kicker's GoalKickRange
constexpr double kRangeDrawStep = 0.02;    // m per point of the 1..100 draw
constexpr double kFirstHalfLastKick = 14.0;  // s before half time: always kick
constexpr double kLateGoalWindow = 300.0;    // s before full time: go for goal when close
constexpr double kLastKickWindow = 14.0;     // s before full time
constexpr i32 kCloseGame = 3;                // points: a goal levels or wins
constexpr double kSpotMargin = 5.0;          // m inside touch and goal lines

double MatchMinute(const TWorld& W) { return W.clock / 60.0; }

void PostPenaltyMessage(TWorld& W, const TInfringement& I) {
  u8 code;
  switch (I.Kind) {
    case 3: code = msgPenOffside; break;
    case 4: code = msgPenHandsInRuck; break;
    case 5: code = msgScrumPenalty; break;
    default: return;  // no message for other kinds
  }
  const TTeamBlock& O = W.Teams[I.AgainstDefence != 0 ? 2 : 1];
  const TPlayer* offender = PlayerAt(O, I.Player);
  PostMessage(W, O.teamid, offender != nullptr ? offender->id : 0, code,
              W.ScrumPenaltySide != 0 ? 1.0f : 2.0f);
}

// One draw per player of the awarded block, all of them taken.
bool GoalKickInRange(const TWorld& W, int Awarded) {
  const f32 goalZ = static_cast<f32>((Awarded == 1 ? 0.5 : -0.5) * W.PitchLength);
  const double d = Distance2D(W.RestartSpot.x, W.RestartSpot.z, 0.0f, goalZ);
  bool inRange = false;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const i32 r = RandomRange(1, 101);
    const double reach = W.Teams[Awarded].Players[p].GoalKickRange + kRangeMargin + r * kRangeDrawStep;
    if (reach > d) inRange = true;
  }
  return inRange;
}

// The option of the awarded side's field strategy for the zone of the mark.
i32 DrawPenaltyOption(TWorld& W, int Awarded, bool InRange) {
  const TFieldStrategy& F = FieldStrategyOfBlock(W, Awarded);
  W.FieldHalf = W.Teams[Awarded].CatchingUp != 0 ? F.CatchUp : F.Normal;
  int zone = FindFieldZone(W.FieldHalf, Flag(Awarded == 2), W.RestartSpot.x, W.RestartSpot.z);
  if (zone < 1 || zone > 30) zone = 1;
  const TOptionFamily& family = W.FieldHalf.Families[kPenaltyFamily];
  const int n = std::clamp<int>(family.OptionCount, 0, 20);
  for (int j = 1; j <= n; ++j) W.ChoiceWeights[j] = family.Weights[zone][j];
  if (!InRange && n >= kOptionGoal && W.ChoiceWeights[kOptionGoal] > 1) W.ChoiceWeights[kOptionGoal] = 1;
  return WeightedRandomIndex(W.ChoiceWeights, n);
}

// Late in each half the clock and the score overrule the strategy.
void ApplyLateRules(TWorld& W, int Awarded, bool InRange) {
  const double clock = W.clock;
  const double half = W.halflength;
  if (W.MatchPhase == 1 && clock >= half - kFirstHalfLastKick) {
    W.RestartKind = InRange ? kPenaltyKickAtGoal : kPenaltyKickForTouch;
    W.PendingGameState = gsKickRestartSet;
  }
  if (W.MatchPhase != 2) return;
  const i32 m = W.Teams[Awarded].score - W.Teams[3 - Awarded].score;
  if (clock >= 2.0 * half - kLateGoalWindow && m <= 0 && InRange && m >= -kCloseGame) {
    W.RestartKind = kPenaltyKickAtGoal;
    W.PendingGameState = gsKickRestartSet;
  }
  if (clock >= 2.0 * half - kLastKickWindow) {
    if (m > 0) {
      W.RestartKind = kPenaltyKickForTouch;
    } else if (InRange) {
      W.RestartKind = m < -kCloseGame ? kPenaltyTapKick : kPenaltyKickAtGoal;
    } else {
      W.RestartKind = kPenaltyTapKick;
    }
    W.PendingGameState = gsKickRestartSet;
  }
}

void ChoosePenalty(TWorld& W, const TInfringement& I, int Awarded) {
  Form1.Memo1.Add("Penalty advantage at " + FormatFixed(MatchMinute(W), 2));
  PostPenaltyMessage(W, I);
  W.RestartSpot = {I.X, I.Z};
  const bool inRange = GoalKickInRange(W, Awarded);
  if (inRange) WriteRunLog("kick in range " + FormatGeneral(MatchMinute(W)));

  W.PendingGameState = gsKickRestartSet;
  switch (DrawPenaltyOption(W, Awarded, inRange)) {
    case kOptionTouch:
      W.RestartKind = kPenaltyKickForTouch;
      break;
    case kOptionGoal:
      W.RestartKind = inRange ? kPenaltyKickAtGoal : kPenaltyTapKick;
      break;
    case kOptionScrum:
      W.RestartKind = kRestartScrum;
      W.PendingGameState = gsScrum;
      W.ScrumSpot = W.RestartSpot;
      break;
    default:  // kOptionTap, or no option drawn
      W.RestartKind = kPenaltyTapKick;
      break;
  }

  ApplyLateRules(W, Awarded, inRange);

  const f32 limitX = static_cast<f32>(W.PitchWidth / 2.0 - kSpotMargin);
  const f32 limitZ = static_cast<f32>(W.PitchLength / 2.0 - kSpotMargin);
  W.RestartSpot.x = std::clamp(W.RestartSpot.x, -limitX, limitX);
  W.RestartSpot.z = std::clamp(W.RestartSpot.z, -limitZ, limitZ);
}

}  // namespace

void ChooseRestartAfterInfringement(TWorld& W) {
  const TInfringement I = W.Infringements[1];
  if (I.Kind == 0) return;
  const int awarded = I.AgainstDefence != 0 ? 1 : 2;
  if (I.Major == 0) {
    W.RestartKind = kRestartScrum;
    W.PendingGameState = gsScrum;
    W.ScrumSpot = {I.X, I.Z};
  } else {
    ChoosePenalty(W, I, awarded);
  }
  W.PossessionChangePending = Flag(awarded == 2);
  for (TInfringement& E : W.Infringements) E.Kind = 0;
}
