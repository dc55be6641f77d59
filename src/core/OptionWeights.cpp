#include "core/OptionWeights.h"

#include "core/Geometry.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/StrategyShapes.h"

void NormaliseOptionWeights(TOptionFamily& Family) {
  // A zone row has 20 entries; a larger count would read past it.
  const int n = Family.OptionCount < 20 ? Family.OptionCount : 20;
  if (n <= 0) return;
  for (auto& row : Family.Weights) {
    i16 s = 0;
    for (int j = 1; j <= n; ++j) s = static_cast<i16>(s + row[j]);
    if (s < 1) {
      for (int j = 1; j <= n; ++j) row[j] = 50;
      s = static_cast<i16>(50 * n);
    }
    for (int j = 1; j <= n; ++j) row[j] = RoundToI16(static_cast<double>(row[j]) / s * 1000.0);
  }
}

const TFieldStrategy& FieldStrategyOfBlock(const TWorld& W, int B) {
  const bool team1 = (W.Team1InFirstBlock != 0) == (B == 1);
  return FieldStrategy[team1 ? 1 : 2];
}

i32 DrawZoneOption(TWorld& W, const TOptionFamily& Family, int Zone) {
  constexpr int kZoneRowWidth = 20;
  const int n = Family.OptionCount < kZoneRowWidth ? Family.OptionCount : kZoneRowWidth;
  for (int j = 1; j <= n; ++j) W.ChoiceWeights[j] = Family.Weights[Zone][j];
  return WeightedRandomIndex(W.ChoiceWeights, n);
}

namespace {

constexpr double kDropGoalRange = 37.0;  // m from the middle of the goal line

// The game as the option choice sees it for one block.
struct TScoreState {
  f32 MinutesLeft;  // of the match, at least 0.01
  f32 Deficit;      // the opponents' score minus the side's
};

TScoreState ScoreStateOf(const TWorld& W, int B) {
  TScoreState s;
  s.MinutesLeft = static_cast<f32>((2.0 * W.halflength - W.clock) / 60.0);
  if (s.MinutesLeft < 0.01f) s.MinutesLeft = 0.01f;
  s.Deficit = static_cast<f32>(static_cast<double>(W.Teams[3 - B].score) - W.Teams[B].score);
  return s;
}

// Points behind per minute left beyond the side's threshold.
bool TrailsTooFast(const TScoreState& s, const TFieldStrategy& F) {
  return static_cast<double>(s.Deficit) / s.MinutesLeft > F.CatchUpThreshold;
}

bool IsSetPieceState(TGameState s) { return s == gsGotTackled || s == gsScrum || s == gsLineout; }

// The set piece in the frame of block 1: the mark in scrum, the point 5 m in
// from the touch line of the lineout, else the ball.
TVector2 SetPiecePoint(const TWorld& W) {
  if (W.gamestate == gsScrum) return {W.MarkX, W.MarkZ};
  if (W.gamestate == gsLineout) {
    const f32 x = static_cast<f32>(W.PitchWidth / 2.0 - 5.0);
    return {W.LineoutOnNegativeX != 0 ? -x : x, W.LineoutZ};
  }
  return {W.BallPos.x, W.BallPos.z};
}

// Draws block B's option; block 2 reads the zones and the goal line it
// attacks with the point mirrored.
u16 DrawPlayOption(TWorld& W, int B) {
  const TFieldStrategy& F = FieldStrategyOfBlock(W, B);
  const TScoreState score = ScoreStateOf(W, B);
  const TFieldStrategyHalf& H = TrailsTooFast(score, F) ? F.CatchUp : F.Normal;
  const TVector2 p = SetPiecePoint(W);
  const bool32 mirror = Flag(B == 2);
  const int zone = FindFieldZone(H, mirror, p.x, p.z);

  i32 option = DrawZoneOption(W, H.Families[1], zone);

  const double halfLength = W.PitchLength / 2.0;
  const double attackedZ = mirror != 0 ? -p.z : p.z;
  if ((option == kOptionKickTouch || option == kOptionKickInField) && IsSetPieceState(W.gamestate) &&
      attackedZ > halfLength - 10.0) {
    option = RandomRange(1, 3);
  }
  const double fullTime = 2.0 * W.halflength;
  if (W.clock >= fullTime - 10.0) option = kOptionRunGain;
  if (W.clock >= fullTime && W.Teams[B].score > W.Teams[3 - B].score) option = kOptionLeadAtFullTime;
  if (option == kOptionDropGoal && IsSetPieceState(W.gamestate)) {
    const f32 goalZ = static_cast<f32>(mirror != 0 ? -halfLength : halfLength);
    if (Distance2D(W.BallPos.x, W.BallPos.z, 0.0f, goalZ) > kDropGoalRange) option = kOptionRunGain;
  }
  return static_cast<u16>(option);
}

}  // namespace

void ChoosePlayOption(TWorld& W, bool32 ForSideInPossession, bool32 ForOtherSide) {
  for (int b = 1; b <= 2; ++b) {
    const TScoreState s = ScoreStateOf(W, b);
    const bool behind = W.Teams[b].score < W.Teams[3 - b].score;
    W.Teams[b].CatchingUp = Flag(TrailsTooFast(s, FieldStrategyOfBlock(W, b)) || (s.MinutesLeft <= 5.0f && behind));
  }
  if (ForSideInPossession != 0) W.Teams[1].PlayOption = DrawPlayOption(W, 1);
  if (ForOtherSide != 0) W.Teams[2].PlayOption = DrawPlayOption(W, 2);
}
