// The component object runtime for the calling thread, for as long as the shell's
// objects are used.
#pragma once

#include <objbase.h>

namespace tandrel::platform {

// Makes the thread a single-threaded apartment, or counts once more on the one it
// is already, and undoes that when destroyed. A thread of the multithreaded
// apartment stays there: the shell's objects work in either.
class ComApartment {
 public:
  ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~ComApartment() {
    if (joined_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool joined_;  // S_OK and S_FALSE alike need their CoUninitialize
};

}  // namespace tandrel::platform
