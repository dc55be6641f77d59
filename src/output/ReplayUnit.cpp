#include "output/ReplayUnit.h"

#include <algorithm>

#include "core/Geometry.h"
#include "core/MatchStore.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/RunLog.h"
#include "core/WorldDefaults.h"
#include "platform/Platform.h"
#include "setup/AnimationCatalogue.h"

namespace {

constexpr u8 kReplayQuantum = 10;
constexpr double kTouchMargin = 2.0;     // m beyond touch the point of interest may go
constexpr double kInGoalMargin = 10.0;   // m beyond the try line

// Round(v), held within the 16-bit range.
i16 Stored16(double v) { return ClampToI16(RoundHalfEven(v)); }

TI16Vec3 Stored16(double x, double y, double z) { return {Stored16(x), Stored16(y), Stored16(z)}; }

// The ball of a free-ball frame on its flight path: the point of the
// current segment at the flight clock. A phase outside the path (below 1,
// or not below FlightSegments) keeps BallPos.
TVector3 FreeBallOnPath(const TWorld& W) {
  const int k = W.BallPhase;
  if (k < 1 || k >= W.FlightSegments || k + 1 > W.FlightTimes.kHigh) return W.BallPos;
  const double start = W.FlightTimes[k];
  const double length = static_cast<double>(W.FlightTimes[k + 1]) - start;
  double t = length != 0 ? (W.BallFlightClock - start) / length : 0.0;
  if (!(t >= 0)) t = 0;  // before the segment, or not a number
  TVector3 ball;
  Interpolate3D(W.FlightPos[k], W.FlightPos[k + 1], ToF32(t), ball);
  return ball;
}

void StorePlayer(TPlayerTrack& track, int n, const TPlayer& P, double scale) {
  const double q = kReplayQuantum;
  track.Pos[n] = Stored16(q * P.Pos.x * scale, q * P.Pos.y * scale, q * P.Pos.z * scale);
  track.Heading[n] = Stored16(q * P.Heading);
  track.AnimIndex[n] = static_cast<u16>(AnimNameToIndex(P.currentAnim.View()));
  track.AnimFrame[n] = RoundToI32(q * P.currentframe);
  track.AnimLoop[n] = P.AnimLoop;
  track.Fatigued[n] = P.Fatigued;
}

void FillSlot(const TWorld& W, TMatchStore& S, int n) {
  const double scale = PositionScale;
  const double q = kReplayQuantum;
  S.FrameTimes[n] = S.RecordClock;
  S.FrameGameState[n] = W.gamestate;
  S.FrameClock[n] = W.clock;
  S.FrameScore1[n] = WrapToI16(W.Teams[1].score);
  S.FrameScore2[n] = WrapToI16(W.Teams[2].score);
  S.FrameTeam1InFirstBlock[n] = W.Team1InFirstBlock;
  S.FramePointOfInterest[n] = {ToF32(W.PointOfInterest.x * scale), ToF32(W.PointOfInterest.z * scale)};
  S.FrameBallAttached[n] = W.BallAttached;
  S.FrameBallHolder[n] = WrapToI16(W.LastKnownHasBall);
  TVector3 ball = W.BallPos;
  if (W.gamestate == gsFreeBall) {
    ball = FreeBallOnPath(W);
    const double xMax = (W.PitchWidth / 2.0 + kTouchMargin) * scale;
    const double zMax = (W.PitchLength / 2.0 + kInGoalMargin) * scale;
    S.FramePointOfInterest[n] = {ToF32(std::clamp(ball.x * scale, -xMax, xMax)),
                                 ToF32(std::clamp(ball.z * scale, -zMax, zMax))};
  }
  S.FrameBallPos[n] = Stored16(q * (ball.x * scale), q * (ball.y * scale), q * (ball.z * scale));
  S.FrameBallAngles[n] = Stored16(q * W.BallSpin, q * W.BallYaw, q * W.BallPitch);
  const int players = std::min(PlayerCount(W), kTrackPlayers);
  for (int p = 1; p <= players; ++p) {
    StorePlayer(S.PlayerTracks[1][p], n, W.Teams[1].Players[p], scale);
    StorePlayer(S.PlayerTracks[2][p], n, W.Teams[2].Players[p], scale);
  }
}

}  // namespace

