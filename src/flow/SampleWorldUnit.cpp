#include "flow/SampleWorldUnit.h"

#include <cmath>

#include "core/Geometry.h"
#include "core/Random.h"

namespace {

// The line-break stages: how far (m) beyond GainLineZ the carrier must be,
// and the message each posts.
constexpr double kStageDistance[5] = {0.0, 2.5, 2.5 + 7.0, 2.5 + 21.0, 2.5 + 49.0};
constexpr u8 kStageMessage[5] = {0, msgLineBreak, msgLineBreak2, msgLineBreak3, msgLineBreak4};

constexpr double kGainLineDrift = 2.5;   // m/s, the line follows a carrier who does not go forward
constexpr double kSupportGap = 10.0;     // m sideways a support runner must stand from the carrier
constexpr double kNoCandidate = 10000.0; // s, bound of the support runner's time

// The breakdown pass is caught near the mark when the catch point lies
// within 10.0 x 5.0 m or 7.0 x 8.0 m of it (x by z).
bool NearTheMark(double dx, double dz) { return (dx < 10.0 && dz < 5.0) || (dx < 7.0 && dz < 8.0); }

bool Truth(bool32 f) { return f != 0; }

// 1. This frame's and the previous frame's state, and the time in it.
void NoteGameState(TWorld& W) {
  W.PrevFrameGameState = W.FrameGameState;
  W.FrameGameState = W.gamestate;
  W.TimeInGameState = ToF32(static_cast<double>(W.TimeInGameState) + W.TimeStep);
  if (W.PrevFrameGameState != W.FrameGameState) {
    W.FromGameState = W.PrevFrameGameState;
    W.TimeInGameState = 0;
  }
}

// 2. The breakdown flags: cleared outside gottackled, only ever set in it.
void NoteBreakdownThreat(TWorld& W) {
  if (W.gamestate != gsGotTackled) {
    W.RuckThreat = kFalse32;
    W.RuckPassNearMark = kFalse32;
    return;
  }
  const TTeamBlock& T = W.Teams[1];
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TActionSeq& S = T.Players[p].ActionSeq;
    if (Truth(S.seqON) && Truth(S.SeqHeadFlag)) W.RuckThreat = kTrue32;
  }
  const TPlayer* holder = PlayerAt(T, T.SetPieceHolder);
  const TPlayer* receiver = PlayerAt(T, T.PassReceiver);
  if (holder == nullptr || holder->passtimer <= 0 || receiver == nullptr) return;
  const double catchX = receiver->Pos.x + static_cast<double>(receiver->Velocity.x) * T.PassTimeLeft;
  const double catchZ = receiver->Pos.z + static_cast<double>(receiver->Velocity.z) * T.PassTimeLeft;
  if (NearTheMark(std::fabs(catchX - W.MarkX), std::fabs(catchZ - W.MarkZ))) {
    W.RuckPassNearMark = kTrue32;
    W.RuckThreat = kTrue32;
  }
}

// 4. Possession as seen at the start of this frame; a change of possession
// in open play, or any other state, ends the line break.
void NotePossession(TWorld& W) {
  W.PrevFrameTeam1InFirstBlock = W.FrameTeam1InFirstBlock;
  W.FrameTeam1InFirstBlock = W.Team1InFirstBlock;
  W.PrevLineBreak = W.LineBreak;
  const bool openPlay = W.gamestate == gsRunning || W.gamestate == gsPassing || W.gamestate == gsFreeBall;
  const bool changed = Truth(W.PrevFrameTeam1InFirstBlock) != Truth(W.FrameTeam1InFirstBlock);
  if (!openPlay || changed) W.LineBreak = kFalse32;
}

// The side the support runner is called to: -1 or +1.
int SupportSide(const TTeamBlock& T, const TPlayer& C) {
  const bool busy = C.passtimer > 0 || C.KickTimer > 0 || C.passcatchtimer > 0 || C.freeballcatchtimer > 0 ||
                    C.StepTimer > 0;
  if (std::fabs(C.Velocity.x) > 1.5 && !busy) return C.Velocity.x > 1.0 ? -1 : 1;
  switch (T.AttackSide) {
    case 0: return RandomRange(1, 1001) < 500 ? 1 : -1;
    case 1: return 1;
    default: return -1;
  }
}

// Whether block-1 player P may be called to a support run on `side` of the
// carrier C.
bool SupportCandidate(const TPlayer& P, const TPlayer& C, int side) {
  if (&P == &C || Truth(P.SupportRunCall) || Truth(P.ActionSeq.seqON)) return false;
  if (P.OldTackleTimer > 0 || P.RuckTimer2 > 0 || P.standuptimer > 0) return false;
  // A player who cannot run at all never arrives (and would divide by zero).
  if (P.MaxSpeedNonFatigued <= 0) return false;
  return side > 0 ? P.Pos.x >= C.Pos.x + kSupportGap : P.Pos.x <= C.Pos.x - kSupportGap;
}

