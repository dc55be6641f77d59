#include "output/OutputLines.h"

#include <charconv>

#include "core/EngineError.h"

namespace {
constexpr size_t kStreamBuffer = 1 << 20;  // bytes
}  // namespace

void TCsvLine::Separate() {
  if (!empty_) line_ += ',';
  empty_ = false;
}

TCsvLine& TCsvLine::Int(int64_t v) {
  Separate();
  char digits[24];
  const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, v);
  line_.append(digits, r.ptr);
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

TTextFileWriter::TTextFileWriter(const std::string& path) : file_(std::fopen(path.c_str(), "wb")), path_(path) {
  if (file_ == nullptr) throw EEngineError("Cannot create file " + path);
  std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
}

TTextFileWriter::~TTextFileWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

void TTextFileWriter::Line(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fwrite("\r\n", 1, 2, file_);
}

void TTextFileWriter::Close() {
  const bool failed = std::ferror(file_) != 0;
  const bool closeFailed = std::fclose(file_) != 0;
  file_ = nullptr;
  if (failed || closeFailed) throw EEngineError("Cannot write file " + path_);
}
