// The run log: the lines that the end of the run saves as "mydebuglog.txt"
// beside the executable. Every unit writes it through here; the window
// stand-in's pane Form1.Memo2 is its store, emptied as the window is created.
#pragma once

#include <string>

// Appends one line to the run log.
void WriteRunLog(std::string line);

// Saves the run log whole, each line ended by CR LF. Returns false when the
// file cannot be created or written.
bool SaveRunLog(const std::string& path);
