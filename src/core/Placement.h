// What start-up asks of keeping the box placed and current: moving itself into
// its install folder, updating itself, its desktop entry and the clean-up of what
// an earlier run left behind. The main window calls these at fixed points.
#pragma once

#include <string>

namespace tandrel {

class Placement {
 public:
  virtual ~Placement() = default;
  // When the program does not run from its install folder: copies itself there,
  // starts the copy and requests termination; returns true then.
  virtual bool RelocateIfNeeded() = 0;
  // True when an update was attempted: the program must end.
  virtual bool CheckSelfUpdate() = 0;
  // Does nothing for an empty name.
  virtual void CreateDesktopShortcut(const std::string& name) = 0;
  // Removes the hand-off file, the executable it names and an update backup.
  virtual void CleanUpLeftovers() = 0;
};

}  // namespace tandrel
