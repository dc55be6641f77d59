// A small match scene for the viewer-link and user-control tests: two sides
// of 15 facing each other across the halfway line, block 1 (team 10, match
// team 1) running with player 10 carrying the ball, no user anywhere, and
// the control record, the match store's messages and the sim-ahead pane at
// their start values.
#pragma once

#include "SmallWorld.h"
#include "app/MainUnit.h"
#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/UDPRealtime.h"
#include "platform/Form.h"

inline void MakeViewerScene(TWorld& W) {
  MakeSmallWorld(W, {.InGoals = true});
  RandSeed = 12345;
  W.TimeStep = 0.05f;  // s, the viewer's frame
  W.MatchPhase = 1;
  W.Team1InFirstBlock = kTrue32;
  W.gamestate = gsRunning;
  W.clock = 125.4f;
  W.ElapsedTime = 130.0f;
  W.RestartDelay = 1.5f;
  BuildActionSeqTemplates(W);
  W.Teams[1].teamid = 10;
  W.Teams[2].teamid = 20;
  ForEverySlot(W, [](TPlayer& P, int b, int p) {
    PutAt(P, static_cast<f32>(p - 8), b == 1 ? -5.0f : 5.0f);
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
  });
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
