// The running box's placement: drive choice and relocation, self-update, the
// desktop entry and the clean-up, as start-up asks for them.
#pragma once

#include "BoxWindows.h"
#include "Placement.h"
#include "ServiceEndpoints.h"
#include "http/HttpClient.h"
#include "platform/Shell.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tandrel {

struct BoxPlacementParts {
  http::Client& client;  // the main window's synchronous client
  BoxWindows& windows;
  platform::Shell& shell;
  std::function<void()> requestTermination;
  std::function<ServiceSite()> site = CurrentServiceSite;
  std::string exePath;                 // the running executable
  std::function<std::string()> drive;  // the preferred drive, or empty
  std::vector<std::uint8_t> iconPng;   // installed for the desktop entry
  std::string version;
};

class BoxPlacement final : public Placement {
 public:
  explicit BoxPlacement(BoxPlacementParts parts);

  bool RelocateIfNeeded() override;
  bool CheckSelfUpdate() override;
  void CreateDesktopShortcut(const std::string& name) override;
  void CleanUpLeftovers() override;

 private:
  BoxPlacementParts parts_;
};

}  // namespace tandrel
