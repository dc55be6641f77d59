// The example input's match for the benchmarks, set up in a run folder of
// its own and put into open play.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "OpenPlayStart.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

// A run folder of its own holding the example input, made the program
// directory (the set-up reads its input there and the finish writes there).
class TExampleRunFolder {
 public:
  TExampleRunFolder() {
    namespace fs = std::filesystem;
    std::string tmpl = (fs::temp_directory_path() / "matchengine-bench-XXXXXX").string();
    dir_ = mkdtemp(tmpl.data());
    dir_ += '/';
    fs::create_directories(dir_ + "csvinput");
    fs::copy(std::string(EXAMPLES_DIR) + "/csvinput/internetinit", dir_ + "csvinput/internetinit",
             fs::copy_options::recursive);
    SetProgramDirectory(dir_);
    ExeDir = dir_;
    OutputDir = ExeDir + "output/";
    ForceDirectories(OutputDir);
  }
  ~TExampleRunFolder() {
    SetProgramDirectory("");
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(dir_, ec);
  }
  TExampleRunFolder(const TExampleRunFolder&) = delete;
  TExampleRunFolder& operator=(const TExampleRunFolder&) = delete;

 private:
  std::string dir_;
};

// The example input's match, set up as the program does before its first
// frame in a run folder of its own (the set-up writes its input trace there),
// then put into open play: block 1's carrier holds the ball where he stands.
class TExampleMatch {
 public:
  explicit TExampleMatch(u32 seed) {
    RandSeed = seed;
    InitialiseMatch();
    PutIntoOpenPlay(World);
  }

 private:
  TExampleRunFolder folder_;
};
