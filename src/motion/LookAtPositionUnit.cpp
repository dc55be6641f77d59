#include "motion/LookAtPositionUnit.h"

#include <cmath>
#include <numbers>

#include "core/AuxState.h"
#include "core/Geometry.h"
#include "core/Random.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr f32 kFacingAlongPlusX = 4.712389f;    // radians, 3 pi / 2
constexpr f32 kFacingAlongMinusX = 1.5707964f;  // radians, pi / 2
constexpr double kStillLook = 10.0;             // m up-field of a player who has not moved
constexpr double kSideStepTimer = 10.0;         // s; the animation step ends the side-step
constexpr double kShortStepBelow = 0.7;         // m from his spot

// Facing of the constant heading-plus-90 angle C (degrees), and facing of a
// heading field H (degrees): DegToRad(H + 90).
f32 FacingOfAngle(double C) { return ToF32(C * kDegToRad); }
f32 FacingOfHeading(double H) { return ToF32((H + 90.0) * kDegToRad); }

double Dist(const TPlayer& P) { return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z); }

// Moves the look-at point up-field (block 1, +z) or down-field (block 2).
void LookAhead(TPlayer& P, int b, double By) {
  P.LookAtPos.z = ToF32(P.LookAtPos.z + (b == 1 ? By : -By));
}

// A player drifting back slowly keeps looking up-field: block 1 towards +z
// while R (the carrier or receiver of block 1) is ahead of him, block 2
// towards -z while R is, and will stay, behind him.
void BackingOff(const TWorld& W, TPlayer& P, int b, i32 RIndex) {
  const TPlayer* R = PlayerAt(W.Teams[1], RIndex);
  if (R == nullptr) return;
  const double vx = std::fabs(static_cast<double>(P.Velocity.x));
  if (!(vx < 1.75)) return;
  const double by = (vx + 0.2) * W.TimeStep;
  if (b == 1) {
    if (P.Pos.z < P.OldPos.z && R->Pos.z > P.Pos.z && P.Velocity.z > -4.0f) P.LookAtPos.z = ToF32(P.OldPos.z + by);
  } else if (P.Pos.z > P.OldPos.z && R->Pos.z < P.Pos.z && P.Velocity.z < 4.0f &&
             R->Pos.z + 0.25 * R->Velocity.z < P.Pos.z) {
    P.LookAtPos.z = ToF32(P.OldPos.z - by);
  }
}

// Whether a player is held by something else and starts no side-step.
bool BusyForSideStep(const TWorld& W, int b, int i, const TPlayer& P, double d) {
  if (P.shimmytimer > 0.0f && P.currentframe + static_cast<double>(P.AnimRate) * W.TimeStep < P.maxframes) return true;
  if (b == 2 && P.AnimFreshStart != 0 && d < 0.55) return true;
  if (P.RuckMarking != 0) return true;
  const f32 timers[] = {P.TackleAttemptTimer, P.standuptimer,        P.freeballcatchtimer, P.RuckTimer,
                        P.LineOutTimer,       P.GettingTackledTimer, P.OldTackleTimer,     P.passtimer,
                        P.passcatchtimer,     P.KickTimer,           P.BreakTackleTimer,   P.StepTimer,
                        P.SpecialAnimTimer};
  for (f32 t : timers)
    if (t > 0.0f) return true;
  return b == 1 && (i == W.Teams[1].SetPieceHolder || i == W.Teams[1].PassReceiver);
}

// The side-step of a player between 0.25 and 4.5 m from his spot whose spot
// lies across the pitch (side A or B of his block): a short step below
// 0.7 m, a long one beyond, never faster than covers the distance in the
// step's duration. One RandomRange draw per started step.
void StartSideStep(TWorld& W, int b, int i, TPlayer& P, double d) {
  if (BusyForSideStep(W, b, i, P, d)) return;
  const f32 h = HeadingToPoint(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z, b == 1 ? 90.0f : 270.0f);
  const bool sideA = b == 1 ? (h < 20.0f || h > 340.0f) : (h > 170.0f && h < 190.0f);
  const bool sideB = b == 1 ? (h > 160.0f && h < 200.0f) : (h < 10.0f || h > 350.0f);
  if (!sideA && !sideB) return;
  P.shimmytimer = ToF32(kSideStepTimer);
  P.ShimmyAngle = h;
  P.ShimmyFacing = b == 1 ? 90.0f : 270.0f;
  P.currentframe = 0.0f;
  P.ShimmyDuration = ToF32(RandomRange(550, 651) / 1000.0);
  const bool shortStep = d < kShortStepBelow;
  P.ShimmyKind = shortStep ? (sideA ? 3 : 4) : (sideA ? 1 : 2);
  const double speed = shortStep ? 0.75 : 1.25;
  const double cap = std::fmin(shortStep ? 2.0 : 3.0, d / P.ShimmyDuration);
  P.ShimmySpeed = ToF32(cap);
  P.speed = ToF32(std::fmin(speed, P.ShimmySpeed));
}

