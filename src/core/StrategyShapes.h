// The strategy table (line shapes and template action sequences) and the two
// teams' field strategies, built at start-up and only read afterwards.
#pragma once

#include "core/TypeDefs.h"

// The strategy table. Globals outside the world: the match and the
// look-ahead share it.
struct TStrategyParams {
  Arr1<TStrategyShape, 10> Shapes;  // entry n is shape number n
  f32 ClosingThreshold;             // s, 0.7, set by the world defaults (ReplanThreshold)
  i32 OpenMoveFlag;                 // option of the open-move search: side of the last pass (LastAttackSide)
  TActionSeq ActionSeqTemplate;     // the blank one-event sequence
  // The two three-event support runs, to the side of smaller and of larger x.
  TActionSeq SupportTemplateNegX;
  TActionSeq SupportTemplatePosX;
  // The guards of the open-play sampler on the carrier (decision/StrategyUnit.h).
  // Countdowns, s, kept by the timer step of the match: the next scan for
  // closing defenders (0.1 after a scan; SampleTimer), the time for the
  // nearest free defender to reach the carrier (ReplanTimer), and the hold
  // after the touch alarm rises (0.25; HoldTimer), which blocks a new alarm.
  f32 ClosingScanTimer;
  f32 NearestClosing;
  f32 TouchDangerTimer;
  bool32 HoldReleased;     // a held move reached its key event in this frame (PassInMoveOk)
  f32 NearestClosingMin;   // s, working minimum of a scan
  f32 PrevNearestClosing;  // s, NearestClosing before this frame's scan
  i32 NearestDefender;     // block-2 number of the defender who closes soonest (MarkerIndex)
  bool32 TouchDanger;      // the carrier is about to run into touch; one decision only
};

extern TStrategyParams StrategyParams;

// One team's field strategy: a normal and a catch-up half of field zones.
struct TFieldStrategy {
  f32 CatchUpThreshold;  // points behind per minute left
  TFieldStrategyHalf Normal;
  TFieldStrategyHalf CatchUp;
};

// Match team 1 (the side that kicks off) and match team 2.
extern Arr1<TFieldStrategy, 2> FieldStrategy;

// The five option families and the number of options of each.
constexpr int kOptionFamilyCount = 5;
constexpr int kOptionCounts[kOptionFamilyCount] = {6, 3, 4, 3, 3};

// Fills the strategy shapes 1 to 6 and 10 (7 to 9 stay zero).
void BuildStrategyShapes();

// Fills the three template action sequences. Works through two scratch
// fields of the world (SearchBestDist, SearchDist), which keep their values.
void BuildActionSeqTemplates(TWorld& W);

// Gives both teams' field strategies the default twelve zones of the pitch
// of `World` with the default general-play weights.
void BuildDefaultFieldZones();
