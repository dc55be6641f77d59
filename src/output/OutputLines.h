// Building and saving the lines of the text files written after the match:
// comma-separated fields with no quoting, saved through the form's line
// buffer with CR LF after every line, the last included.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Form.h"

// One line of fields joined by ",": integers in plain decimal (a '-' when
// negative, no leading zeros), texts as given.
class TCsvLine {
 public:
  TCsvLine& Int(int64_t v);
  TCsvLine& Text(std::string_view v);
  const std::string& Str() const { return line_; }

 private:
  void Separate();
  std::string line_;
  bool empty_ = true;
};

// Saves the lines (creating or replacing the file); raises EEngineError
// "Cannot create file " + path when the file cannot be created or written.
void SaveLinesOrRaise(const TLines& lines, const std::string& path);
