#include "KeptTrust.h"

#include "core/FileIo.h"
#include "core/Hex.h"
#include "core/Paths.h"
#include "platform/Drives.h"

#include <algorithm>
#include <sstream>

namespace tandrel::trust {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxStateFile = 64 * 1024;

std::string ReadSmall(const fs::path& file) {
  std::error_code error;
  const auto size = fs::file_size(file, error);
  if (error || size > kMaxStateFile) return {};
  try {
    const auto bytes = ReadWholeFile(file);
    return {bytes.begin(), bytes.end()};
  } catch (const std::exception&) {
    return {};
  }
}

bool IsFingerprint(const std::string& text) { return text.size() == 32 && IsLowerHex(text); }

// "serial FINGERPRINT N" and "retired FINGERPRINT" lines; anything else is passed over.
void ReadState(const std::string& text, KeptTrust& kept) {
  std::istringstream lines(text);
  std::string word, fingerprint;
  while (lines >> word >> fingerprint) {
    if (word == "serial") {
      std::uint64_t serial = 0;
      if (!(lines >> serial)) break;
      if (IsFingerprint(fingerprint)) kept.serials[fingerprint] = std::max(kept.serials[fingerprint], serial);
    } else if (word == "retired" && IsFingerprint(fingerprint)) {
      kept.retired.insert(fingerprint);
    }
  }
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

std::vector<fs::path> KeptTrustFolders(const std::string& exeDir) {
  return {PathFromUtf8(platform::UserDataFolder()) / "Tandrel" / "Trust", PathFromUtf8(exeDir + "Trust")};
}

KeptTrust ReadKeptTrust(const std::vector<fs::path>& folders, const std::string& siteId) {
  KeptTrust kept;
  for (const fs::path& folder : folders) {
    ReadState(ReadSmall(folder / (siteId + ".trust")), kept);
    if (std::string record = ReadSmall(folder / (siteId + ".release")); !record.empty()) {
      kept.records.push_back(std::move(record));
    }
  }
  return kept;
}

void WriteKeptTrust(const std::vector<fs::path>& folders, const std::string& siteId, const KeptTrust& kept,
                    const std::string& record) {
  std::string state;
  for (const auto& [fingerprint, serial] : kept.serials) {
    state += "serial " + fingerprint + " " + std::to_string(serial) + "\n";
  }
  for (const std::string& fingerprint : kept.retired) state += "retired " + fingerprint + "\n";
  for (const fs::path& folder : folders) {
    try {
      EnsureFolder(folder);
      WriteFileAtomically(folder / (siteId + ".trust"), Bytes(state));
      WriteFileAtomically(folder / (siteId + ".release"), Bytes(record));
    } catch (const std::exception&) {
      // Not an error: the other folders keep it.
    }
  }
}

}  // namespace tandrel::trust
