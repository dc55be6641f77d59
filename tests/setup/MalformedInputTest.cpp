// Damaged input files must end the set-up with an engine error naming the
// file, never with a crash, an out-of-range write or another exception.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/EngineError.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "platform/Form.h"
#include "platform/Platform.h"
#include "setup/InitialisationUnit.h"

namespace {

// Cuts a CSV text into lines and cells, damages one cell or line, and joins it again.
std::string Damage(const std::string& text, std::mt19937& rng) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      std::string line = text.substr(start, i - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (i < text.size() || !line.empty()) lines.push_back(line);
      start = i + 1;
    }
  }
  static const std::string kGarbage[] = {
      "",    "abc", "1e39", "-1e39", "99999999999", "-0", "1.5", "0x10", "  7", "7 ",
      ",,,,", "-2147483649", "1e-400", std::string(300, 'x'), "NaN", "inf", "-5", "65537", "0"};
  std::uniform_int_distribution<size_t> pickLine(0, lines.size() - 1);
  std::string& line = lines[pickLine(rng)];
  switch (rng() % 4) {
    case 0: {  // replace one cell
      std::vector<size_t> commas{0};
      for (size_t i = 0; i < line.size(); ++i)
        if (line[i] == ',') commas.push_back(i + 1);
      const size_t from = commas[rng() % commas.size()];
      const size_t to = line.find(',', from);
      line.replace(from, to == std::string::npos ? std::string::npos : to - from,
                   kGarbage[rng() % (sizeof kGarbage / sizeof *kGarbage)]);
      break;
    }
    case 1:  // cut the line short
      line.resize(line.size() / 2);
      break;
    case 2:  // an extra comma
      line.insert(line.size() * (rng() % 4) / 4, ",");
      break;
    default:  // drop the line
      line.clear();
      break;
  }
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

TEST(MalformedInput, DamagedFilesEndTheSetUpWithAnEngineErrorOnly) {
  RunFolder run;
  const std::vector<std::string> files = {"players.csv", "fieldstrat.csv", "playersOverride.csv",
                                          "fileID.txt"};
  std::vector<std::string> originals;
  for (const std::string& f : files) originals.push_back(run.Read("csvinput/internetinit/" + f));
  std::mt19937 rng(12345);
  int errors = 0;
  for (int round = 0; round < 120; ++round) {
    const size_t f = rng() % files.size();
    for (size_t k = 0; k < files.size(); ++k)
      run.Write("csvinput/internetinit/" + files[k], originals[k]);
    run.Write("csvinput/internetinit/" + files[f], Damage(originals[f], rng));
    ExeDir = run.Dir();
    OutputDir = ExeDir + "output/";
    ForceDirectories(OutputDir);
    Form1.Reset();
    RandSeed = static_cast<u32>(round);
    try {
      InitialiseMatch();
    } catch (const EEngineError& e) {
      ++errors;
      EXPECT_NE(std::string(e.what()).find(files[f]), std::string::npos)
          << "round " << round << ": " << e.what();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "round " << round << " (" << files[f] << "): " << e.what();
    }
  }
  // Most damage is caught; some (a cell of an unread column) is harmless.
  EXPECT_GT(errors, 20);
}

}  // namespace
