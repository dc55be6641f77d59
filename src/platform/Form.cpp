#include "platform/Form.h"

#include <fstream>
#include <iterator>

TForm1 Form1;

bool TLines::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Lines.clear();
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      Lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) Lines.push_back(line);
  return true;
}

bool TLines::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const std::string& l : Lines) {
    out << l << "\r\n";
  }
  out.flush();
  return static_cast<bool>(out);
}

void TForm1::Reset() {
  Label1.clear();
  Memo1.Clear();
  Memo2.Clear();
  Memo2.Add("Memo2");
  Memo3.Clear();
  Memo3.Add("Memo3");
  Memo4.Clear();
  ListBox1.Clear();
  Visible = true;
}
