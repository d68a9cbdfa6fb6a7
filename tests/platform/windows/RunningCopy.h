// A copy of the test program itself started suspended: its file is a running
// image until the copy is ended, and nothing of it runs meanwhile.
#pragma once

#include "platform/Process.h"

#include <windows.h>

#include <filesystem>

namespace tandrel::test {

class RunningCopy {
 public:
  explicit RunningCopy(const std::filesystem::path& exe) {
    std::filesystem::copy_file(platform::ExecutablePath(), exe);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                              &startup, &process_);
  }
  ~RunningCopy() {
    if (!started_) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, INFINITE);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  RunningCopy(const RunningCopy&) = delete;
  RunningCopy& operator=(const RunningCopy&) = delete;

  bool started() const { return started_; }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

}  // namespace tandrel::test
