#include "setup/ReadFieldStrategies.h"

#include <string>
#include <vector>

#include "core/MatchStore.h"
#include "core/OptionWeights.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/StrategyShapes.h"
#include "setup/CsvRules.h"

namespace {

constexpr int kMaxZones = 30;
constexpr int kMaxWeightSum = 32767;  // the normalising sum is 16-bit

// The option names of each family; the option's number is its place.
const char* const kFamilyOptions[kOptionFamilyCount][6] = {
    {"run secure pos", "run gain ground", "def kick touch", "def kick in field", "attacking kick",
     "drop goal"},
    {"kick return run", "kick return attacking kick", "kick return defensive kick"},
    {"penalty kick touch", "penalty kick goal", "penalty tap kick", "penalty scrum"},
    {"kickoff short", "kickoff medium", "kickoff long"},
    {"dropout short", "dropout medium", "dropout long"}};

// The option number of a name in family f (0-based); 0 when it is none.
int OptionNumber(int f, const std::string& name) {
  for (int j = 1; j <= kOptionCounts[f]; ++j) {
    if (name == kFamilyOptions[f][j - 1]) return j;
  }
  return 0;
}

// The header's zone columns, in header order.
std::vector<int> ZoneColumns(const TCsvFile& file) {
  std::vector<int> zones;
  for (int c = 1; c <= file.ColumnCount(); ++c) {
    if (file.Column(c).compare(0, 4, "rect") == 0) zones.push_back(c);
  }
  return zones;
}

// The three row keys, each from the row's own cells (the last column of a
// name wins).
struct TRowKeys {
  int TeamIdColumn = 0;
  std::string TeamId, Type1, Type2;
};

TRowKeys RowKeys(const TCsvRow& row) {
  TRowKeys keys;
  for (int c = 1; c <= row.File->ColumnCount(); ++c) {
    const std::string& name = row.Name(c);
    if (name == "teamid") {
      keys.TeamIdColumn = c;
      keys.TeamId = row.Value(c);
    } else if (name == "strategytype1") {
      keys.Type1 = row.Value(c);
    } else if (name == "strategytype2") {
      keys.Type2 = row.Value(c);
    }
  }
  return keys;
}

// Team 1's record when the row names team 1's id, team 2's for any other
// row; 0 for team 1, 1 for team 2.
int RowTeam(const TCsvRow& row, const TRowKeys& keys) {
  if (keys.TeamId.empty()) return 1;
  return CsvInteger(row, keys.TeamIdColumn) == MatchStore.MatchInfo.Team[1].teamid ? 0 : 1;
}

// 0 normal, 1 catch-up, -1 for any other half.
int RowHalf(const TRowKeys& keys) {
  if (keys.Type2 == "normal") return 0;
  if (keys.Type2 == "catchup") return 1;
  return -1;
}

TFieldStrategyHalf& Half(int team, int half) {
  TFieldStrategy& record = FieldStrategy[team + 1];
  return half == 0 ? record.Normal : record.CatchUp;
}

template <class Fn>
void ForAllHalves(Fn fn) {
  for (int team = 0; team < 2; ++team) {
    for (int half = 0; half < 2; ++half) fn(Half(team, half));
  }
}

void LayOutZones(const TCsvFile& file, const std::vector<int>& zones) {
  const int n = static_cast<int>(zones.size());
  if (n > kMaxZones) {
    RaiseFileError(file.Path, 1,
                   "the header has " + std::to_string(n) + " zone columns (\"rect...\"), at most " +
                       std::to_string(kMaxZones) + " are allowed");
  }
  ForAllHalves([&](TFieldStrategyHalf& h) { h.ZoneCount = static_cast<i16>(n); });
  const double length = World.PitchLength;
  const double inGoal = World.InGoalDepth;
  Arr1<TZoneRect, 30>& rects = FieldStrategy[1].Normal.Zones;
  for (int k = 1; k <= n; ++k) {
    const std::string& name = file.Column(zones[k - 1]);
    double fraction = 0;
    if (!ParseReal(std::string_view(name).substr(4), fraction))
      RaiseCsvError(file, 1, name, RealErrorText(name.substr(4)));
    TZoneRect& zone = rects[k];
    zone.z1 = k == 1 ? static_cast<f32>(-length / 2 - inGoal) : rects[k - 1].z2;
    zone.z2 = static_cast<f32>(fraction * length - length / 2);
    if (k > 1 && k == n) zone.z2 = static_cast<f32>(length / 2 + inGoal);
  }
  // x1 and x2 keep the defaults of team 1's normal half.
  for (int k = 1; k <= n; ++k) {
    FieldStrategy[1].CatchUp.Zones[k] = rects[k];
    FieldStrategy[2].Normal.Zones[k] = rects[k];
    FieldStrategy[2].CatchUp.Zones[k] = rects[k];
  }
}

// A cell's weight: the real rounded (halves to even). Weights are shares, so
// they are never negative, and they must leave the 16-bit sum room.
i16 CellWeight(const TCsvRow& row, int c) {
  const double w = RoundHalfEven(CsvReal(row, c));
  if (!(w >= 0 && w <= kMaxWeightSum)) {
    RaiseCsvError(*row.File, row.Line(), row.Name(c),
                  "'" + row.Value(c) + "' is not a valid option weight (0 to " +
                      std::to_string(kMaxWeightSum) + ")");
  }
  return static_cast<i16>(w);
}

// Reads the rows of family f, then normalises the family in all four halves.
void ReadFamily(const TCsvFile& file, const std::vector<int>& zones, int f) {
  const i16 count = static_cast<i16>(kOptionCounts[f]);
  ForAllHalves([&](TFieldStrategyHalf& h) { h.Families[f + 1].OptionCount = count; });
  // The last row that wrote each team's, half's and zone's weights: the row
  // to blame when their sum leaves the 16-bit range.
  int lastRow[2][2][kMaxZones + 1] = {};
  for (int r = 1; r <= file.RowCount(); ++r) {
    const TCsvRow row = CsvRow(file, r);
    const TRowKeys keys = RowKeys(row);
    const int j = OptionNumber(f, keys.Type1);
    if (j == 0) continue;
    for (int k = 1; k <= static_cast<int>(zones.size()); ++k) {
      const i16 w = CellWeight(row, zones[k - 1]);
      const int team = RowTeam(row, keys);
      const int half = RowHalf(keys);
      if (half < 0) continue;
      Half(team, half).Families[f + 1].Weights[k][j] = w;
      lastRow[team][half][k] = r;
    }
  }
  for (int team = 0; team < 2; ++team) {
    for (int half = 0; half < 2; ++half) {
      TOptionFamily& family = Half(team, half).Families[f + 1];
      for (int k = 1; k <= static_cast<int>(zones.size()); ++k) {
        int sum = 0;
        for (int j = 1; j <= count; ++j) sum += family.Weights[k][j];
        if (sum > kMaxWeightSum && lastRow[team][half][k] > 0) {
          const int r = lastRow[team][half][k];
          RaiseCsvError(file, r + 1, file.Column(zones[k - 1]),
                        "the weights of this zone add up to " + std::to_string(sum) +
                            ", more than " + std::to_string(kMaxWeightSum));
        }
      }
      NormaliseOptionWeights(family);
    }
  }
}

// Applies a setting row's word to zone k of a half.
void ApplySetting(const std::string& setting, const std::string& word, TFieldStrategyHalf& h, int k) {
  if (setting == "backlinedepth") {
    const char* const depths[3] = {"flat", "standard", "deep"};
    for (int d = 0; d < 3; ++d) {
      if (word == depths[d]) {
        h.OpenPlayStrategy[k] = static_cast<f32>(1 + d);
        h.SetPlayStrategy[k] = static_cast<f32>(4 + d);
      }
    }
  } else if (setting == "linespeed") {
    h.LineSpeed[k] = word == "standard" ? 2.0f : (word == "fast" ? 3.0f : 1.0f);
  } else {
    f32& target = setting == "rucknumattack" ? h.RuckNumAttack[k] : h.RuckNumDef[k];
    if (word == "low") target = 0.0f;
    if (word == "medium") target = 1.0f;
    if (word == "high") target = 2.0f;
  }
}

void ReadSettings(const TCsvFile& file, const std::vector<int>& zones) {
  for (const char* setting : {"backlinedepth", "linespeed", "rucknumattack", "rucknumdef"}) {
    for (int r = 1; r <= file.RowCount(); ++r) {
      const TCsvRow row = CsvRow(file, r);
      const TRowKeys keys = RowKeys(row);
      if (keys.Type1 != setting) continue;
      for (int k = 1; k <= static_cast<int>(zones.size()); ++k) {
        const int team = RowTeam(row, keys);
        const int half = RowHalf(keys);
        if (half >= 0) ApplySetting(setting, row.Value(zones[k - 1]), Half(team, half), k);
      }
    }
  }
}

}  // namespace

void ReadFieldStrategies() {
  const TCsvFile file = LoadCsvFile(InputDir() + "fieldstrat.csv");
  const std::vector<int> zones = ZoneColumns(file);
  LayOutZones(file, zones);
  for (int f = 0; f < kOptionFamilyCount; ++f) ReadFamily(file, zones, f);
  ReadSettings(file, zones);
}
