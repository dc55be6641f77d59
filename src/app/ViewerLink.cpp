#include "app/ViewerLink.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/Easy_UDP1.h"
#include "app/MainUnit.h"
#include "core/EngineError.h"
#include "core/Geometry.h"
#include "core/MatchStore.h"
#include "core/SupportSpot.h"
#include "core/UDPRealtime.h"
#include "core/ViewerFrame.h"
#include "platform/Form.h"
#include "platform/Window.h"
#include "setup/AnimationCatalogue.h"

namespace {

// ---------------------------------------------------------------- pass targets

bool QualifiesAsReceiver(const TPlayer& P, const TPlayer& C) {
  if (P.Pos.z > C.Pos.z) return false;
  if (P.OldTackleTimer > 0 || P.standuptimer > 0 || P.RuckTimer2 > 0) return false;
  if (C.GettingTackledTimer > 0) {
    const double dx = static_cast<double>(P.Pos.x) - C.Pos.x;
    const double behind = static_cast<double>(C.Pos.z) - P.Pos.z;
    if (std::fabs(dx) > 5.0 || behind > 5.0 || behind < 0.45) return false;
  }
  return true;
}

// One pass of the choice: the nearest qualifying team-mate to a point Aside
// metres to either side of the carrier and Behind metres behind him.
void NearestEitherSide(const TWorld& W, i32 Carrier, f32 Aside, f32 Behind, i32 ExcludeA, i32 ExcludeB, i32& Left,
                       i32& Right) {
  const TTeamBlock& B = W.Teams[1];
  const TPlayer& C = B.Players[Carrier];
  const f32 z = static_cast<f32>(static_cast<double>(C.Pos.z) - Behind);
  const f32 leftX = static_cast<f32>(static_cast<double>(C.Pos.x) - Aside);
  const f32 rightX = static_cast<f32>(static_cast<double>(C.Pos.x) + Aside);
  f32 bestLeft = 10000.0f, bestRight = 10000.0f;
  Left = 0;
  Right = 0;
  for (int i = 1; i <= PlayerCount(W); ++i) {
    if (i == Carrier || i == ExcludeA || i == ExcludeB) continue;
    const TPlayer& P = B.Players[i];
    if (!QualifiesAsReceiver(P, C)) continue;
    if (P.Pos.x < C.Pos.x) {
      const f32 d = Distance2D(P.Pos.x, P.Pos.z, leftX, z);
      if (d < bestLeft) {
        bestLeft = d;
        Left = i;
      }
    } else {
      const f32 d = Distance2D(P.Pos.x, P.Pos.z, rightX, z);
      if (d < bestRight) {
        bestRight = d;
        Right = i;
      }
    }
  }
}

bool CarrierOpenForPass(const TWorld& W, i32 Carrier) {
  return W.Teams[1].Players[Carrier].GettingTackledTimer <= 0 || W.Teams[1].OffloadTime > 0;
}

// ---------------------------------------------------------------- datagram text

// Round to nearest, ties to even, as a whole number; a value beyond the
// 64-bit range is held at its end.
int64_t Whole(double v) {
  if (std::isnan(v)) return 0;
  const double r = std::nearbyint(v);
  if (r >= 9.2e18) return INT64_MAX;
  if (r <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(r);
}

// The datagram's text: decimal whole numbers, each followed by ",". Roomy
// enough for 25 players a side of any values, so it never truncates.
struct TFrameText {
  static constexpr int kCapacity = 8192;
  char Text[kCapacity];
  int Length = 0;

  void Add(int64_t v) {
    char* end = Text + kCapacity - 1;
    const auto res = std::to_chars(Text + Length, end, v);
    if (res.ec != std::errc()) return;
    *res.ptr = ',';
    Length = static_cast<int>(res.ptr - Text) + 1;
  }
};

TFrameText g_text;
char g_sendBuffer[kFrameSendBufferSize];

// Messages in the match store, kept within its list.
int StoredMessageCount() {
  const TMatchStore& S = MatchStore;
  return S.MessageCount < S.Messages.kSize ? S.MessageCount : S.Messages.kSize;
}

// Message types that go on to the viewer.
constexpr u8 kForwardedMessages[] = {0,  1,  4,  5,  6,  7,  8,  9,  14, 17, 18, 28, 29,  30,  34,  45,  49,  50, 57,
                                     58, 59, 61, 63, 65, 70, 72, 80, 82, 85, 95, 99, 106, 107, 108, 111, 112, 113};

bool IsForwarded(u8 type) {
  for (u8 t : kForwardedMessages)
    if (t == type) return true;
  return false;
}

void AddPlayers(const TWorld& W, const TTeamBlock& B, int sA) {
  TFrameText& T = g_text;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& P = B.Players[p];
    T.Add(Whole(static_cast<double>(P.Pos.x) * 100.0 * sA));
    T.Add(Whole(static_cast<double>(P.Pos.z) * 100.0 * sA));
    T.Add(Whole(static_cast<double>(P.Heading) + 90.0 + (sA == -1 ? 180.0 : 0.0)));
    T.Add(AnimNameToIndex(P.currentAnim.View()));
    // An animation of no length has made no progress.
    T.Add(P.maxframes != 0 ? Whole(100.0 * P.currentframe / P.maxframes) : 0);
  }
}

bool InSetPiece(const TWorld& W) {
  return (W.gamestate == gsGotTackled && W.GotTackledPhase > 1) || (W.gamestate == gsScrum && W.ScrumPhase > 1);
}

bool SomeSlot(i32 TeamId, bool NeedAutoPick, bool NeedSwitchFlag3) {
  for (const TUDPUserSlot& u : UDPRealtime.Users) {
    if (!u.Present || u.TeamId != TeamId) continue;
    if (NeedAutoPick && !u.AutoPick) continue;
    if (NeedSwitchFlag3 && !u.SwitchFlags[3]) continue;
    return true;
  }
  return false;
}

void UpdateUserHasBall(const TWorld& W) {
  const TTeamBlock& B = W.Teams[1];
  bool has = W.gamestate == gsRunning && IsPlayer(B.BallCarrier) && B.Players[B.BallCarrier].ControllingUser != 0;
  if (InSetPiece(W) && IsPlayer(B.SetPieceHolder) && SomeSlot(B.teamid, true, false)) has = true;
  UDPRealtime.UserHasBall = Flag(has);
}

void AddUserPlayer(const TWorld& W) {
  TFrameText& T = g_text;
  const TTeamBlock& B1 = W.Teams[1];
  if (UDPRealtime.UserHasBall) {
    T.Add(B1.teamid);
    T.Add((W.gamestate == gsRunning ? B1.BallCarrier : B1.SetPieceHolder) - 1);
    return;
  }
  for (int i = 1; i <= PlayerCount(W); ++i) {
    for (int b = 1; b <= 2; ++b) {
      if (W.Teams[b].Players[i].ControllingUser != 0) {
        T.Add(W.Teams[b].teamid);
        T.Add(i - 1);
        return;
      }
    }
  }
  T.Add(0);
  T.Add(-1);
}

// The first slot of the set-piece line, scanning from From by Step, that
// holds a player; 0 when none does.
i32 FirstOnSetPieceLine(const TTeamBlock& B, int From, int To, int Step) {
  for (int s = From; s != To + Step; s += Step)
    if (IsPlayer(B.SetPieceLine[s])) return B.SetPieceLine[s];
  return 0;
}

// The support-spot runners furthest up the pitch on either side of the mark.
void SupportGridTargets(const TWorld& W, TPassTargets& Targets) {
  const TTeamBlock& B = W.Teams[1];
  const int size = SupportGridSide(B);
  f32 bestLeft = -1000.0f, bestRight = -1000.0f;
  for (int r = 1; r <= size; ++r) {
    for (int c = 1; c <= size; ++c) {
      const u16 player = B.SupportGridCells[r][c];
      if (player == 0) continue;
      const TVector2 spot = B.SupportGridSpots[r][c];
      if (spot.x <= W.MarkExtra[1]) {
        if (spot.z > bestLeft) {
          bestLeft = spot.z;
          Targets[2] = player;
        }
      } else if (spot.z > bestRight) {
        bestRight = spot.z;
        Targets[4] = player;
      }
    }
  }
}

void UpdatePassTargets(const TWorld& W) {
  TUDPRealtime& R = UDPRealtime;
  const TTeamBlock& B = W.Teams[1];
  if (!SomeSlot(B.teamid, false, true))
    for (i32& t : R.PassTargets) t = 0;
  if (W.gamestate == gsRunning && R.UserHasBall && IsPlayer(B.BallCarrier) && CarrierOpenForPass(W, B.BallCarrier))
    R.PassTargets = OpenPlayPassTargets(W, B.BallCarrier);
  if (!InSetPiece(W)) return;
  for (TUDPUserSlot& u : R.Users) {
    if (!u.Present || !u.AutoPick || u.TeamId != B.teamid || u.SwitchFlags[3]) continue;
    u.SwitchFlags[3] = kTrue32;
    for (i32& t : R.PassTargets) t = 0;
    R.PassTargets[1] = FirstOnSetPieceLine(B, 100, 1, -1);
    R.PassTargets[3] = FirstOnSetPieceLine(B, 102, 201, 1);
    if (W.gamestate == gsGotTackled) SupportGridTargets(W, R.PassTargets);
    break;
  }
}

void AddMessage() {
  TFrameText& T = g_text;
  TUDPRealtime& R = UDPRealtime;
  if (SimFinished) {
    for (int64_t v : {1, 0, 1000, -12345, 1000}) T.Add(v);
    return;
  }
  const TMatchStore& S = MatchStore;
  for (int k = R.MessagesSent + 1; k <= StoredMessageCount(); ++k) {
    R.MessagesSent = k;
    const TMatchMessage& m = S.Messages[k];
    if (!IsForwarded(m.message)) continue;
    T.Add(m.teamID == S.MatchInfo.Team[1].teamid ? 1 : 2);
    T.Add(m.playerID);
    T.Add(Whole(static_cast<double>(m.time) * 1000.0));
    T.Add(m.message);
    T.Add(Whole(static_cast<double>(m.extravalue) * 1000.0));
    return;
  }
  for (int64_t v : {1, 0, 1000, -1, 1000}) T.Add(v);
}

void AddKick(const TWorld& W, int sA) {
  TFrameText& T = g_text;
  TUDPRealtime& R = UDPRealtime;
  const TTeamBlock& B = W.Teams[1];
  const bool running = W.gamestate == gsRunning;
  const bool carrier = IsPlayer(B.BallCarrier);
  const bool forViewer = R.Input[1] == B.teamid;
  const bool carrierTackled = carrier && B.Players[B.BallCarrier].GettingTackledTimer > 0;
  if (!(forViewer && R.AuxUserControl && running && !carrierTackled)) R.KickMode = kFalse32;
  T.Add(R.KickMode ? 1 : 0);
  int64_t kind = 0;
  if (forViewer && running && carrier && B.Players[B.BallCarrier].KickTimer > 0 && B.KickTimeLeft > 0)
    kind = Whole(B.Players[B.BallCarrier].KickKind);
  T.Add(kind);
  T.Add(Whole(100.0 * B.KickSpeed));
  T.Add(Whole(100.0 * B.KickElevation));
  T.Add(Whole(100.0 * (static_cast<double>(B.KickHeading) + (sA == -1 ? 180.0 : 0.0))));
  T.Add(50);
}

void BuildFrameText(TWorld& W) {
  TFrameText& T = g_text;
  TUDPRealtime& R = UDPRealtime;
  const TTeamBlock& B1 = W.Teams[1];
  const int half = W.MatchPhase == 2 ? -1 : 1;
  const int sA = (W.Team1InFirstBlock ? 1 : -1) * half;
  const int sB = (B1.teamid == R.ViewerTeamId ? (W.Team1InFirstBlock ? 1 : -1) : (W.Team1InFirstBlock ? -1 : 1)) * half;
  const int first = B1.teamid == R.ViewerTeamId ? 1 : 2;
  const double yawTurn = sA == -1 ? 180.0 : 0.0;

  T.Length = 0;
  T.Add(Whole(static_cast<double>(MatchStore.RecordClock) * 1000.0));
  AddPlayers(W, W.Teams[first], sA);
  AddPlayers(W, W.Teams[3 - first], sA);
  T.Add(Whole(static_cast<double>(W.BallPos.x) * 100.0 * sA));
  T.Add(Whole(static_cast<double>(W.BallPos.y) * 100.0));
  T.Add(Whole(static_cast<double>(W.BallPos.z) * 100.0 * sA));
  T.Add(Whole(W.BallSpin * kRadToDeg));
  T.Add(Whole(W.BallYaw * kRadToDeg + yawTurn));
  T.Add(Whole(W.BallPitch * kRadToDeg));
  T.Add(Whole(static_cast<double>(W.PointOfInterest.x) * 100.0 * sA));
  T.Add(Whole(static_cast<double>(W.PointOfInterest.z) * 100.0 * sA));
  T.Add(Whole(W.clock));
  T.Add(sB);

  UpdateUserHasBall(W);
  AddUserPlayer(W);
  UpdatePassTargets(W);
  for (int k = 1; k <= 4; ++k) {
    T.Add(B1.teamid);
    T.Add(static_cast<int64_t>(R.PassTargets[k]) - 1);
  }
  AddMessage();
  AddKick(W, sA);
  R.FrameDelayValue = -1.0f;
  if (W.gamestate == gsGotTackled) R.FrameDelayValue = W.RestartDelay < 0 ? 0.0f : W.RestartDelay;
  T.Add(Whole(static_cast<double>(R.FrameDelayValue) * 1000.0));
}

void SendText() {
  // A text that would not fit the send buffer is not sent at all: a cut
  // datagram would hand the viewer wrong fields.
  if (g_text.Length > kFrameSendBufferSize || !UDPSocket) return;
  std::memcpy(g_sendBuffer, g_text.Text, static_cast<size_t>(g_text.Length));
  static const std::string kHost = "127.0.0.1";
  UDPSocket->SendData(kHost, static_cast<u16>(UDPSendPort), g_sendBuffer, g_text.Length);
}

void AddSimAheadLine(const TWorld& W) {
  TUDPRealtime& R = UDPRealtime;
  Form1.Memo4.Add(std::string(g_text.Text, static_cast<size_t>(g_text.Length)));
  const double seconds = R.SimAheadSeconds;
  const bool over = static_cast<double>(R.SimAheadStartGameClock) + seconds < W.clock ||
                    static_cast<double>(R.SimAheadStartUdpClock) + seconds < MatchStore.RecordClock || SimFinished;
  if (!over) {
    R.FramesAllowed += 1;  // the next frame runs without waiting for the viewer
    return;
  }
  const std::string path = OutputDir + "userRequestedSimAheadFrames.txt";
  if (!Form1.Memo4.SaveToFile(path)) throw EEngineError("Cannot create file " + path);
  Form1.Memo4.Clear();
  R.SimAhead = kFalse32;
}

// ---------------------------------------------------------------- summary

f32 Scaled(f32 v) { return static_cast<f32>(static_cast<double>(v) * 50.0); }

void WritePlayer(TViewerPlayer& E, const TPlayer& P) {
  E.Pos.x = Scaled(P.Pos.x);
  E.Pos.y = Scaled(P.Pos.y);
  E.Pos.z = Scaled(P.Pos.z);
  E.Heading = P.Heading;
  // Only the name's own characters are written; the rest of the field keeps
  // what it held.
  const std::string_view name = P.currentAnim.View();
  E.AnimLength = static_cast<u8>(name.size());
  std::memcpy(E.AnimName, name.data(), name.size());
  E.currentframe = P.currentframe;
  E.AnimLoop = P.AnimLoop;
}

void WritePlayersAndUsers(const TWorld& W) {
  TViewerFrame& F = ViewerFrame;
  for (TViewerUser& u : F.Users) u.Player = 0;
  // The record has room for 15 players a side; further players get no entry
  // but still name their user's player.
  for (int i = 1; i <= PlayerCount(W); ++i) {
    for (int b = 1; b <= 2; ++b) {
      const TPlayer& P = W.Teams[b].Players[i];
      if (i <= kViewerPlayerEntries) WritePlayer(b == 1 ? F.Block1[i] : F.Block2[i], P);
      const int u = P.ControllingUser;
      if (u < 1 || u > 4) continue;
      F.Users[u].Player = static_cast<i16>(i);
      F.Users[u].MatchTeam1 = b == 1 ? Flag(W.Team1InFirstBlock) : Flag(!W.Team1InFirstBlock);
    }
  }
}

void WriteMessages() {
  TViewerFrame& F = ViewerFrame;
  for (TViewerMessage& m : F.Messages) {
    m.Lead = 0;
    m.message = kViewerEmptyMessage;
  }
  static_assert(sizeof(TMatchMessage) == 20, "a summary entry carries the stored message byte for byte");
  const TMatchStore& S = MatchStore;
  int entry = 1;
  for (int k = ViewerMessagesSent + 1; k <= StoredMessageCount() && entry <= 3; ++k, ++entry) {
    std::memcpy(reinterpret_cast<char*>(&F.Messages[entry]) + offsetof(TViewerMessage, teamID), &S.Messages[k],
                sizeof(TMatchMessage));
    ViewerMessagesSent = k;
  }
}

}  // namespace

