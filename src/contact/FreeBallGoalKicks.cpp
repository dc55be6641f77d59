#include "contact/FreeBallGoalKicks.h"

#include <cmath>

#include "contact/LooseBall.h"
#include "contact/RunningStoppages.h"
#include "core/Geometry.h"
#include "core/KickSolving.h"

namespace {

constexpr i32 kRestartKickOff = 1;

constexpr double kPlaneBeyondLine = 0.01;  // m past the goal line
constexpr double kGoalWindow = 3.0;        // m round the posts, the plane and under the bar
constexpr double kConversionOver = 1.0;    // m past the goal line ends a conversion
constexpr double kConversionLow = 0.5;     // m, a conversion this low and not climbing has ended
constexpr double kPostBand = 0.75;         // m either side of a goal line where a post can be struck
constexpr f32 kPostHitLock = 0.5f;         // s without a second strike
constexpr f32 kReboundShare = 0.5f;        // of the ball's speed

bool IsGoalKick(i32 Kind) { return Kind == kKickTypePenaltyGoal || Kind == kKickTypeConversion || Kind == kKickTypeDropGoal; }

// Message and points of each goal kick.
TMessageType GoalMessage(i32 Kind) {
  if (Kind == kKickTypeConversion) return msgConversion;
  return Kind == kKickTypeDropGoal ? msgDropGoal : msgPenGoal;
}
i32 GoalPoints(i32 Kind) { return Kind == kKickTypeConversion ? 2 : 3; }

// Posts Message for block 1's kicker; id 0 when the kicker names no player.
void PostForKicker(TWorld& W, TMessageType Message, f32 Extra) {
  const TTeamBlock& A = W.Teams[1];
  const TPlayer* K = PlayerAt(A, A.BallKicker);
  PostMessage(W, A.teamid, K != nullptr ? K->id : 0, Message, Extra);
}

// Play stops for the opponents' kick-off after the short pause, the ball loose.
void StopForKickOff(TWorld& W) {
  StopPlay(W, kRestartKickOff, gsKickRestartSet, true, true, true);
  W.TransitionBallHeld = kFalse32;
}

bool KickOffJustSet(const TWorld& W) {
  return W.gamestate == gsTransition && W.PendingGameState == gsKickRestartSet && W.RestartKind == kRestartKickOff;
}

bool ScoresGoal(const TWorld& W) {
  if (W.BallPhase < 2 || W.BallPhase > 1000) return false;
  const TVector3& P = W.FlightPos[W.BallPhase];
  const TVector3& Q = W.FlightPos[W.BallPhase - 1];
  const double g = static_cast<double>(W.TryLineZ) + kPlaneBeyondLine;
  if (!(P.z > g && P.z > Q.z)) return false;
  if (!(std::fabs(static_cast<double>(P.x)) < 0.5 * W.GoalPostGap + kGoalWindow)) return false;
  if (!(std::fabs(P.z - g) < kGoalWindow && P.y > W.CrossbarHeight - kGoalWindow)) return false;
  return CrossesBetweenPosts(Q.x, Q.y, Q.z, P.x, P.y, P.z, ToF32(g)) != 0;
}

void ScoreGoal(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  const i32 points = GoalPoints(W.KickType);
  A.score += points;
  A.NoAdvantageFlag = kTrue32;
  PostForKicker(W, GoalMessage(W.KickType), static_cast<f32>(points));
  StopForKickOff(W);
}

bool ConversionEnded(const TWorld& W) {
  if (W.gamestate != gsFreeBall) return true;
  if (W.BallPhase == 1 || W.BallPhase < 1 || W.BallPhase > 1000) return false;
  const TVector3& P = W.FlightPos[W.BallPhase];
  const double halfWidth = 0.5 * W.PitchWidth;
  return P.x > halfWidth || P.x < -halfWidth || P.z > static_cast<double>(W.TryLineZ) + kConversionOver ||
         W.BallPhase >= W.FlightLandingStep || (P.y < kConversionLow && W.FlightVel[W.BallPhase].y <= 0);
}

// Whether P strikes a post or the crossbar of either goal.
bool StrikesPosts(const TWorld& W, const TVector3& P) {
  const double ax = std::fabs(static_cast<double>(P.x)), az = std::fabs(static_cast<double>(P.z));
  const double line = W.TryLineZ;
  if (!(line - kPostBand < az && az < line + kPostBand && P.y < W.PostHeight)) return false;
  const double reach = static_cast<double>(W.PostRadius) + W.BallRadius;
  const f32 halfGap = ToF32(0.5 * W.GoalPostGap);
  if (Distance2D(ToF32(ax), ToF32(az), halfGap, W.TryLineZ) < reach) return true;
  return ax < halfGap && Distance2D(P.y, ToF32(az), W.CrossbarHeight, ToF32(0.5 * W.PitchLength)) < reach;
}

void ReboundOffPosts(TWorld& W) {
  if (W.PostHitTimer > 0 || W.BallPhase < 1 || W.BallPhase > 1000) return;
  if (!StrikesPosts(W, W.FlightPos[W.BallPhase])) return;
  PostForKicker(W, msgPostHit, W.FlightSpeed[W.BallPhase]);
  W.PostHitTimer = kPostHitLock;
  const TVector3& v = W.FlightVel[W.BallPhase];
  TLaunchParams rebound = VelocityToLaunchAngles(true, v.x, v.y, v.z, kReboundShare);
  rebound.Heading = NormaliseHeading(ToF32(static_cast<double>(rebound.Heading) + 180.0));
  RelaunchFreeBall(W, rebound);
}

}  // namespace

void SettleGoalKicks(TWorld& W) {
  if (IsGoalKick(W.KickType) && W.BallPhase != 1 && W.BallBouncedInField == 0 && W.KickTouchFlag1 == 0 &&
      ScoresGoal(W)) {
    ScoreGoal(W);
  }
  if (W.KickType == kKickTypeConversion && !KickOffJustSet(W) && ConversionEnded(W)) StopForKickOff(W);
  ReboundOffPosts(W);
}
