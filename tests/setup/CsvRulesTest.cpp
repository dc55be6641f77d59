#include "setup/CsvRules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RunFolder.h"
#include "core/EngineError.h"

namespace {

using Values = std::vector<std::string>;

TEST(CsvRulesTest, IntegersFollowOneRuleForEveryReader) {
  struct Case {
    const char* text;
    bool ok;
    i32 value;
  };
  const Case cases[] = {
      {"0", true, 0},          {"42", true, 42},        {"-17", true, -17},
      {"+8", true, 8},         {"  12", true, 12},      {"007", true, 7},
      {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0}, {"-2147483649", false, 0}, {"99999999999999999999", false, 0},
      {"", false, 0},          {" ", false, 0},         {"12 ", false, 0},
      {"1.0", false, 0},       {"1e3", false, 0},       {"$1F", false, 0},
      {"0x1F", false, 0},      {"-", false, 0},         {"+-1", false, 0},
      {"- 1", false, 0},       {"abc", false, 0},       {"3,", false, 0},
  };
  for (const Case& c : cases) {
    i32 v = 12345;
    EXPECT_EQ(ParseInteger(c.text, v), c.ok) << "'" << c.text << "'";
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(CsvRulesTest, RealsTakeDotSignAndExponentOnly) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"0", true, 0},        {"40", true, 40},          {"-5", true, -5},
      {"+2.5", true, 2.5},   {"0.22", true, 0.22},      {".5", true, 0.5},
      {"5.", true, 5},       {"1e3", true, 1000},       {"1.5E-2", true, 0.015},
      {"-2e+1", true, -20},  {"", false, 0},            {".", false, 0},
      {"1,5", false, 0},     {" 1", false, 0},          {"1 ", false, 0},
      {"e5", false, 0},      {"1e", false, 0},          {"1e+", false, 0},
      {"nan", false, 0},     {"inf", false, 0},         {"1e999", false, 0},
      {"0x10", false, 0},    {"1.2.3", false, 0},       {"--1", false, 0},
      // Below the smallest double a real is zero; beyond the largest it is an error.
      {"1e-400", true, 0},   {"-00.00012e-330", true, 0}, {"1000e-330", true, 0},
      {"0.01e310", true, 1e308}, {"10e308", false, 0},  {"1e99999999999", false, 0},
  };
  for (const Case& c : cases) {
    double v = 12345;
    EXPECT_EQ(ParseReal(c.text, v), c.ok) << "'" << c.text << "'";
    if (c.ok) {
      EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
  }
}

TEST(CsvRulesTest, HeaderSplitsAtCommasWithoutATrailingColumn) {
  EXPECT_EQ(SplitCsvHeader("a,b,c"), (Values{"a", "b", "c"}));
  EXPECT_EQ(SplitCsvHeader("a,b,"), (Values{"a", "b"}));
  EXPECT_EQ(SplitCsvHeader("a,,c"), (Values{"a", "", "c"}));
  EXPECT_EQ(SplitCsvHeader(",a"), (Values{"", "a"}));
  EXPECT_EQ(SplitCsvHeader(" a ,B"), (Values{" a ", "B"}));
  EXPECT_EQ(SplitCsvHeader(""), (Values{}));
}

TEST(CsvRulesTest, LastColumnTakesTheRestOfTheRow) {
  // Exact fit, a trailing comma, a long row and a short row.
  EXPECT_EQ(CutCsvRow("1,2,3", 3), (Values{"1", "2", "3"}));
  EXPECT_EQ(CutCsvRow("1,2,3,", 3), (Values{"1", "2", "3,"}));
  EXPECT_EQ(CutCsvRow("1,2,3,4,5", 3), (Values{"1", "2", "3,4,5"}));
  EXPECT_EQ(CutCsvRow("1,2", 4), (Values{"1", "", "", "2"}));
  EXPECT_EQ(CutCsvRow("7", 3), (Values{"", "", "7"}));
  EXPECT_EQ(CutCsvRow("", 2), (Values{"", ""}));
  EXPECT_EQ(CutCsvRow(" ,x", 2), (Values{" ", "x"}));
}

class CsvFileTest : public ::testing::Test {
 protected:
  RunFolder run{false};
  std::string Path(const char* name) const { return run.InputDir() + name; }
  void Write(const char* name, const std::string& text) const {
    run.Write(std::string("csvinput/internetinit/") + name, text);
  }
  // The message of the error that loading the file raises.
  std::string LoadError(const char* name) const {
    try {
      LoadCsvFile(Path(name));
    } catch (const EEngineError& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(CsvFileTest, LoadsRowsInFileOrderWithTheirEditorLines) {
  Write("t.csv", "id,name\r\n1,one\n\r2,two\r3,three");
  const TCsvFile file = LoadCsvFile(Path("t.csv"));
  EXPECT_EQ(file.Columns, (Values{"id", "name"}));
  // LF CR is two line ends, so the blank line between is a row of its own.
  ASSERT_EQ(file.RowCount(), 4);
  EXPECT_EQ(CsvRow(file, 1).Values, (Values{"1", "one"}));
  EXPECT_EQ(CsvRow(file, 2).Values, (Values{"", ""}));
  EXPECT_EQ(CsvRow(file, 4).Values, (Values{"3", "three"}));
  EXPECT_EQ(CsvRow(file, 4).Line(), 5);
}

TEST_F(CsvFileTest, FileHeldAcrossAnotherLoadKeepsReadingItsOwnLines) {
  Write("a.csv", "id,name\r\n1,one\r\n2,two\r\n");
  Write("b.csv", "x\r\n9\r\n");
  const TCsvFile a = LoadCsvFile(Path("a.csv"));
  const TCsvFile b = LoadCsvFile(Path("b.csv"));
  EXPECT_EQ(LoadError("missing.csv"), "Cannot open file " + Path("missing.csv"));
  ASSERT_EQ(a.RowCount(), 2);
  EXPECT_EQ(CsvRow(a, 2).Values, (Values{"2", "two"}));
  EXPECT_EQ(a.Lines[0], "id,name");
  ASSERT_EQ(b.RowCount(), 1);
  EXPECT_EQ(CsvRow(b, 1).Values, (Values{"9"}));
}

TEST_F(CsvFileTest, FileFaultsAreErrorsNamingTheFile) {
  EXPECT_EQ(LoadError("missing.csv"), "Cannot open file " + Path("missing.csv"));
  // A directory in place of the file cannot be read either.
  std::filesystem::create_directories(Path("dir.csv"));
  EXPECT_EQ(LoadError("dir.csv"), "Cannot open file " + Path("dir.csv"));
  Write("empty.csv", "");
  EXPECT_NE(LoadError("empty.csv").find(Path("empty.csv") + ": "), std::string::npos);
  EXPECT_NE(LoadError("empty.csv").find("no header"), std::string::npos);

  std::string header = "c1";
  for (int c = 2; c <= 100; ++c) header += ",c" + std::to_string(c);
  Write("wide.csv", header + "\r\n");
  EXPECT_EQ(LoadCsvFile(Path("wide.csv")).ColumnCount(), 100);
  Write("wide.csv", header + ",c101\r\n");
  EXPECT_NE(LoadError("wide.csv").find(Path("wide.csv") + ", line 1: "), std::string::npos)
      << LoadError("wide.csv");
  EXPECT_NE(LoadError("wide.csv").find("101 columns"), std::string::npos);
}

TEST_F(CsvFileTest, ConversionErrorsNameFileLineAndColumnWithTheSystemText) {
  Write("t.csv", "id,weight\r\n1,2.5\r\n2,heavy\r\nx,1\r\n");
  const TCsvFile file = LoadCsvFile(Path("t.csv"));
  EXPECT_EQ(CsvInteger(CsvRow(file, 1), 1), 1);
  EXPECT_DOUBLE_EQ(CsvReal(CsvRow(file, 1), 2), 2.5);
  try {
    CsvReal(CsvRow(file, 2), 2);
    FAIL() << "no error";
  } catch (const EEngineError& e) {
    EXPECT_EQ(std::string(e.what()),
              Path("t.csv") + ", line 3, column \"weight\": 'heavy' is not a valid floating point value");
  }
  try {
    CsvInteger(CsvRow(file, 3), 1);
    FAIL() << "no error";
  } catch (const EEngineError& e) {
    EXPECT_EQ(std::string(e.what()),
              Path("t.csv") + ", line 4, column \"id\": 'x' is not a valid integer value");
  }
}

}  // namespace
