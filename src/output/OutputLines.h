// Building and saving the lines of the text files written after the match:
// comma-separated fields with no quoting, saved with CR LF after every line,
// the last included, either through the form's line buffer or, for the large
// game file, through one buffered stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/Form.h"

// One line of fields joined by ",": integers in plain decimal (a '-' when
// negative, no leading zeros), texts as given. Clear keeps the line's room,
// so a line reused for every row allocates only while it grows.
class TCsvLine {
 public:
  TCsvLine& Int(int64_t v);
  TCsvLine& Text(std::string_view v);
  // Ends the line in ",": for the lines whose every value is followed by ",".
  TCsvLine& EndWithComma();
  void Clear();
  const std::string& Str() const { return line_; }

 private:
  void Separate();
  std::string line_;
  bool empty_ = true;
};

// Saves the lines (creating or replacing the file); raises EEngineError
// "Cannot create file " + path when the file cannot be created or written.
void SaveLinesOrRaise(const TLines& lines, const std::string& path);

// A text file written line by line through one buffer of 1 MB: no allocation
// and no flush per line.
class TTextFileWriter {
 public:
  // Creates or replaces the file; raises EEngineError "Cannot create file "
  // + path when it cannot be created.
  explicit TTextFileWriter(const std::string& path);
  // Closes the file when Close was not called (after a raise), raising nothing.
  ~TTextFileWriter();
  TTextFileWriter(const TTextFileWriter&) = delete;
  TTextFileWriter& operator=(const TTextFileWriter&) = delete;

  // The text and CR LF.
  void Line(std::string_view text);
  // Writes out what the buffer holds and closes the file; raises EEngineError
  // "Cannot write file " + path when anything could not be written.
  void Close();

 private:
  std::FILE* file_;
  std::string path_;
};
