// A running-play scene for the running contact step's tests: a full pitch,
// 15 a side, block 1 (team 10) attacking towards +z with player 10 carrying
// the ball at the centre spot, block 2 (team 20) far away; every player 1.8 m
// and 90 kg, standing, facing his side's way. Player ids are 100 x block +
// number. The message queue is empty and every slot free.
#pragma once

#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "SmallWorld.h"
#include "app/FrameSteps.h"
#include "contact/ContactSteps.h"
#include "core/Geometry.h"
#include "core/MatchStore.h"
#include "core/Random.h"

namespace running_scene {

inline TWorld W;

constexpr int kCarrier = 10;

struct TPosted {
  int team, player, code;
  f32 extra;
  bool operator==(const TPosted&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TPosted& m) {
  return os << "{team " << m.team << ", player " << m.player << ", code " << m.code << ", extra " << m.extra << "}";
}

class RunningSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSmallWorld(W, {.InGoals = true, .Frame = true, .LastFrame = true});
    RandSeed = 4321;
    MatchStore.RecordClock = 600.0f;
    W.clock = 600.0f;
    W.gamestate = gsRunning;
    W.LiveWorld = kTrue32;
    W.CarrierGrounded = kTrue32;
    for (int k = 1; k <= 10; ++k) W.MessageSlotFree[k] = kTrue32;
    constexpr f32 kHeadings[8] = {180, 225, 270, 315, 0, 45, 90, 135};
    constexpr int kOffsets[4] = {-2, -3, 2, 3};
    for (int k = 1; k <= 8; ++k) {
      W.PointHeadings[k] = kHeadings[k - 1];
      for (int j = 1; j <= 4; ++j) W.PointNeighbours[k][j] = (k - 1 + kOffsets[j - 1] + 8) % 8 + 1;
    }
    W.Teams[1].teamid = 10;
    W.Teams[2].teamid = 20;
    ForEverySlot(W, [](TPlayer& P, int b, int p) {
      P.id = 100 * b + p;
      P.Height = 1.8f;
      P.Weight = 90.0f;
      PutAt(P, static_cast<f32>(4 * p - 40), b == 1 ? -30.0f : 30.0f);
      // Facing +z (heading 90) for block 1, -z (heading 270) for block 2.
      P.FacingAngle = static_cast<f32>(b == 1 ? std::numbers::pi : 2.0 * std::numbers::pi);
      P.currentAnim.Assign("run");
      P.maxframes = 1000.0f;
      P.TacklerCountValue = 1.25f;  // one tackler wanted
    });
    W.Teams[1].BallCarrier = kCarrier;
    Place(Carrier(), 0.0f, 0.0f);
    W.BallPos = {0.0f, 1.0f, 0.0f};
    W.Teams[2].TacklersWanted = 1;
  }

  static TPlayer& Attacker(int p) { return W.Teams[1].Players[p]; }
  static TPlayer& Defender(int p) { return W.Teams[2].Players[p]; }
  static TPlayer& Carrier() { return Attacker(kCarrier); }

  // Puts P at (x, z), standing, with his footprint (radius 0.54 m) round it;
  // where he wants to be is left as it was.
  static void Place(TPlayer& P, f32 x, f32 z) {
    PutAt(P, x, z);
    P.Footprint = PointsOnCircle(x, z, 0.54f);
  }

  // A free ball: "freeball", nobody carrying it, player 10 far off at
  // (-20, -30).
  static void LooseBallScene() {
    W.gamestate = gsFreeBall;
    W.Teams[1].BallCarrier = 0;
    Place(Carrier(), -20.0f, -30.0f);
  }

  // P in a catch action of kind (2: standing low catch) at (x, z), his hands
  // meeting the ball now.
  static TPlayer& Catching(TPlayer& P, f32 x, f32 z, f32 kind = 2.0f) {
    Place(P, x, z);
    P.freeballcatchtimer = 1.0f;
    P.FreeBallCatchKind = kind;
    P.FreeBallCatchRecoverFraction = 0.5f;
    P.currentframe = 500.0f;
    P.maxframes = 1000.0f;
    P.AnimRate = 0.0f;
    return P;
  }

  // Faces P along heading h (degrees).
  static void Face(TPlayer& P, double h) { P.FacingAngle = static_cast<f32>((h + 90.0) * kDegToRad); }

  // The messages posted, in slot order.
  static std::vector<TPosted> Posted() {
    std::vector<TPosted> v;
    for (int k = 1; k <= 10; ++k) {
      if (W.MessageSlotFree[k] != 0) continue;
      const TMatchMessage& m = W.MessageQueue[k];
      v.push_back({m.teamID, m.playerID, m.message, m.extravalue});
    }
    return v;
  }

  // Entries of the infringement list in use.
  static int Entries() {
    int n = 0;
    for (int k = 1; k <= 10; ++k) n += W.Infringements[k].Kind != 0;
    return n;
  }

  // Runs the running contact step as a frame does: a float error raises.
  static void Step() { RunFrameStep({"RunningContact", RunningContact}, W); }
};

}  // namespace running_scene
