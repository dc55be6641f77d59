// The fields of one line of the comma-separated output files.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

// Fields split at ","; a line ending in "," has an empty last field.
inline std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string f;
  while (std::getline(in, f, ',')) fields.push_back(f);
  if (!line.empty() && line.back() == ',') fields.push_back("");
  return fields;
}

// The 0-based position of column `name` in a header line; a test failure
// and 0 when the header has no such column.
inline int ColumnIndex(const std::string& header, const std::string& name) {
  const std::vector<std::string> names = Split(header);
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  ADD_FAILURE() << "no column " << name;
  return 0;
}
