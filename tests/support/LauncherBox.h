// What the launch flow's tests share: the box's folder in a temporary folder, a
// loopback launcher service serving the given launcher, the proof file that
// started launchers write to, and the windows, without a display.
#pragma once

#include "DirectWindows.h"
#include "LoopbackServer.h"
#include "TempDir.h"

#include "core/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tandrel::test {

class LauncherBox : public ::testing::Test {
 protected:
  explicit LauncherBox(const std::string& launcher) {
    server_.Set("launcher", launcher);
    proof_ = Utf8FromPath(dir_ / "proof.txt");
    SetEnvironment("TANDREL_LAUNCHER_PROOF", proof_);
    std::filesystem::create_directories(dir_ / "box");
  }

  std::string ExeDir() const { return FolderText(dir_ / "box"); }
  // A file in one of the box's folders, named as the box names it.
  std::string InBox(const std::string& folder, const std::string& name) const {
    return ExeDir() + folder + kPathSeparator + name;
  }

  TempDir dir_;
  std::string proof_;
  LoopbackServer server_{"launcher-service"};
  DirectWindows windows_;
};

}  // namespace tandrel::test
