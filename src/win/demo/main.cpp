// A stand-in game launcher for the Windows box's demo site: a small window in the
// box's look that says which server's launcher was started, closing itself after
// a few seconds or on a click. At once it leaves a line with its own path (UTF-8)
// in the file named by TANDREL_LAUNCHER_PROOF, so tests can see it ran.
#include "win/Look.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tandrel::win;

constexpr int kWidth = 440, kHeight = 200;
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShownMs = 8000;
// The gold of the launcher's frame, as the Linux demo draws it.
constexpr COLORREF kFrame = RGB(0x8A, 0x6A, 0x2E);

std::wstring OwnPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string Utf8(const std::wstring& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// One whole line, appended in one write, so a reader never sees half of it.
void WriteProofLine(const std::wstring& exePath) {
  const DWORD size = GetEnvironmentVariableW(L"TANDREL_LAUNCHER_PROOF", nullptr, 0);
  if (size == 0) return;
  std::wstring proof(size, L'\0');
  proof.resize(GetEnvironmentVariableW(L"TANDREL_LAUNCHER_PROOF", proof.data(), size));
  if (FILE* f = _wfopen(proof.c_str(), L"ab")) {
    const std::string line = Utf8(exePath) + "\n";
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
  }
}

// The launcher's name is its file name: "corvessa_dawn.exe" or "corvessa_dawn-7.exe".
std::wstring LauncherName(const std::wstring& exePath) {
  std::wstring name = exePath.substr(exePath.find_last_of(L"\\/:") + 1);
  const std::size_t dot = name.find_last_of(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

struct LauncherLook {
  std::wstring name;
  look::Font titleFont = look::YaHei(22, true);
  look::Font lineFont = look::YaHei(15);
};

void Paint(HWND window, const LauncherLook& launcher) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, SolidBrush(look::kListBackground).get());
  FrameRect(dc, &client, SolidBrush(kFrame).get());
  look::DrawLabel(dc, L"《" + launcher.name + L"》", 28, 62, 32, launcher.titleFont.get(), look::kIntroduction);
  look::DrawLabel(dc, L"游戏启动器已启动 · 正在连接服务器 ...", 30, 110, 22, launcher.lineFont.get(),
                  look::kServerName);
  EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window, *reinterpret_cast<const LauncherLook*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  const std::wstring exePath = OwnPath();
  WriteProofLine(exePath);

  const LauncherLook launcher{LauncherName(exePath)};
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"TandrelDemoLauncher";
  if (!RegisterClassW(&windowClass)) return 1;

  // Centred a little below the middle of the primary screen, where the Linux demo shows it.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2 + 160;
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, launcher.name.c_str(), WS_POPUP, x, y, kWidth, kHeight,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&launcher));
  SetTimer(window, kCloseTimer, kShownMs, nullptr);
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
