#include "../Shell.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tandrel::platform {
namespace {

// Runs argv as a grandchild in a session of its own: it outlives the box, and
// since its parent is gone at once, it never lingers as the box's zombie. Only
// async-signal-safe calls happen between fork and exec (the box has threads).
ShellRefusal StartDetached(const std::vector<std::string>& args, bool searchPath, const std::string& failure) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  // The grandchild reports a failed exec through this pipe; a successful exec closes it.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    const int error = errno;
    return failure + " " + std::strerror(error);
  }
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return failure + " " + std::strerror(error);
  }
  if (child == 0) {
    ::close(report[0]);
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 127 : 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);  // nothing of the box's leaks into the program
    if (searchPath) ::execvp(argv[0], argv.data());
    else ::execv(argv[0], argv.data());
    const int error = errno;
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t n;
  while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (n == static_cast<ssize_t>(sizeof error)) return failure + " " + std::strerror(error);
  return std::nullopt;
}

class LinuxShell final : public Shell {
 public:
  ShellRefusal StartProgram(const std::filesystem::path& executable) override {
    return StartDetached({executable.string()}, false, "Cannot start \"" + executable.string() + "\".");
  }
  ShellRefusal OpenWebAddress(const std::string& url) override {
    return StartDetached({"xdg-open", url}, true, "Cannot open \"" + url + "\".");
  }
};

}  // namespace

Shell& SystemShell() {
  static LinuxShell shell;
  return shell;
}

}  // namespace tandrel::platform
