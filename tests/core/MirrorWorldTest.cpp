#include "core/MirrorWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

#include "core/StrategyShapes.h"

namespace {

// Every heading (degrees) of a player that a change of possession turns.
constexpr f32 TPlayer::*kHeadings[] = {
    &TPlayer::AuxHeading1,          &TPlayer::Heading,              &TPlayer::DiveAngle,
    &TPlayer::AuxHeading2,          &TPlayer::AuxHeading3,          &TPlayer::StandUpFacing,
    &TPlayer::TackleAttemptAngle,   &TPlayer::TackleAttemptFacing,  &TPlayer::GettingTackledAngle,
    &TPlayer::GettingTackledFacing, &TPlayer::AuxHeading4,          &TPlayer::AuxHeading5,
    &TPlayer::AuxHeading6,          &TPlayer::AuxHeading7,          &TPlayer::AuxHeading8,
    &TPlayer::AuxHeading9,          &TPlayer::KickRunAngle,         &TPlayer::KickFacing,
    &TPlayer::FreeBallCatchAngle,   &TPlayer::FreeBallCatchFacing,  &TPlayer::ForcedRunAngle,
    &TPlayer::ForcedRunFacing,      &TPlayer::SpecialAnimAngle,     &TPlayer::SpecialAnimFacing,
    &TPlayer::AuxHeading10,         &TPlayer::LineoutFacing,        &TPlayer::OldTackleFacing,
    &TPlayer::ImpactAngle};
constexpr f32 TPlayer::*kFacings[] = {&TPlayer::FacingAngle, &TPlayer::AuxFacingRad};

// Distance between two angles on the circle of length `full`.
double AngleGap(double a, double b, double full) {
  const double d = std::fmod(std::fabs(a - b), full);
  return std::min(d, full - d);
}

// A world in which every 32-bit word holds a distinct finite value, flags
// that are toggled hold proper flag values, and angles are in range.
void FillWorld(TWorld& W) {
  auto* words = reinterpret_cast<u32*>(&W);
  for (size_t i = 0; i < sizeof W / 4; ++i) {
    const f32 v = static_cast<f32>(i % 4001) * 0.25f - 500.0f + 0.125f;
    std::memcpy(&words[i], &v, 4);
  }
  W.PlayersPerTeam = 15;
  W.gamestate = gsLineout;
  W.LiveWorld = kFalse32;
  W.Team1InFirstBlock = kTrue32;
  W.TransitionHolderFirstBlock = kTrue32;
  W.RestartSpotFlag = kFalse32;
  W.BlocksSwapped = kFalse32;
  W.LineoutOnNegativeX = kTrue32;
  for (int k = 1; k <= 10; ++k) W.Infringements[k].AgainstDefence = Flag(k % 2 == 0);
  W.PrevInfringement.AgainstDefence = kTrue32;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& T = W.Teams[b];
    T.teamid = 100 * b;
    T.TackleHeading = 37.5f * b;
    for (int p = 1; p <= 25; ++p) {
      int k = 0;
      for (auto h : kHeadings) T.Players[p].*h = static_cast<f32>((p * 31 + k++ * 13 + b) % 360);
      T.Players[p].FacingAngle = 0.1f * p;
      T.Players[p].AuxFacingRad = 6.0f - 0.2f * p;
    }
  }
}

TWorld Original, Mirrored;

}  // namespace

