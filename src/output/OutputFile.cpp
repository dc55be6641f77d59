#include "output/OutputFile.h"

#include "core/EngineError.h"

TOutputFile::TOutputFile(const std::string& path)
    : path_(path), out_(path, std::ios::binary | std::ios::trunc) {
  if (!out_) throw EEngineError("Cannot create file " + path_);
}

void TOutputFile::WriteLine(std::string_view line) {
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
  out_.write("\r\n", 2);
}

void TOutputFile::Close() {
  out_.close();
  if (!out_) throw EEngineError("Cannot write file " + path_);
}
