#include "core/PlayerCommands.h"

#include "core/Geometry.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "core/ViewerFrame.h"

Arr1<TPlayerCommand, kCommandSlotCount> CommandSlots;

void ResetViewerCommandChannel() {
  for (TPlayerCommand& c : CommandSlots) {
    c.Occupied = 0;
    c.Consumed = kTrue32;
  }
  ViewerFrame.KickInProgress = 0;
  ViewerFrame.StatusWord2 = 0;
  ViewerFrame.StatusWord3 = 0;
}

namespace {

// Gives event 1 the command's run. A plain run already under way at event 1
// is kept (and measured afresh) unless the action needs a fresh sequence.
void StartCommand(TPlayer& P, f32 Angle, f32 SpeedFraction, bool FreshSequence) {
  TActionSeq& S = P.ActionSeq;
  const bool keepRun = !FreshSequence && S.seqON && S.CurrEventIndex == 1 && S.EventArray[1].EventType == 0;
  if (keepRun) {
    S.EventArray[1].DistOrig = 10.0f;
    S.EventArray[1].DistTravelled = 0.0f;
  } else {
    S = StrategyParams.ActionSeqTemplate;
  }
  TActionEvent& E = S.EventArray[1];
  E.Angle = Angle;
  E.SpeedFraction = SpeedFraction;
  E.DesSpeed = static_cast<f32>(static_cast<double>(SpeedFraction) * P.MaxSpeedNonFatigued);
}

bool CurrentEventIsAction(const TPlayer& P) {
  const TActionSeq& S = P.ActionSeq;
  if (!S.seqON || !Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex)) return false;
  return S.EventArray[S.CurrEventIndex].EventType != 0;
}

f32 CommandKickSpeed(const TPlayerCommand& C, const TPlayer& P) {
  return static_cast<f32>(static_cast<double>(C.KickPower) * P.MaxKickSpeed);
}

void ApplyInRunning(const TPlayerCommand& C, TPlayer& P) {
  TActionEvent& E = P.ActionSeq.EventArray[1];
  const bool kickInProgress = ViewerFrame.KickInProgress != 0;
  switch (C.Kind) {
    case 0:
      if (!CurrentEventIsAction(P)) StartCommand(P, C.Angle, C.SpeedFraction, false);
      break;
    case 1:
    case 2:
      if (P.passtimer <= 0 && P.KickTimer <= 0) {
        StartCommand(P, C.Angle, C.SpeedFraction, true);
        E.EventType = 1;
        E.EventSubType = C.Kind == 1 ? ViewerFrame.PassReceivers[0] : ViewerFrame.PassReceivers[2];
      }
      break;
    case 3:
      if (P.BreakTackleTimer <= 0 && P.KickTimer <= 0) {
        StartCommand(P, C.Angle, C.SpeedFraction, true);
        E.EventType = 10;
      }
      break;
    case 4:
    case 5:
      if (P.StepTimer <= 0 && P.KickTimer <= 0) {
        StartCommand(P, C.Angle, C.SpeedFraction, true);
        E.EventType = 8;
        E.EventCode = C.Kind == 4 ? 1 : 2;
      }
      break;
    case 6:
      if (!kickInProgress) {
        StartCommand(P, C.Angle, C.SpeedFraction, true);
        E.EventType = 5;
        E.EventSubType = 1;
        E.EventCode = 0;
        E.KickLaunchHeading = C.KickHeading;
        E.KickLaunchSpeed = CommandKickSpeed(C, P);
        E.KickLaunchElevation = static_cast<f32>(RandomRange(35, 46));
      }
      break;
    default:
      break;
  }
  // Steering a kick being prepared.
  if (kickInProgress) {
    E.Angle = C.Angle;
    E.KickLaunchHeading = C.KickHeading;
    E.KickLaunchSpeed = CommandKickSpeed(C, P);
  }
}

}  // namespace

void ApplyCommandToPlayer(TWorld& W, const TPlayerCommand& Command, i32 Player) {
  if (!Command.SideFlag && W.Team1InFirstBlock) return;
  if (!IsPlayer(Player)) return;
  TTeamBlock& B = W.Teams[1];
  TPlayer& P = B.Players[Player];
  if (ViewerFrame.gamestate == gsRunning) {
    ApplyInRunning(Command, P);
  } else if (ViewerFrame.gamestate == gsPassing && Command.Kind == 0) {
    if (Player == B.PassReceiver) {
      StartCommand(P, HeadingToPoint(P.OldPos.x, P.OldPos.z, P.Pos.x, P.Pos.z, 90.0f), 1.0f, false);
    } else {
      StartCommand(P, Command.Angle, Command.SpeedFraction, false);
    }
  }
}
