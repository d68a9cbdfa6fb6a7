// The server list's Win32 window on a real window system: whatever its badge
// frames and its paints leave on the screen is what a repaint drawing every row
// afresh shows, whatever the rows' state, after a reload and while scrolling; at
// 100 % and at 150 %.
#include "win/Artwork.h"
#include "win/Look.h"
#include "win/Pictures.h"
#include "win/ServerListView.h"

#include "core/uConfig.h"
#include "platform/windows/ComApartment.h"
#include "platform/windows/WideText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tandrel::win {
namespace {

std::unique_ptr<TConfig> ListOf(int servers) {
  std::string text = R"({"ServerList":{"FListHelper":[)";
  for (int i = 0; i < servers; ++i) {
    text += std::string(i ? "," : "") + R"({"ServerName":"服务器)" + std::to_string(i) +
            R"(","BriefIntroduction":"介绍","BeginTime":"12月31日上午11:00"})";
  }
  return std::make_unique<TConfig>(text + "]}}");
}

// The client area's pixels as the screen shows them.
std::vector<std::uint32_t> OnScreen(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const int kWidth = client.right, kHeight = client.bottom;
  const HDC screen = GetDC(window);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ original = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, kWidth, kHeight, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(first, first + kWidth * kHeight);
  SelectObject(memory, original);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

std::string Differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int kWidth) {
  int count = 0, first = -1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    if (count++ == 0) first = static_cast<int>(i);
  }
  if (count == 0) return "none";
  return std::to_string(count) + " pixels, the first at " + std::to_string(first % kWidth) + "," +
         std::to_string(first / kWidth);
}

// A colour as a 32-bit DIB holds it.
std::uint32_t Pixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The list at a scale given as DPI.
class ServerListViewTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!owner_) GTEST_SKIP() << "no window system: " << platform::SystemErrorText(GetLastError());
    SetForegroundWindow(owner_);
    view_ = std::make_unique<ServerListView>(
        art_, layout_, [this] { return config_.get(); }, [](int) {}, [](int) {});
    view_->CreateIn(owner_, RECT{0, 0, kWidth, kHeight});
    PumpMessages();
  }
  void TearDown() override {
    view_.reset();
    if (owner_) DestroyWindow(owner_);
  }

  void Load(int servers) {
    config_ = ListOf(servers);
    view_->SetRowCount(static_cast<std::size_t>(servers));
  }
  void Send(UINT message, WPARAM wParam, int x, int y) {
    SendMessageW(view_->Handle(), message, wParam, MAKELPARAM(x, y));
  }

  const platform::ComApartment com_;
  const GdiplusSession gdiplus_;
  const forms::WindowLayout layout_ = forms::LayoutAt(forms::Scale(GetParam()));
  const int kWidth = layout_.main.ControlList1.width, kHeight = layout_.main.ControlList1.height;
  const Artwork art_{layout_};
  std::unique_ptr<TConfig> config_;
  HWND owner_ = nullptr;
  std::unique_ptr<ServerListView> view_;
};

TEST_P(ServerListViewTest, TheScreenIsWhatAFreshRepaintDraws) {
  const forms::Scale scale = layout_.scale;
  const int row = layout_.rows.rowHeight;
  const forms::Rect& enterGame = layout_.rows.ControlListButton1;
  const int kEnterGameX = enterGame.left + enterGame.width / 2, kScrollBarX = kWidth - layout_.scrollBar.width / 2;
  const int kMiddleX = scale.Of(400);  // on no control
  const auto reload = [this](const char* name) {
    config_ = ListOf(30);
    config_->ServerList()[3].ServerName = name;
    config_->ServerList()[21].BeginTime = name;
    view_->SetRowCount(30);
  };
  // Two laps of the badge's ten frames: the second shows each frame as the first
  // composed it, for as long as the rows stay.
  const auto framesComeRound = [this] {
    for (const DWORD end = GetTickCount() + 1500; GetTickCount() < end; Sleep(20)) view_->RepaintNow();
  };
  const struct {
    const char* name;
    std::function<void()> change;
    bool unmarked = false;  // nothing is marked for a repaint: the next frame alone shows it
  } steps[] = {
      {"loaded", [] {}},
      {"the badge's frames come round", framesComeRound},
      {"a hot row", [&] { Send(WM_MOUSEMOVE, 0, kMiddleX, 2 * row + row / 2); }},
      {"another hot row as the frames come round",
       [&] {
         framesComeRound();
         Send(WM_MOUSEMOVE, 0, kMiddleX, 3 * row + row / 2);
         PumpMessages();
         framesComeRound();
       }},
      {"a hot button", [&] { Send(WM_MOUSEMOVE, 0, kEnterGameX, 4 * row + enterGame.top + enterGame.height / 2); }},
      {"a pressed button of the selected row",
       [&] { Send(WM_LBUTTONDOWN, MK_LBUTTON, kEnterGameX, 4 * row + enterGame.top + enterGame.height / 2); }},
      {"released", [&] { Send(WM_LBUTTONUP, 0, kEnterGameX, 4 * row + enterGame.top + enterGame.height / 2); }},
      {"another row selected", [&] { SendMessageW(view_->Handle(), WM_KEYDOWN, VK_DOWN, 0); }},
      {"a reload with other entries", [&] { reload("更名"); }, true},
      {"scrolled by the wheel",
       [&] { Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), kMiddleX, kMiddleX); }},
      {"scrolled by part of a row",
       [&] {
         Send(WM_MOUSEMOVE, 0, kScrollBarX, row);
         Send(WM_LBUTTONDOWN, MK_LBUTTON, kScrollBarX, row);  // on the thumb
         Send(WM_MOUSEMOVE, MK_LBUTTON, kScrollBarX, row + scale.Of(7));
         Send(WM_LBUTTONUP, 0, kScrollBarX, row + scale.Of(7));
       }},
      {"a hot row after scrolling", [&] { Send(WM_MOUSEMOVE, 0, kMiddleX, 7 * row); }},
      {"another reload", [&] { reload("再更名"); }, true},
      {"the pointer gone", [&] { SendMessageW(view_->Handle(), WM_MOUSELEAVE, 0, 0); }},
  };
  Load(30);
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.change();
    // The window paints what the change marked, then the badge's next frame comes;
    // with nothing marked, that frame alone must show the change.
    if (!step.unmarked) PumpMessages();
    view_->RepaintNow();
    const std::vector<std::uint32_t> cheap = OnScreen(view_->Handle());
    view_->RepaintAfresh();  // nothing in between lets the badge's animation move on
    const std::vector<std::uint32_t> fresh = OnScreen(view_->Handle());
    EXPECT_EQ(Differences(cheap, fresh, kWidth), "none");
    // The screen is read: the rows show, on the list's ground.
    EXPECT_NE(fresh[static_cast<std::size_t>(scale.Of(20) * kWidth + scale.Of(500))], Pixel(look::kListBackground));
  }
  EXPECT_EQ(OnScreen(view_->Handle())[static_cast<std::size_t>(scale.Of(20) * kWidth + 1)],
            Pixel(look::kListBackground));
}

INSTANTIATE_TEST_SUITE_P(Scales, ServerListViewTest, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int>& dpi) { return "Dpi" + std::to_string(dpi.param); });

}  // namespace
}  // namespace tandrel::win
