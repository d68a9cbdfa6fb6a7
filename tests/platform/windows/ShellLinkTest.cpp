// The desktop shortcut as a shell link in the folder the registry names.
#include "core/Paths.h"
#include "platform/DesktopShortcut.h"
#include "platform/Process.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <optional>
#include <stdexcept>

namespace tandrel::platform {
namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

std::optional<RegistryValue> ReadDesktopValue() {
  RegistryValue value;
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop", RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop", RRF_RT_ANY | RRF_NOEXPAND, &value.type, value.data.data(),
               &size);
  return value;
}

void WriteDesktopValue(DWORD type, const void* data, std::size_t size) {
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop", type, data, static_cast<DWORD>(size)),
            ERROR_SUCCESS);
}

void WriteDesktopText(DWORD type, const std::wstring& text) {
  WriteDesktopValue(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

struct Link {
  std::wstring path;
  std::wstring workingFolder;
};

// Loads the link at file, or, given no file, only has the shell resolve a target.
Link LinkAt(const fs::path* file) {
  IShellLinkW* link = nullptr;
  IPersistFile* persist = nullptr;
  Link loaded;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    ADD_FAILURE() << "no shell link";
  } else if (!file) {
    link->SetPath(ExecutablePath().c_str());
  } else if (FAILED(persist->Load(file->c_str(), STGM_READ))) {
    ADD_FAILURE() << "cannot load " << Utf8FromPath(*file);
  } else {
    wchar_t text[MAX_PATH] = {};
    PIDLIST_ABSOLUTE target = nullptr;
    if (SUCCEEDED(link->GetIDList(&target)) && SHGetPathFromIDListW(target, text)) loaded.path = text;
    CoTaskMemFree(target);
    link->GetWorkingDirectory(text, MAX_PATH);
    loaded.workingFolder = text;
  }
  if (persist) persist->Release();
  if (link) link->Release();
  return loaded;
}

Link LoadLink(const fs::path& file) { return LinkAt(&file); }

// The desktop value is the user's, shared by every process: tests that change it
// run one at a time, also when ctest runs them side by side.
class DesktopValueLock {
 public:
  DesktopValueLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\TandrelDesktopValueTest")) {
    WaitForSingleObject(mutex_, INFINITE);
  }
  ~DesktopValueLock() {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  DesktopValueLock(const DesktopValueLock&) = delete;
  DesktopValueLock& operator=(const DesktopValueLock&) = delete;

 private:
  HANDLE mutex_;
};

// The user's desktop value is set to a folder of the test's for each test and put
// back after it. The shell writes the value afresh, from the user's shell folders,
// when it first looks for the desktop in a process: that happens here, before.
class ShellLinkTest : public ::testing::Test {
 protected:
  ShellLinkTest() : saved_(ReadDesktopValue()) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LinkAt(nullptr);
  }
  ~ShellLinkTest() override {
    if (saved_) {
      WriteDesktopValue(saved_->type, saved_->data.data(), saved_->data.size());
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Desktop");
    }
    CoUninitialize();
  }

  // The box's own folder and program, as the core hands them over.
  ShortcutTarget Target(const std::string& folder) const {
    const fs::path box = dir_.path() / PathFromUtf8(folder);
    fs::create_directories(box);
    test::WriteFile(box / "box.exe", "box");
    return {Utf8FromPath(box / "box.exe"), FolderText(box), "", "1.0.0.0"};
  }

  DesktopValueLock lock_;
  const std::optional<RegistryValue> saved_;
  test::TempDir dir_;
};

TEST_F(ShellLinkTest, WritesALinkToTheProgramAndItsFolderIntoTheRegistrysDesktop) {
  const fs::path desktop = dir_.path() / L"桌面";
  fs::create_directory(desktop);
  WriteDesktopText(REG_SZ, desktop.wstring());
  const ShortcutTarget target = Target("游戏 box");
  EXPECT_EQ(InstallShortcutIcon("Corvessa", {}), "");  // the link shows the program's own icon
  WriteDesktopShortcut("Corvessa", target);
  const Link link = LoadLink(desktop / L"Corvessa.lnk");
  EXPECT_EQ(link.path, PathFromUtf8(target.exePath).wstring());
  EXPECT_EQ(link.workingFolder, PathFromUtf8(target.exeDir).wstring());
  EXPECT_TRUE(target.exeDir.ends_with('\\'));

  // The next start, from elsewhere, replaces it.
  const ShortcutTarget moved = Target("moved");
  WriteDesktopShortcut("Corvessa", moved);
  EXPECT_EQ(LoadLink(desktop / L"Corvessa.lnk").path, PathFromUtf8(moved.exePath).wstring());
  EXPECT_EQ(std::distance(fs::directory_iterator(desktop), fs::directory_iterator()), 1);
}

TEST_F(ShellLinkTest, AnExpandableValueIsTakenAsWritten) {
  // A folder literally named like a variable: the link lands there only if nothing is expanded.
  const fs::path literal = dir_.path() / L"%USERNAME%";
  fs::create_directory(literal);
  WriteDesktopText(REG_EXPAND_SZ, literal.wstring());
  WriteDesktopShortcut("Corvessa", Target("box"));
  EXPECT_TRUE(fs::exists(literal / L"Corvessa.lnk"));
}

TEST_F(ShellLinkTest, ADesktopValueThatIsNoTextIsAFailure) {
  const DWORD number = 7;
  WriteDesktopValue(REG_DWORD, &number, sizeof number);
  EXPECT_THROW(WriteDesktopShortcut("Corvessa", Target("box")), std::runtime_error);
}

}  // namespace
}  // namespace tandrel::platform
