// A temporary program directory holding a copy of the example input under
// csvinput/internetinit/, removed with everything the match wrote in it.
#pragma once

#include <string>

class TMatchFolder {
 public:
  TMatchFolder();
  ~TMatchFolder();
  TMatchFolder(const TMatchFolder&) = delete;
  TMatchFolder& operator=(const TMatchFolder&) = delete;
  const std::string& Dir() const { return dir_; }  // with a trailing '/'

 private:
  std::string dir_;
};
