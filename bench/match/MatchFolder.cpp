#include "match/MatchFolder.h"

#include <stdlib.h>

#include <filesystem>

namespace fs = std::filesystem;

TMatchFolder::TMatchFolder() {
  std::string tmpl = (fs::temp_directory_path() / "matchengine-match-XXXXXX").string();
  dir_ = mkdtemp(tmpl.data());
  dir_ += '/';
  fs::create_directories(dir_ + "csvinput");
  fs::copy(std::string(EXAMPLES_DIR) + "/csvinput/internetinit", dir_ + "csvinput/internetinit",
           fs::copy_options::recursive);
}

TMatchFolder::~TMatchFolder() {
  std::error_code ec;
  fs::current_path(fs::temp_directory_path(), ec);
  fs::remove_all(dir_, ec);
}
