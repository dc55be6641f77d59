// The field-strategy reader: "fieldstrat.csv" into both teams' field
// strategies.
#pragma once

// Lays the zones out from the "rect" columns, fills and normalises the
// option weights of the five families and applies the four per-zone
// settings, over the defaults of BuildDefaultFieldZones. Needs team 1's id
// from "players.csv". Raises on a missing or malformed file.
void ReadFieldStrategies();