void LookInState(TWorld& W, int b, int i) {
  TPlayer& P = W.Teams[b].Players[i];
  const TTeamBlock& T1 = W.Teams[1];
  P.LookAtPos = P.Pos;
  // Open play reads no distance to his spot, so it is measured only below.
  if (W.gamestate == gsRunning) {
    BackingOff(W, P, b, T1.BallCarrier);
    return;
  }
  if (W.gamestate == gsPassing) {
    BackingOff(W, P, b, T1.PassReceiver);
    return;
  }
  const double d = Dist(P);
  switch (W.gamestate) {
    case gsFreeBall:
      if (!(P.ActionHoldTimer > 0.0f) && d <= 0.75) LookAhead(P, b, 0.25);
      break;
    case gsGotTackled:
      if (d < 0.25) {
        P.speed = 0.5f;
        LookAhead(P, b, 0.25);
      } else if (d < 4.5) {
        StartSideStep(W, b, i, P, d);
      }
      break;
    case gsScrum:
      if (b == 2 || i != T1.SetPieceHolder || W.ScrumPhase >= 9)
        if (d <= 0.45) LookAhead(P, b, 0.25);
      break;
    case gsKickRestartSet:
      if (d <= 0.25) LookAhead(P, b, 0.35);
      if (b == 1 && i == T1.KickerIndex && W.KickRestartSetPhase >= 3 && d <= 0.2) {
        P.LookAtPos.x = T1.RestartAimPoint.x;
        P.LookAtPos.z = T1.RestartAimPoint.z;
      }
      break;
    case gsTryScored:
      if (d <= 0.75) LookAhead(P, b, 0.25);
      break;
    default: break;
  }
}

// Whether the state sets look-at points at all; in the others LookAtPos stays.
bool StateLooks(TGameState s) {
  switch (s) {
    case gsRunning: case gsPassing: case gsFreeBall: case gsGotTackled: case gsScrum: case gsLineout:
    case gsKickRestartSet: case gsTryScored: case gsTransition: return true;
    default: return false;
  }
}

// Block 1's facing from the look direction LookAtPos - OldPos (both in x
// and z; a player who has not moved looks 10 m up-field).
void FaceAlongLook(TPlayer& P) {
  if (P.LookAtPos.x == P.OldPos.x && P.LookAtPos.z == P.OldPos.z) P.LookAtPos.z = ToF32(P.LookAtPos.z + kStillLook);
  TVector3 v;
  Subtract3D(P.LookAtPos, P.OldPos, v);
  Normalise3D(v, P.Direction);
  const double dx = P.Direction.x;
  const double dz = P.Direction.z;
  // Looking straight along z (a player standing still among them) the
  // arctangent is of a zero: its value is known.
  if (dz > 0.0) P.FacingAngle = dx == 0.0 ? ToF32(kPi) : ToF32(std::atan(dx / dz) + kPi);
  else if (dz < 0.0) P.FacingAngle = dx == 0.0 ? ToF32(2.0 * kPi) : ToF32(std::atan(dx / dz) + 2.0 * kPi);
  else P.FacingAngle = dx > 0.0 ? kFacingAlongPlusX : kFacingAlongMinusX;
}

// The three block-move facings of both blocks, later winning: engaged in a
// block, exiting one, being exited on.
void FaceBlockMoves(TPlayer& P) {
  if (P.BlockEngaged[1] > 0 && P.BlockEngaged[2] > 0) P.FacingAngle = FacingOfHeading(P.BlockFacing);
  if (P.BlockExitTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.BlockExitFacing);
  if (P.BlockExitedOnTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.BlockExitedOnFacing);
}