TEST(MirrorWorld, TwiceRestoresTheWorldApartFromWhatItClears) {
  FillWorld(Original);
  Mirrored = Original;
  MirrorWorld(Mirrored);
  MirrorWorld(Mirrored);

  // Turned angles come back as the same direction, normalised.
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 25; ++p) {
      TPlayer& got = Mirrored.Teams[b].Players[p];
      const TPlayer& was = Original.Teams[b].Players[p];
      for (auto h : kHeadings) {
        EXPECT_LT(AngleGap(got.*h, was.*h, 360.0), 1e-3) << "block " << b << " player " << p;
        got.*h = was.*h;
      }
      for (auto f : kFacings) {
        EXPECT_LT(AngleGap(got.*f, was.*f, 2 * std::numbers::pi), 1e-5);
        got.*f = was.*f;
      }
    }
  }
  // Only the defending block's tackle heading is turned, so after two
  // changes each block's has been turned once.
  for (int b = 1; b <= 2; ++b) {
    f32& got = Mirrored.Teams[b].TackleHeading;
    EXPECT_LT(AngleGap(got, Original.Teams[b].TackleHeading + 180.0, 360.0), 1e-3);
    got = Original.Teams[b].TackleHeading;
  }

  // What the change of possession clears or sets on purpose.
  TWorld& E = Original;
  for (int b = 1; b <= 2; ++b) {
    TTeamBlock& T = E.Teams[b];
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = T.Players[p];
      P.ActionSeq.seqON = 0;
      P.AuxFlag = 0;
      P.target = P.numtargetting = P.numgoverning = 0;
    }
    T.PassDuration = T.PassTimeLeft = T.KickTimeLeft = 0;
    T.AttackSide = 0;
    T.BallCarrier = 0;
    T.StrategyTimer = 0;
  }
  E.MarkCalled = 0;
  E.DefenceCycleTimer = 0;
  E.LastPasser = E.PrevPasser = 0;
  E.PossessionChanged = kTrue32;
  E.PossessionClock = 0;
  // The defence line is put at the ball of each mirrored frame and then
  // travels with its block.
  E.Teams[1].DefenceLineRefZ = E.Teams[1].DefenceLineZ = -E.BallPos.z;
  E.Teams[2].DefenceLineRefZ = E.Teams[2].DefenceLineZ = E.BallPos.z;
  E.GainLineZ = E.BallPos.z;

  EXPECT_EQ(std::memcmp(&Mirrored, &E, sizeof E), 0);
}

