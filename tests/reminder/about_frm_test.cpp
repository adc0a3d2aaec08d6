// AboutFrm: placement, captions, the always-on-top handover, the 11.5-second timer and
// reopening, over hand-written fakes of the main window, the window order and the view.
#include "reminder/about_frm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jet/errors.h"

namespace reminder::test {
namespace {

using Log = std::vector<std::string>;

constexpr WindowHandle kMain = 0x100;
constexpr WindowHandle kBox = 0x200;

class FakeMainWindow : public Window {
 public:
  WindowHandle Handle() const override { return kMain; }
  std::uint32_t IconHandle() const override { return 0; }
  std::string Caption() const override { return "Lumaret"; }
  TwipsRect Bounds() const override { return bounds; }
  void SetLeft(std::int32_t left) override { bounds.left = left; }
  void SetTop(std::int32_t top) override { bounds.top = top; }
  void Show() override {}
  void Hide() override {}
  void Restore() override {}
  void Focus() override {}
  void RequestClose() override {}
  void ShowChoices(const Choices&) override {}
  void ShowVerse(const store::VerseRecord&) override {}
  void SetNextVerseToolTip(const std::string&) override {}

  TwipsRect bounds{1000, 2000, 7350, 5670};
};

// Keeps the always-on-top state of each window, as SetWindowPos would.
class FakeOrder : public WindowOrder {
 public:
  explicit FakeOrder(Log& log) : log_(log) {}
  void SetWindowPos(WindowHandle window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                    std::uint32_t flags) override {
    EXPECT_EQ(flags, kNoMoveNoSize);
    EXPECT_EQ(x + y + cx + cy, 0);
    const bool top = insertAfter == kTopmost;
    (window == kMain ? mainTopmost : boxTopmost) = top;
    log_.push_back(std::string(top ? "Topmost " : "NoTopmost ") + (window == kMain ? "main" : "box"));
  }
  bool mainTopmost = true;  // the main window lives in the top layer while shown
  bool boxTopmost = false;

 private:
  Log& log_;
};

class FakePump : public EventPump {
 public:
  explicit FakePump(Log& log) : log_(log) {}
  void DoEvents() override {
    log_.push_back("DoEvents");
    if (onDoEvents) {
      auto once = std::move(onDoEvents);
      onDoEvents = nullptr;
      once();
    }
  }
  // Runs once at the next DoEvents: a message the user sent while the box loads.
  std::function<void()> onDoEvents;

 private:
  Log& log_;
};

// The About window with a fake Timer1: Elapse moves time on and fires the tick when due.
class FakeView : public AboutView {
 public:
  explicit FakeView(Log& log) : log_(log) {}
  bool Load() override {
    log_.push_back("Load");
    if (!canLoad) return false;
    loaded = true;
    return true;
  }
  void Unload() override {
    log_.push_back("Unload");
    loaded = visible = false;
    timerDue.reset();
  }
  WindowHandle Handle() const override { return kBox; }
  void SetCopyrightCaption(const std::string& text) override { copyright = text; }
  void SetVersionCaption(const std::string& text) override { version = text; }
  void Move(std::int32_t newLeft, std::int32_t newTop) override {
    log_.push_back("Move");
    left = newLeft;
    top = newTop;
  }
  void Show() override {
    log_.push_back("Show");
    visible = true;
  }
  void Refresh() override { log_.push_back("Refresh"); }
  void Focus() override { log_.push_back("Focus"); }
  void BringToFront() override { log_.push_back("BringToFront"); }
  void StartTimer(std::uint32_t milliseconds) override {
    log_.push_back("StartTimer " + std::to_string(milliseconds));
    timerDue = now + milliseconds;
  }

  // Moves time on; a due tick goes to `frm` as the window's WM_TIMER would.
  void Elapse(std::uint64_t milliseconds, AboutFrm& frm) {
    now += milliseconds;
    if (timerDue && now >= *timerDue) frm.Timer1_Timer();
  }

  bool canLoad = true;
  bool loaded = false;
  bool visible = false;
  std::string copyright;
  std::string version = "Version";
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::uint64_t now = 0;
  std::optional<std::uint64_t> timerDue;

