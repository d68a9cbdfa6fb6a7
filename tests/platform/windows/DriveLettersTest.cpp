// Choosing the drive from drive letters answered by tables.
#include "core/uGetDiskLetter.h"
#include "platform/windows/DriveLetters.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace tandrel {
namespace {

using platform::DriveCandidate;

// Free space by letter for the drives whose space can be read; fixed lists the fixed drives.
platform::DriveLetterProbe Probe(std::set<char> fixed, std::map<char, std::int64_t> free) {
  return {[fixed](char letter) { return fixed.contains(letter); },
          [free](char letter) -> std::optional<std::pair<std::int64_t, std::int64_t>> {
            const auto it = free.find(letter);
            if (it == free.end()) return std::nullopt;
            return std::make_pair(it->second * 3, it->second);
          }};
}

TEST(DriveLetters, KeepsFixedDrivesWithReadableSpaceInLetterOrder) {
  const auto drives = platform::DriveLetterCandidates(
      Probe({'C', 'D', 'F', 'Z'}, {{'A', 70}, {'C', 10}, {'E', 90}, {'F', 30}, {'Z', 20}}));
  // A (not fixed), D (no space), E (not fixed) are left out.
  ASSERT_EQ(drives.size(), 3u);
  const std::vector<std::string> names = {drives[0].baseFolder, drives[1].baseFolder, drives[2].baseFolder};
  EXPECT_EQ(names, (std::vector<std::string>{"C:", "F:", "Z:"}));
  EXPECT_TRUE(drives[0].system);
  EXPECT_FALSE(drives[1].system || drives[2].system);
  EXPECT_EQ(drives[1].freeSpace, 30);
  EXPECT_EQ(drives[1].totalSpace, 90);
}

std::string Choice(std::set<char> fixed, std::map<char, std::int64_t> free) {
  std::vector<TDriveInfo> drives;
  for (const DriveCandidate& d : platform::DriveLetterCandidates(Probe(fixed, free))) {
    drives.push_back({d.baseFolder, d.totalSpace, d.freeSpace, d.system});
  }
  return GetDiskLetter(drives);
}

TEST(DriveLetters, TheChoicePassesOverDriveCWheneverThereIsAnother) {
  struct Case {
    std::set<char> fixed;
    std::map<char, std::int64_t> free;
    std::string chosen;
  };
  const Case cases[] = {
      {{'C'}, {{'C', 100}}, "C:"},                   // C: alone is used
      {{'C', 'D'}, {{'C', 500}, {'D', 100}}, "D:"},  // C: largest: the next
      {{'C', 'D'}, {{'C', 100}, {'D', 500}}, "D:"},
      {{'C', 'D', 'E'}, {{'C', 900}, {'D', 300}, {'E', 300}}, "D:"},  // ties keep the earlier letter
      {{'C', 'D', 'E'}, {{'C', 900}, {'D', 300}, {'E', 301}}, "E:"},
      {{'C', 'D'}, {{'C', 100}}, "C:"},  // D:'s space cannot be read
      {{'C', 'D'}, {}, ""},              // no space anywhere: no candidate
  };
  for (const Case& c : cases) EXPECT_EQ(Choice(c.fixed, c.free), c.chosen) << c.chosen;
}

TEST(DriveLetters, TheInstallFolderIsBelowTheDrivesRoot) {
  EXPECT_EQ(InstallDirOf("D:", " Corvessa "), "D:\\Corvessa");
  EXPECT_EQ(InstallDirOf("D:", "  "), "D:\\");
}

}  // namespace
}  // namespace tandrel