// One call, checked field by field: a field left out of the change (which a
// double call cannot show) or a field touched by mistake breaks the compare.
TEST(MirrorWorld, OnceTreatsEveryListedFieldAndNothingElse) {
  FillWorld(Original);  // in the lineout state
  Mirrored = Original;
  MirrorWorld(Mirrored);

  static TWorld E;
  E = Original;
  auto negXZ = [](auto& v) {
    v.x = -v.x;
    v.z = -v.z;
  };
  auto toggle = [](bool32& f) { f = Flag(f == 0); };
  for (int b = 1; b <= 2; ++b) {
    for (int p = 1; p <= 15; ++p) {
      TPlayer& P = E.Teams[b].Players[p];
      const TPlayer& M = Mirrored.Teams[3 - b].Players[p];
      P.ActionSeq.seqON = P.AuxFlag = 0;
      P.target = P.numtargetting = P.numgoverning = 0;
      for (auto v : {&TPlayer::Pos, &TPlayer::OldPos, &TPlayer::DesiredPos, &TPlayer::AuxTarget}) negXZ(P.*v);
      for (auto v : {&TPlayer::AuxPoint, &TPlayer::AuxOffset, &TPlayer::Velocity, &TPlayer::OldVelocity}) negXZ(P.*v);
      P.OffsideLineZ = -P.OffsideLineZ;
      for (auto h : kHeadings) {
        EXPECT_LT(AngleGap(M.*h, P.*h + 180.0, 360.0), 1e-3) << "block " << b << " player " << p;
        P.*h = M.*h;
      }
      for (auto f : kFacings) {
        EXPECT_LT(AngleGap(M.*f, P.*f + std::numbers::pi, 2 * std::numbers::pi), 1e-5);
        P.*f = M.*f;
      }
    }
    TTeamBlock& T = E.Teams[b];
    T.PassDuration = T.PassTimeLeft = T.KickTimeLeft = 0;
    T.AttackSide = 0;
    T.StrategyTimer = 0;
    std::swap(T.TailPair[1], T.TailPair[2]);
    for (int k = 1; k <= 4; ++k) std::swap(T.ScrumSidePairs[k].x, T.ScrumSidePairs[k].z);
    for (int k = 1; k <= 10; ++k) T.PackSpots.OffsetB[k].z = -T.PackSpots.OffsetB[k].z;
  }
  EXPECT_LT(AngleGap(Mirrored.Teams[1].TackleHeading, E.Teams[2].TackleHeading + 180.0, 360.0), 1e-3);
  E.Teams[2].TackleHeading = Mirrored.Teams[1].TackleHeading;

  E.MarkCalled = 0;
  E.DefenceCycleTimer = 0;
  E.LastPasser = E.PrevPasser = 0;
  E.PossessionChanged = kTrue32;
  E.PossessionClock = 0;
  negXZ(E.BallPos);
  negXZ(E.PrevBallPos);
  negXZ(E.PassVel);
  for (TVector2* v : {&E.HuddleCentre, &E.RestartSpot, &E.TouchPos, &E.ScrumSpot, &E.KickTouchPos, &E.ReleasePos})
    negXZ(*v);
  for (f32* v : {&E.MarkX, &E.MarkZ, &E.MarkExtra[1], &E.MarkExtra[2], &E.MarkExtra[3], &E.PackVelocityZ, &E.PackAux,
                 &E.AuxLineX, &E.LineoutZ, &E.RestartRefZ, &E.RuckOriginX, &E.RuckOriginZ})
    *v = -*v;
  for (bool32* f : {&E.TransitionHolderFirstBlock, &E.RestartSpotFlag, &E.BlocksSwapped, &E.LineoutOnNegativeX})
    toggle(*f);
  for (int k = 1; k <= 11; ++k) {
    TInfringement& I = k <= 10 ? E.Infringements[k] : E.PrevInfringement;
    toggle(I.AgainstDefence);
    I.X = -I.X;
    I.Z = -I.Z;
  }
  // The blocks change places; the pack's arrival-spot offsets stay where they were.
  static TTeamBlock First;
  First = E.Teams[1];
  E.Teams[1] = E.Teams[2];
  E.Teams[2] = First;
  std::swap(E.Teams[1].PackSpots.OffsetA, E.Teams[2].PackSpots.OffsetA);
  E.Teams[2].BallCarrier = 0;
  E.Teams[2].DefenceLineRefZ = E.Teams[2].DefenceLineZ = E.BallPos.z;
  E.GainLineZ = E.BallPos.z;

  EXPECT_EQ(std::memcmp(&Mirrored, &E, sizeof E), 0);
}

TEST(MirrorWorld, TurnsThePlayersAboutTheCentreSpot) {
  FillWorld(Original);
  TPlayer& P = Original.Teams[1].Players[4];
  P.Pos = {3.0f, 1.25f, -20.0f};
  P.Heading = 270.0f;
  P.KickFacing = 90.0f;
  P.FacingAngle = 0.0f;
  P.OffsideLineZ = 12.0f;
  P.governedby = 7;
  Mirrored = Original;
  MirrorWorld(Mirrored);

  // Teams[1]'s player 4 is now Teams[2]'s.
  const TPlayer& M = Mirrored.Teams[2].Players[4];
  EXPECT_EQ(M.Pos.x, -3.0f);
  EXPECT_EQ(M.Pos.y, 1.25f);
  EXPECT_EQ(M.Pos.z, 20.0f);
  EXPECT_FLOAT_EQ(M.Heading, 90.0f);
  EXPECT_FLOAT_EQ(M.KickFacing, 270.0f);
  EXPECT_FLOAT_EQ(M.FacingAngle, std::numbers::pi_v<f32>);
  EXPECT_EQ(M.OffsideLineZ, -12.0f);
  EXPECT_EQ(M.governedby, 7);
  EXPECT_EQ(M.ActionSeq.seqON, 0);
}

