#include "ProofLines.h"

#include "TempDir.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tandrel::test {

std::string WaitForProofLines(const std::filesystem::path& proof, std::size_t lines) {
  std::string text;
  for (int i = 0; i < 250; ++i) {
    // A program may have made the file and not yet written its line.
    if (std::filesystem::exists(proof)) text = ReadFile(proof);
    if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return text;
}

}  // namespace tandrel::test
