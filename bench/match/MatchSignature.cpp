#include "match/MatchSignature.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "match/MatchFolder.h"
#include "match/MatchProbe.h"
#include "platform/Digest.h"
#include "platform/Platform.h"

namespace {

// The date the signature's matches are played on: the output files carry it.
constexpr TCalendarDate kSignatureDate{1, 12, 2026};

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "name md5" lines, one per file the match left in its folder (the output
// files and the run log), in name order.
std::string FileDigests(const std::string& dir) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir + "output")) files.push_back(entry.path());
  files.push_back(fs::path(dir) / "mydebuglog.txt");
  std::sort(files.begin(), files.end());
  std::string lines;
  for (const fs::path& file : files) {
    lines += file.filename().string() + " " + Md5Hex(FileBytes(file)) + "\n";
  }
  return lines;
}

}  // namespace

std::string MatchSignature() {
  uint64_t frames = 0;
  uint64_t hash = kHashStart;
  std::string scores, exits, digests;
  FixLocalDate(kSignatureDate);
  for (const u32 seed : kSignatureSeeds) {
    TMatchFolder folder;
    const TMatchFigures F = PlayProbedMatch(folder.Dir(), true, seed);
    digests += FileDigests(folder.Dir());
    frames += F.Frames;
    hash = HashBytes(hash, &F.PositionHash, sizeof F.PositionHash);
    scores += " " + std::to_string(F.Score1) + "-" + std::to_string(F.Score2);
    exits += " " + std::to_string(F.ExitStatus);
  }
  UnfixLocalDate();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  std::string line = "matches " + std::to_string(std::size(kSignatureSeeds));
  line += " frames " + std::to_string(frames);
  line += " scores" + scores;
  line += " exits" + exits;
  line += " hash " + std::string(hex);
  line += " files " + Md5Hex(digests);
  return line;
}
