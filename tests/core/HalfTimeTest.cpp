#include "core/HalfTime.h"

#include <gtest/gtest.h>

#include <utility>

#include "SmallWorld.h"
#include "core/AuxState.h"
#include "core/Random.h"

namespace {

TWorld W, Before;

void ResetWorld() {
  MakeSmallWorld(W);
  W.halflength = 2400.0f;
  W.MatchPhase = 1;
  W.Team1InFirstBlock = kTrue32;
  W.Teams[1].teamid = 11;
  W.Teams[2].teamid = 22;
  for (TTeamBlock& T : W.Teams) T.StrategyTimer = 0.3f;
}

// The draw that the restart of `kind` will make from the current seed.
f32 PeekDelayDraw(f32 mean, f32 sd, f32 min, f32 max) {
  const u32 seed = RandSeed;
  const f32 draw = GaussianRandom(mean, sd, min, max, kTrue32, kTrue32);
  RandSeed = seed;
  return draw;
}

}  // namespace

TEST(SetRestartDelay, KickRestartKindsSetDelayTypeAndKicker) {
  struct Case {
    i32 kind;
    f32 mean, sd, min, max;
    i32 type;
  };
  const Case cases[] = {{2, 27.24f, 12.27f, 10.0f, 57.915f, 4},
                        {3, 28.76f, 17.34f, 10.0f, 72.11f, 5},
                        {5, 0.5f, 0.5f, 0.1f, 2.0f, 7}};
  for (const Case& c : cases) {
    for (u32 seed : {1u, 777u, 123456789u}) {
      ResetWorld();
      W.clock = 100.0f;
      W.PendingGameState = gsKickRestartSet;
      W.RestartKind = c.kind;
      RandSeed = seed;
      const f32 draw = PeekDelayDraw(c.mean, c.sd, c.min, c.max);
      SetRestartDelay(W);
      EXPECT_EQ(W.RestartDelay, draw) << "kind " << c.kind;
      EXPECT_GE(W.RestartDelay, c.min);
      EXPECT_LE(W.RestartDelay, c.max);
      EXPECT_EQ(W.KickRestartSetPhase, 1);
      EXPECT_EQ(W.gamestate, 0);  // only kind 1 starts the restart at once
      EXPECT_EQ(W.Teams[1].KickerIndex, 10);
      EXPECT_EQ(W.Teams[1].RestartKickerDefault, 10);
      for (const TTeamBlock& T : W.Teams) {
        EXPECT_EQ(T.RestartType, c.type);
        EXPECT_EQ(T.RestartOption, 1);
        EXPECT_EQ(T.StrategyTimer, 0.0f);
      }
    }
  }
}

TEST(SetRestartDelay, KickOffRestartStartsAtOnceWithoutADraw) {
  ResetWorld();
  W.PendingGameState = gsKickRestartSet;
  W.RestartKind = 1;
  RandSeed = 42;
  SetRestartDelay(W);
  EXPECT_EQ(RandSeed, 42u);
  EXPECT_EQ(W.gamestate, gsKickRestartSet);
  EXPECT_EQ(W.RestartDelay, 0.0f);
  EXPECT_EQ(W.Teams[2].RestartType, 2);
  EXPECT_EQ(W.Teams[2].RestartOption, 1);
  EXPECT_EQ(W.Teams[1].KickerIndex, 10);
}

