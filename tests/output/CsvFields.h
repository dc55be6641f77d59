// The fields of one line of the comma-separated output files.
#pragma once

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
