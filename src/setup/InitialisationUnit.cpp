#include "setup/InitialisationUnit.h"

#include <numbers>

#include "core/BallFlight.h"
#include "core/PlayerCommands.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/TypeDefs.h"
#include "core/WorldDefaults.h"
#include "setup/AnimationCatalogue.h"
#include "setup/BallKeyframes.h"
#include "setup/ReadInputFiles.h"

namespace {

void ResetActionAndAnimation(TPlayer& P, bool firstBlock) {
  P.ActionSeq = StrategyParams.ActionSeqTemplate;
  P.ActionSeq.seqON = kFalse32;
  P.ActionSeq.EventArray[1].DistOrig = 5.0f;
  P.ActionSeq.EventArray[1].Angle = firstBlock ? 90.0f : 270.0f;
  TAnimSeq& A = P.AnimSeq;
  A.Playing = kFalse32;
  A.NumEntries = 1;
  A.CurrEntry = 0;
  TAnimSeqEntry& e = A.Entries[1];
  e.Name.Assign("run");
  e.Loop = kFalse32;
  e.Duration = 1.0f;
  e.StartFrame = 0.0f;
  e.EndFrame = 1.0f;
  e.Rate = 20.0f;
  e.FaceMode = 0;
  e.FaceAngle = 90.0f;
  e.FaceOffset = 0.0f;
  e.FaceTarget = 1;
  for (int k = 2; k <= 10; ++k) A.Entries[k] = e;
}

void ResetPlayerState(TPlayer& P, bool firstBlock) {
  P.OldPos = P.Pos;
  P.DesiredPos = P.Pos;
  P.DistToDesired = 0;
  P.Heading = firstBlock ? 90.0f : 270.0f;
  P.FacingAngle = static_cast<f32>((P.Heading + 90.0) * std::numbers::pi / 180.0);
  P.speed = 0;
  for (f32* timer : {&P.passtimer, &P.passcatchtimer, &P.shimmytimer, &P.DiveTimer,
                     &P.standuptimer, &P.freeballcatchtimer, &P.KickTimer, &P.SpecialAnimTimer,
                     &P.TackleAttemptTimer, &P.GettingTackledTimer, &P.LineOutTimer,
                     &P.ForcedRunTimer, &P.CelebrateTimer})
    *timer = 0;
  P.LineoutFacing = 0;
  P.target = P.numtargetting = P.governedby = P.numgoverning = 0;
  for (int k = 1; k <= 8; ++k) P.FootprintHolder[k] = 0;
  P.StrengthScale.value = DrawClamped(P.StrengthScale);
  P.ActionTime3.value = DrawClamped(P.ActionTime3);
}

// Landing z of a kick at `speed` from the kicking tee, or 20 m when it does
// not come down within the flight table.
f32 KickRange(TBallFlight& flight, f32 speed, f32 pitchWidth) {
  SimulateKickFlight(flight, speed, 42.0f, 90.0f, 0.0f, 0.5f, 0.0f, pitchWidth);
  return flight.LandingStep != 0 ? flight.Pos[flight.LandingStep].z : 20.0f;
}

}  // namespace

void InitialiseMatch() {
  ResetViewerCommandChannel();
  BuildStrategyShapes();
  InitialiseWorld(World);
  ResetMatchState();
  // The field-zone defaults stand wherever "fieldstrat.csv" gives no value.
  BuildDefaultFieldZones();
  BuildAnimationCatalogue();
  BuildBallKeyframes();
  ReadInputFiles();
  SampleStartValues();
}

void ResetMatchState() {
  TWorld& W = World;
  TTeamBlock& B1 = W.Teams[1];
  W.RecordingOn = kTrue32;
  W.MarkCalled = kFalse32;
  W.PossessionChanged = kFalse32;
  W.clock = 0.0f;
  W.MatchPhase = 1;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& B = W.Teams[b];
    B.score = 0;
    B.CarriedIntoOwn22 = kFalse32;
    B.CarriedIntoOwnInGoal = kFalse32;
    B.TackledPlayer = 0;
    B.PassTimeLeft = 0;
    B.KickTimeLeft = 0;
  }
  for (int k = 1; k <= 10; ++k) W.Infringements[k].Kind = 0;
  W.CarriedBallPlacementOn = kFalse32;
  W.RunningPhase = 1;
  W.PhaseCount = 0;
  B1.CarryMaxZ = -100000.0f;
  W.TimeSinceTackle = 0;
  constexpr u16 kBackfieldOrder[10] = {14, 11, 10, 12, 13, 9, 8, 0, 0, 0};
  for (int b = 1; b <= 2; ++b)
    for (int k = 1; k <= 10; ++k) W.Teams[b].BackfieldOrder[k] = kBackfieldOrder[k - 1];
  const int perTeam = PlayerCount(W);
  // Player by player, block 1 then block 2 for each: the order of the draws
  // below depends on it.
  for (int p = 1; p <= perTeam; ++p)
    for (int b = 1; b <= 2; ++b) ResetActionAndAnimation(W.Teams[b].Players[p], b == 1);
  if (IsPlayer(B1.BallCarrier))
    B1.Players[B1.BallCarrier].desiredspeed = B1.Players[B1.BallCarrier].maxspeed;
  for (int p = 1; p <= perTeam; ++p)
    for (int b = 1; b <= 2; ++b) ResetPlayerState(W.Teams[b].Players[p], b == 1);
  // Kick-off line-up: player p of each side faces player p of the other.
  for (int p = 1; p <= perTeam; ++p) {
    const f32 x = static_cast<f32>(-7.5 + 1.25 * (p - 1));
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[p];
      const f32 z = b == 1 ? -5.0f : 5.0f;
      P.Pos.x = P.DesiredPos.x = P.OldPos.x = x;
      P.Pos.z = P.DesiredPos.z = P.OldPos.z = z;
    }
  }
  // The kick-off: block 1's number 10 restarts.
  W.KickRestartSetPhase = 1;
  W.gamestate = gsKickRestartSet;
  B1.RestartKickerDefault = 10;
  B1.KickerIndex = 10;
  for (int b = 1; b <= 2; ++b) {
    W.Teams[b].RestartType = 2;
    W.Teams[b].RestartOption = 1;
    W.Teams[b].StrategyTimer = 0;
  }
  B1.BallCarrier = B1.KickerIndex;
}

void SampleStartValues() {
  static TBallFlight flight;  // some 32 KB, reused for every estimate
  TWorld& W = World;
  for (int p = 1; p <= 22; ++p) {
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[p];
      P.MaxKickRange = KickRange(flight, P.MaxKickSpeed, W.PitchWidth);
      P.GoalKickRange = KickRange(flight, P.MaxGoalKickSpeed, W.PitchWidth);
    }
  }
}