// Facings at a breakdown (constants, radians = DegToRad(c)): a player with a
// ruck role other than 0, 1, 60 and 61 faces the ruck, turned 30 degrees in
// when he binds at a flank the other side leaves open; role 64 faces back.
void FaceRuck(const TWorld& W, int b, int i, TPlayer& P) {
  if (!(P.RuckTimer > 0.0f)) return;
  const TTeamBlock& own = W.Teams[b];
  const TTeamBlock& other = W.Teams[3 - b];
  const f32 r = P.RuckRole;
  const bool faces = r != 0.0f && r != 1.0f && r != 60.0f && r != 61.0f;  // role 64 among them
  if (faces) {
    const double towards = b == 1 ? 180.0 : 360.0;
    const double in = b == 1 ? 30.0 : -30.0;  // flank A's turn; flank B turns the other way
    double c = towards;
    if (i == own.RuckFlankA && other.RuckFlankA == 0) c = towards + in;
    else if (i == own.RuckFlankB && other.RuckFlankB == 0) c = towards - in;
    P.FacingAngle = FacingOfAngle(c);
  }
  if (r == 64.0f) P.FacingAngle = FacingOfAngle(b == 1 ? 360.0 : 180.0);
}

// The heading a scripted facing asks for: mode 1 the fixed FaceAngle, mode 2
// the bearing to team-mate Target plus Offset, mode 3 to opponent Target
// plus Offset. False when there is no such rule or the target names nobody.
bool ScriptedHeading(const TWorld& W, int b, const TPlayer& P, int Mode, f32 Angle, f32 Offset, int Target,
                     double& H) {
  if (Mode == 1) {
    H = Angle;
    return true;
  }
  if (Mode != 2 && Mode != 3) return false;
  const TPlayer* Q = PlayerAt(W.Teams[Mode == 2 ? b : 3 - b], Target);
  if (Q == nullptr) return false;
  const f32 own = HeadingOfFacing(P.FacingAngle);
  H = static_cast<double>(HeadingToPoint(P.Pos.x, P.Pos.z, Q->Pos.x, Q->Pos.z, own)) + Offset;
  return true;
}

// The facing of the current event of a running action sequence (a plain run,
// type 0) and then of the current entry of a playing animation sequence.
// Out of line: most players follow no sequence (FaceScripted's first test).
[[gnu::noinline]] void FaceScriptedRules(const TWorld& W, int b, TPlayer& P) {
  double h = 0.0;
  const TActionSeq& S = P.ActionSeq;
  if (S.seqON != 0 && S.CurrEventIndex >= 1 && S.CurrEventIndex <= S.EventArray.kHigh) {
    const TActionEvent& E = S.EventArray[S.CurrEventIndex];
    if (E.EventType == 0 && E.FaceMode != 0 && ScriptedHeading(W, b, P, E.FaceMode, E.FaceAngle, E.FaceOffset, E.FaceTarget, h))
      P.FacingAngle = FacingOfHeading(h);
  }
  const TAnimSeq& A = P.AnimSeq;
  if (A.Playing != 0 && A.CurrEntry >= 1 && A.CurrEntry <= A.Entries.kHigh) {
    const TAnimSeqEntry& E = A.Entries[A.CurrEntry];
    if (E.FaceMode != 0 && ScriptedHeading(W, b, P, E.FaceMode, E.FaceAngle, E.FaceOffset, E.FaceTarget, h))
      P.FacingAngle = FacingOfHeading(h);
  }
}

void FaceScripted(const TWorld& W, int b, TPlayer& P) {
  if (P.ActionSeq.seqON != 0 || P.AnimSeq.Playing != 0) FaceScriptedRules(W, b, P);
}

// The scrum-half's own facings, applied to him at one point of every block 1
// player's pass (see FaceBlock1): towards the ruck (180) in the tackled state
// while he passes or stands on his spot, his gesture's facing at scrum phase
// 7. The scrum-half to face and his facing F, or null when none applies. The
// pass neither moves him nor touches his timers, so this is the same for
// every player's turn and is decided once (raising what it raises once).
TPlayer* SetPieceHolderFacing(TWorld& W, f32& F) {
  TPlayer* H = PlayerAt(W.Teams[1], W.Teams[1].SetPieceHolder);
  if (H == nullptr) return nullptr;
  bool faces = false;
  if (W.gamestate == gsGotTackled && (H->passtimer > 0.0f || Dist(*H) <= 0.35)) {
    F = FacingOfAngle(180.0);
    faces = true;
  }
  if (W.gamestate == gsScrum && W.ScrumPhase == 7) {
    F = FacingOfHeading(H->SpecialAnimFacing);
    faces = true;
  }
  return faces ? H : nullptr;
}

