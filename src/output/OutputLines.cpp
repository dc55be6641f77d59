#include "output/OutputLines.h"

#include "core/EngineError.h"

void TCsvLine::Separate() {
  if (!empty_) line_ += ',';
  empty_ = false;
}

TCsvLine& TCsvLine::Int(int64_t v) {
  Separate();
  line_ += std::to_string(v);
  return *this;
}

TCsvLine& TCsvLine::Text(std::string_view v) {
  Separate();
  line_ += v;
  return *this;
}

void SaveLinesOrRaise(const TLines& lines, const std::string& path) {
  if (!lines.SaveToFile(path)) throw EEngineError("Cannot create file " + path);
}
