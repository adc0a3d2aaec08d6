// Help, the editor and the About box from the main window's menus.
#include <gtest/gtest.h>

#include "reminder_fixture.h"

namespace reminder::test {
namespace {

class LaunchTest : public ReminderTest {
 protected:
  void SetUp() override { StartWith(" 0 \r\n 2880 \r\n 4800 \r\n 60 \r\n 1 \r\n"); }
};

TEST_F(LaunchTest, HelpLeavesTheTopLayerOpensTheHelpFileAndEndsWithTheDefaultPointer) {
  const int pumped = fake.pump.calls;
  fake.pointer.changes.clear();
  form->HelpHelpMnu_Click();
  EXPECT_EQ(fake.log, (Log{"NoTopmost", "ShellExecute .\\lumaret2.chm"}));
  ASSERT_EQ(fake.shell.calls.size(), 1u);
  const auto& call = fake.shell.calls[0];
  EXPECT_EQ(call.window, FakeWindow::kHandle);
  EXPECT_EQ(call.operation, "Open");
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.folder, "C:\\Lumaret");
  EXPECT_EQ(call.showCommand, 1);
  EXPECT_EQ(fake.pump.calls - pumped, 1);
  EXPECT_EQ(fake.pointer.changes, (std::vector<bool>{true, false}));
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(LaunchTest, TheDataEditorStartsTovimarEveryTimeWithoutAMessage) {
  form->DataEditorMnu_Click();
  form->DataEditorMnu_Click();
  ASSERT_EQ(fake.shell.calls.size(), 2u);
  EXPECT_EQ(fake.shell.calls[1].file, "tovimar.exe");
  EXPECT_EQ(fake.shell.calls[1].folder, "C:\\Lumaret");
  EXPECT_EQ(fake.log.front(), "NoTopmost");
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(cursor->Position(), 0);
}

TEST_F(LaunchTest, AboutShowsTheAboutBox) {
  form->HelpAboutMnu_Click();
  EXPECT_TRUE(fake.about.open);
  EXPECT_EQ(fake.log, (Log{"AboutShow"}));
}

}  // namespace
}  // namespace reminder::test
