// What the three units of the defence placement (DefenseUnit.cpp: organisation
// and the step; DefensePressure.cpp: pressure and chase; DefensePositions.cpp:
// positions) share: the list sizes, the re-planning clocks, the game-state
// tests, the helpers of the fixed lists, and the reference attacker's run
// with the stages that take it. Included only by those units.
#pragma once

#include "core/TypeDefs.h"

namespace defence {

constexpr int kMaxExtras = 5;
constexpr int kMaxPressers = 5;
constexpr int kLineTimer = 1;             // DefenceSubTimers: line,
constexpr int kMatchupTimer = 2;          // matchups
constexpr int kPressureTimer = 3;         // and pressure
constexpr double kRefHeadingDefault = 90.0;  // degrees

inline bool Running(const TWorld& W) { return W.gamestate == gsRunning; }
inline bool Passing(const TWorld& W) { return W.gamestate == gsPassing; }
inline bool OpenPlay(const TWorld& W) { return Running(W) || Passing(W); }
inline bool SetPieceState(TGameState s) { return s == gsGotTackled || s == gsScrum || s == gsLineout; }

inline f32& LineTimer(TWorld& W) { return W.DefenceSubTimers[kLineTimer]; }
inline f32& MatchupTimer(TWorld& W) { return W.DefenceSubTimers[kMatchupTimer]; }
inline f32& PressureTimer(TWorld& W) { return W.DefenceSubTimers[kPressureTimer]; }

// All six busy timers at or below 0.
inline bool IsFree(const TPlayer& P) {
  return P.RuckTimer <= 0 && P.RuckTimer2 <= 0 && P.TackleAttemptTimer <= 0 && P.GettingTackledTimer <= 0 &&
         P.OldTackleTimer <= 0 && P.standuptimer <= 0;
}

template <class T, int N>
bool ArrHas(const Arr1<T, N>& A, i32 Id) {
  for (int k = 1; k <= N; ++k) {
    if (A[k] != 0 && A[k] == Id) return true;
  }
  return false;
}

template <class T, int N>
int ArrCount(const Arr1<T, N>& A) {
  int n = 0;
  for (int k = 1; k <= N; ++k) n += A[k] != 0;
  return n;
}

// The first empty entry, 0 when full.
template <class T, int N>
int FirstEmpty(const Arr1<T, N>& A) {
  for (int k = 1; k <= N; ++k) {
    if (A[k] == 0) return k;
  }
  return 0;
}

// The non-empty entries moved to the front in their order.
template <class T, int N>
void Pack(Arr1<T, N>& A) {
  int n = 0;
  for (int k = 1; k <= N; ++k) {
    if (A[k] != 0) A[++n] = A[k];
  }
  for (int k = n + 1; k <= N; ++k) A[k] = 0;
}

// How the reference attacker runs: his speed over the last frame (within
// 0.1 and his top speed), acceleration and heading.
struct TRefRun {
  const TPlayer* P;
  i32 Id;
  double Speed;  // m/s
  double Heading;  // degrees
};

// Read by the pressure and the positions stages (DefensePressure.cpp).
TRefRun ReadReference(const TWorld& W);

// The pressure and chase stage, and the positions stage, for reference run R.
void ChoosePressure(TWorld& W, const TRefRun& R);
void PlaceAll(TWorld& W, const TRefRun& R);

// The look-ahead's closing flags of every defender (DefensePositions.cpp).
void MarkClosingDefenders(TWorld& W);

}  // namespace defence