// A set-piece pass (PassKind 6) faces the ruck, then the way of the pass on
// its last frame in open play; in running, passing and scrum the body turns
// at once.
void FaceSetPiecePass(const TWorld& W, TPlayer& P) {
  const TGameState s = W.gamestate;
  const bool open = s == gsRunning || s == gsPassing;
  if (!(P.passtimer > 0.0f) || W.Teams[1].PassKind != 6 || !(open || s == gsFreeBall || s == gsScrum)) return;
  P.FacingAngle = FacingOfAngle(180.0);
  if (open && P.currentframe + static_cast<double>(P.AnimRate) * W.TimeStep > P.maxframes)
    P.FacingAngle = FacingOfAngle(W.Teams[1].PassSide == 1 ? 90.0 : 270.0);
  if (open || s == gsScrum) P.Heading = HeadingOfFacing(P.FacingAngle);
}

void FaceBlock1(TWorld& W, int i, TPlayer* Holder, f32 HolderFacing) {
  TPlayer& P = W.Teams[1].Players[i];
  P.PrevFacingAngle = P.FacingAngle;
  FaceAlongLook(P);
  FaceBlockMoves(P);
  if (P.TackleAttemptTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.TackleAttemptFacing);
  if (P.KickTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.KickFacing);
  if (P.currentAnim == "qbbreath1") P.FacingAngle = FacingOfAngle(270.0);
  if (P.currentAnim == "qbpass1") P.FacingAngle = P.PrevFacingAngle;
  FaceRuck(W, 1, i, P);
  if (P.GettingTackledTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.GettingTackledFacing);
  if (P.standuptimer > 0.0f) P.FacingAngle = FacingOfHeading(P.StandUpFacing);
  if (P.OldTackleTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.OldTackleFacing);
  if (P.DiveTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.DiveAngle);
  if (Holder != nullptr) Holder->FacingAngle = HolderFacing;
  if (P.SpecialAnimTimer > 0.0f && !(P.KickTimer > 0.0f)) P.FacingAngle = FacingOfHeading(P.SpecialAnimFacing);
  if (P.freeballcatchtimer > 0.0f) P.FacingAngle = FacingOfHeading(P.FreeBallCatchFacing);
  if (P.ForcedRunTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.ForcedRunFacing);
  if (P.CelebrateTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.CelebrateFacing);
  if (P.LineOutTimer > 0.0f && Dist(P) < 0.4) P.FacingAngle = FacingOfHeading(P.LineoutFacing);
  FaceScripted(W, 1, P);
  FaceSetPiecePass(W, P);
  TurnBody(P, W.TimeStep, true);
}

// Whether NormaliseHeading(H) lies strictly between 240 and 300.
bool MovesAwayFromBall(f32 H) {
  const f32 away = NormaliseHeading(H);
  return away > 240.0f && away < 300.0f;
}

// Whether the heading m to his spot, turned by 90 and less the heading to
// the ball, lies in the window above: whether his spot lies within 30
// degrees of straight away from the ball. Read from the angle between the
// two directions (a dot product) where it lies clear of 150 degrees by the
// gap's margin, which holds every rounding of the headings' sum; from the
// headings themselves otherwise, or when a direction is not finite or is
// none (coincident points take default headings). The dot product saves
// 1.55 % of a seeded match (722 M of 46.53 G callgrind instructions, seed
// 4242).
bool RunsFromBall(const TWorld& W, const TPlayer& P) {
  const double mx = ToF32(static_cast<double>(P.DesiredPos.x) - P.Pos.x);
  const double mz = ToF32(static_cast<double>(P.DesiredPos.z) - P.Pos.z);
  const double bx = ToF32(static_cast<double>(W.BallPos.x) - P.Pos.x);
  const double bz = ToF32(static_cast<double>(W.BallPos.z) - P.Pos.z);
  static const double kSurelyIn = std::cos((150.0 + kHeadingGapMargin) * kDegToRad);
  static const double kSurelyOut = std::cos((150.0 - kHeadingGapMargin) * kDegToRad);
  const int sure = AngleAgainstLimit(mx, mz, bx, bz, kSurelyIn, kSurelyOut);
  if (sure >= 0) return sure == 1;
  const double m = HeadingToPoint(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z, 270.0f);
  const double ball = HeadingToPoint(P.Pos.x, P.Pos.z, W.BallPos.x, W.BallPos.z, 90.0f);
  return MovesAwayFromBall(ToF32(m + 90.0 - ball));
}

