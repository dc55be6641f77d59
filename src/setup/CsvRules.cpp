#include "setup/CsvRules.h"

#include <charconv>
#include <cstdint>
#include <cmath>
#include <limits>

#include "core/EngineError.h"
#include "platform/Form.h"
#include "platform/Platform.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips a run of digits from i; returns how many there were.
size_t SkipDigits(std::string_view t, size_t& i) {
  const size_t start = i;
  while (i < t.size() && IsDigit(t[i])) ++i;
  return i - start;
}

// Whether a well-formed real (its digits with an optional '.', and its
// exponent digits with an optional sign) lies below 1: the place of its first
// non-zero digit plus its exponent is negative.
bool IsBelowOne(std::string_view mantissa, std::string_view exponent) {
  const size_t dot = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, dot);
  const std::string_view fraction =
      dot == std::string_view::npos ? std::string_view() : mantissa.substr(dot + 1);
  int64_t place = 0;
  const size_t lead = whole.find_first_not_of('0');
  if (lead != std::string_view::npos) {
    place = static_cast<int64_t>(whole.size() - lead) - 1;
  } else {
    const size_t first = fraction.find_first_not_of('0');
    if (first == std::string_view::npos) return true;  // zero
    place = -static_cast<int64_t>(first) - 1;
  }
  int64_t e = 0;
  size_t k = 0;
  const bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) ++k;
  // Far beyond any double either way; the clamp keeps the sum from overflowing.
  for (; k < exponent.size() && e < 1000000000; ++k) e = e * 10 + (exponent[k] - '0');
  return place + (negative ? -e : e) < 0;
}

}  // namespace

TCsvFile LoadCsvFile(const std::string& path) {
  TLines box;
  if (!FileExists(path) || !box.LoadFromFile(path)) RaiseFileError(path, 0, "Cannot open file " + path);
  if (box.Count() == 0) RaiseFileError(path, 0, "the file is empty: it has no header line");
  TCsvFile file;
  file.Path = path;
  file.Lines = std::move(box.Lines);
  file.Columns = SplitCsvHeader(file.Lines[0]);
  if (file.ColumnCount() > kMaxCsvColumns) {
    RaiseFileError(path, 1,
                   "the header has " + std::to_string(file.ColumnCount()) +
                       " columns, at most " + std::to_string(kMaxCsvColumns) + " are allowed");
  }
  return file;
}

std::vector<std::string> SplitCsvHeader(std::string_view header) {
  std::vector<std::string> names;
  while (!header.empty()) {
    const size_t comma = header.find(',');
    if (comma == std::string_view::npos) {
      names.emplace_back(header);
      break;
    }
    names.emplace_back(header.substr(0, comma));
    header.remove_prefix(comma + 1);
  }
  return names;
}

std::vector<std::string> CutCsvRow(std::string_view line, int columnCount) {
  std::vector<std::string> values;
  values.reserve(columnCount > 0 ? columnCount : 0);
  for (int c = 1; c <= columnCount; ++c) {
    if (c == columnCount) {
      values.emplace_back(line);
      break;
    }
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
      values.emplace_back();
      continue;
    }
    values.emplace_back(line.substr(0, comma));
    line.remove_prefix(comma + 1);
  }
  return values;
}

TCsvRow CsvRow(const TCsvFile& file, int row) {
  return TCsvRow{&file, row, CutCsvRow(file.Lines[static_cast<size_t>(row)], file.ColumnCount())};
}

bool ParseInteger(std::string_view t, i32& value) {
  size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  const size_t first = i;
  if (SkipDigits(t, i) == 0 || i != t.size()) return false;
  int64_t v = 0;
  for (size_t k = first; k < t.size(); ++k) {
    v = v * 10 + (t[k] - '0');
    if (v > int64_t{std::numeric_limits<i32>::max()} + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<i32>::max() || v < std::numeric_limits<i32>::min()) return false;
  value = static_cast<i32>(v);
  return true;
}

bool ParseReal(std::string_view t, double& value) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const size_t mantissa = i;
  size_t digits = SkipDigits(t, i);
  if (i < t.size() && t[i] == '.') {
    ++i;
    digits += SkipDigits(t, i);
  }
  if (digits == 0) return false;
  const size_t mantissaEnd = i;
  size_t exponent = i;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    exponent = ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (SkipDigits(t, i) == 0) return false;
  }
  if (i != t.size()) return false;
  // The grammar is checked above; from_chars only converts (it takes no '+').
  const std::string_view number = t[0] == '+' ? t.substr(1) : t;
  double v = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
  if (ec == std::errc::result_out_of_range &&
      IsBelowOne(t.substr(mantissa, mantissaEnd - mantissa), t.substr(exponent))) {
    // A well-formed real too small for a double is zero; one too large stays
    // a conversion error, as no field could hold it.
    value = t[0] == '-' ? -0.0 : 0.0;
    return true;
  }
  if (ec != std::errc() || end != number.data() + number.size()) return false;
  value = v;
  return true;
}

namespace {
std::string Quoted(std::string_view value, const char* rest) {
  std::string text(1, '\'');
  text.append(value);
  text += rest;
  return text;
}
}  // namespace

std::string IntegerErrorText(std::string_view value) {
  return Quoted(value, "' is not a valid integer value");
}

std::string RealErrorText(std::string_view value) {
  return Quoted(value, "' is not a valid floating point value");
}

void RaiseCsvError(const TCsvFile& file, int line, std::string_view column, const std::string& text) {
  throw EEngineError(file.Path + ", line " + std::to_string(line) + ", column \"" +
                     std::string(column) + "\": " + text);
}

void RaiseFileError(const std::string& path, int line, const std::string& text) {
  if (line > 0) throw EEngineError(path + ", line " + std::to_string(line) + ": " + text);
  // "Cannot open file" already names the file.
  if (text.find(path) != std::string::npos) throw EEngineError(text);
  throw EEngineError(path + ": " + text);
}

i32 CsvInteger(const TCsvRow& row, int c) {
  i32 v = 0;
  if (!ParseInteger(row.Value(c), v))
    RaiseCsvError(*row.File, row.Line(), row.Name(c), IntegerErrorText(row.Value(c)));
  return v;
}

double CsvReal(const TCsvRow& row, int c) {
  double v = 0;
  if (!ParseReal(row.Value(c), v))
    RaiseCsvError(*row.File, row.Line(), row.Name(c), RealErrorText(row.Value(c)));
  return v;
}

double CsvRealForF32(const TCsvRow& row, int c) {
  const double v = CsvReal(row, c);
  if (!(std::fabs(v) <= static_cast<double>(std::numeric_limits<f32>::max())))
    RaiseCsvError(*row.File, row.Line(), row.Name(c), Quoted(row.Value(c), "' is out of range"));
  return v;
}
