// The placement's steps recorded instead of done, for the main window's tests.
#pragma once

#include "core/Placement.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace tandrel::test {

struct RecordingPlacement final : Placement {
  explicit RecordingPlacement(std::function<void(const std::string&)> record) : record_(std::move(record)) {}

  bool relocate = false, update = false, shortcutFails = false;

  bool RelocateIfNeeded() override {
    record_("relocate");
    return relocate;
  }
  bool CheckSelfUpdate() override {
    record_("update");
    return update;
  }
  void CreateDesktopShortcut(const std::string& name) override {
    record_("shortcut " + name);
    if (shortcutFails) throw std::runtime_error("Cannot write the shortcut");
  }
  void CleanUpLeftovers() override { record_("cleanup"); }

 private:
  std::function<void(const std::string&)> record_;
};

}  // namespace tandrel::test
