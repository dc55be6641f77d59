#include "output/OutputLines.h"

#include <algorithm>

#include "core/EngineError.h"

void TCsvLine::Grow(size_t n) { buf_.resize(std::max(2 * buf_.size(), size_ + n)); }

TCsvLine& TCsvLine::Text(std::string_view v) {
  char* at = Room(v.size() + 1);
  if (!empty_) *at++ = ',';
  empty_ = false;
  std::copy(v.begin(), v.end(), at);
  size_ = static_cast<size_t>(at - buf_.data()) + v.size();
  return *this;
}

TCsvLine& TCsvLine::EndWithComma() {
  *Room(1) = ',';
  ++size_;
  return *this;
}

void TCsvLine::Clear() {
  size_ = 0;
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
