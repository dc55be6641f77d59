// Our stand-in for the one window of the program: a form that is never
// shown, whose text boxes and list box serve as in-memory line lists (log
// panes and line buffers for reading and writing text files).
#pragma once

#include <string>
#include <vector>

// A multi-line text box or list box: a list of lines.
struct TLines {
  std::vector<std::string> Lines;
  bool Visible = true;

  void Clear() { Lines.clear(); }
  void Add(std::string line) { Lines.push_back(std::move(line)); }
  size_t Count() const { return Lines.size(); }
  // Loads a text file whole; lines may end in CR LF, CR or LF, blank lines
  // are kept. Returns false when the file cannot be opened.
  bool LoadFromFile(const std::string& path);
  // Saves every line ended by CR LF. Returns false when the file cannot be
  // created or written.
  bool SaveToFile(const std::string& path) const;
};

struct TForm1 {
  std::string Label1;
  TLines Memo1;  // look-ahead log
  TLines Memo2;  // run log, saved as mydebuglog.txt
  TLines Memo3;  // run identifier echo
  TLines Memo4;  // sim-ahead frame lines
  TLines ListBox1;  // line buffer for text files
  bool Visible = true;

  // Puts the panes back as the window is created.
  void Reset();
};

extern TForm1 Form1;
