// A small running scene for the carrier's action sections (break, dive,
// side-step): block 1's player 10 holds the ball at the centre spot,
// standing, facing heading -90 (FacingAngle 0, so bearings come out exact)
// with one started event of his sequence; team-mates stand 40 m behind,
// the defence 30 m up-field spread across; everyone runs 8 m/s with 4 m/s².
// Nobody is close (TimeToContact 10000 s); the scene is the match world
// (LiveWorld set) with an empty run log.
#pragma once

#include <cfenv>
#include <cmath>

#include "SmallWorld.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "platform/Form.h"

namespace carrier_scene {

constexpr int kCarrier = 10;

inline TPlayer& Carrier(TWorld& W) { return W.Teams[1].Players[kCarrier]; }
inline TActionEvent& Event(TWorld& W) { return Carrier(W).ActionSeq.EventArray[1]; }

inline void PlaceAt(TPlayer& P, double X, double Z) { PutAt(P, static_cast<f32>(X), static_cast<f32>(Z)); }

inline void MakeScene(TWorld& W, u32 Seed, i32 EventType) {
  MakeSmallWorld(W, {.InGoals = true, .Frame = true});
  RandSeed = Seed;
  W.gamestate = gsRunning;
  W.LiveWorld = kTrue32;
  W.Team1InFirstBlock = kTrue32;
  W.Teams[1].DecisionsOn = W.Teams[2].DecisionsOn = kTrue32;
  ForEverySlot(W, [](TPlayer& P, int b, int p) {
    PlaceAt(P, 4 * p - 32, b == 1 ? -40.0 : 30.0);
    P.maxspeed = 8.0f;
    P.Acceleration = 4.0f;
  });
  W.Teams[1].BallCarrier = kCarrier;
  W.Teams[1].TimeToContact = 10000.0f;
  TPlayer& C = Carrier(W);
  PlaceAt(C, 0.0, 0.0);
  TActionSeq& S = C.ActionSeq;
  S.seqON = kTrue32;
  S.NumEvents = 1;
  S.CurrEventIndex = 1;
  TActionEvent& E = Event(W);
  E.EventType = EventType;
  E.Angle = 90.0f;
  E.DesSpeed = 5.0f;
  Form1.Memo2.Clear();
}

// Runs one section on W under the float-flag check; the draws it took.
template <typename F>
int RunSection(F Section, TWorld& W) {
  const u32 before = RandSeed;
  std::feclearexcept(FE_ALL_EXCEPT);
  Section(W);
  EXPECT_FALSE(FloatErrorRaised());
  return DrawsSince(before);
}

// The heading (degrees) a player faces.
inline double FacingOf(const TPlayer& P) { return P.FacingAngle * kRadToDeg - 90.0; }

// How far P moved from OldPos along heading H and across it, in m.
struct TMove {
  double along, across;
};
inline TMove MoveAlong(const TPlayer& P, double H) {
  const TDirection u = HeadingDirection(H);
  const double dx = static_cast<double>(P.Pos.x) - P.OldPos.x;
  const double dz = static_cast<double>(P.Pos.z) - P.OldPos.z;
  return {dx * u.x + dz * u.z, dz * u.x - dx * u.z};
}

}  // namespace carrier_scene
