#include "Termination.h"

namespace tandrel::forms {
namespace {
bool gRequested = false;
std::function<void()> gPostQuit;
}  // namespace

void SetQuitRequest(std::function<void()> postQuit) { gPostQuit = std::move(postQuit); }

void RequestTermination() {
  gRequested = true;
  if (gPostQuit) gPostQuit();
}

bool TerminationRequested() { return gRequested; }

int RunUnlessTerminating(const std::function<int()>& loop) { return gRequested ? 0 : loop(); }

void ResetTerminationForTests() { gRequested = false; }

}  // namespace tandrel::forms
