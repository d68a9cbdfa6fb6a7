// The Qt main window at a screen's scale: on a screen too small for it at Qt's
// scale, it takes the largest that fits, and its parts keep their places in it.
#include "ui/uMainForm.h"

#include "core/forms/WindowLayout.h"

#include "support/UiSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace tandrel::ui {
namespace {

using namespace std::chrono_literals;

class QtScale : public ::testing::TestWithParam<const char*> {};

TEST_P(QtScale, AScreenTooSmallGivesTheLargestScaleThatFits) {
  if (!test::OnBareX(GetParam())) return;
  const double ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
  ASSERT_DOUBLE_EQ(ratio, std::stod(GetParam()));
  forms::MainFormOptions options;
  options.site = [] { return ServiceSite{"http://127.0.0.1:1/", "", {}, {}, {}, {}}; };
  options.timer2 = options.timer4 = 1h;  // nothing is loaded: this is about the layout
  MainWindow window(options);
  window.show();
  // A 1280 x 1024 screen takes neither 150 % nor 200 % of 980 x 939: 104 DPI fits.
  // Qt lays out in its own pixels, so the box's scale is relative to Qt's and
  // rounded in those: the size is the fitting one within 1 %.
  const forms::Size fitted = forms::LayoutAt(forms::Scale(104)).main.window;
  const auto pixels = [ratio](int length) { return static_cast<int>(length * ratio + 0.5); };
  const int width = pixels(window.width()), height = pixels(window.height());
  EXPECT_NEAR(width, fitted.width, fitted.width / 100);
  EXPECT_NEAR(height, fitted.height, fitted.height / 100);
  EXPECT_LE(width, 1280);
  EXPECT_LE(height, 1024);
  // The list, a page of rows, lies inside it.
  const QRect list = window.ControlList1().geometry();
  EXPECT_LE(list.right(), window.width());
  EXPECT_LE(list.bottom(), window.height());
  EXPECT_EQ(list.height(), forms::kPageRows * window.ControlList1().Model().RowHeight());
}

INSTANTIATE_TEST_SUITE_P(Scales, QtScale, ::testing::Values("1.5", "2"), [](const auto& scale) {
  return std::string(scale.param) == "2" ? std::string("Twice") : std::string("OneAndAHalf");
});

}  // namespace
}  // namespace tandrel::ui
