#include "core/RunLog.h"

#include <gtest/gtest.h>

#include "RunFolder.h"
#include "platform/Form.h"

namespace {

TEST(RunLogTest, LinesGoToTheStoreInOrderAndSaveWithCrLf) {
  RunFolder run(false);
  Form1.Memo2.Clear();
  WriteRunLog("randseed 7");
  WriteRunLog("");
  WriteRunLog("Sim finished.............");
  ASSERT_EQ(Form1.Memo2.Count(), 3u);
  EXPECT_EQ(Form1.Memo2.Lines[0], "randseed 7");

  ASSERT_TRUE(SaveRunLog(run.Dir() + "mydebuglog.txt"));
  EXPECT_EQ(run.Read("mydebuglog.txt"), "randseed 7\r\n\r\nSim finished.............\r\n");
  EXPECT_FALSE(SaveRunLog(run.Dir() + "no-such-folder/mydebuglog.txt"));
  Form1.Memo2.Clear();
}

}  // namespace
