#include "core/RunLog.h"

#include <utility>

#include "platform/Form.h"

void WriteRunLog(std::string line) { Form1.Memo2.Add(std::move(line)); }

bool SaveRunLog(const std::string& path) { return Form1.Memo2.SaveToFile(path); }
