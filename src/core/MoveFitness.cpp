#include "core/MoveFitness.h"

#include <cmath>

namespace {

// The score is a 32-bit float: every term is rounded when it is added.
struct TScore {
  f32 v = 0;
  void Add(double term) { v = static_cast<f32>(static_cast<double>(v) + term); }
  // A cut always lowers the score, also when it is already negative.
  void Cut(double k) { v = static_cast<f32>(v - std::fabs(k * v)); }
};

bool InRange(f32 v, f32 lo, f32 hi) { return v >= lo && v <= hi; }

void ScoreKeptRun(TScore& F, const TMove& Move, const TSimResult& R) {
  F.Add(1.0 * R.Gain);
  F.Add(0.5 * R.SpaceAhead);
  if (R.Gain > Move.MinGain) F.Add(1.0);
  if (!R.EndTackled) F.Add(1.0);
  if (R.PassingSeen) F.Cut(0.05);
  if (R.StepSeen) F.Cut(0.075);
  if (R.Event34Seen) F.Cut(0.2);
  if (R.BreakSeen) {
    const f32 c = R.BreakActionCode;
    if (InRange(c, 1, 3) || InRange(c, 4, 6) || InRange(c, 7, 9) || c == 10) F.Cut(0.075);
  }
}

// Thresholds on 32-bit values are 32-bit constants, so that a time of
// exactly 0.1 s is not "above 0.1".
void ScoreBlockedCarrier(TScore& F, f32 t) {
  if (t > 0.0f) F.Add(-0.4);
  if (t > 0.1f) F.Add(-0.5);
  if (t > 0.2f) F.Add(-0.5);
  if (t > 0.5f) F.Add(-1.0);
}

void ScoreTouchMargin(TScore& F, const TSimResult& R, f32 halfW) {
  const f32 inner = halfW - 2.75f;
  if (std::fabs(R.EndBallX) <= inner) return;
  if (R.EndTackled) {
    F.Add(-1.5);
    const double depth = R.EndBallX > 0 ? R.EndBallX - inner : -inner - R.EndBallX;
    F.Add(-1.0 * depth);
    return;
  }
  const f32 ahead = static_cast<f32>(R.EndBallX + 0.2 * R.EndCarrierVelX);
  const f32 edge = halfW - 0.7f;
  if (ahead > edge || ahead < -edge) F.Add(-10.0);
}

void ScoreKick(TScore& F, const TMove& Move, const TSimResult& R, bool running, f32 halfL) {
  if (!R.FreeBallSeen) F.Add(-500.0);
  if (R.PossessionLost) F.Add(-100.0);
  if (!Move.StopOnFreeBall) {
    if (R.OpponentTouchedBall) F.Add(-250.0);
    if (R.Gain < Move.MinGain) F.Add(-1.0);
    if (!running) {
      F.Add(-500.0);
    } else if (R.EndTackled && R.EndBallZ < halfL - 0.1f) {
      F.Add(-1.0);
    }
  }
  F.Cut(0.15);
}

}  // namespace

void MoveFitness(const TMove& Move, const TSimResult& R, f32& Fitness, i16 PlayOption,
                 f32 TurnoverLoss) {
  const f32 halfL = World.PitchLength / 2;
  const f32 halfW = World.PitchWidth / 2;
  const bool running = (R.EndState & 0xFF) == gsRunning;
  const double sideRoom = halfW - std::fabs(R.EndBallX);
  TScore F;

  if (!R.PossessionLost && running) ScoreKeptRun(F, Move, R);
  if (R.EndEventType == 0 && (R.EndBallZ >= halfL || R.MarkedFree)) {
    F.Add(2.0);
    F.Add(0.1 * sideRoom);
  }
  if (R.MarkedFree) {
    F.Add(10.0);
    if (!R.PassingSeen && !R.KickSeen) {
      F.Add(1.0);
      F.Add(0.1 * sideRoom);
    }
  }
  F.Add(-1.0 * R.PeakPressureAtCatch);
  F.Add(-1.25 * R.PeakPressureAtGather);
  if (R.PassSeen && !R.PassingSeen) F.Add(-1.5);
  ScoreBlockedCarrier(F, R.CarrierContactTime);
  if (running) ScoreTouchMargin(F, R, halfW);
  if (R.PossessionLost) F.Add(-TurnoverLoss);
  if (R.WentToTouch && (PlayOption == 1 || PlayOption == 2 || PlayOption == 5)) F.Add(-100.0);
  if (R.KickSeen) ScoreKick(F, Move, R, running, halfL);
  Fitness = F.v;
}
