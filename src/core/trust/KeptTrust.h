// What a box keeps of a signed site between starts, under the site's id: the
// highest serial it accepted from each key, the keys retired by a rotation, and
// the last record it verified. It keeps it in more than one folder (the user's
// data folder and beside the executable: a café machine that restores C: at
// reboot keeps the game drive) and reads them all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tandrel::trust {

struct KeptTrust {
  std::map<std::string, std::uint64_t> serials;  // by key fingerprint
  std::set<std::string> retired;                 // key fingerprints
  std::vector<std::string> records;              // every folder's last verified record
};

// Where the running box keeps it: its user data folder, and beside the executable
// in exeDir (ending in the separator).
std::vector<std::filesystem::path> KeptTrustFolders(const std::string& exeDir);

// Every folder's: the higher serial of each key, every retired fingerprint, every
// record. What cannot be read counts as nothing kept.
KeptTrust ReadKeptTrust(const std::vector<std::filesystem::path>& folders, const std::string& siteId);

// Into every folder; a folder that cannot be written is passed over: the box runs
// on, and the next start reads what the others kept.
void WriteKeptTrust(const std::vector<std::filesystem::path>& folders, const std::string& siteId, const KeptTrust& kept,
                    const std::string& record);

}  // namespace tandrel::trust
