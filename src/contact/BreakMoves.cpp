#include "contact/BreakMoves.h"

#include "core/Geometry.h"

namespace {

struct TBearingWindow {
  double Low, High;  // degrees
};
constexpr TBearingWindow kBearings[11] = {
    {0, 0},  // no move
    {30.0, 90.0},   {60.0, 120.0},  {90.0, 150.0},  {7.5, 52.5},    {337.5, 22.5},
    {307.5, 353.5}, {127.5, 172.5}, {157.5, 202.5}, {187.5, 232.5}, {217.5, 322.5},
};
constexpr int kFendStraightAhead = 5;

}  // namespace

int BreakMove(f32 ActionCode) {
  for (int k = 1; k <= 10; ++k) {
    if (ActionCode == static_cast<f32>(k)) return k;
  }
  return 0;
}

bool InBreakBearing(int Move, double B) {
  if (Move < 1 || Move > 10) return false;
  const TBearingWindow& w = kBearings[Move];
  if (Move == kFendStraightAhead) return (B > w.Low && B <= 360.0) || (B >= 0.0 && B <= w.High);
  return B > w.Low && B <= w.High;
}

bool InBreakWindow(const TPlayer& C, const TBreakFrames& Frames, f32 X, f32 Z) {
  const int move = BreakMove(C.ActionCode);
  if (move == 0) return false;
  const TFrameShare& f = Frames[move];
  const double frame = C.currentframe;
  if (!(frame >= f.Low * C.maxframes && frame <= f.High * C.maxframes)) return false;
  return InBreakBearing(move, RelativeHeadingToPoint(C.Pos.x, C.Pos.z, X, Z, HeadingOfFacing(C.FacingAngle)));
}