TEST(SetRestartDelay, ConversionDelayIsCutBeforeTheEndOfTheHalf) {
  struct Case {
    i32 phase;
    f32 clock;
  };
  // 10 s, 30 s and 1 s before the end of a half, and 5 s past it.
  const Case cases[] = {{1, 2390.0f}, {1, 2370.0f}, {2, 4799.0f}, {1, 2405.0f}, {2, 2410.0f}};
  for (const Case& c : cases) {
    for (u32 seed : {3u, 99u, 2024u, 31337u}) {
      ResetWorld();
      W.MatchPhase = c.phase;
      W.clock = c.clock;
      W.PendingGameState = gsKickRestartSet;
      W.RestartKind = 3;
      RandSeed = seed;
      const f32 draw = PeekDelayDraw(28.76f, 17.34f, 10.0f, 72.11f);
      SetRestartDelay(W);
      const double end = c.phase == 1 ? 2400.0 : 4800.0;
      f32 expected = draw;
      if (c.clock < end && c.clock + draw >= end) {
        expected = static_cast<f32>(std::min(0.95 * (end - c.clock), 20.0));
      }
      EXPECT_FLOAT_EQ(W.RestartDelay, expected) << c.clock << " draw " << draw;
    }
  }
  // Every draw is at least 10 s, so 10 s before the end it is always cut.
  ResetWorld();
  W.clock = 2390.0f;
  W.PendingGameState = gsKickRestartSet;
  W.RestartKind = 3;
  SetRestartDelay(W);
  EXPECT_FLOAT_EQ(W.RestartDelay, 9.5f);
}

TEST(SetRestartDelay, GoalKickGoesToTheSteadiestAvailableKicker) {
  ResetWorld();
  for (int p = 1; p <= 25; ++p) W.Teams[1].Players[p].GoalKickDeviation2 = 10000.0f;
  W.PendingGameState = gsKickRestartSet;
  W.RestartKind = 4;
  SetRestartDelay(W);
  EXPECT_EQ(W.Teams[1].KickerIndex, 10);  // nobody below 10000
  EXPECT_EQ(W.Teams[2].RestartType, 8);

  W.Teams[1].Players[3].GoalKickDeviation2 = 2.0f;
  W.Teams[1].Players[3].Unavailable = kTrue32;
  W.Teams[1].Players[7].GoalKickDeviation2 = 4.0f;
  W.Teams[1].Players[12].GoalKickDeviation2 = 4.0f;
  W.Teams[1].Players[20].GoalKickDeviation2 = 1.0f;  // on the bench
  SetRestartDelay(W);
  EXPECT_EQ(W.Teams[1].KickerIndex, 7);
  EXPECT_EQ(W.Teams[1].RestartKickerDefault, 10);
}

TEST(SetRestartDelay, LineoutIsMarkedInsideTheFieldOfPlay) {
  ResetWorld();
  W.PendingGameState = gsLineout;
  W.LineoutPhase = 6;
  W.LineoutAux = 2.0f;
  W.RestartKind = 6;
  W.TouchPos = {0.0f, 48.0f};
  SetRestartDelay(W);
  EXPECT_EQ(W.LineoutZ, 45.0f);
  EXPECT_EQ(W.LineoutOnNegativeX, kTrue32);  // x exactly 0 counts as the negative side
  EXPECT_EQ(W.LineoutPhase, 0);
  EXPECT_EQ(W.LineoutAux, 0.0f);
  EXPECT_EQ(W.Teams[2].StrategyTimer, 0.0f);

  W.RestartKind = 7;
  W.TouchPos = {-35.0f, 0.0f};
  W.KickTouchPos = {35.0f, -47.5f};
  W.ReleasePos = {10.0f, 12.0f};
  W.KickTouchFlag2 = kTrue32;  // in touch, as every crossing of a touch line sets it
  SetRestartDelay(W);
  EXPECT_EQ(W.LineoutZ, 12.0f);  // straight into touch: level with where the kick was taken
  EXPECT_EQ(W.LineoutOnNegativeX, kFalse32);
  W.KickTouchFlag1 = kTrue32;  // bounced beyond the touch line: still straight into touch
  SetRestartDelay(W);
  EXPECT_EQ(W.LineoutZ, 12.0f);
}

