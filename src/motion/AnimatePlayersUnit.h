// Frame step 18: animation. Gives every player on the field an animation for
// this frame and moves it on by one time step. A scripted animation sequence
// (AnimSeq) decides while it plays; otherwise the ends of actions and the
// choice by situation (locomotion and rest for a player free of actions, the
// action's own animation for the others), then the playback rate by the
// animation's name and the advance of currentframe. Runs after the measured
// velocities and before facing and ball attachment, on the match and on the
// look-ahead copy alike; it keeps nothing outside the player records.
//
// Animation names are compared byte for byte, length included, and are kept
// to their first 30 characters. Lengths are in frames, rates in frames per
// second; progress is currentframe / maxframes.
#pragma once

#include <string_view>

#include "core/TypeDefs.h"
#include "motion/ActionAnimations.h"
#include "motion/PlaybackRate.h"

// The whole step: block 1's players 1..PlayersPerTeam, then block 2's, each
// through the stages below in order; the advance (stage 4) runs for all of
// them after the others, as it changes nothing another player's stages
// read. Allocates nothing and logs nothing but the two lines of a zero
// dummy-half release time.
void AnimatePlayers(TWorld& W);

// ---------------------------------------------------------------- starting
// Starts an animation at frame 0: name (cut to 30 characters), length,
// loop flag, ball track; AnimLoopCount := 0, AnimFreshStart := Fresh (the
// rest and fresh-gait starts pass true). Callers start only when the name
// differs from currentAnim, unless a rule says otherwise.
void StartAnim(TPlayer& P, std::string_view Name, f32 Length, bool Loop, i16 Track, bool Fresh = false);

// Continues in another gait, looping on ball track 1: coming from "walk",
// "jog", "jogfists" or "sprint" the new animation takes over at the same
// phase (AnimFreshStart := 0); from anything else it starts at frame 0 and
// AnimFreshStart := -1. An old length of 0 or less counts as phase 0.
void ContinueGait(TPlayer& P, std::string_view Name, f32 Length);

// Whether an action timer runs (above 0; a NaN raises, as every timer
// compare of the step does).
inline bool Runs(f32 Timer) { return Timer > 0.0f; }

// Starts Name as StartAnim does, unless it already plays.
inline void StartIfNew(TPlayer& P, std::string_view Name, f32 Length, bool Loop, i16 Track, bool Fresh = false) {
  if (!(P.currentAnim == Name)) StartAnim(P, Name, Length, Loop, Track, Fresh);
}

// A name built from a prefix and a number ("blockloop" 13), in a fixed
// buffer: the longest prefix is 18 characters, a number at most 10 digits.
struct TBuiltName {
  char s[32];
  u8 len;
  std::string_view View() const { return {s, len}; }
};
TBuiltName NumberedAnim(std::string_view Prefix, u32 Number);

// How far through his animation a player is, currentframe / maxframes; an
// animation without frames counts as just started (0).
double AnimProgress(const TPlayer& P);

// Whether Name is Prefix followed by the decimal digits of Number
// ("blockloop" and 13 is "blockloop13").
bool IsNumberedAnim(std::string_view Name, std::string_view Prefix, u32 Number);

// Whether P plays one of Names (whole names, case-sensitive).
template <size_t N>
bool PlaysAnyOf(const TPlayer& P, const std::string_view (&Names)[N]) {
  for (std::string_view n : Names)
    if (P.currentAnim == n) return true;
  return false;
}

// ---------------------------------------------------------------- stages
// Stage 1, while AnimSeq.Playing is set: finds the entry at the sequence's
// time and shows its frame (the last entry's EndFrame once the time passes
// TotalTime, which also ends the sequence). Returns true while the sequence
// still plays: the player is then done for this frame. An entry with a
// Rate of 0 or less shows its StartFrame and lasts 0 s when it plays once.
bool PlayAnimSeq(TWorld& W, TPlayer& P);

// Stage 2a: CancelActions and EndActions, the ends of actions
// (motion/ActionAnimations.h); IsFreeOfActions there too.

// Stage 2b for a free player: the carrier's animations, the tackle loop
// (block 2), the transition holder, block and scrimmage loops, the running
// and walking gaits and the rest animations, with the hold of a fresh gait
// (a quarter cycle) or rest (55 %).
void ChooseLocomotionAnim(TWorld& W, int b, int i);

// Stage 2b for a busy player: ChooseActionAnim (motion/ActionAnimations.h).

// Stage 3: SetPlaybackRate, the rate table (motion/PlaybackRate.h).

// Stages 1 to 3 for player i of block b, in their order: false when his
// animation sequence plays (he is done for the frame), else true after the
// choice and the rate, when the advance (stage 4) is to follow.
bool ChooseAnimation(TWorld& W, int b, int i);

// Stage 4: currentframe moved on by AnimRate x TimeStep, held at maxframes
// (once) or wrapped (loop, AnimLoopCount + 1, kept within i16). A looping
// animation without frames stays at frame 0.
void AdvanceAnim(const TWorld& W, TPlayer& P);
