#include "output/ReplayUnit.h"

#include <algorithm>

#include "core/Geometry.h"
#include "core/MatchStore.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/WorldDefaults.h"
#include "platform/Platform.h"
#include "setup/AnimationCatalogue.h"

namespace {

constexpr u8 kReplayQuantum = 10;
constexpr double kTouchMargin = 2.0;     // m beyond touch the point of interest may go
constexpr double kInGoalMargin = 10.0;   // m beyond the try line

// Round(v), held within the 16-bit range.
i16 Stored16(double v) { return ClampToI16(RoundHalfEven(v)); }

TI16Vec3 Stored16(double x, double y, double z) { return {Stored16(x), Stored16(y), Stored16(z)}; }

// The ball of a free-ball frame on its flight path: the point of the
// current segment at the flight clock. A phase outside the path (below 1,
// or not below FlightSegments) keeps BallPos.
TVector3 FreeBallOnPath(const TWorld& W) {
  const int k = W.BallPhase;
  if (k < 1 || k >= W.FlightSegments || k + 1 > W.FlightTimes.kHigh) return W.BallPos;
  const double start = W.FlightTimes[k];
  const double length = static_cast<double>(W.FlightTimes[k + 1]) - start;
  double t = length != 0 ? (W.BallFlightClock - start) / length : 0.0;
  if (!(t >= 0)) t = 0;  // before the segment, or not a number
  TVector3 ball;
  Interpolate3D(W.FlightPos[k], W.FlightPos[k + 1], ToF32(t), ball);
  return ball;
}

void StorePlayer(TPlayerTrack& track, int n, const TPlayer& P, double scale) {
  const double q = kReplayQuantum;
  track.Pos[n] = Stored16(q * P.Pos.x * scale, q * P.Pos.y * scale, q * P.Pos.z * scale);
  track.Heading[n] = Stored16(q * P.Heading);
  track.AnimIndex[n] = static_cast<u16>(AnimNameToIndex(P.currentAnim.View()));
  track.AnimFrame[n] = RoundToI32(q * P.currentframe);
  track.AnimLoop[n] = P.AnimLoop;
  track.Fatigued[n] = P.Fatigued;
}

void FillSlot(const TWorld& W, TMatchStore& S, int n) {
  const double scale = PositionScale;
  const double q = kReplayQuantum;
  S.FrameTimes[n] = S.RecordClock;
  S.FrameGameState[n] = W.gamestate;
  S.FrameClock[n] = W.clock;
  S.FrameScore1[n] = WrapToI16(W.Teams[1].score);
  S.FrameScore2[n] = WrapToI16(W.Teams[2].score);
  S.FrameTeam1InFirstBlock[n] = W.Team1InFirstBlock;
  S.FramePointOfInterest[n] = {ToF32(W.PointOfInterest.x * scale), ToF32(W.PointOfInterest.z * scale)};
  S.FrameBallAttached[n] = W.BallAttached;
  S.FrameBallHolder[n] = WrapToI16(W.LastKnownHasBall);
  TVector3 ball = W.BallPos;
  if (W.gamestate == gsFreeBall) {
    ball = FreeBallOnPath(W);
    const double xMax = (W.PitchWidth / 2.0 + kTouchMargin) * scale;
    const double zMax = (W.PitchLength / 2.0 + kInGoalMargin) * scale;
    S.FramePointOfInterest[n] = {ToF32(std::clamp(ball.x * scale, -xMax, xMax)),
                                 ToF32(std::clamp(ball.z * scale, -zMax, zMax))};
  }
  S.FrameBallPos[n] = Stored16(q * (ball.x * scale), q * (ball.y * scale), q * (ball.z * scale));
  S.FrameBallAngles[n] = Stored16(q * W.BallSpin, q * W.BallYaw, q * W.BallPitch);
  const int players = std::min(PlayerCount(W), kTrackPlayers);
  for (int p = 1; p <= players; ++p) {
    StorePlayer(S.PlayerTracks[1][p], n, W.Teams[1].Players[p], scale);
    StorePlayer(S.PlayerTracks[2][p], n, W.Teams[2].Players[p], scale);
  }
}

}  // namespace

void RecordReplayFrame(TWorld& W, bool AdvanceClock) {
  TMatchStore& S = MatchStore;
  S.FrameCapacity = kFrameCapacity;
  S.ReplayQuantum = kReplayQuantum;
  if (S.RecordPending != 0) {
    S.RecordPending = kFalse32;
    if (S.FrameCount >= 1 && S.FrameCount <= S.FrameCapacity) FillSlot(W, S, S.FrameCount);
  }
  if (AdvanceClock) S.RecordClock = ToF32(static_cast<double>(S.RecordClock) + W.TimeStep);
  // Beyond the last slot the count runs on against the last slot's time.
  const int last = std::clamp(S.FrameCount, 1, S.FrameCapacity);
  if (static_cast<double>(S.RecordClock) > static_cast<double>(S.FrameTimes[last]) + S.FrameInterval) {
    S.FrameCount += 1;
    S.RecordPending = kTrue32;
  }
}

void PrepareReplayFrames() { SetCurrentDir(ExeDir); }
