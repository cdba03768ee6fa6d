// The console program's prompts on the simulated workstation: a message is a line on the
// standard error, and nobody is there to ask anything, the Save As dialog included.
#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"
#include "platform/prompt.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"
#include "tests/support/hex.h"

namespace {

using platform::SaveAsAnswer;
using platform::StdStream;

TEST(ConsolePrompts, MessageIsOneLineOnTheStandardError) {
  platform::sim::Workstation ws;
  EXPECT_EQ(platform::ShowMessageBox("Failed when save log！"), IDOK);
  // A message with its own line end gets no second one.
  EXPECT_EQ(platform::ShowMessageBox("创建文件失败! 错误代码 [5]\r\n"), IDOK);
  EXPECT_EQ(ws.console().Bytes(StdStream::kError),
            "Failed when save log！\r\n创建文件失败! 错误代码 [5]\r\n");
  // The full-width mark goes through UTF-16 and back into the console's code page 936.
  EXPECT_EQ(Hex(ws.console().Bytes(StdStream::kError).substr(20, 4)), "a3a10d0a");
  EXPECT_EQ(ws.console().Bytes(StdStream::kOutput), "");
  EXPECT_TRUE(ws.MessageBoxes().empty());
  EXPECT_FALSE(platform::CanAskUser());
}

TEST(ConsolePrompts, SaveAsIsCancelledWithoutADialog) {
  platform::sim::Workstation ws;
  std::string path = "untouched";
  unsigned long error = 7;
  EXPECT_EQ(platform::AskSaveAsPath("Vantik.zip", "Zip Files (*.zip)|*.zip||", &path, &error),
            SaveAsAnswer::kCancelled);
  EXPECT_EQ(path, "untouched");
  EXPECT_EQ(error, 7u);
  EXPECT_TRUE(ws.SaveAsCalls().empty()) << "no dialog";
}

}  // namespace
