#include <gtest/gtest.h>

#include "program_state.h"
#include "ui_test_support.h"
#include "units.h"
#include "units_dialog.h"

namespace {

constexpr double kUsFoot = 0.304800609601219;

struct UnitsDialogTest : testing::Test {
  void SetUp() override {
    ResetSides();
    owner = CreateOwnerWindow();
  }
  void TearDown() override { DestroyWindow(owner); }
  void Open(Side side, std::function<void(HWND)> act) {
    unitsDialogSide = side;
    WhenModalDialogRuns(std::move(act));
    OpenUnitsDialog(owner);
  }
  HWND owner = nullptr;
};

TEST_F(UnitsDialogTest, FreshStartShowsDmsAndMetre) {
  for (Side side : kBothSides) {
    std::vector<UINT> checked;
    Open(side, [&](HWND dialog) {
      for (int id = kIdAngleDms; id <= kIdFirstUnit + 8; ++id) {
        checked.push_back(IsDlgButtonChecked(dialog, id));
      }
      Click(dialog, kIdAccept);
    });
    ASSERT_EQ(checked.size(), 11u);
    EXPECT_EQ(checked[0], BST_CHECKED);    // DDD.MMSSsss
    EXPECT_EQ(checked[1], BST_UNCHECKED);  // DDD.dddddd
    EXPECT_EQ(checked[2], BST_CHECKED);    // Meter
    for (size_t i = 3; i < checked.size(); ++i) EXPECT_EQ(checked[i], BST_UNCHECKED);
  }
}

TEST_F(UnitsDialogTest, ClicksTakeEffectAtOnceAndAcceptKeepsThem) {
  double factorWhileOpen = 0;
  Open(Side::kStart, [&](HWND dialog) {
    Click(dialog, 607);  // US feet
    Click(dialog, kIdAngleDecimal);
    factorWhileOpen = startSide.unitsAndFormats.lengthFactor;
    Click(dialog, kIdAccept);
  });
  EXPECT_EQ(factorWhileOpen, kUsFoot);
  EXPECT_EQ(startSide.unitsAndFormats.lengthUnit, 607);
  EXPECT_EQ(startSide.unitsAndFormats.lengthFactor, kUsFoot);
  EXPECT_EQ(startSide.unitsAndFormats.angleFormat, kAngleFormatDecimal);
  // The other side is untouched.
  EXPECT_EQ(targetSide.unitsAndFormats.lengthUnit, 603);
  EXPECT_EQ(targetSide.unitsAndFormats.angleFormat, kAngleFormatDms);
  // An easting of 1000 US feet is 304.800609601219 m; 304.8 m are 999.998 US feet.
  EXPECT_DOUBLE_EQ(1000 * startSide.unitsAndFormats.lengthFactor, 304.800609601219);
  EXPECT_NEAR(304.8 / startSide.unitsAndFormats.lengthFactor, 999.998, 0.0005);
}

TEST_F(UnitsDialogTest, CancelCloseBoxAndEscapePutTheSideBack) {
  using Close = std::function<void(HWND)>;
  const Close closes[] = {
      [](HWND dialog) { Click(dialog, kIdCancel); },
      [](HWND dialog) { platform_testing::Widget(dialog)->close(); },
      [](HWND dialog) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : platform_testing::Widget(dialog), Qt::Key_Escape);
      },
  };
  for (const Close& close : closes) {
    ResetSides();
    targetSide.unitsAndFormats.lengthUnit = 609;
    targetSide.unitsAndFormats.lengthFactor = 0.9144;
    Open(Side::kTarget, [&](HWND dialog) {
      Click(dialog, 605);  // international feet
      Click(dialog, kIdAngleDecimal);
      close(dialog);
    });
    EXPECT_EQ(targetSide.unitsAndFormats.lengthUnit, 609);
    EXPECT_EQ(targetSide.unitsAndFormats.lengthFactor, 0.9144);
    EXPECT_EQ(targetSide.unitsAndFormats.angleFormat, kAngleFormatDms);
  }
  // The next opening shows the unit from before.
  UINT yardChecked = 0;
  Open(Side::kTarget, [&](HWND dialog) {
    yardChecked = IsDlgButtonChecked(dialog, 609);
    Click(dialog, kIdAccept);
  });
  EXPECT_EQ(yardChecked, BST_CHECKED);
}

TEST_F(UnitsDialogTest, LabelsAndGeometry) {
  struct Expected {
    int id;
    RECT units;  // x, y, width, height in dialog units
    const char* text;
  };
  const Expected controls[] = {
      {kIdDegreeFrame, {8, 8, 172, 32}, "Degree"},
      {kIdLengthFrame, {8, 44, 172, 144}, "Length"},
      {kIdAngleDms, {16, 20, 68, 12}, "DDD.MMSSsss"},
      {kIdAngleDecimal, {102, 20, 64, 12}, "DDD.dddddd"},
      {603, {16, 56, 160, 12}, "Meter (factor = 1)"},
      {607, {16, 112, 160, 12}, "US feet (factor = 0.304800610)"},
      {611, {16, 168, 160, 12}, "Indian yard (factor = 0.914398530744441)"},
      {kIdAccept, {8, 196, 82, 16}, "&Accept"},
      {kIdCancel, {98, 196, 82, 16}, "&Cancel"},
  };
  std::vector<std::pair<RECT, RECT>> rects;
  std::vector<std::string> texts;
  Open(Side::kStart, [&](HWND dialog) {
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    for (const Expected& c : controls) {
      // Position and size are converted each on its own, as the dialog manager does.
      RECT expected = c.units;
      MapDialogRect(dialog, &expected);
      RECT actual;
      GetWindowRect(GetDlgItem(dialog, c.id), &actual);
      actual = {actual.left - origin.x, actual.top - origin.y, actual.right - origin.x,
                actual.bottom - origin.y};
      rects.emplace_back(expected, actual);
      char text[64] = "";
      GetDlgItemTextA(dialog, c.id, text, sizeof text);
      texts.emplace_back(text);
    }
    Click(dialog, kIdAccept);
  });
  ASSERT_EQ(rects.size(), std::size(controls));
  for (size_t i = 0; i < rects.size(); ++i) {
    EXPECT_EQ(rects[i].first.left, rects[i].second.left) << controls[i].id;
    EXPECT_EQ(rects[i].first.top, rects[i].second.top) << controls[i].id;
    EXPECT_EQ(rects[i].first.right, rects[i].second.right - rects[i].second.left) << controls[i].id;
    EXPECT_EQ(rects[i].first.bottom, rects[i].second.bottom - rects[i].second.top)
        << controls[i].id;
    EXPECT_EQ(texts[i], controls[i].text);
  }
}

}  // namespace
