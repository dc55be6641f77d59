#include "RunFolder.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "core/RunContext.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

RunFolder::RunFolder(bool withInput) {
  std::string tmpl = (fs::temp_directory_path() / "matchengine-XXXXXX").string();
  dir_ = mkdtemp(tmpl.data());
  dir_ += '/';
  fs::create_directories(dir_ + "csvinput/internetinit");
  if (withInput) {
    fs::copy(std::string(EXAMPLES_DIR) + "/csvinput/internetinit", InputDir(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  SetProgramDirectory(dir_);
}

RunFolder::~RunFolder() {
  SetProgramDirectory("");
  std::error_code ec;
  fs::current_path(fs::temp_directory_path(), ec);
  fs::remove_all(dir_, ec);
}

void RunFolder::UseAsRunContext() const {
  ExeDir = dir_;
  OutputDir = ExeDir + "output/";
  ForceDirectories(OutputDir);
}

bool RunFolder::Exists(const std::string& relative) const { return fs::exists(dir_ + relative); }

std::string RunFolder::Read(const std::string& relative) const {
  std::ifstream in(dir_ + relative, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void RunFolder::Write(const std::string& relative, const std::string& bytes) const {
  std::ofstream(dir_ + relative, std::ios::binary | std::ios::trunc) << bytes;
}

void RunFolder::Remove(const std::string& relative) const { fs::remove(dir_ + relative); }

std::vector<std::string> RunFolder::Lines(const std::string& relative) const {
  TLines lines;
  lines.LoadFromFile(dir_ + relative);
  return lines.Lines;
}
