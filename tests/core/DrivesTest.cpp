// Choosing the drive from mount tables written for the test.
#include "core/uGetDiskLetter.h"
#include "platform/linux/MountTable.h"

#include <gtest/gtest.h>

#include <map>

namespace tandrel {
namespace {

using platform::DriveCandidate;

// A probe answering from tables: free space by folder, removable devices, read-only folders.
platform::DriveProbe Probe(std::map<std::string, std::int64_t> free, std::vector<std::string> removable = {},
                           std::vector<std::string> locked = {}) {
  return {
      [removable](const std::string& d) { return std::find(removable.begin(), removable.end(), d) != removable.end(); },
      [locked](const std::string& f) { return std::find(locked.begin(), locked.end(), f) == locked.end(); },
      [free](const std::string& f) -> std::optional<std::pair<std::int64_t, std::int64_t>> {
        const auto it = free.find(f);
        if (it == free.end()) return std::nullopt;
        return std::make_pair(it->second * 2, it->second);
      }};
}

std::string Line(int id, const std::string& device, const std::string& root, const std::string& mountPoint,
                 const std::string& type, const std::string& source, const std::string& options = "rw,relatime") {
  return std::to_string(id) + " 1 " + device + " " + root + " " + mountPoint + " " + options + " shared:1 - " + type +
         " " + source + " rw\n";
}

const std::string kData = "/home/player/.local/share";

std::string Choice(const std::string& table, std::map<std::string, std::int64_t> free,
                   std::vector<std::string> removable = {}, std::vector<std::string> locked = {}) {
  std::vector<TDriveInfo> drives;
  for (const DriveCandidate& d : platform::DriveCandidates(table, "8:1", kData, Probe(free, removable, locked))) {
    drives.push_back({d.baseFolder, d.totalSpace, d.freeSpace, d.system});
  }
  return GetDiskLetter(drives);
}

const std::string kSystemDisk = Line(20, "8:1", "/", "/", "ext4", "/dev/sda1");
const std::string kSecondDisk = Line(30, "8:17", "/", "/data", "ext4", "/dev/sdb1");
const std::string kThirdDisk = Line(31, "8:33", "/", "/games", "xfs", "/dev/sdc1");

TEST(Drives, PrefersAnyOtherDiskOverTheSystemOne) {
  EXPECT_EQ(Choice(kSystemDisk, {{kData, 100}}), kData);  // only the system drive: it is used
  EXPECT_EQ(Choice(kSystemDisk + kSecondDisk, {{kData, 500}, {"/data", 100}}), "/data");
  EXPECT_EQ(Choice(kSystemDisk + kSecondDisk, {{kData, 100}, {"/data", 500}}), "/data");
  // System largest, the other two equal: the earlier one in mount order.
  EXPECT_EQ(Choice(kSystemDisk + kSecondDisk + kThirdDisk, {{kData, 900}, {"/data", 300}, {"/games", 300}}), "/data");
  EXPECT_EQ(Choice(kSystemDisk + kSecondDisk + kThirdDisk, {{kData, 900}, {"/data", 300}, {"/games", 301}}), "/games");
  EXPECT_EQ(Choice(kSystemDisk, {}), "");  // no space can be read anywhere: no candidate
}

TEST(Drives, LeavesOutWhatIsNoFixedWritableDiskOfItsOwn) {
  const std::string table = kSystemDisk + kSecondDisk +
                            Line(40, "8:17", "/games", "/srv/games", "ext4", "/dev/sdb1") +  // a bound folder
                            Line(41, "8:49", "/", "/media/stick", "vfat", "/dev/sdd1") +     // removable
                            Line(42, "8:65", "/", "/mnt/ro", "ext4", "/dev/sde1", "ro,relatime") +
                            Line(43, "0:50", "/", "/mnt/nas", "nfs4", "nas.local:/share") +   // network
                            Line(44, "0:51", "/", "/run/user/1000", "tmpfs", "tmpfs") +       // in memory
                            Line(45, "8:2", "/", "/boot", "ext4", "/dev/sda2") +              // the system's own
                            Line(46, "8:81", "/", "/mnt/root-only", "ext4", "/dev/sdf1") +    // not ours to write
                            Line(47, "8:97", "/", "/mnt/my\\040games", "ext4", "/dev/sdg1");  // blanks escaped
  const auto found = platform::DriveCandidates(table, "8:1", kData,
                                               Probe({{kData, 1},
                                                      {"/data", 2},
                                                      {"/srv/games", 9},
                                                      {"/media/stick", 9},
                                                      {"/mnt/ro", 9},
                                                      {"/mnt/nas", 9},
                                                      {"/run/user/1000", 9},
                                                      {"/boot", 9},
                                                      {"/mnt/root-only", 9},
                                                      {"/mnt/my games", 3}},
                                                     {"8:49"}, {"/mnt/root-only"}));
  std::vector<std::string> folders;
  for (const auto& d : found) folders.push_back(d.baseFolder);
  EXPECT_EQ(folders, (std::vector<std::string>{kData, "/data", "/mnt/my games"}));
  EXPECT_TRUE(found[0].system);
  EXPECT_FALSE(found[1].system);
}

TEST(Drives, TheHomeDiskIsTheSystemDriveWhereverItIsMounted) {
  // Home on its own disk, larger than the others: still passed over.
  const std::string table =
      Line(20, "8:1", "/", "/", "ext4", "/dev/sda1") + Line(21, "8:2", "/", "/home", "ext4", "/dev/sda2");
  const auto found = platform::DriveCandidates(table, "8:2", kData, Probe({{kData, 900}, {"/", 100}}));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].baseFolder, kData);
  EXPECT_EQ(found[1].baseFolder, "/");
  std::vector<TDriveInfo> drives;
  for (const auto& d : found) drives.push_back({d.baseFolder, d.totalSpace, d.freeSpace, d.system});
  EXPECT_EQ(GetDiskLetter(drives), "/");
}

TEST(InstallDir, IsTheDriveFolderAndTheTrimmedName) {
  EXPECT_EQ(InstallDirOf("/data", "  Corvessa \t"), "/data/Corvessa");
  EXPECT_EQ(InstallDirOf("/", "Corvessa"), "/Corvessa");
  EXPECT_EQ(InstallDirOf("/data", "   "), "/data");
}

}  // namespace
}  // namespace tandrel
