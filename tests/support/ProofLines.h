// What started programs wrote to their proof file (see tools/proof_program.cpp).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tandrel::test {

// The file's text once it holds the given number of whole lines, or what it holds
// after a few seconds.
std::string WaitForProofLines(const std::filesystem::path& proof, std::size_t lines);

}  // namespace tandrel::test
