// Who owns the program's message boxes: the main window for a box shown over it,
// which is disabled while the box shows; no window for any other, which leaves the
// active window as it was.
#include "win/DarkMessageBox.h"
#include "win/Pictures.h"

#include "platform/windows/ComApartment.h"
#include "platform/windows/WideText.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tandrel::win {
namespace {

// What a look at the box found while it showed; the look then closes it.
struct Seen {
  bool found = false;
  HWND owner = nullptr;
  bool windowEnabled = false;
};
Seen seen;
HWND window = nullptr;

BOOL CALLBACK FindBox(HWND candidate, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(candidate, name, 64);
  if (std::wstring(name) != L"TandrelMessageBox" || !IsWindowVisible(candidate)) return TRUE;
  seen = {true, GetWindow(candidate, GW_OWNER), IsWindowEnabled(window) != FALSE};
  PostMessageW(candidate, WM_CLOSE, 0, 0);
  return FALSE;
}

// Runs in the box's own modal loop.
void CALLBACK LookAtTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
  if (seen.found) KillTimer(nullptr, timer);
}

class DarkMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!window) GTEST_SKIP() << "no window system: " << platform::SystemErrorText(GetLastError());
    SetForegroundWindow(window);
    SetActiveWindow(window);
    seen = {};
  }
  void TearDown() override {
    if (window) DestroyWindow(window);
    window = nullptr;
  }
  void Show(HWND over) {
    SetTimer(nullptr, 0, 20, LookAtTheBox);
    ShowDarkMessage({over, MessageIconKind::Error, L"提示", L"系统错误"});
  }

  const platform::ComApartment com_;
  const GdiplusSession gdiplus_;
};

TEST_F(DarkMessageBoxTest, ABoxOverTheWindowIsOwnedByItAndDisablesItWhileItShows) {
  Show(window);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, window);
  EXPECT_FALSE(seen.windowEnabled);
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(DarkMessageBoxTest, ABoxOnTheScreenHasNoOwnerThoughAnotherWindowIsActive) {
  ASSERT_EQ(GetActiveWindow(), window);
  Show(nullptr);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_TRUE(seen.windowEnabled);
}

}  // namespace
}  // namespace tandrel::win
