#include "../Process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tandrel::platform {

std::filesystem::path ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw std::runtime_error("Cannot find the running executable: " + error.message());
  return path;
}

bool IsExecutableForThisMachine(std::span<const std::uint8_t> bytes) {
  static const auto own = [] {
    Elf64_Ehdr header{};
    std::ifstream("/proc/self/exe", std::ios::binary).read(reinterpret_cast<char*>(&header), sizeof header);
    return header;
  }();
  if (bytes.size() < sizeof(Elf64_Ehdr) || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0) return false;
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof header);
  return header.e_ident[EI_CLASS] == own.e_ident[EI_CLASS] && header.e_ident[EI_DATA] == own.e_ident[EI_DATA] &&
         header.e_machine == own.e_machine && (header.e_type == ET_EXEC || header.e_type == ET_DYN);
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> args = {program.string()};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // Quiet: what it prints is not the box's to show.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, program.c_str(), &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return -1;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<std::filesystem::path> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "/usr/bin:/bin";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return std::nullopt;
}

namespace {

class SystemSwap final : public ExecutableSwap {
 public:
  void BackUp(const std::filesystem::path& exe, const std::filesystem::path& backup) override {
    // A second name for the same file; a copy on a file system without links.
    std::error_code linked;
    std::filesystem::create_hard_link(exe, backup, linked);
    if (linked) std::filesystem::copy_file(exe, backup);
  }

  void MoveIntoPlace(const std::filesystem::path& incoming, const std::filesystem::path& exe) override {
    if (std::rename(incoming.c_str(), exe.c_str()) != 0) {
      throw std::runtime_error("Cannot rename \"" + incoming.string() + "\" to \"" + exe.string() + "\". " +
                               std::strerror(errno));
    }
  }

  void UndoBackUp(const std::filesystem::path&, const std::filesystem::path& backup) override {
    // The old program never left its name: only the second one goes.
    std::error_code ignored;
    std::filesystem::remove(backup, ignored);
  }
};

}  // namespace

ExecutableSwap& SystemExecutableSwap() {
  static SystemSwap swap;
  return swap;
}

}  // namespace tandrel::platform