 private:
  Log& log_;
};

class FakeVersion : public VersionSource {
 public:
  jet::Result<ProgramVersion> Version() const override {
    if (!present) return jet::MakeError(1813, "The specified resource type cannot be found");
    return version;
  }
  bool present = true;
  ProgramVersion version{2, 2, 108};
};

class AboutFrmTest : public ::testing::Test {
 protected:
  Log log;
  FakeMainWindow main;
  FakeOrder order{log};
  FakePump pump{log};
  FakeView view{log};
  FakeVersion version;
  AboutFrm frm{main, order, pump, view, version};
};

TEST_F(AboutFrmTest, LoadsPlacesShowsThenHandsOverTheTopLayerAndStartsItsTimerInThatOrder) {
  frm.Show();
  EXPECT_EQ(log, (Log{"Load", "Move", "DoEvents", "Show", "DoEvents", "Refresh", "DoEvents", "Focus",
                      "NoTopmost main", "Topmost box", "StartTimer 11500"}));
  EXPECT_TRUE(frm.IsOpen());
  EXPECT_TRUE(view.visible);
  EXPECT_FALSE(order.mainTopmost);
  EXPECT_TRUE(order.boxTopmost);
}

TEST_F(AboutFrmTest, OpensAtTheMainWindowsLeftAnd160TwipsBelowItsTop) {
  frm.Show();
  EXPECT_EQ(view.left, 1000);
  EXPECT_EQ(view.top, 2160);
}

TEST_F(AboutFrmTest, ShowsTheVersionWithoutItsThirdPart) {
  frm.Show();
  EXPECT_EQ(view.version, "Version 2.2.108");
  EXPECT_EQ(AboutFrm::VersionText({10, 0, 7}), "Version 10.0.7");
  EXPECT_EQ(AboutFrm::VersionText({0, 0, 0}), "Version 0.0.0");
}

TEST_F(AboutFrmTest, KeepsTheInitialVersionCaptionWhenTheProgramHasNoVersionNumbers) {
  version.present = false;
  frm.Show();
  EXPECT_EQ(view.version, "Version");
  EXPECT_TRUE(frm.IsOpen());
}

TEST_F(AboutFrmTest, CopyrightTextIsFourLinesWithTheSignAndAPointerToHelp) {
  frm.Show();
  const std::string& text = view.copyright;
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("Copyright \xC2\xA9 ", 0), 0u);
  EXPECT_FALSE(lines[1].empty());
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "See Help for more information");
  EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);  // no bare line feeds
}

TEST_F(AboutFrmTest, ButtonClickClosesAndGivesTheTopLayerBack) {
  frm.Show();
  log.clear();
  frm.Command1_Click();
  EXPECT_EQ(log, (Log{"NoTopmost box", "Topmost main", "Unload"}));
  EXPECT_FALSE(frm.IsOpen());
  EXPECT_TRUE(order.mainTopmost);
  EXPECT_FALSE(order.boxTopmost);
  EXPECT_FALSE(view.loaded);
}

TEST_F(AboutFrmTest, ClosesItselfElevenAndAHalfSecondsAfterOpening) {
  frm.Show();
  view.Elapse(11499, frm);
  EXPECT_TRUE(frm.IsOpen());
  EXPECT_FALSE(order.mainTopmost);
  view.Elapse(1, frm);
  EXPECT_FALSE(frm.IsOpen());
  EXPECT_TRUE(order.mainTopmost);
}

TEST_F(AboutFrmTest, ASecondShowOnlyBringsTheBoxToTheFrontWithoutMovingItOrRestartingItsTime) {
  frm.Show();
  view.Elapse(6000, frm);
  main.bounds.left = 5000;  // the main window moved meanwhile
  main.bounds.top = 100;
  log.clear();
  frm.Show();
  EXPECT_EQ(log, (Log{"BringToFront"}));
  EXPECT_EQ(view.left, 1000);
  EXPECT_EQ(view.top, 2160);
  view.Elapse(5500, frm);  // 11.5 s after the first opening
  EXPECT_FALSE(frm.IsOpen());
}

TEST_F(AboutFrmTest, OpensAgainAfterClosingAtTheMainWindowsNewPlace) {
  frm.Show();
  frm.Command1_Click();
  main.bounds.left = 300;
  main.bounds.top = 450;
  log.clear();
  frm.Show();
  EXPECT_EQ(log.front(), "Load");
  EXPECT_EQ(view.left, 300);
  EXPECT_EQ(view.top, 610);
  EXPECT_TRUE(frm.IsOpen());
}

TEST_F(AboutFrmTest, TheEndOfTheProgramClosesAnOpenBoxAndNothingElse) {
  frm.Close();  // never opened
  EXPECT_TRUE(log.empty());
  frm.Show();
  log.clear();
  frm.Close();
  EXPECT_EQ(log, (Log{"NoTopmost box", "Topmost main", "Unload"}));
  frm.Close();
  frm.Timer1_Timer();  // a late tick after closing changes nothing
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(AboutFrmTest, ACloseRequestFromTheWindowSystemUnloadsLikeTheButton) {
  frm.Show();
  log.clear();
  frm.Form_Unload();
  EXPECT_EQ(log, (Log{"NoTopmost box", "Topmost main", "Unload"}));
}

TEST_F(AboutFrmTest, AFailedLoadLeavesItClosedWithoutTouchingTheTopLayer) {
  view.canLoad = false;
  frm.Show();
  EXPECT_EQ(log, (Log{"Load"}));
  EXPECT_FALSE(frm.IsOpen());
  EXPECT_TRUE(order.mainTopmost);
}

TEST_F(AboutFrmTest, AClickWhileItLoadsClosesItAndLeavesTheMainWindowOnTop) {
  pump.onDoEvents = [this] { frm.Command1_Click(); };
  frm.Show();
  EXPECT_FALSE(frm.IsOpen());
  EXPECT_TRUE(order.mainTopmost);
  EXPECT_FALSE(order.boxTopmost);
  EXPECT_FALSE(view.timerDue.has_value());
  EXPECT_EQ(log, (Log{"Load", "Move", "DoEvents", "NoTopmost box", "Topmost main", "Unload"}));
}

TEST_F(AboutFrmTest, AboutAgainWhileItLoadsOnlyBringsItToTheFront) {
  pump.onDoEvents = [this] { frm.Show(); };
  frm.Show();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Load"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "StartTimer 11500"), 1);
  EXPECT_TRUE(frm.IsOpen());
}

}  // namespace
}  // namespace reminder::test
