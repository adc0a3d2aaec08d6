// The About box over the main window's fakes and a view whose Timer1 fires once its time
// has passed. Each case is a script of events and the log of what they did.
#include "reminder/about_frm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>

#include "fake_platform.h"
#include "jet/errors.h"

namespace reminder::test {
namespace {

struct FakeView : AboutView {
  explicit FakeView(Log& to) : log(to) {}
  bool Load() override { return log.push_back(canLoad ? "Load" : "Load failed"), canLoad; }
  void Unload() override { log.push_back("Unload"), due.reset(); }
  WindowHandle Handle() const override { return 0x200; }
  void SetCopyrightCaption(const std::string& text) override { copyright = text; }
  void SetVersionCaption(const std::string& text) override { log.push_back(text); }
  void Move(std::int32_t left, std::int32_t top) override {
    log.push_back("Move " + std::to_string(left) + "," + std::to_string(top));
  }
  void Show() override { log.push_back("Show"); }
  void Refresh() override { log.push_back("Refresh"); }
  void Focus() override { log.push_back("Focus"); }
  void BringToFront() override { log.push_back("BringToFront"); }
  void StartTimer(std::uint32_t ms) override { log.push_back("Timer " + std::to_string(ms)), due = now + ms; }
  Log& log;
  bool canLoad = true;
  std::string copyright;
  std::uint64_t now = 0;
  std::optional<std::uint64_t> due;
};

struct FakeVersion : VersionSource {
  jet::Result<ProgramVersion> Version() const override {
    if (!present) return jet::MakeError(1813, "The specified resource type cannot be found");
    return ProgramVersion{2, 2, 108};
  }
  bool present = true;
};

// Words: show, click, close, unload (a close request from the window system), tick (a late
// WM_TIMER), wait<ms>, moved (the main window moves), noversion, noload, clr, ? (open or
// closed); <word>@<n> runs the word during the n-th message pump.
struct About {
  std::string Run(const std::string& script) {
    std::stringstream words(script);
    for (std::string w; words >> w;) Do(w);
    std::string text;
    for (const auto& entry : fake.log) text += (text.empty() ? "" : ", ") + entry;
    return text;
  }
  void Do(const std::string& w) {
    if (const auto at = w.find('@'); at != std::string::npos) {
      fake.onDoEvents = [this, word = w.substr(0, at), n = std::stoi(w.substr(at + 1))]() mutable {
        if (--n == 0) Do(word);
      };
    } else if (w == "show")
      frm.Show();
    else if (w == "click")
      frm.Command1_Click();
    else if (w == "close")
      frm.Close();
    else if (w == "unload")
      frm.Form_Unload();
    else if (w == "tick")
      frm.Timer1_Timer();
    else if (w == "moved")
      fake.window.bounds = {300, 450, 7350, 5670};
    else if (w == "noversion")
      version.present = false;
    else if (w == "noload")
      view.canLoad = false;
    else if (w == "clr")
      fake.log.clear();
    else if (w == "?")
      fake.log.push_back(frm.IsOpen() ? "open" : "closed");
    else if (w.rfind("wait", 0) == 0) {
      view.now += std::stoul(w.substr(4));
      if (view.due && view.now >= *view.due) frm.Timer1_Timer();
    } else
      FAIL() << w;
  }
  FakePlatform fake;
  FakeView view{fake.log};
  FakeVersion version;
  AboutFrm frm{fake.window, fake, fake, view, version};
};

const std::string kLoad = "Load, Version 2.2.108, Move 1200,1060, DoEvents, ";
const std::string kShown = "Show, DoEvents, Refresh, DoEvents, Focus, NoTopmost, Topmost 512, Timer 11500";
const std::string kShut = "NoTopmost 512, Topmost, Unload";

TEST(AboutFrm, OpensOverTheMainWindowTakesItsTopLayerAndGivesItBack) {
  const std::pair<const char*, std::string> cases[] = {
      {"show ?", kLoad + kShown + ", open"},
      {"noversion show", "Load, Move 1200,1060, DoEvents, " + kShown},
      {"show clr click ?", kShut + ", closed"},
      {"show clr unload", kShut},
      {"show clr close close tick", kShut},
      {"close tick click", ""},
      {"show clr wait11499 ? wait1 ?", "open, " + kShut + ", closed"},
      {"show wait6000 moved clr show wait5499 ? wait1", "BringToFront, open, " + kShut},
      {"show click moved clr show", "Load, Version 2.2.108, Move 300,610, DoEvents, " + kShown},
      {"noload show ?", "Load failed, closed"},
      {"click@1 show ?", kLoad + kShut + ", closed"},
      {"click@2 show", kLoad + "Show, DoEvents, " + kShut},
      {"click@3 show wait20000", kLoad + "Show, DoEvents, Refresh, DoEvents, " + kShut},
      {"show@1 show", kLoad + "BringToFront, " + kShown},
  };
  for (const auto& [script, log] : cases) {
    SCOPED_TRACE(script);
    EXPECT_EQ(About().Run(script), log);
  }
  // Four lines, the sign in UTF-8, CR LF only, the last two a gap and a pointer to Help.
  About about;
  about.Run("show");
  const std::string& text = about.view.copyright;
  EXPECT_EQ(text.rfind("Copyright \xC2\xA9 ", 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n') + std::count(text.begin(), text.end(), '\r'), 6);
  const std::size_t gap = text.find("\r\n\r\n");
  EXPECT_LT(text.find("\r\n") + 2, gap);  // a second line, not empty
  EXPECT_EQ(text.substr(gap), "\r\n\r\nSee Help for more information");
}

}  // namespace
}  // namespace reminder::test
