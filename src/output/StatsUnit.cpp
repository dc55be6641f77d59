#include "output/StatsUnit.h"

#include <string>

#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/RunLog.h"

namespace {

constexpr double kRedZoneDepth = 22.0;  // m before the opponents' try line
constexpr int kTeamTimers = 3;          // timers 1..3: possession, own half, red zone
constexpr int kPlayerTimer = 4;         // timer 4: one player's time played
constexpr f32 kPlayerTimerPeriod = 1.0f;  // s
constexpr int kQueueSlots = 10;

bool InPlayWithPossession(TGameState s) { return s == gsRunning || s == gsPassing || s == gsGotTackled; }

// The carrier's gain along z this frame: his MetresRun and the block's
// RunMetres. Only a carrier who is one of the players on the field counts.
void CountCarrierGain(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (A.BallCarrier < 1 || A.BallCarrier > PlayerCount(W)) return;
  TPlayer& C = A.Players[A.BallCarrier];
  const double gain = static_cast<double>(C.Pos.z) - C.OldPos.z;
  C.MetresRun = ToF32(C.MetresRun + gain);
  A.RunMetres = ToF32(A.RunMetres + gain);
}

void CountTerritory(TWorld& W, double dt) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  A.timeinpossession = ToF32(A.timeinpossession + dt);
  // Block 1 attacks towards +z: the ball below z = 0 is in its own half.
  TTeamBlock& ownHalf = W.BallPos.z >= 0 ? D : A;
  ownHalf.timeinownhalf = ToF32(ownHalf.timeinownhalf + dt);
  if (W.BallPos.z > W.PitchLength / 2.0 - kRedZoneDepth) A.redzonetime = ToF32(A.redzonetime + dt);
}

// The team figure that team timer k reports, and its message code.
f32 TeamFigure(const TTeamBlock& T, int k) {
  return k == 1 ? T.timeinpossession : (k == 2 ? T.timeinownhalf : T.redzonetime);
}
constexpr u8 kTeamCodes[kTeamTimers + 1] = {0, msgPossessionTime, msgOwnHalfTime, msgRedZoneTime};

void PostTeamFigures(TWorld& W, int k) {
  for (int b = 1; b <= 2; ++b) PostMessage(W, W.Teams[b].teamid, 0, kTeamCodes[k], TeamFigure(W.Teams[b], k));
}

// Block b's player in the cursor's slot reports his time on the field; a
// cursor that names no player record reports nobody's time as 0.
void PostTimePlayed(TWorld& W, int b) {
  TTeamBlock& T = W.Teams[b];
  const TPlayer* P = PlayerAt(T, W.StatPlayerCursor);
  PostMessage(W, T.teamid, P != nullptr ? P->id : 0, msgTimePlayed, P != nullptr ? P->TimeOnField : 0.0f);
}

void AdvanceStatCursor(TWorld& W) {
  const int next = W.StatPlayerCursor + 1;
  W.StatPlayerCursor = static_cast<u16>(next > W.PlayersPerTeam ? 1 : next);
}

// Appends one message to the list; once the list is full the newest
// message takes the last entry, and the first to do so is logged.
void AppendToList(TMatchStore& S, const TMatchMessage& m) {
  if (S.MessageCount < S.MessageCapacity) {
    S.MessageCount += 1;
  } else {
    S.MessageCount = S.MessageCapacity;
    if (!S.MessageListOverflowed) {
      S.MessageListOverflowed = kTrue32;
      WriteRunLog("MESSAGE LIST WAS FULL at " + std::to_string(S.MessageCapacity) +
                  " messages; later messages overwrite the last");
    }
  }
  S.MessageCountCopy = S.MessageCount;
  if (S.MessageCount >= 1 && S.MessageCount <= kMessageCapacity) S.Messages[S.MessageCount] = m;
}

void FlushQueue(TWorld& W) {
  int waiting = 0;
  for (int k = 1; k <= kQueueSlots; ++k) {
    if (W.MessageSlotFree[k] != 0) continue;
    ++waiting;
    W.MessageSlotFree[k] = kTrue32;
    AppendToList(MatchStore, W.MessageQueue[k]);
  }
  if (waiting == kQueueSlots) {
    for (int i = 0; i < 3; ++i) WriteRunLog("QUEUE WAS FULL");
  }
}

}  // namespace

void UpdateStats(TWorld& W) {
  const double dt = W.TimeStep;
  if (W.gamestate != gsRunning) {
    W.Teams[1].RunMetres = 0;
    W.Teams[2].RunMetres = 0;
  } else {
    CountCarrierGain(W);
  }
  if (InPlayWithPossession(W.gamestate)) CountTerritory(W, dt);
  for (TTeamBlock& T : W.Teams) {
    for (int p = 1; p <= PlayerCount(W); ++p) T.Players[p].TimeOnField = ToF32(T.Players[p].TimeOnField + dt);
  }
}

void PostStatMessages(TWorld& W) {
  const double dt = W.TimeStep;
  for (f32& timer : W.MessageTimers) timer = ToF32(timer - dt);
  for (int k = 1; k <= kTeamTimers; ++k) {
    if (W.MessageTimers[k] > 0) continue;
    W.MessageTimers[k] = static_cast<f32>(RandomRange(5, 11));
    PostTeamFigures(W, k);
  }
  if (W.MessageTimers[kPlayerTimer] <= 0) {
    W.MessageTimers[kPlayerTimer] = kPlayerTimerPeriod;
    PostTimePlayed(W, 1);
    PostTimePlayed(W, 2);
    AdvanceStatCursor(W);
  }
  FlushQueue(W);
}
