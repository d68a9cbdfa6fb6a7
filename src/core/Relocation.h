// Keeping the box in its install folder: a start from anywhere else copies the
// executable there, leaves the hand-off file "del.dat" naming where it came from,
// starts the copy and ends; the copy later removes what was left behind.
#pragma once

#include "platform/Shell.h"

#include <functional>
#include <string>

namespace tandrel {

class Relocation {
 public:
  Relocation(platform::Shell& shell, std::string exePath, std::function<void()> requestTermination);

  // Makes sure installDir exists; when the box does not run from there, copies
  // itself there, writes the hand-off file, starts the copy, requests termination
  // and returns true. Throws when a folder or file cannot be made.
  bool RelocateIfNeeded(const std::string& installDir);

  // Removes the hand-off file and the executable it names, an update backup and
  // what an interrupted update left.
  // Deletions fail quietly; a hand-off file that cannot be read throws.
  void CleanUpLeftovers();

 private:
  platform::Shell& shell_;
  std::string exePath_;
  std::function<void()> requestTermination_;
};

// The hand-off file's text: a byte-order mark picks the encoding; without one the
// bytes are UTF-8, or in the system's narrow character set (the ANSI code page on
// Windows) when they are no valid UTF-8.
std::string DecodeHandOffText(const std::string& bytes);

}  // namespace tandrel
