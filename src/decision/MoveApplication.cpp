#include "decision/MoveApplication.h"

#include <cmath>
#include <string>

#include "core/Lines.h"
#include "core/MoveBooks.h"
#include "core/PlayerLists.h"
#include "core/RunLog.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "decision/CarrierLookups.h"

namespace {

// Ruck start points must lie this far inside the touch lines and the own
// dead-ball line, m.
constexpr double kStartMargin = 0.5;
// A mark this close to a touch line leaves out the runners standing on its
// touch side, m.
constexpr double kMarkNearTouch = 2.5;
// A default-play runner this close to a touch line runs straight, m.
constexpr double kRunnerNearTouch = 5.0;
// Clock window of the move trace in the run log, s (both ends excluded).
constexpr f32 kTraceFrom = 3123.0f;
constexpr f32 kTraceTo = 3125.0f;

bool IsKick(i32 type) { return type == 5 || type == 55; }

// ---------------------------------------------------------------- ruck moves

using TRoleTakers = Arr1<i32, kMoveRoles>;  // player per role, 0 = empty

bool AvailableForRuckMove(const TTeamBlock& A, int p) {
  const TPlayer& P = A.Players[p];
  return P.RuckTimer <= 0 && P.RuckTimer2 <= 0 && P.TackleAttemptTimer <= 0 && P.GettingTackledTimer <= 0 &&
         P.OldTackleTimer <= 0 && p != A.TackledPlayer;
}

// The player who takes a role wanting `shirt`: the shirt himself when
// available, else the first available of his cover list; 0 when nobody.
i32 CastRole(i32 shirt, const Arr1<bool, 25>& free, const TMoveBook& B) {
  if (IsPlayer(shirt) && free[shirt]) return shirt;
  if (shirt < 1 || shirt > 15) return 0;
  for (i16 cover : B.CoverLists[shirt]) {
    if (cover == 0) break;
    if (IsPlayer(cover) && free[cover]) return cover;
  }
  return 0;
}

// The player who took the role of listed shirt v, or 0 when v is not a
// listed shirt (or nobody took it).
i32 TakerOfShirt(const TMove& M, int listed, const TRoleTakers& takers, i32 v) {
  if (v == 0) return 0;
  for (int k = 1; k <= listed; ++k) {
    if (M.Shirts[k] == v) return takers[k];
  }
  return 0;
}

// Events that name a listed shirt name the player in his role instead; the
// stored value is read once per field, so covers never chain. A kick's
// EventSubType is its kind, not a player.
void RenumberShirts(TActionSeq& S, const TMove& M, int listed, const TRoleTakers& takers) {
  for (TActionEvent& E : S.EventArray) {
    if (!IsKick(E.EventType)) {
      const i32 p = TakerOfShirt(M, listed, takers, E.EventSubType);
      if (p != 0) E.EventSubType = p;
    }
    const i32 r = TakerOfShirt(M, listed, takers, E.RelPlayer);
    if (r != 0) E.RelPlayer = r;
  }
}

// Loads role k into its player with the start point moved to the mark;
// false when that point lies too near a touch line or beyond the own
// in-goal.
bool LoadRuckRole(TWorld& W, const TMove& M, int listed, const TRoleTakers& takers, int k) {
  TActionSeq& S = W.Teams[1].Players[takers[k]].ActionSeq;
  S = M.Seqs[k];
  RenumberShirts(S, M, listed, takers);
  S.HoldStartPos = kTrue32;
  S.StartX = ToF32(static_cast<double>(S.StartX) + W.MarkX);
  S.StartZ = ToF32(static_cast<double>(S.StartZ) + W.MarkZ);
  const double half = W.PitchWidth / 2.0;
  const double deadBall = -W.PitchLength / 2.0 - W.InGoalDepth;
  return !(S.StartX > half - kStartMargin || S.StartX < -half + kStartMargin || S.StartZ < deadBall + kStartMargin);
}

bool SlotLineInUse(const TTeamBlock& A) {
  for (i32 s : A.SetPieceLine) {
    if (IsPlayer(s)) return true;
  }
  return false;
}

// A role player enters the side's line at x: the set-piece line while it
// holds players (one already on it keeps his slot), else the ordered line.
void EnterLine(TTeamBlock& A, i32 p, f32 x) {
  if (!SlotLineInUse(A)) {
    InsertIntoLine(A.Line, static_cast<i16>(p), x);
    return;
  }
  for (i32 s : A.SetPieceLine) {
    if (s == p) return;
  }
  const int slot = NearestFreeSetPieceSlot(A, x);
  if (slot != 0) A.SetPieceLine[slot] = p;
}

bool ApplyRuckMove(TWorld& W, const TMoveBook& B, const TMove& M) {
  TTeamBlock& A = W.Teams[1];
  Arr1<bool, 25> free{};
  for (int p = 1; p <= PlayerCount(W); ++p) free[p] = AvailableForRuckMove(A, p);
  TRoleTakers takers{};
  const int holderRole = M.CarrierSlot;
  const bool holderCast = IsPlayer(holderRole) && IsPlayer(A.SetPieceHolder);
  if (holderCast) {
    takers[holderRole] = A.SetPieceHolder;
    free[A.SetPieceHolder] = false;
  }
  const int listed = UsedRoles(M);
  bool feasible = true;
  for (int k = 1; k <= listed; ++k) {
    if (k == holderRole) {
      feasible = feasible && holderCast;
      continue;
    }
    takers[k] = CastRole(M.Shirts[k], free, B);
    if (takers[k] == 0) {
      feasible = false;
    } else {
      free[takers[k]] = false;
    }
  }
  for (int k = 1; feasible && k <= kMoveRoles; ++k) {
    if (takers[k] != 0) feasible = LoadRuckRole(W, M, listed, takers, k);
  }
  for (int k = 1; k <= kMoveRoles; ++k) {
    const i32 p = takers[k];
    if (p == 0) continue;
    TPlayer& P = A.Players[p];
    if (!feasible) {
      P.ActionSeq.seqON = kFalse32;
    } else if (p != A.SetPieceHolder && P.LineFlag != 0) {
      EnterLine(A, p, P.ActionSeq.StartX);
    }
  }
  return feasible;
}

// ---------------------------------------------------------------- default ruck plays

// Whether an ordered-line player stays out of the default play's chain.
bool LeftOutOfChain(const TWorld& W, const TTeamBlock& A, i32 p) {
  const TPlayer& P = A.Players[p];
  const TActionSeq& S = P.ActionSeq;
  if (P.OldTackleTimer > 0 || P.standuptimer > 0 || P.TackleAttemptTimer > 0 || P.GettingTackledTimer > 0) return true;
  if (p == A.TackledPlayer) return true;
  if (S.seqON != 0 && S.SeqHeadValue > 0) return true;
  const double half = W.PitchWidth / 2.0;
  const double mark = W.MarkX;
  const bool touchSide = (mark < -half + kMarkNearTouch && P.DesiredPos.x < mark) ||
                         (mark > half - kMarkNearTouch && P.DesiredPos.x > mark);
  return touchSide && (S.seqON == 0 || S.EventArray[1].EventType == 0);
}

// Moves 1 and 2: the chain along the ordered line from the holder towards
// its first place (move 1) or its last (move 2). A holder missing from the
// line forms the chain alone.
void ApplyDefaultRuckPlay(TWorld& W, int move) {
  TTeamBlock& A = W.Teams[1];
  const i32 holder = A.SetPieceHolder;
  if (!IsPlayer(holder)) return;
  Arr1<i32, 16> chain{};
  int count = 0;
  int h = 0;
  const int lineCount = A.Line.Count < 0 ? 0 : (A.Line.Count > 15 ? 15 : A.Line.Count);
  for (int k = 1; k <= lineCount; ++k) {
    const i32 p = A.Line.Ids[k];
    if (p == holder) {
      chain[++count] = p;
      if (h == 0) h = count;
    } else if (IsPlayer(p) && !LeftOutOfChain(W, A, p)) {
      chain[++count] = p;
    }
  }
  if (h == 0) {
    chain[1] = holder;
    count = h = 1;
  }
  const bool first = move == 1;
  const int step = first ? -1 : 1;
  const int end = first ? 1 : count;
  const double half = W.PitchWidth / 2.0;
  for (int k = h, n = 1;; k += step, ++n) {
    const bool last = k == end;
    if (last && k != h) break;  // the end of the chain keeps his orders
    TPlayer& P = A.Players[chain[k]];
    P.ActionSeq = StrategyParams.ActionSeqTemplate;
    TActionEvent& E = P.ActionSeq.EventArray[1];
    if (k == h && last) {
      E.DesSpeed = ToF32(0.95 * P.maxspeed);
      E.Angle = first ? 170.0f : 10.0f;
      E.DistOrig = 0.75f;
      break;
    }
    if (k == h) {
      E.EventType = 1;
      E.EventSubType = chain[k + step];
      continue;
    }
    E.EventType = 2;
    E.EventSubType = chain[k + step];
    P.ActionSeq.KeyEventIndex = 1;
    E.Deadline = ToF32(n * 0.85 + 0.25);
    const bool nextToHolder = n == 2;
    E.DesSpeed = ToF32((nextToHolder ? 0.55 : 0.85) * P.maxspeed);
    E.Angle = nextToHolder ? (first ? 65.0f : 115.0f) : (first ? 75.0f : 105.0f);
    if (P.DesiredPos.x > half - kRunnerNearTouch || P.DesiredPos.x < -half + kRunnerNearTouch) E.Angle = 90.0f;
  }
}

// ---------------------------------------------------------------- open play

// -1 plays towards smaller x, +1 towards larger, 0 straight: from the
// block's AttackSide, else from the carrier's sideways speed.
int SideSign(const TTeamBlock& A, const TPlayer& C) {
  if (A.AttackSide == 1) return -1;
  if (A.AttackSide == 2) return 1;
  if (std::fabs(C.Velocity.x) <= 0.1) return 0;
  return C.Velocity.x < 0 ? -1 : 1;
}

bool Busy(const TPlayer& P) {
  return P.ForcedRunTimer > 0 || P.RuckTimer > 0 || P.RuckTimer2 > 0 || P.standuptimer > 0 ||
         P.TackleAttemptTimer > 0 || P.OldTackleTimer > 0 || P.shimmytimer > 0 || P.GettingTackledTimer > 0;
}

// Whether team-mate P stands in the carrier's support area: not ahead of
// him, not too deep for his width, not on the far side of the play.
bool InSupportArea(const TPlayer& C, const TPlayer& P, int side) {
  const double dx = std::fabs(static_cast<double>(C.Pos.x) - P.Pos.x);
  const double dz = static_cast<double>(C.Pos.z) - P.Pos.z;  // positive behind the carrier
  if (dz < -2.5) return false;
  if ((dx < 3.0 && dz > 4.0) || (dx >= 3.0 && dx < 5.0 && dz > 7.0) || (dx >= 5.0 && dx < 10.0 && dz > 14.0) ||
      (dx >= 10.0 && dz > 21.0)) {
    return false;
  }
  const bool ahead = P.Pos.z > C.Pos.z;
  if (side == -1 && P.Pos.x > C.Pos.x) {
    if ((dx < 5.0 && ahead) || (dx >= 5.0 && dx < 15.0 && P.Pos.z > C.Pos.z - 0.5) || dx >= 15.0) return false;
  }
  if (side == 1 && P.Pos.x < C.Pos.x) {
    if ((dx < 5.0 && ahead) || (dx >= 5.0 && dx < 15.0 && P.Pos.z > C.Pos.z - 2.0) || dx >= 15.0) return false;
  }
  return !ahead && !(dz > 30.0) && !Busy(P);
}

// The carrier and the team-mates in his support area, by ascending x.
TPlayerList SupportLine(const TWorld& W, i32 carrier) {
  const TTeamBlock& A = W.Teams[1];
  const TPlayer& C = A.Players[carrier];
  const int side = SideSign(A, C);
  TPlayerList ids = kEmptyPlayerList;
  Arr1<f32, 25> keys{};
  int n = 0;
  for (int p = 1; p <= 25 && n < 25; ++p) {
    const bool member = p == carrier || (p <= PlayerCount(W) && InSupportArea(C, A.Players[p], side));
    if (!member) continue;
    ids[++n] = static_cast<i16>(p);
    keys[n] = A.Players[p].Pos.x;
  }
  return SortPlayersByKey(ids, keys);
}

// The carrier first, then every team-mate called up for support, in index
// order.
TPlayerList FlaggedLine(const TWorld& W, i32 carrier) {
  const TTeamBlock& A = W.Teams[1];
  TPlayerList line = kEmptyPlayerList;
  line[1] = static_cast<i16>(carrier);
  int n = 1;
  for (int p = 1; p <= PlayerCount(W) && n < 25; ++p) {
    if (p != carrier && A.Players[p].SupportRunCall != 0) line[++n] = static_cast<i16>(p);
  }
  return line;
}

// The line entry at a place; 0 for a place outside 1..25.
i32 LineEntry(const TPlayerList& Line, long long place) {
  return place >= 1 && place <= 25 ? Line[static_cast<int>(place)] : 0;
}

void TraceReceiver(const TWorld& W, i32 move, i32 receiver) {
  if (W.LiveWorld == 0 || !(W.clock > kTraceFrom && W.clock < kTraceTo)) return;
  WriteRunLog("////////////////");
  WriteRunLog("//move index " + std::to_string(move));
  WriteRunLog("//receiver " + std::to_string(receiver));
}

// Line place j takes role R: its sequence, speeds from the player's top
// speed, receivers counted from the carrier's place c and reference players
// from his own place.
void LoadOpenRole(TWorld& W, const TPlayerList& Line, int c, int j, const TActionSeq& R, i32 move) {
  TPlayer& P = W.Teams[1].Players[Line[j]];
  TActionSeq& S = P.ActionSeq;
  S = R;
  for (int k = 1; k <= EventCount(S); ++k) {
    TActionEvent& E = S.EventArray[k];
    E.DesSpeed = ToF32(static_cast<double>(E.SpeedFraction) * P.maxspeed);
    if (!IsKick(E.EventType)) {
      E.EventSubType = LineEntry(Line, static_cast<long long>(E.ReceiverOffset) + c);
      if (E.EventType == 1) TraceReceiver(W, move, E.EventSubType);
    }
    if (E.RelMovementOn != 0) {
      E.RelPlayer = LineEntry(Line, static_cast<long long>(E.FollowOffset) + j);
      if (E.RelPlayer == 0) S.seqON = kFalse32;
    }
  }
}

void ApplyOpenMove(TWorld& W, TMoveBook& B, const TMove& M, i32 move) {
  B.Assignment = kEmptyPlayerList;
  const i32 carrier = W.Teams[1].BallCarrier;
  // A move that does not pick from the line loads nobody, flagged line or not.
  if (!IsPlayer(carrier) || M.PickBySupport == 0) return;
  B.Assignment = M.PickInOrder != 0 ? FlaggedLine(W, carrier) : SupportLine(W, carrier);
  const TPlayerList& Line = B.Assignment;
  int c = 0;
  for (int j = 1; j <= 25 && c == 0; ++j) {
    if (Line[j] == carrier) c = j;
  }
  // Places before the first role get none; the roles run out at 25.
  for (int j = 1; j <= 25; ++j) {
    const int role = M.CarrierSlot + j - c;
    if (role < 1) continue;
    if (role > kMoveRoles || Line[j] == 0 || M.Seqs[role].seqON == 0) break;
    LoadOpenRole(W, Line, c, j, M.Seqs[role], move);
  }
}

}  // namespace

void ApplyMove(TWorld& W, i32 MoveIndex, bool32& Feasible) {
  Feasible = kTrue32;
  const bool ruck = W.gamestate == gsGotTackled;
  if (!ruck && W.gamestate != gsRunning) return;
  if (MoveIndex < 1 || MoveIndex > kMovesPerBook) {
    if (ruck) Feasible = kFalse32;  // no such move to run
    return;
  }
  TMoveBook& B = PossessionMoveBook(W);
  if (!ruck) {
    ApplyOpenMove(W, B, B.OpenPlayMoves[MoveIndex], MoveIndex);
  } else if (MoveIndex <= 2) {
    ApplyDefaultRuckPlay(W, MoveIndex);
  } else {
    Feasible = Flag(ApplyRuckMove(W, B, B.RuckMoves[MoveIndex]));
  }
}
