// The CSV rules that every input reader shares: the whole file is loaded
// into its own list of lines, line 0 is the header, rows are cut at "," with no
// quoting, and columns are found by their exact header name. Number parsing
// is one rule for all readers, whatever the locale.
//
// Every error names the file, the line as an editor counts it (the header is
// line 1) and the column, so that an operator can find the bad cell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Arrays.h"

// The header's column table holds this many names.
constexpr int kMaxCsvColumns = 100;

// A loaded CSV file. It owns its lines, so a file held across the load of
// another keeps reading its own.
struct TCsvFile {
  std::string Path;
  std::vector<std::string> Lines;    // the whole file; line 0 is the header
  std::vector<std::string> Columns;  // header names, column c at [c - 1]

  int ColumnCount() const { return static_cast<int>(Columns.size()); }
  const std::string& Column(int c) const { return Columns[c - 1]; }
  // Data rows: the lines after the header.
  int RowCount() const { return static_cast<int>(Lines.size()) - 1; }
};

// One data row cut into one value per header column.
struct TCsvRow {
  const TCsvFile* File;
  int Row;  // 1-based data row; its editor line is Row + 1
  std::vector<std::string> Values;  // value of column c at [c - 1]

  const std::string& Value(int c) const { return Values[c - 1]; }
  const std::string& Name(int c) const { return File->Column(c); }
  int Line() const { return Row + 1; }
};

// Loads the file whole and splits its header; lines may end in CR LF, CR or
// LF, and blank lines are rows. Raises
// "Cannot open file <path>" when it is missing or unreadable, and an error
// when it has no header line or more than kMaxCsvColumns columns.
TCsvFile LoadCsvFile(const std::string& path);

// The header's column names: the text before each ",", the rest at the end;
// empty names count, a trailing comma adds none.
std::vector<std::string> SplitCsvHeader(std::string_view header);

// A row's values for columnCount columns: each column before the last takes
// the text before the next "," (empty when none is left), the last column
// takes all that remains, commas included.
std::vector<std::string> CutCsvRow(std::string_view line, int columnCount);

// Data row `row` (1 .. RowCount) of the file.
TCsvRow CsvRow(const TCsvFile& file, int row);

// Integers: optional leading blanks, an optional sign, decimal digits within
// 32 bits. Reals: an optional sign, digits with an optional "." fraction and
// an optional exponent; one too small for a double reads as 0, one too large
// is false. Anything else, the empty text included, is false.
bool ParseInteger(std::string_view text, i32& value);
bool ParseReal(std::string_view text, double& value);

// The system's own conversion error texts.
std::string IntegerErrorText(std::string_view value);  // "'%s' is not a valid integer value"
std::string RealErrorText(std::string_view value);     // "'%s' is not a valid floating point value"

// Raises an EEngineError with the text, naming the file, line and column.
[[noreturn]] void RaiseCsvError(const TCsvFile& file, int line, std::string_view column,
                                const std::string& text);
// The same without a column (a fault of the file or of a whole line; line 0
// names no line).
[[noreturn]] void RaiseFileError(const std::string& path, int line, const std::string& text);

// Column c of the row converted; a value that does not convert raises the
// conversion error with the row's place.
i32 CsvInteger(const TCsvRow& row, int c);
double CsvReal(const TCsvRow& row, int c);
// The same for a value that goes into a 32-bit float, returned unrounded:
// one too large for the field raises "'%s' is out of range" with the row's
// place, so no infinite value enters a record.
double CsvRealForF32(const TCsvRow& row, int c);