void RecordReplayFrame(TWorld& W, bool AdvanceClock) {
  TMatchStore& S = MatchStore;
  S.FrameCapacity = kFrameCapacity;
  S.ReplayQuantum = kReplayQuantum;
  if (S.RecordPending != 0) {
    S.RecordPending = kFalse32;
    if (S.FrameCount >= 1 && S.FrameCount <= S.FrameCapacity) FillSlot(W, S, S.FrameCount);
  }
  if (AdvanceClock) S.RecordClock = ToF32(static_cast<double>(S.RecordClock) + W.TimeStep);
  // Beyond the last slot the count runs on against the last slot's time.
  const int last = std::clamp(S.FrameCount, 1, S.FrameCapacity);
  if (static_cast<double>(S.RecordClock) > static_cast<double>(S.FrameTimes[last]) + S.FrameInterval) {
    S.FrameCount += 1;
    S.RecordPending = kTrue32;
  }
}

// ---------------------------------------------------------------------------
// After the match: the frame count, the conversion and the highlights.

namespace {

constexpr int kCandidateCapacity = 1000;

// The animations of a try celebration, as the catalogue names them.
constexpr const char* kCelebrations[] = {
    "pelko",   "vellark1", "crowdpoint1", "bicepflex",   "boxing", "chesttap", "excited", "foldarms",
    "greatest", "karatekid", "pumpupcrowd", "salute", "throwdown", "xfactor", "gorilla", "liberty"};

// One half of a frame's orientation and the flips that follow from it.
struct TFrameTurn {
  bool Swapped;   // match team 2 held block 1
  bool SecondHalf;
  bool Mirrored;  // turned by 180 degrees about the vertical: exactly one of the two
};

TFrameTurn FrameTurn(const TMatchStore& S, int n) {
  TFrameTurn t;
  t.Swapped = S.FrameTeam1InFirstBlock[n] == 0;
  // The champions' scene takes its half from the block flag alone.
  t.SecondHalf = S.FrameGameState[n] == gsLeagueChamps ? t.Swapped : n >= HalfTimeFrame;
  t.Mirrored = t.Swapped != t.SecondHalf;
  return t;
}

// A recorded value in tenths as whole units, negated first when mirrored.
i16 WholeUnits(i16 v, double q, bool negate) {
  const double x = v / q;
  return RoundToI16(negate ? -x : x);
}

void ConvertPosition(TI16Vec3& v, double q, bool mirrored) {
  v = {WholeUnits(v.x, q, mirrored), WholeUnits(v.y, q, false), WholeUnits(v.z, q, mirrored)};
}

// Tenths of radians to whole degrees; beyond the 16-bit range held at its edge.
i16 WholeDegrees(i16 v, double q, bool negate, double add) {
  const double x = v / q;
  return ClampToI16(RoundHalfEven((negate ? -x : x) * kRadToDeg) + add);
}

void ConvertFrame(TMatchStore& S, int n, int players) {
  const double q = S.ReplayQuantum;
  const TFrameTurn t = FrameTurn(S, n);
  ConvertPosition(S.FrameBallPos[n], q, t.Mirrored);
  const double turn = t.Mirrored ? 90.0 + 180.0 : 90.0;
  for (int block = 1; block <= 2; ++block) {
    for (int p = 1; p <= players; ++p) {
      TPlayerTrack& track = S.PlayerTracks[block][p];
      ConvertPosition(track.Pos[n], q, t.Mirrored);
      track.Heading[n] = RoundToI16(track.Heading[n] / q + turn);
    }
  }
  TI16Vec3& a = S.FrameBallAngles[n];
  a = {WholeDegrees(a.x, q, t.Swapped, 0), WholeDegrees(a.y, q, false, t.SecondHalf ? 180.0 : 0.0),
       WholeDegrees(a.z, q, t.Swapped, 0)};
}

// The working record of one highlight window.
struct THighlightCandidate {
  bool Valid;
  i32 TeamId;      // the message's teamID
  u8 Type;         // its TMessageType
  i32 StartFrame;
  i32 EndFrame;
  i32 EventFrame;  // the first frame at or after the message's time; 0 when none
};

Arr1<THighlightCandidate, kCandidateCapacity> Candidates;

// The recorded frames 1..Count as the highlight rules read them. Frame
// stamps never decrease (the recording clock only moves on), so the first
// frame at or after a time is found by bisection.
struct TFrames {
  const TMatchStore& S;
  int Count;

