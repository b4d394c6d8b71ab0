// The progress window of a list run: it shows over the disabled main window,
// Cancel or Escape ends the run with whole first lines of the output, and the
// window is gone and the main window usable again before the last message.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <regex>
#include <vector>

#include "main_window_fixture.h"
#include "progress_window.h"
#include "ui_test_support.h"

namespace {

// Lines that all differ, so that a prefix of the output is really its first
// lines; several chunks of the engine's reading.
constexpr int kLines = 400000;

// How things stood when a message showed.
struct ShownMessage {
  std::string text;
  bool mainEnabled;
  bool progressGone;
};
std::vector<ShownMessage> shown;
HWND progressSeen = nullptr;

int32_t RecordingMessageBox(const char* text, const char* caption, uint32_t style) {
  shown.push_back({text, IsWindowEnabled(mainWindow) != FALSE, !IsWindow(progressSeen)});
  return MessageBoxA(nullptr, text, caption, style);
}

// Degrees and a number of seconds (below 3600) as DDD.MMSS.
std::string DmsText(int degrees, int seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d%02d", degrees, seconds / 60, seconds % 60);
  return text;
}

class ProgressWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    InstallMessageFunction(&RecordingMessageBox);
    shown.clear();
    progressSeen = nullptr;
    delay = SetProgressWindowDelay(0);
    std::ofstream points("points.txt", std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
      points << DmsText(50, i % 3600) << ' ' << DmsText(0, i / 3600) << ' ' << i % 97 << "\r\n";
    }
    ChooseSystems(kNone, kOsgb1936, kBritishNationalGrid, kOsgb1936);
    ClickTab(kStartGeographicTabs, kListModeTab);
    Type(StartSysList, kStartSysListBox, "points.txt");
    // Acts from inside the run (its pumping runs the timers) once the window
    // shows and has the activation.
    poll.callOnTimeout([this] {
      const HWND progress = ProgressWindow();
      if (progress == nullptr || GetActiveWindow() != progress) return;
      progressSeen = progress;
      poll.stop();
      if (act) act(progress);
    });
  }
  void TearDown() override {
    SetProgressWindowDelay(delay);
    MainWindowTest::TearDown();
  }
  void RunInto(const char* grid, const char* geographic) {
    Type(TargetProjList, kTargetProjListBox, grid);
    Type(TargetSysList, kTargetSysListBox, geographic);
    SetFocus(Control(kTransformButton));
    poll.start(0);
    Click(Control(kTransformButton));
    poll.stop();
  }

  DWORD delay = 0;
  QTimer poll;
  std::function<void(HWND)> act;
};

TEST_F(ProgressWindowTest, CancelOrEscapeEndsTheRunWithTheFirstLinesOfTheFullOutput) {
  RunInto("full-grid.txt", "full-geo.txt");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Transformation completed.");
  EXPECT_NE(progressSeen, nullptr);
  EXPECT_TRUE(shown[0].progressGone);
  EXPECT_TRUE(shown[0].mainEnabled);
  const std::string full[] = {ReadFile("full-grid.txt"), ReadFile("full-geo.txt")};

  const struct {
    const char* how;
    std::function<void(HWND)> cancel;
  } ways[] = {
      {"Cancel", [](HWND progress) { ::Click(progress, IDCANCEL); }},
      {"Escape", [](HWND) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    shown.clear();
    progressSeen = nullptr;
    bool mainEnabledMeanwhile = true;
    std::string linesShown;
    act = [&](HWND progress) {
      mainEnabledMeanwhile = IsWindowEnabled(window);
      linesShown = WindowText(GetDlgItem(progress, kProgressLinesText));
      way.cancel(progress);
    };
    RunInto("grid.txt", "geo.txt");  // a cancelled run's outputs are replaced unasked
    EXPECT_FALSE(mainEnabledMeanwhile);
    ASSERT_EQ(shown.size(), 1u);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(shown[0].text, match,
                                 std::regex("Transformation cancelled: the first ([0-9]+) lines "
                                            "of points.txt are in the output.")))
        << shown[0].text;
    const int64_t lines = std::stoll(match[1]);
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, kLines);
    EXPECT_EQ(linesShown, ProgressLinesText(lines));
    EXPECT_TRUE(shown[0].progressGone);
    EXPECT_TRUE(shown[0].mainEnabled);
    const std::string part[] = {ReadFile("grid.txt"), ReadFile("geo.txt")};
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(full[k].compare(0, part[k].size(), part[k]), 0);
      EXPECT_TRUE(part[k].ends_with("\r\n"));
      size_t count = 0;
      for (size_t at = part[k].find("\r\n"); at != std::string::npos;
           at = part[k].find("\r\n", at + 2)) {
        ++count;
      }
      EXPECT_EQ(count, static_cast<size_t>(lines));
    }
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(GetFocus(), Control(kTransformButton));
  }
}

TEST(ProgressTexts, LinesInGroupsOfThreeAndTheShareOfTheInputRoundedDown) {
  const std::pair<int64_t, const char*> lines[] = {{0, "0 lines done"},
                                                   {1, "1 line done"},
                                                   {999, "999 lines done"},
                                                   {1000, "1,000 lines done"},
                                                   {123456, "123,456 lines done"},
                                                   {1234567, "1,234,567 lines done"}};
  for (const auto& [count, text] : lines) EXPECT_EQ(ProgressLinesText(count), text);
  const struct {
    uint64_t read, total;
    const char* text;
  } shares[] = {{0, 0, ""},
                {1, 3, "33 % of the input read"},
                {199, 200, "99 % of the input read"},
                {200, 200, "100 % of the input read"},
                {5000000000, 10000000000, "50 % of the input read"}};
  for (const auto& share : shares) {
    EXPECT_EQ(ProgressInputText(share.read, share.total), share.text);
  }
}

}  // namespace
