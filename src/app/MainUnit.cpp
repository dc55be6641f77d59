#include "app/MainUnit.h"

#include <cstdio>
#include <exception>

#include "app/Easy_UDP1.h"
#include "app/FrameSteps.h"
#include "app/ViewerLink.h"
#include "core/EngineError.h"
#include "core/FloatGuard.h"
#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/NumberFormat.h"
#include "core/PlayerStateDump.h"
#include "core/Random.h"
#include "core/RunLog.h"
#include "core/StrategyShapes.h"
#include "core/TypeDefs.h"
#include "core/UDPRealtime.h"
#include "core/ViewerFrame.h"
#include "core/WorkCounters.h"
#include "output/MatchSummary.h"
#include "output/OutputLines.h"
#include "output/OutputUnit.h"
#include "output/ReplayUnit.h"
#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

f32 ElapsedSimTime = 0;
f32 MaxSimTime = 6600.0f;
bool32 MaxTimeIsDefault = kTrue32;
bool32 SimCrashed = kFalse32;
bool32 SimFinished = kFalse32;
i32 UDPListenPort = 2501;
i32 UDPSendPort = 2504;
i32 ViewerMessagesSent = 0;
f32 OneShotTimeStep = -10.0f;
bool32 SkipCarriedBallPlacement = kFalse32;

