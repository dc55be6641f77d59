// A small global record of working values beside the world: the players'
// turn rate and tables that the world defaults clear. It is not part of the
// world record, so the look-ahead does not copy it.
#pragma once

#include "core/Arrays.h"

struct TAuxState {
  f32 TurnRate;   // degrees per second; 400.0 at start
  f32 AuxValue;   // -1.0 at start
  Arr1<i32, 201> AuxTable;
  Arr1<u16, 25> BlankIdList;
  Arr1<i32, 25> BlankValues;
  Arr1<i32, 5> HalfTimeWords;  // cleared at half time
};

extern TAuxState AuxState;
