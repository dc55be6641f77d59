// A text file written after the match through one buffered stream: created
// or replaced at opening, every line ended by CR LF. Failures raise, so the
// finish of the run reports them.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

class TOutputFile {
 public:
  // Creates or replaces the file; raises EEngineError "Cannot create file "
  // + path when it cannot be created.
  explicit TOutputFile(const std::string& path);
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Writes the line and CR LF into the stream's buffer.
  void WriteLine(std::string_view line);
  // Flushes and closes; raises EEngineError "Cannot write file " + path when
  // any write failed. A file dropped without Close is closed unchecked.
  void Close();

 private:
  std::string path_;
  std::ofstream out_;
};