TEST(SetRestartDelay, AKickIntoTouchTakesTheCrossingPointAfterABouncePenaltyOrOwn22Kick) {
  struct TCase {
    const char* what;
    bool32 Bounced, Own22;
    i32 KickType;
  };
  const TCase cases[] = {
      {"bounced or played in the field first", kTrue32, kFalse32, 0},
      {"a penalty kick to touch", kFalse32, kFalse32, 5},
      {"kicked from inside the kicker's own 22", kFalse32, kTrue32, 0},
  };
  for (const TCase& c : cases) {
    ResetWorld();
    W.PendingGameState = gsLineout;
    W.RestartKind = 7;
    W.KickTouchFlag2 = kTrue32;
    W.KickTouchPos = {35.0f, -30.0f};
    W.ReleasePos = {10.0f, 12.0f};
    W.BallBouncedInField = c.Bounced;
    W.KickedFromOwn22 = c.Own22;
    W.KickType = c.KickType;
    SetRestartDelay(W);
    EXPECT_EQ(W.LineoutZ, -30.0f) << c.what;
  }
}

TEST(SetRestartDelay, ScrumMarkIsFiveMetresInFromTouchAndTryLine) {
  ResetWorld();
  W.PendingGameState = gsScrum;
  W.ScrumPhase = 4;
  W.PhaseCount = 6;
  W.ScrumSpot = {33.0f, -49.0f};
  W.Teams[1].AuxScrumValue = 3.0f;
  SetRestartDelay(W);
  EXPECT_EQ(W.MarkX, 30.0f);
  EXPECT_EQ(W.MarkZ, -45.0f);
  EXPECT_EQ(W.ScrumPhase, 0);
  EXPECT_EQ(W.PhaseCount, 0);
  for (const TTeamBlock& T : W.Teams) {
    EXPECT_EQ(T.CarryMaxZ, -100000.0f);
    EXPECT_EQ(T.AuxScrumValue, 0.0f);
    EXPECT_EQ(T.StrategyTimer, 0.0f);
  }
  W.ScrumSpot = {-12.5f, 20.0f};
  SetRestartDelay(W);
  EXPECT_EQ(W.MarkX, -12.5f);
  EXPECT_EQ(W.MarkZ, 20.0f);
}

TEST(SetRestartDelay, UnknownKindsChangeOnlyWhatTheStateSetUpNeeds) {
  ResetWorld();
  W.PendingGameState = gsKickRestartSet;
  W.RestartKind = 6;
  RandSeed = 5;
  Before = W;
  SetRestartDelay(W);
  EXPECT_EQ(W.KickRestartSetPhase, 1);
  W.KickRestartSetPhase = Before.KickRestartSetPhase;
  EXPECT_EQ(std::memcmp(&W, &Before, sizeof W), 0);
  EXPECT_EQ(RandSeed, 5u);

  W.PendingGameState = gsLineout;
  W.RestartKind = 3;
  W.LineoutPhase = 4;
  Before = W;
  SetRestartDelay(W);
  EXPECT_EQ(std::memcmp(&W, &Before, sizeof W), 0);

  W.PendingGameState = gsHuddle;
  SetRestartDelay(W);
  EXPECT_EQ(W.HuddlePhase, 1);
}

TEST(HandleHalfTime, ActsOnlyAtTheEndOfAHalf) {
  ResetWorld();
  W.clock = 2399.96f;
  Before = W;
  HandleHalfTime(W);
  EXPECT_EQ(std::memcmp(&W, &Before, sizeof W), 0);

  W.MatchPhase = 2;
  W.clock = 4799.9f;
  HandleHalfTime(W);
  EXPECT_EQ(W.MatchPhase, 2);
  W.clock = 4800.0f;
  W.gamestate = gsRunning;
  HandleHalfTime(W);
  EXPECT_EQ(W.MatchPhase, 3);
  EXPECT_EQ(W.gamestate, gsRunning);  // no viewer link in a match
}