// Block 2 faces the way it moves (down-field when still), except that a
// slow player moving away from the ball's side in open play backs off
// facing the ball.
f32 Block2LookFacing(const TWorld& W, const TPlayer& P) {
  double f = HeadingToPoint(P.OldPos.x, P.OldPos.z, P.LookAtPos.x, P.LookAtPos.z, 270.0f);
  if ((W.gamestate == gsRunning || W.gamestate == gsPassing) && P.speed < 0.62 * P.maxspeed &&
      RunsFromBall(W, P))
    f = NormaliseHeading(ToF32(HeadingToPoint(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z, 270.0f) + 180.0));
  return FacingOfHeading(f);
}

// Block 2's fixed facings, the later winning: moves, timers and set pieces.
// None reads his facing or moves him.
void FaceFixed2(const TWorld& W, int i, TPlayer& P) {
  FaceBlockMoves(P);
  if (P.shimmytimer > 0.0f) P.FacingAngle = FacingOfHeading(P.ShimmyFacing);
  if (P.TackleAttemptTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.TackleAttemptFacing);
  FaceRuck(W, 2, i, P);
  if (P.standuptimer > 0.0f) P.FacingAngle = FacingOfHeading(P.StandUpFacing);
  if (P.OldTackleTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.OldTackleFacing);
  if (P.SpecialAnimTimer > 0.0f && !(P.KickTimer > 0.0f)) P.FacingAngle = FacingOfHeading(P.SpecialAnimFacing);
  if (P.freeballcatchtimer > 0.0f) P.FacingAngle = FacingOfHeading(P.FreeBallCatchFacing);
  if (P.GettingTackledTimer > 0.0f) P.FacingAngle = FacingOfHeading(P.GettingTackledFacing);
  if (P.ForcedRunTimer > 0.0f && (!(P.TackleAttemptTimer > 0.0f) || P.currentframe < P.TackleAttemptLungeFrame))
    P.FacingAngle = FacingOfHeading(P.ForcedRunFacing);
  if (P.LineOutTimer > 0.0f && Dist(P) < 0.4) P.FacingAngle = FacingOfHeading(P.LineoutFacing);
}

// As block 1 (FaceBlock1): the facing of the way he moves, then the fixed
// facings over it, the scripted facing, and the turn of the body.
void FaceBlock2(TWorld& W, int i) {
  TPlayer& P = W.Teams[2].Players[i];
  P.PrevFacingAngle = P.FacingAngle;
  P.FacingAngle = Block2LookFacing(W, P);
  FaceFixed2(W, i, P);
  FaceScripted(W, 2, P);
  TurnBody(P, W.TimeStep, false);
}

}  // namespace

void SetLookAtPoints(TWorld& W, int b) {
  if (!StateLooks(W.gamestate)) return;
  TTeamBlock& T1 = W.Teams[1];
  const int n = PlayerCount(W);  // the players' steps do not change it
  for (int i = 1; i <= n; ++i) {
    LookInState(W, b, i);
    if (b != 1 || W.gamestate != gsGotTackled) continue;
    for (i32 k : {T1.SetPieceHolder, T1.PassReceiver}) {
      TPlayer* Q = PlayerAt(T1, k);
      if (Q != nullptr && Q->shimmytimer > 0.0f) Q->shimmytimer = 0.0f;
    }
  }
}