  double Time(int n) const { return S.FrameTimes[n]; }
  int State(int n) const { return S.FrameGameState[n]; }
  bool InPlay(int n) const { return State(n) == gsRunning || State(n) == gsPassing || State(n) == gsFreeBall; }
  bool FreeBallEntry(int n) const { return n > 1 && State(n) == gsFreeBall && State(n - 1) != gsFreeBall; }
  // The first frame stamped at or after t (compared in double), 0 when none.
  int FirstAtOrAfter(double t) const {
    const f32* first = S.FrameTimes.begin();
    const f32* found = std::partition_point(first, first + Count, [t](f32 v) { return v < t; });
    return found == first + Count ? 0 : static_cast<int>(found - first) + 1;
  }
};

// Whether any player of either block plays a celebration at frame n.
bool CelebrationAt(const TFrames& F, int n, int players) {
  for (int block = 1; block <= 2; ++block) {
    for (int p = 1; p <= players; ++p) {
      const std::string_view name = AnimIndexToName(static_cast<i16>(F.S.PlayerTracks[block][p].AnimIndex[n]));
      if (name.empty()) continue;
      for (const char* c : kCelebrations)
        if (name == c) return true;
    }
  }
  return false;
}

// The window [T - Back, T + Fwd] of a message, s; none when Made is false.
struct TWindow {
  bool Made;
  double Back;
  double Fwd;
};

// A try: back to the start of the move (the first frame out of play, or
// the third entry into free ball), on to 2 s after it or, when the players
// celebrate then, to the end of the try scene.
TWindow TryWindow(const TFrames& F, int f0, double T, int players) {
  TWindow w{true, 10.0, 2.0};
  int entries = 0;
  for (int n = f0; n > 1; --n) {
    if (F.FreeBallEntry(n)) ++entries;
    if (!(F.InPlay(n) || F.State(n) == gsTryScored) || entries >= 3) {
      w.Back = F.Time(f0) - F.Time(n);
      break;
    }
  }
  int c = f0;
  while (c <= F.Count && !(F.Time(c) > T + 2.0)) ++c;
  if (c <= F.Count && CelebrationAt(F, c, players) && c + 2 < F.Count) {
    int e = c;
    for (int n = c; n <= F.Count - 1; ++n) {
      if (F.State(n) == gsTryScored && F.State(n + 1) != gsTryScored) {
        e = n;
        break;
      }
    }
    w.Fwd = std::max(F.Time(e) - 0.01 - T, 0.5);
  }
  return w;
}

// The ball dead in goal: back over the transition frames, then to the
// first frame out of play or the fourth entry into free ball, at most 15 s.
TWindow DeadInGoalWindow(const TFrames& F, int f0) {
  TWindow w{true, 10.0, 2.0};
  int f1 = f0;
  while (f1 >= 1 && F.State(f1) == gsTransition) --f1;
  if (f1 < 1) f1 = f0;
  int entries = 0;
  for (int n = f1; n > 1; --n) {
    if (F.FreeBallEntry(n)) ++entries;
    if (!F.InPlay(n) || entries >= 4) {
      w.Back = std::min(F.Time(f0) - F.Time(n), 15.0);
      break;
    }
  }
  return w;
}

// A pressure kick: on to 1.25 s after the first transition frame, at most 8 s.
TWindow PressureKickWindow(const TFrames& F, int f0) {
  TWindow w{true, 2.0, 8.0};
  for (int n = f0; n <= F.Count; ++n) {
    if (F.State(n) == gsTransition) {
      w.Fwd = std::min(F.Time(n) - F.Time(f0) + 1.25, 8.0);
      break;
    }
  }
  return w;
}

// The champions' scene: the frames in "leaguechamps" around the message.
TWindow LeagueChampionsWindow(const TFrames& F, int f0) {
  TWindow w{true, 2.0, 8.0};
  for (int n = f0; n >= 1; --n) {
    if (F.State(n) != gsLeagueChamps) {
      w.Back = std::max(F.Time(f0) - F.Time(n), 0.0);
      break;
    }
  }
  for (int n = f0; n <= F.Count; ++n) {
    w.Fwd = F.Time(n) - F.Time(f0);
    if (F.State(n) != gsLeagueChamps) break;
  }
  w.Fwd -= 0.1;
  return w;
}

// A line break: the stretch of open play around it, none when it starts or
// ends within 0.25 s of the message; at most 3.5 s before it.
TWindow LineBreakWindow(const TFrames& F, int f0) {
  TWindow w{true, 2.0, 8.0};
  for (int n = f0; n >= 1; --n) {
    if (!F.InPlay(n)) {
      w.Back = F.Time(f0) - F.Time(n);
      if (w.Back < 0.25) return {false, 0, 0};
      break;
    }
  }
  for (int n = f0; n <= F.Count; ++n) {
    if (!F.InPlay(n)) {
      w.Fwd = F.Time(n) - F.Time(f0);
      if (w.Fwd < 0.25) return {false, 0, 0};
      break;
    }
  }
  w.Back = std::min(w.Back, 3.5);
  return w;
}

TWindow WindowOf(const TFrames& F, const TMatchMessage& m, int f0, int players) {
  switch (m.message) {
    case msgTry: return TryWindow(F, f0, m.time, players);
    case msgBallDeadInGoal: return DeadInGoalWindow(F, f0);
    case msgPressureKick: return PressureKickWindow(F, f0);
    case msgLeagueChampions: return LeagueChampionsWindow(F, f0);
    case msgLineBreak: return LineBreakWindow(F, f0);
    default: return {false, 0, 0};
  }
}

// The candidates of the messages in list order, at most 1,000. A message
// after the last frame takes the last frame as its own; without frames no
// candidate is made.
int CollectCandidates(const TFrames& F, int players) {
  const TMatchStore& S = F.S;
  const int messages = std::clamp<int>(S.MessageCountCopy, 0, kMessageCapacity);
  int count = 0;
  if (F.Count < 1) return 0;
  for (int k = 1; k <= messages && count < kCandidateCapacity; ++k) {
    const TMatchMessage& m = S.Messages[k];
    const double T = m.time;
    const int event = F.FirstAtOrAfter(T);
    const int f0 = event != 0 ? event : F.Count;
    const TWindow w = WindowOf(F, m, f0, players);
    if (!w.Made) continue;
    THighlightCandidate& c = Candidates[++count];
    c.Valid = true;
    c.TeamId = m.teamID;
    c.Type = m.message;
    const int start = F.FirstAtOrAfter(T - w.Back);
    const int end = F.FirstAtOrAfter(T + w.Fwd);
    c.StartFrame = start != 0 ? start : 1;
    c.EndFrame = end != 0 ? end : F.Count;
    c.EventFrame = event;
  }
  return count;
}

i32 MatchTeamInBlockOne(const TMatchStore& S, int n) {
  return S.FrameTeam1InFirstBlock[n] != 0 ? S.MatchInfo.Team[1].teamid : S.MatchInfo.Team[2].teamid;
}

// A line break is kept when it shows at least 5 s of play with 4 s after the
// break, does not run into a try, and, if the ball goes loose after the
// break, the breaking side has it back in open play.
bool LineBreakStands(const TFrames& F, const THighlightCandidate& c) {
  const int start = c.StartFrame, end = c.EndFrame, event = c.EventFrame;
  if (end <= start) return false;
  for (int n = end + 1; n <= std::min(end + 2, F.Count); ++n)
    if (F.State(n) == gsTryScored) return false;
  if (F.Time(end) - F.Time(start) < 5.0) return false;
  // A break after the last frame has no event frame; its end lies before it.
  if (event == 0 || F.Time(end) - F.Time(event) < 4.0) return false;
  if (end <= event + 1) return false;
  int loose = 0;
  for (int n = event; n <= end - 1 && loose == 0; ++n)
    if (F.State(n) == gsFreeBall) loose = n;
  if (loose == 0) return true;
  for (int n = loose; n <= end - 1; ++n)
    if (F.State(n) == gsRunning) return end > loose + 1 && MatchTeamInBlockOne(F.S, n) == c.TeamId;
  return false;
}

// A pressure kick's window starts at the first frame of the kick's play.
void MoveToKickPlay(const TFrames& F, THighlightCandidate& c) {
  for (int n = c.StartFrame; n <= c.EndFrame; ++n) {
    const int s = F.State(n);
    if (s == gsFreeBall || s == gsKickRestartSet || s == gsRunning || s == gsPassing) {
      c.StartFrame = n;
      return;
    }
  }
}

// Cuts the window at a jump of the match clock (more than 0.25 s between
// two frames), twice: a jump in its later half ends it, one in its earlier
// half starts it after the jump. False when nothing is left.
bool CutAtClockJumps(const TFrames& F, THighlightCandidate& c) {
  if (c.EndFrame <= c.StartFrame) return false;
  for (int round = 1; round <= 2; ++round) {
    int jump = 0;
    for (int n = c.StartFrame; n <= c.EndFrame - 1 && jump == 0; ++n)
      if (static_cast<double>(F.S.FrameClock[n + 1]) > static_cast<double>(F.S.FrameClock[n]) + 0.25) jump = n;
    if (jump == 0) continue;
    const double at = static_cast<double>(jump - c.StartFrame) / (c.EndFrame - c.StartFrame);
    if (at > 0.5) {
      c.EndFrame = jump;
    } else {
      c.StartFrame = jump + 1;
    }
    if (c.EndFrame <= c.StartFrame) return false;
  }
  return F.Time(c.EndFrame) - F.Time(c.StartFrame) >= 1.0;
}

// Of two overlapping windows, i earlier in the list: whether j is the one dropped.
bool LaterOneLoses(u8 i, u8 j) {
  if (i == msgTry || j == msgTry) return i == msgTry && j != msgTry;
  if ((i == msgBallDeadInGoal || i == msgPressureKick) && j == msgLineBreak) return true;
  return i == msgLeagueChampions && j != msgLeagueChampions;
}

// Drops one window of each overlapping pair in turn, at most 51.
void ResolveOverlaps(int count) {
  for (int drops = 0; drops < 51; ++drops) {
    int i = 0, j = 0;
    for (int a = 1; a <= count && j == 0; ++a) {
      if (!Candidates[a].Valid) continue;
      for (int b = a + 1; b <= count; ++b) {
        if (Candidates[b].Valid && Candidates[b].StartFrame <= Candidates[a].EndFrame) {
          i = a;
          j = b;
          break;
        }
      }
    }
    if (j == 0) return;
    Candidates[LaterOneLoses(Candidates[i].Type, Candidates[j].Type) ? j : i].Valid = false;
  }
}

}  // namespace

