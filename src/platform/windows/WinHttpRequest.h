// One asynchronous WinHTTP request (one hop of a GET), driven from the thread
// that runs the GET: each step starts there and that thread waits for WinHTTP's
// callback, ticking the receiver meanwhile, so a stop takes effect at once.
#pragma once

#include "../HttpTransport.h"

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::platform {

// Where a request goes, cracked from its URL.
struct WinHttpTarget {
  bool secure = false;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring object;  // path and query, no fragment
};

class WinHttpRequest {
 public:
  // sentBefore: the bytes earlier hops of the same GET sent.
  WinHttpRequest(HINTERNET session, const WinHttpTarget& target, HttpReceiver& receiver, std::uint64_t sentBefore);
  // Closes the request; WinHTTP lets go of it in its own time.
  ~WinHttpRequest();
  WinHttpRequest(const WinHttpRequest&) = delete;
  WinHttpRequest& operator=(const WinHttpRequest&) = delete;

  // Each step returns false when the request has ended: error() then holds the
  // WinHTTP or system code, or 0 when a receiver call asked to stop.
  bool Send(std::wstring_view headers, const HttpRequest& request);
  bool ReceiveHead();
  bool HandHead();                                   // the answer's head, line by line
  bool ReadBody(std::chrono::milliseconds silence);  // to the end of the answer
  DWORD error() const { return error_; }

  DWORD StatusCode() const;
  std::wstring Location() const;  // empty when there is none
  std::uint64_t SentBytes() const;

 private:
  // What the callback thread reports, and the buffer WinHTTP reads into. Once the
  // callback is set it owns this and frees it on HANDLE_CLOSING: a closed request
  // may still be busy inside WinHTTP (Wine finishes a blocked read first), and
  // the GET need not wait for that.
  struct Shared {
    std::mutex mutex;
    std::condition_variable completed;
    bool done = false;
    DWORD error = 0;
    DWORD bytes = 0;  // available or read
    std::atomic<std::uint64_t> sent{0};
    std::vector<std::uint8_t> buffer;
  };

  static void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, void* info, DWORD length);
  template <typename Start>
  bool Step(Start start);
  bool Await();
  bool Tick();
  bool Stop();
  bool Fail(DWORD code);
  bool SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds receive);
  std::wstring QueryText(DWORD query) const;

  std::chrono::milliseconds connectTimeout_{0};
  HttpReceiver& receiver_;
  std::uint64_t sentBefore_;
  std::unique_ptr<Shared> shared_ = std::make_unique<Shared>();
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;
  bool watched_ = false;  // the callback owns shared_
  DWORD error_ = 0;
  std::chrono::steady_clock::time_point lastTick_ = std::chrono::steady_clock::now();
};

}  // namespace tandrel::platform