namespace {

// Whether the facing lies nearer the heading turned up by `diff` degrees
// than turned down by it.
bool TurnsUp(const TPlayer& P, double diff) {
  const TDirection f = HeadingDirection(P.FacingHeading);
  const TDirection up = HeadingDirection(P.Heading + diff);
  const TDirection down = HeadingDirection(P.Heading - diff);
  const double dUp = (f.x - up.x) * (f.x - up.x) + (f.z - up.z) * (f.z - up.z);
  const double dDown = (f.x - down.x) * (f.x - down.x) + (f.z - down.z) * (f.z - down.z);
  return dUp < dDown;
}

constexpr double kTurnAtLeast = 1.0;   // degrees; a smaller gap is left alone
constexpr double kFlagTurnOver = 10.0;  // degrees; a larger turn sets the turn flags

// What a frame's turn does: whether he turns at all, whether the whole turn
// fits in the frame, whether it sets the flags, and whether it turns up.
struct TTurnPlan {
  bool turns, snaps, flagged, grows;
};

// The plan read from the headings' own gap. Only comparisons of the gap with
// 1 degree, the frame's step and 10 degrees, and the way round, decide the
// turn, so where the gap lies clear of each by the margin the answer is that
// of HeadingDifference, without its trigonometry; false otherwise. It saves
// 8.82 % of a seeded match (4104 M of 46.53 G callgrind instructions, seed
// 4242).
bool PlanTurnFromGap(const TPlayer& P, double Step, bool TurnFlags, TTurnPlan& T) {
  double a = 0.0;
  bool up = false;
  if (!HeadingGap(P.FacingHeading, P.Heading, a, up)) return false;
  if (a < kTurnAtLeast - kHeadingGapMargin) {
    T = {false, false, false, false};
    return true;
  }
  const auto near = [a](double x) { return std::fabs(a - x) <= kHeadingGapMargin; };
  if (a > kHeadingGapBoundUpTo || near(kTurnAtLeast) || near(Step) || (TurnFlags && near(kFlagTurnOver))) return false;
  T = {true, Step > a, TurnFlags && a > kFlagTurnOver, up};
  return true;
}

TTurnPlan PlanTurnExactly(const TPlayer& P, double Step, bool TurnFlags) {
  const double diff = HeadingDifference(P.FacingHeading, P.Heading);
  if (!(diff > kTurnAtLeast)) return {false, false, false, false};
  const bool snaps = Step > diff;  // the whole turn fits in this frame
  const bool flagged = TurnFlags && diff > kFlagTurnOver;
  // The way round is needed only for a part turn or for the turn flags.
  return {true, snaps, flagged, (!snaps || flagged) && TurnsUp(P, diff)};
}

// TurnBody past its first test. Out of line, so that the many players who
// face their heading already return with no registers saved.
[[gnu::noinline]] void TurnTowardsFacing(TPlayer& P, double TimeStep, bool TurnFlags) {
  const double step = static_cast<double>(AuxState.TurnRate) * TimeStep;
  TTurnPlan t;
  if (!PlanTurnFromGap(P, step, TurnFlags, t)) t = PlanTurnExactly(P, step, TurnFlags);
  if (!t.turns) return;
  if (t.snaps) P.Heading = P.FacingHeading;
  else P.Heading = ToF32(P.Heading + (t.grows ? step : -step));
  if (!TurnFlags) return;
  P.TurnLeftWithBall = 0;
  P.TurnRightWithBall = 0;
  if (t.flagged) (t.grows ? P.TurnRightWithBall : P.TurnLeftWithBall) = kTrue32;
}

}  // namespace

void TurnBody(TPlayer& P, double TimeStep, bool TurnFlags) {
  P.FacingHeading = HeadingOfFacing(P.FacingAngle);
  if (P.FacingHeading == P.Heading) return;  // turned already: a difference of 0 degrees
  TurnTowardsFacing(P, TimeStep, TurnFlags);
}

void LookAtPosition(TWorld& W) {
  SetLookAtPoints(W, 1);
  SetLookAtPoints(W, 2);
  const i32 carrier = W.Teams[1].BallCarrier;
  const int n = PlayerCount(W);  // the players' steps do not change it
  f32 holderFacing = 0.0f;
  // Decided only where a pass runs, as it was at each player's turn.
  TPlayer* holder = n >= 1 ? SetPieceHolderFacing(W, holderFacing) : nullptr;
  for (int i = 1; i <= n; ++i)
    if (!(W.gamestate == gsRunning && i == carrier)) FaceBlock1(W, i, holder, holderFacing);
  for (int i = 1; i <= n; ++i) FaceBlock2(W, i);
}