TEST(MirrorWorld, ExchangesTheBlocksButNotTheirPositionFields) {
  FillWorld(Original);
  Original.gamestate = gsRunning;
  Original.Teams[1].BallCarrier = 9;
  Original.Teams[2].BallCarrier = 3;
  Original.Teams[1].TailPair = {{4, 5}};
  Original.Teams[1].ScrumSidePairs[2] = {1.0f, 2.0f};
  Original.Teams[1].ScrumSidePairs[5] = {1.0f, 2.0f};
  Original.Teams[1].PackSpots.OffsetB[3] = {0.6f, -0.5f};
  Mirrored = Original;
  MirrorWorld(Mirrored);

  EXPECT_EQ(Mirrored.Teams[1].teamid, 200);
  EXPECT_EQ(Mirrored.Teams[2].teamid, 100);
  for (int b = 1; b <= 2; ++b) {
    for (int k = 1; k <= 10; ++k) {
      EXPECT_EQ(std::memcmp(&Mirrored.Teams[b].PackSpots.OffsetA[k], &Original.Teams[b].PackSpots.OffsetA[k],
                            sizeof(TVector2)),
                0);
    }
  }
  EXPECT_EQ(Mirrored.Teams[1].BallCarrier, 3);  // the new first block keeps its carrier
  EXPECT_EQ(Mirrored.Teams[2].BallCarrier, 0);
  const TTeamBlock& Moved = Mirrored.Teams[2];  // the old first block
  EXPECT_EQ(Moved.TailPair[1], 5);
  EXPECT_EQ(Moved.TailPair[2], 4);
  EXPECT_EQ(Moved.ScrumSidePairs[2].x, 2.0f);
  EXPECT_EQ(Moved.ScrumSidePairs[2].z, 1.0f);
  EXPECT_EQ(Moved.ScrumSidePairs[5].x, 1.0f);  // only the first four pairs
  EXPECT_EQ(Moved.PackSpots.OffsetB[3].x, 0.6f);
  EXPECT_EQ(Moved.PackSpots.OffsetB[3].z, 0.5f);

  EXPECT_EQ(Mirrored.Team1InFirstBlock, kTrue32);
  EXPECT_EQ(Mirrored.BlocksSwapped, kTrue32);
  EXPECT_EQ(Mirrored.TransitionHolderFirstBlock, kFalse32);
  EXPECT_EQ(Mirrored.LineoutZ, Original.LineoutZ);  // not in the lineout state
  EXPECT_EQ(Mirrored.LineoutOnNegativeX, Original.LineoutOnNegativeX);
  EXPECT_EQ(Mirrored.BallVel.x, Original.BallVel.x);  // left alone on purpose
  EXPECT_EQ(Mirrored.TryPos.z, Original.TryPos.z);
  EXPECT_EQ(Mirrored.GainLineZ, -Original.BallPos.z);
  EXPECT_EQ(Mirrored.Teams[2].DefenceLineZ, -Original.BallPos.z);
}

TEST(MirrorWorld, ClearsTheOpenMoveOptionOnlyInTheMatchWorld) {
  FillWorld(Original);
  Mirrored = Original;
  const i32 saved = StrategyParams.OpenMoveFlag;
  StrategyParams.OpenMoveFlag = 2;
  MirrorWorld(Mirrored);
  EXPECT_EQ(StrategyParams.OpenMoveFlag, 2);
  Mirrored.LiveWorld = kTrue32;
  MirrorWorld(Mirrored);
  EXPECT_EQ(StrategyParams.OpenMoveFlag, 0);
  StrategyParams.OpenMoveFlag = saved;
}

TEST(MirrorWorld, NoPlayersSkipsOnlyThePlayerPasses) {
  FillWorld(Original);
  Original.PlayersPerTeam = 0;
  Mirrored = Original;
  MirrorWorld(Mirrored);
  EXPECT_EQ(std::memcmp(&Mirrored.Teams[2].Players, &Original.Teams[1].Players,
                        sizeof Original.Teams[1].Players),
            0);
  EXPECT_EQ(Mirrored.BallPos.x, -Original.BallPos.x);
  EXPECT_EQ(Mirrored.Teams[1].teamid, 200);
}
