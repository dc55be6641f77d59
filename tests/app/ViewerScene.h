// A small match scene for the viewer-link and user-control tests: two sides
// of 15 facing each other across the halfway line, block 1 (team 10, match
// team 1) running with player 10 carrying the ball, no user anywhere, and
// the control record, the match store's messages and the sim-ahead pane at
// their start values.
#pragma once

#include <cstring>

#include "app/MainUnit.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/UDPRealtime.h"
#include "platform/Form.h"

inline void MakeViewerScene(TWorld& W) {
  std::memset(&W, 0, sizeof W);
  RandSeed = 12345;
  W.PlayersPerTeam = 15;
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.InGoalDepth = 10.0f;
  W.TimeStep = 0.05f;
  W.MatchPhase = 1;
  W.Team1InFirstBlock = kTrue32;
  W.gamestate = gsRunning;
  W.clock = 125.4f;
  W.ElapsedTime = 130.0f;
  W.RestartDelay = 1.5f;
  BuildActionSeqTemplates(W);
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& B = W.Teams[b];
    B.teamid = 10 * b;
    for (int p = 1; p <= 25; ++p) {
      TPlayer& P = B.Players[p];
      P.Pos = {static_cast<f32>(p - 8), 0.0f, b == 1 ? -5.0f : 5.0f};
      P.OldPos = P.Pos;
      P.Heading = b == 1 ? 90.0f : 270.0f;
      P.currentAnim.Assign("run");
      P.currentframe = 5.0f;
      P.maxframes = 20.0f;
      P.maxspeed = 8.0f;
      P.MaxSpeedNonFatigued = 8.0f;
      P.Acceleration = 4.0f;
      P.MaxKickSpeed = 30.0f;
      P.maxpassspeed = 12.0f;
      P.ActionSeq = StrategyParams.ActionSeqTemplate;
      P.ActionSeq.seqON = kFalse32;
    }
  }
  W.Teams[1].BallCarrier = 10;
  W.BallPos = {2.0f, 1.0f, -5.0f};

  SetUDPRealtimeDefaults();
  UDPRealtime.ViewerTeamId = 10;
  MatchStore.MatchInfo.Team[1].teamid = 10;
  MatchStore.MatchInfo.Team[2].teamid = 20;
  MatchStore.MessageCount = 0;
  MatchStore.RecordClock = 130.0f;
  Form1.Memo4.Clear();
  SimFinished = kFalse32;
  ViewerMessagesSent = 0;
}

// Puts user u on the pad: present, of team TeamId, wanting player Player
// (0 = let the engine pick).
inline TUDPUserSlot& PresentUser(int u, i32 TeamId, i32 Player) {
  TUDPUserSlot& U = UDPRealtime.Users[u];
  U.TeamId = TeamId;
  U.PlayerNum = Player;
  U.Present = kTrue32;
  U.AutoPick = Flag(Player == 0);
  U.OwnTeam = Flag(TeamId == MatchStore.MatchInfo.Team[1].teamid);
  return U;
}
