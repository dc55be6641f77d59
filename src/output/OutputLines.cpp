#include "output/OutputLines.h"

#include <charconv>

#include "core/EngineError.h"

void TCsvLine::Separate() {
  if (!empty_) line_ += ',';
  empty_ = false;
}

// The game file's frame lines hold some 260 integers each, so a field goes
// in with one append: its separator and digits together.
TCsvLine& TCsvLine::Int(int64_t v) {
  char field[24];
  char* at = field;
  if (!empty_) *at++ = ',';
  empty_ = false;
  const std::to_chars_result r = std::to_chars(at, field + sizeof field, v);
  line_.append(field, r.ptr);
  return *this;
}

TCsvLine& TCsvLine::Text(std::string_view v) {
  Separate();
  line_ += v;
  return *this;
}

TCsvLine& TCsvLine::EndWithComma() {
  line_ += ',';
  return *this;
}

void TCsvLine::Clear() {
  line_.clear();
  empty_ = true;
}

void SaveLinesOrRaise(const TLines& lines, const std::string& path) {
  if (!lines.SaveToFile(path)) throw EEngineError("Cannot create file " + path);
}

TOutputFile::TOutputFile(const std::string& path) : path_(path), out_(path, std::ios::binary | std::ios::trunc) {
  if (!out_) throw EEngineError("Cannot create file " + path_);
}

void TOutputFile::WriteLine(std::string_view line) {
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
  out_.write("\r\n", 2);
}

void TOutputFile::Close() {
  out_.close();
  if (!out_) throw EEngineError("Cannot create file " + path_);
}