TEST(HandleHalfTime, ChangesEndsSoThatMatchTeamTwoKicksOff) {
  for (bool team1HasBall : {true, false}) {
    ResetWorld();
    W.Team1InFirstBlock = Flag(team1HasBall);
    if (!team1HasBall) std::swap(W.Teams[1].teamid, W.Teams[2].teamid);
    W.clock = 2400.0f;
    W.gamestate = gsTransition;
    W.BallPos = {4.0f, 0.2f, 10.0f};
    W.BallPhase = 7;
    RandSeed = 17;
    HandleHalfTime(W);
    EXPECT_EQ(W.MatchPhase, 2);
    EXPECT_EQ(W.HalfTimeReached, kTrue32);
    EXPECT_FLOAT_EQ(W.clock, 2400.01f);
    EXPECT_EQ(W.Team1InFirstBlock, kFalse32);
    EXPECT_EQ(W.Teams[1].teamid, 22);  // team 2 kicks off either way
    EXPECT_EQ(W.BlocksSwapped, Flag(team1HasBall));
    EXPECT_EQ(W.BallPos.z, team1HasBall ? -10.0f : 10.0f);
    EXPECT_EQ(W.gamestate, gsKickRestartSet);
    EXPECT_EQ(W.KickRestartSetPhase, 1);
    EXPECT_EQ(W.Teams[1].KickerIndex, 10);
    EXPECT_EQ(W.BallPhase, 0);
    for (const TTeamBlock& T : W.Teams) {
      EXPECT_EQ(T.RestartType, 2);
      EXPECT_EQ(T.HalfTimeFlag, kTrue32);
      EXPECT_EQ(T.StrategyTimer, 0.0f);
    }
  }
}

TEST(HandleHalfTime, PlayersRecoverAndLoseTheirTimers) {
  ResetWorld();
  W.Team1InFirstBlock = kFalse32;
  W.clock = 2400.5f;
  for (TTeamBlock& T : W.Teams) {
    for (TPlayer& P : T.Players) {
      P.Fatigued = kTrue32;
      P.FatigueLevel = 0;
      P.FatigueFreshTime = 100;
      P.FatigueTiredTime = 50;  // x 1.05 = 52.5, ties to even
      P.maxspeed = 6.0f;
      P.MaxSpeedNonFatigued = 8.5f;
      P.KickTimer = 1.0f;
      P.RuckTimer2 = 2.0f;
      P.RunningAngleReactionTime.value = 0.4f;
      P.governedby = 3;
      P.FootprintHolder[5] = 2;
    }
  }
  W.Teams[2].Players[3].FatigueLevel = 4;
  W.Teams[2].Players[3].FatigueFreshTime = 30;  // x 0.95 = 28.5, ties to even
  for (i32& w : AuxState.HalfTimeWords) w = 9;
  RandSeed = 2;
  HandleHalfTime(W);
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 15; ++p) {
      const TPlayer& P = W.Teams[b].Players[p];
      EXPECT_EQ(P.Fatigued, 0);
      EXPECT_EQ(P.maxspeed, 8.5f);
      EXPECT_EQ(P.FatigueTiredTime, 52);
      if (b == 2 && p == 3) {
        EXPECT_EQ(P.FatigueFreshTime, 28);
        EXPECT_EQ(P.FatigueLevel, 4);
        EXPECT_GE(P.FatigueTimer, 8.0f);  // 28 / 4 + 1 .. 5
        EXPECT_LE(P.FatigueTimer, 12.0f);
      } else {
        EXPECT_EQ(P.FatigueFreshTime, 95);
        EXPECT_EQ(P.FatigueLevel, 1);
        EXPECT_GE(P.FatigueTimer, 96.0f);
        EXPECT_LE(P.FatigueTimer, 100.0f);
      }
    }
    for (const TPlayer& P : W.Teams[b].Players) {
      EXPECT_EQ(P.KickTimer, 0.0f);
      EXPECT_EQ(P.RuckTimer2, 0.0f);
      EXPECT_EQ(P.RunningAngleReactionTime.value, 0.0f);
      EXPECT_EQ(P.governedby, 0);
      EXPECT_EQ(P.FootprintHolder[5], 0);
    }
  }
  EXPECT_EQ(W.Teams[1].Players[20].FatigueFreshTime, 100);  // the bench does not play
  for (i32 w : AuxState.HalfTimeWords) EXPECT_EQ(w, 0);
}