namespace {

const char* const kMarkerText = "this file contains nothing but this text!";
int g_exitStatus = 0;

// Runs fn; returns false with the error's text when it raises anything.
template <class F>
bool Guarded(F&& fn, std::string& error) {
  try {
    fn();
    return true;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "unknown exception";
  }
  return false;
}

// Writes a marker file through the line buffer; raises when it cannot.
void WriteMarker(const std::string& name, const std::string& secondLine = {}) {
  TLines& box = Form1.ListBox1;
  box.Clear();
  box.Add(kMarkerText);
  if (!secondLine.empty()) box.Add(secondLine);
  const std::string path = OutputDir + name + FileSuffix + ".txt";
  SaveLinesOrRaise(box, path);
}

std::string GameTimeLine(double clock) { return "game time " + FormatGeneral(clock / 60.0); }

// The run log and the two markers of a run that ended in error.
void SaveLogAndErrorMarkers(double clock) {
  if (!SaveRunLog(ExeDir + "mydebuglog.txt"))
    std::fprintf(stderr, "Cannot create file %smydebuglog.txt\n", ExeDir.c_str());
  ForceDirectories(OutputDir);
  try {
    WriteMarker("ThisSimFinished");
    WriteMarker("ThisSimHasErrors", GameTimeLine(clock));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
}

// The records beside the world that the set-up fills only in part and the
// finish adds to, made as a fresh process finds them (all zero), so that a
// match started after another in the same process plays and writes exactly
// as it would alone. The world, the look-ahead copy, the move books and the
// tables are rebuilt whole by the set-up.
void ClearMatchRecords() {
  ClearMatchStore();
  MatchStats = TMatchStats{};
  MatchSummary = TMatchSummary{};
  StrategyParams = TStrategyParams{};
  for (TFieldStrategy& F : FieldStrategy) F = TFieldStrategy{};
}

void SetWorldStartValues() {
  TWorld& W = World;
  W.CarriedBallPlacementOn = kTrue32;
  W.Teams[1].DecisionsOn = kTrue32;
  W.Teams[2].DecisionsOn = kTrue32;
  SkipCarriedBallPlacement = kFalse32;

  TMatchStore& S = MatchStore;
  S.RecordPending = kTrue32;
  S.FrameCount = 1;
  S.FrameInterval = 0.0164f;
  S.RecordClock = 0.0f;
  S.MessageCount = 0;
  S.MessageCapacity = kMessageCapacity;
  S.MessageCountCopy = 0;
  S.MessageListOverflowed = kFalse32;

  W.MessageTimers[1] = 10.0f;
  W.MessageTimers[2] = 7.0f;
  W.MessageTimers[3] = 5.0f;
  W.MessageTimers[4] = 5.0f;
  W.StatPlayerCursor = 1;
  for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
  W.MessageQueue[1] = TMatchMessage{0, 0, 0.0f, msgPlayersPerTeam, static_cast<f32>(W.PlayersPerTeam)};
  W.MessageSlotFree[1] = kFalse32;
  W.MessageQueue[2] = TMatchMessage{0, 0, 0.0f, msgHalfLength, W.halflength};
  W.MessageSlotFree[2] = kFalse32;
}

// One frame: the steps, the debug dump and the recorder. Raises on any error.
void RunFrame(TWorld& W) {
  UDPRealtime.LastFrameTick = GetTickCount();
  UDPRealtime.FrameRanThisCall = kTrue32;
  ++WorkCounters.MatchFrames;
  RunFrameSteps(W, 1, kFrameStepCount);
  ClearFloatFlags();
  if (W.clock > 3123.0f && W.clock < 3125.0f) {
    DumpPlayerStateCsv(W, true, 5, true, false);
    WriteRunLog("//////////");
    WriteRunLog("///////////////////////////");
  }
  if (W.RecordingOn) {
    if (!UDPRealtime.Active) {
      RecordReplayFrame(W, true);
    } else {
      MatchStore.RecordClock += W.TimeStep;
      SendFrameToViewer(W);
      UDPRealtime.FramesDone += 1;
      RecordReplayFrame(W, false);
    }
  }
  CheckFloatFlags("the frame's recording");
}

bool EndTestsHold() {
  const TWorld& W = World;
  if (ElapsedSimTime >= MaxSimTime) return true;
  if (W.MatchPhase == 3 && W.gamestate != gsLeagueChamps) return true;
  if (W.MatchPhase == 3 && W.gamestate == gsLeagueChamps && W.LeagueChampsPhase > 1) return true;
  if (DummyOutputOnly) return true;
  if (UDPRealtime.EndPending) return true;
  if (SimCrashed) return true;
  return false;
}

void Finish() {
  TWorld& W = World;
  SimFinished = kTrue32;
  WriteRunLog("Sim finished.............");
  std::string error;
  const bool done = Guarded([&] {
    ClearFloatFlags();
    if (UDPRealtime.Active) SendFrameToViewer(W);
    if (ViewerLinkMode) SendStateToViewerWindow(W);
    const int first = W.Team1InFirstBlock ? 1 : 2;
    WriteRunLog(std::to_string(W.Teams[first].score));
    WriteRunLog(std::to_string(W.Teams[3 - first].score));
    WriteEventList();
    PickManOfTheMatch();
    PrepareReplayFrames();
    WriteStatsOutput();
    WriteGameFile();
    CheckFloatFlags("the finish");
    if (!SaveRunLog(ExeDir + "mydebuglog.txt"))
      throw EEngineError("Cannot create file " + ExeDir + "mydebuglog.txt");
    WriteMarker("ThisSimFinished");
    if (W.MatchPhase != 3 && MaxTimeIsDefault && !DummyOutputOnly) SimCrashed = kTrue32;
    if (SimCrashed) {
      WriteMarker("ThisSimHasErrors", GameTimeLine(W.clock));
      g_exitStatus = 1;
    } else {
      WriteMarker("ThisSimHasNoErrors");
      g_exitStatus = 0;
    }
  }, error);
  if (!done) {
    std::fprintf(stderr, "The finish failed: %s\n", error.c_str());
    WriteRunLog("The finish failed: " + error);
    SaveLogAndErrorMarkers(W.clock);
    g_exitStatus = 2;
  }
  Form1.Visible = false;
  Application.Terminate();
}

}  // namespace

void FormCreate() {
  Form1.Label1 = "AI Engine v 11.7";
  // Numbers are written by our own formatters with '.' whatever the locale.
  RandSeed = MillisecondsSinceMidnightUTC();
  WriteRunLog("randseed " + std::to_string(RandSeed));
  ElapsedSimTime = 0;
  World.ElapsedTime = 0;
  MaxSimTime = 6600.0f;
  SimCrashed = kFalse32;
  MaxTimeIsDefault = Flag(MaxSimTime == 6600.0f);
  ExeDir = ProgramDirectory();
  OutputDir = ExeDir + "output/";
  SimFinished = kFalse32;
  ForceDirectories(OutputDir);
  DummyOutputOnly = Flag(FileExists(InputDir() + "dummyOutputOnly.txt"));
  ViewerLinkMode = kFalse32;
  AILevel = 750;
  GameSpeed = 0.085f;
  ViewerMessagesSent = 0;
  ViewerFrame.StartWord = 0;
  UDPSendPort = 2504;
  UDPListenPort = 2501;
  CreateUDPSocket();
  SetUDPRealtimeDefaults();
  ClearMatchRecords();
  ClearFloatFlags();
  InitialiseMatch();
  CheckFloatFlags("the match set-up");
  // The real-time priority request does nothing here.
  SetWorldStartValues();
  Form1.Memo1.Clear();
  Form1.Memo1.Visible = false;
  Form1.Memo4.Clear();
  Application.ShowMainForm = false;
  Form1.Visible = false;
  Application.OnIdle = ApplicationIdle;
}

void ApplicationIdle(bool& Done) {
  Done = false;
  UDPRealtime.FrameRanThisCall = kFalse32;
  if (SimFinished) return;
  TWorld& W = World;
  if (!UDPRealtime.EndPending) {
    W.PrevTimeStep = W.TimeStep;
    W.TimeStep = 0.04f;
    if (ViewerLinkMode && W.RecordingOn) {
      W.TimeStep = OneShotTimeStep;
      OneShotTimeStep = -10.0f;
    }
    if (UDPRealtime.Active) {
      W.PrevTimeStep = UDPRealtime.TimeStep;
      W.TimeStep = UDPRealtime.TimeStep;
    } else {
      UDPRealtime.FramesAllowed = 1;
    }
    std::string error;
    if (!Guarded([&] {
          if (UDPRealtime.FramesAllowed > UDPRealtime.FramesDone) RunFrame(W);
        }, error)) {
      std::fprintf(stderr, "Frame raised: %s\n", error.c_str());
      WriteRunLog("Frame raised: " + error);
      SimCrashed = kTrue32;
    }
    if (!UDPRealtime.Active || UDPRealtime.FrameRanThisCall) ElapsedSimTime += W.TimeStep;
  }
  if (ViewerLinkMode && W.gamestate == gsMisc01) return;
  if (!EndTestsHold()) return;
  UDPRealtime.EndPending = kFalse32;
  if (UDPRealtime.Active && UDPRealtime.FramesAllowed <= UDPRealtime.FramesDone) {
    UDPRealtime.EndPending = kTrue32;
    return;
  }
  Finish();
}

int RunProgram() {
  Application = TApplication{};
  Form1.Reset();
  g_exitStatus = 0;
  FileID.clear();
  FileSuffix.clear();
  std::string error;
  if (!Guarded(FormCreate, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    WriteRunLog(error);
    if (ExeDir.empty()) ExeDir = ProgramDirectory();
    OutputDir = ExeDir + "output/";
    SaveLogAndErrorMarkers(0.0);
    return 2;
  }
  Application.Run();
  return g_exitStatus;
}
