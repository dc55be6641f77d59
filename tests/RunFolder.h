// A temporary run folder for tests that run the whole program in-process:
// the example input copied under csvinput/internetinit/, the program
// directory pointed at it, removed again at the end.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Form.h"

class RunFolder {
 public:
  // With `withInput` false the folder holds no input at all.
  explicit RunFolder(bool withInput = true);
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  const std::string& Dir() const { return dir_; }  // with a trailing '/'
  // Points the run context (ExeDir, OutputDir) at this folder and creates
  // its output folder.
  void UseAsRunContext() const;
  std::string InputDir() const { return dir_ + "csvinput/internetinit/"; }
  std::string Output(const std::string& name) const { return dir_ + "output/" + name; }
  bool Exists(const std::string& relative) const;
  // A file's bytes, "" when missing.
  std::string Read(const std::string& relative) const;
  void Write(const std::string& relative, const std::string& bytes) const;
  void Remove(const std::string& relative) const;
  // A text file's lines (CR LF, CR or LF).
  std::vector<std::string> Lines(const std::string& relative) const;

 private:
  std::string dir_;
};
