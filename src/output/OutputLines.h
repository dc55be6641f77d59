// Building and saving the lines of the text files written after the match:
// comma-separated fields with no quoting, saved through the form's line
// buffer or written through one buffered stream, with CR LF after every
// line, the last included.
#pragma once

#include <charconv>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Form.h"

// One line of fields joined by ",": integers in plain decimal (a '-' when
// negative, no leading zeros), texts as given. Clear keeps the line's room,
// so a line reused for every row allocates only while it grows. The game
// file's frame lines hold some 260 integers each, so the characters go
// straight into the line's own buffer.
class TCsvLine {
 public:
  TCsvLine& Int(int64_t v) {
    char* at = Room(kIntRoom);
    if (!empty_) *at++ = ',';
    empty_ = false;
    size_ = static_cast<size_t>(std::to_chars(at, at + kIntRoom - 1, v).ptr - buf_.data());
    return *this;
  }
  TCsvLine& Text(std::string_view v);
  // Ends the line in ",": for the lines whose every value is followed by ",".
  TCsvLine& EndWithComma();
  void Clear();
  std::string_view View() const { return {buf_.data(), size_}; }
  std::string Str() const { return std::string(View()); }

 private:
  static constexpr size_t kIntRoom = 21;  // ',' and up to 20 characters of an int64_t
  // The line's end, with at least n characters of room after it.
  char* Room(size_t n) {
    if (buf_.size() - size_ < n) Grow(n);
    return buf_.data() + size_;
  }
  void Grow(size_t n);
  std::vector<char> buf_;
  size_t size_ = 0;
  bool empty_ = true;
};

// Saves the lines (creating or replacing the file); raises EEngineError
// "Cannot create file " + path when the file cannot be created or written.
void SaveLinesOrRaise(const TLines& lines, const std::string& path);

// A text file written line by line through one buffered stream, created or
// replaced at opening; raises EEngineError "Cannot create file " + path when
// it cannot be created, or, at Close, when a write failed. A file dropped
// without Close is closed unchecked.
class TOutputFile {
 public:
  explicit TOutputFile(const std::string& path);
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // The line and CR LF, into the stream's buffer.
  void WriteLine(std::string_view line);
  void Close();

 private:
  std::string path_;
  std::ofstream out_;
};
