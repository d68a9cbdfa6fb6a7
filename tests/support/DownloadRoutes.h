// A launcher service for the download dialog's tests: bodies of any size sent in
// 64 KiB pieces with or without a length, a 404 page, an empty body, and an
// answer held until the test ends.
#pragma once

#include "LoopbackServer.h"

#include <chrono>

namespace tandrel::test {

// server is the LoopbackServer these routes go into, set once it is made; each
// piece waits pause first, so the dialog shows the transfer as it goes.
void AddDownloadRoutes(httplib::Server& s, LoopbackServer* const& server, std::chrono::milliseconds pause);

}  // namespace tandrel::test
