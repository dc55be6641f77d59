#include "platform/Platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>

namespace {
std::string g_programDirOverride;
bool g_dateFixed = false;
TCalendarDate g_fixedDate{};
bool g_timeOfDayFixed = false;
uint32_t g_fixedTimeOfDay = 0;
}  // namespace

uint32_t GetTickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t MillisecondsSinceMidnightUTC() {
  if (g_timeOfDayFixed) return g_fixedTimeOfDay;
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(ms % (24LL * 3600 * 1000));
}

void FixTimeOfDay(uint32_t milliseconds) {
  g_fixedTimeOfDay = milliseconds;
  g_timeOfDayFixed = true;
}

void UnfixTimeOfDay() { g_timeOfDayFixed = false; }

TCalendarDate LocalDate() {
  if (g_dateFixed) return g_fixedDate;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

void FixLocalDate(const TCalendarDate& date) {
  g_fixedDate = date;
  g_dateFixed = true;
}

void UnfixLocalDate() { g_dateFixed = false; }

std::string ProgramDirectory() {
  if (!g_programDirOverride.empty()) return g_programDirOverride;
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::string dir = ec ? std::filesystem::current_path().string() : exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

void SetProgramDirectory(const std::string& dir) {
  g_programDirOverride = dir;
  if (!g_programDirOverride.empty() && g_programDirOverride.back() != '/')
    g_programDirOverride += '/';
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return DirectoryExists(path);
}

bool SetCurrentDir(const std::string& path) { return chdir(path.c_str()) == 0; }