// Calls the block-1 player who reaches the carrier soonest, standing at
// least 10 m to the chosen side, to a support run; nobody while the carrier
// is being tackled (the side is drawn first all the same).
void CallSupportRunner(TWorld& W, const TPlayer& C) {
  TTeamBlock& T = W.Teams[1];
  const int side = SupportSide(T, C);
  if (C.GettingTackledTimer > 0) return;
  TPlayer* chosen = nullptr;
  double best = kNoCandidate;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = T.Players[p];
    if (!SupportCandidate(P, C, side)) continue;
    const double time = Distance2D(P.Pos.x, P.Pos.z, C.Pos.x, C.Pos.z) / static_cast<double>(P.MaxSpeedNonFatigued);
    if (time < best) {
      best = time;
      chosen = &P;
    }
  }
  if (chosen == nullptr) return;
  chosen->SupportRunCall = kTrue32;
  chosen->SupportSide = 0;
}

// Latches stage k when its flag is clear and the carrier is far enough
// beyond the gain line: posts its message and, for the first two stages,
// calls a support runner.
void ReachStage(TWorld& W, bool32& stage, int k, const TPlayer& C) {
  if (Truth(stage) || C.Pos.z <= W.GainLineZ + kStageDistance[k]) return;
  stage = kTrue32;
  PostMessage(W, W.Teams[1].teamid, C.id, kStageMessage[k], 0.0f);
  if (k <= 2) CallSupportRunner(W, C);
}

// 5 to 9. The line-break stages (running only) and the gain line's drift.
void NoteLineBreaks(TWorld& W) {
  const bool running = W.gamestate == gsRunning;
  const TPlayer* carrier = running ? PlayerAt(W.Teams[1], W.Teams[1].BallCarrier) : nullptr;
  if (carrier != nullptr) {
    if (carrier->Pos.z > W.GainLineZ + kStageDistance[1]) {
      W.LineBreak = kTrue32;
      if (!Truth(W.PrevLineBreak)) {
        PostMessage(W, W.Teams[1].teamid, carrier->id, kStageMessage[1], 0.0f);
        CallSupportRunner(W, *carrier);
      }
    }
    if (carrier->Velocity.z <= 0) W.GainLineZ = ToF32(W.GainLineZ - kGainLineDrift * W.TimeStep);
  }
  if (!Truth(W.LineBreak)) {
    W.LineBreak2 = kFalse32;
    W.LineBreak3 = kFalse32;
    W.LineBreak4 = kFalse32;
  }
  if (carrier == nullptr) return;
  if (Truth(W.LineBreak)) ReachStage(W, W.LineBreak2, 2, *carrier);
  if (Truth(W.LineBreak2)) ReachStage(W, W.LineBreak3, 3, *carrier);
  if (Truth(W.LineBreak3)) ReachStage(W, W.LineBreak4, 4, *carrier);
}

// 10. The carrier (running) or the tackled player (gottackled) is being
// tackled this frame.
void NoteCarrierTackled(TWorld& W) {
  const TTeamBlock& T = W.Teams[1];
  const TPlayer* P = nullptr;
  if (W.gamestate == gsRunning) P = PlayerAt(T, T.BallCarrier);
  if (W.gamestate == gsGotTackled) P = PlayerAt(T, T.TackledPlayer);
  W.CarrierTackledFlag = Flag(P != nullptr && P->GettingTackledTimer > 0);
}

// 11. One player's look at the play, when his look timer runs out.
void Look(const TWorld& W, TPlayer& P, bool secondBlock) {
  const TGameState seenBefore = P.PerceivedGameState;
  P.PerceptionTimer = ToF32(static_cast<double>(P.PerceptionTimer) - W.TimeStep);
  if (P.PerceptionTimer > 0) return;
  P.PerceptionInterval = DrawDistribution(P.AwarenessReactionTime);
  P.PerceptionTimer = P.PerceptionInterval;
  const TTeamBlock& T = W.Teams[1];
  i32 watched = 0;
  if (W.gamestate == gsRunning) watched = T.BallCarrier;
  if (W.gamestate == gsPassing) watched = T.PassReceiver;
  P.PerceivedPlayer = IsPlayer(watched) ? static_cast<u16>(watched) : 0;
  P.PerceivedLineBreak = W.LineBreak;
  P.PerceivedCarrierTackled = W.CarrierTackledFlag;
  P.PerceivedGameState = W.gamestate;
  if (W.gamestate == gsPassing && seenBefore != gsPassing)
    P.DrawAndPassStartValue = DrawDistribution(P.DrawAndPassStartTime);
  if (secondBlock) P.PerceivedRuckThreat = W.RuckThreat;
}

void RefreshPerception(TWorld& W) {
  for (int p = 1; p <= PlayerCount(W); ++p) {
    Look(W, W.Teams[1].Players[p], false);
    Look(W, W.Teams[2].Players[p], true);
  }
}

}  // namespace

void SampleWorld(TWorld& W) {
  NoteGameState(W);
  NoteBreakdownThreat(W);
  if (W.PrevFrameGameState == gsLineout || W.PrevFrameGameState == gsScrum) W.TimeSinceSetPiece = 0;
  NotePossession(W);
  NoteLineBreaks(W);
  NoteCarrierTackled(W);
  RefreshPerception(W);
}