TPassTargets OpenPlayPassTargets(const TWorld& W, i32 Carrier) {
  TPassTargets t{};
  if (!IsPlayer(Carrier)) return t;
  NearestEitherSide(W, Carrier, 2.0f, 1.75f, 0, 0, t[1], t[3]);
  NearestEitherSide(W, Carrier, 5.0f, 3.0f, t[1], t[3], t[2], t[4]);
  return t;
}

void SendFrameToViewer(TWorld& W) {
  BuildFrameText(W);
  if (g_text.Length == 0) return;
  if (!UDPRealtime.SimAhead) {
    SendText();
  } else {
    AddSimAheadLine(W);
  }
}

void SendStateToViewerWindow(TWorld& W) {
  TViewerFrame& F = ViewerFrame;
  const TTeamBlock& B1 = W.Teams[1];
  const bool running = W.gamestate == gsRunning;
  const bool carrier = IsPlayer(B1.BallCarrier);
  ViewerDataKind = 1;
  F.Head = 0;
  F.RecordClock = MatchStore.RecordClock;
  F.clock = W.clock;
  F.Score1 = static_cast<i16>(B1.score);
  F.Score2 = static_cast<i16>(W.Teams[2].score);
  F.gamestate = W.gamestate;
  F.PointOfInterestX = Scaled(W.PointOfInterest.x);
  F.PointOfInterestZ = Scaled(W.PointOfInterest.z);
  F.BallPlayer = static_cast<i16>(running ? B1.BallCarrier : (W.gamestate == gsPassing ? B1.PassReceiver : 0));
  F.Team1InFirstBlock = W.Team1InFirstBlock;
  F.BallAttached = W.BallAttached;
  F.LastKnownHasBall = static_cast<i16>(W.LastKnownHasBall);
  F.BallPos = {Scaled(W.BallPos.x), Scaled(W.BallPos.y), Scaled(W.BallPos.z)};
  F.BallAngles = {W.BallSpin, W.BallYaw, W.BallPitch};
  F.KickInProgress = 0;
  F.StatusWord2 = 0;
  F.StatusWord3 = 0;
  WritePlayersAndUsers(W);
  F.UserHasCarrier = Flag(running && carrier && B1.Players[B1.BallCarrier].ControllingUser != 0);
  F.KickSpeed = B1.KickSpeed;
  F.KickHeading = B1.KickHeading;
  if (running && carrier) F.CarrierMaxKickSpeed = B1.Players[B1.BallCarrier].MaxKickSpeed;
  F.FirstSecond = Flag(W.ElapsedTime < 1.0f);
  for (int k = 0; k < 4; ++k) F.PassReceivers[k] = 0;
  if (running && F.UserHasCarrier && CarrierOpenForPass(W, B1.BallCarrier)) {
    const TPassTargets t = OpenPlayPassTargets(W, B1.BallCarrier);
    for (int k = 1; k <= 4; ++k) F.PassReceivers[k - 1] = static_cast<i16>(t[k]);
  }
  WriteMessages();
  const TWindowHandle viewer = FindWindow("TfrmMain", "Korvessa Viewer");
  if (viewer != 0) SendCopyData(viewer, ViewerDataKind, &F, sizeof F);
}