i32 RecordedFrameCount() {
  const auto& anim = MatchStore.PlayerTracks[1][1].AnimIndex;
  for (int n = 1; n <= kFrameCapacity; ++n)
    if (AnimIndexToName(static_cast<i16>(anim[n])).empty()) return n - 1;
  return kFrameCapacity;
}

void BuildHighlights() {
  TMatchStore& S = MatchStore;
  S.HighlightCount = 0;
  const int players = std::min(PlayerCount(World), kTrackPlayers);
  const TFrames F{S, std::clamp(S.AnimFrameCount, 0, kFrameCapacity)};
  const int count = CollectCandidates(F, players);
  for (int k = 1; k <= count; ++k) {
    THighlightCandidate& c = Candidates[k];
    if (c.Type == msgLineBreak) c.Valid = LineBreakStands(F, c);
    if (c.Valid && c.Type == msgPressureKick) MoveToKickPlay(F, c);
    if (c.Valid) c.Valid = CutAtClockJumps(F, c);
  }
  ResolveOverlaps(count);
  for (int k = 1; k <= count && S.HighlightCount < kHighlightCapacity; ++k) {
    const THighlightCandidate& c = Candidates[k];
    if (!c.Valid) continue;
    S.HighlightCount += 1;
    S.Highlights[S.HighlightCount] = {static_cast<u32>(c.StartFrame), static_cast<u32>(c.EndFrame), c.Type};
  }
}

void PrepareReplayFrames() {
  TMatchStore& S = MatchStore;
  WriteRunLog("actual num messages");
  WriteRunLog(std::to_string(S.MessageCountCopy));
  S.AnimFrameCount = RecordedFrameCount();
  HalfTimeFrame = kFrameCapacity + 1;
  const double half = World.halflength;
  for (int n = 1; n <= kFrameCapacity; ++n) {
    if (S.FrameClock[n] > half) {
      HalfTimeFrame = n;
      break;
    }
  }
  const int players = std::min(PlayerCount(World), kTrackPlayers);
  for (int n = 1; n <= S.AnimFrameCount; ++n) ConvertFrame(S, n, players);
  BuildHighlights();
  SetCurrentDir(ExeDir);
}
