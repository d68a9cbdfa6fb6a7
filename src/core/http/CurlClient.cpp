#include "CurlClient.h"

#include "../TextCodec.h"
#include "TransferGuard.h"
#include "Url.h"
#include "platform/Memory.h"

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <functional>
#include <curl/curl.h>
#include <mutex>
#include <thread>

namespace tandrel::http {
namespace {

constexpr long kMaxRedirects = 5;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) throw Error("The HTTP library could not start");
  });
}

// What a transfer tells its owner while it runs, on the thread that runs it.
class TransferHooks {
 public:
  virtual ~TransferHooks() = default;
  virtual bool OnBodyStart(std::int64_t total) = 0;  // false aborts
  virtual bool OnChunk(std::int64_t total, std::int64_t received) = 0;
  virtual bool Cancelled() = 0;
};

class NoHooks final : public TransferHooks {
 public:
  bool OnBodyStart(std::int64_t) override { return true; }
  bool OnChunk(std::int64_t, std::int64_t) override { return true; }
  bool Cancelled() override { return false; }
};

// Cookies of one client, shared by the easy handles of its requests.
class CookieJar {
 public:
  CookieJar() : share_(curl_share_init()) {
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieJar::Lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieJar::Unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CookieJar() { curl_share_cleanup(share_); }
  CURLSH* handle() const { return share_; }

 private:
  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CookieJar*>(self)->mutexes_[data % kLocks].lock();
  }
  static void Unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CookieJar*>(self)->mutexes_[data % kLocks].unlock();
  }
  static constexpr int kLocks = CURL_LOCK_DATA_LAST;
  CURLSH* share_;
  std::mutex mutexes_[kLocks];
};

std::int64_t ParseContentLength(std::string_view value) {
  value = TrimControl(value);
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size() || n <= 0) return -1;
  return n;
}

// One GET on one easy handle, run to its end on the calling thread.
class Transfer {
 public:
  Transfer(const std::string& url, const Headers& headers, const Timeouts& timeouts, std::uint64_t maxBody,
           bool withDeadline, CURLSH* cookies, TransferHooks& hooks)
      : easy_(curl_easy_init()),
        guard_(timeouts, maxBody, withDeadline, std::chrono::steady_clock::now()),
        hooks_(hooks) {
    if (!easy_) throw Error("The HTTP library could not start a request");
    const std::string encoded = EncodeUrl(url);
    curl_easy_setopt(easy_, CURLOPT_URL, encoded.c_str());
    curl_easy_setopt(easy_, CURLOPT_USERAGENT, kUserAgent);
    for (const auto& [name, value] : headers) headerList_ = curl_slist_append(headerList_, (name + ": " + value).c_str());
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headerList_);
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, kMaxRedirects);
    // Only the web: a redirect must never make the box read a local file.
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
    curl_easy_setopt(easy_, CURLOPT_SHARE, cookies);
    curl_easy_setopt(easy_, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Transfer::OnWrite);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    // Large pieces: each one costs a round trip to the user-interface thread.
    curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  }
  ~Transfer() {
    curl_easy_cleanup(easy_);
    curl_slist_free_all(headerList_);
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // The response, or Error with the reason no response came.
  Response Run() {
    const CURLcode rc = curl_easy_perform(easy_);
    if (rc != CURLE_OK) throw Error(Reason(rc));
    // The last piece is always reported, so the last report counts the whole body.
    if (Successful() && reported_ < response_.body.size() && !ReportChunk()) {
      aborted_ = true;  // the handler asked to stop at the last piece
      throw Error(Reason(CURLE_ABORTED_BY_CALLBACK));
    }
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &response_.status);
    return std::move(response_);
  }

 private:
  std::string Reason(CURLcode rc) const {
    if (rc == CURLE_TOO_MANY_REDIRECTS) {
      return "Maximum number of redirections (" + std::to_string(kMaxRedirects) + ") exceeded";
    }
    if (failure_) return *failure_;
    if (rc == CURLE_OPERATION_TIMEDOUT) return kNoAnswerInTime;
    if (aborted_) return "The request was aborted";
    return errorText_[0] ? std::string(errorText_) : std::string(curl_easy_strerror(rc));
  }

  bool Successful() const { return status_ >= 200 && status_ < 300; }

  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    auto& t = *static_cast<Transfer*>(self);
    const size_t length = size * count;
    const std::string_view line(data, length);
    t.guard_.Received(length, std::chrono::steady_clock::now());
    if (line.starts_with("HTTP/")) {
      // A new response begins (after a redirect or an interim answer): forget the last.
      t.response_.contentType.clear();
      t.response_.body.clear();
      t.reported_ = 0;
      t.contentLength_ = -1;
      t.status_ = 0;
    } else if (TrimControl(line).empty()) {
      curl_easy_getinfo(t.easy_, CURLINFO_RESPONSE_CODE, &t.status_);
      if (t.contentLength_ > 0 && !t.guard_.BodyFits(static_cast<std::uint64_t>(t.contentLength_))) {
        return t.Fail(TransferGuard::TooLarge(t.guard_.MaxBody()));
      }
      if (t.Successful()) {
        t.response_.body.reserve(static_cast<size_t>(std::clamp<std::int64_t>(t.contentLength_, 0, kMaxReserve)));
        platform::AdviseLargeBuffer(t.response_.body.data(), t.response_.body.capacity());
        t.reportedAt_ = std::chrono::steady_clock::now();
        if (!t.hooks_.OnBodyStart(t.contentLength_)) return t.Abort();
      }
    } else if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
      const std::string_view name = TrimControl(line.substr(0, colon));
      const std::string_view value = TrimControl(line.substr(colon + 1));
      if (EqualsIgnoringAsciiCase(name, "Content-Length")) t.contentLength_ = ParseContentLength(value);
      if (EqualsIgnoringAsciiCase(name, "Content-Type")) t.response_.contentType.assign(value);
    }
    return length;
  }

  static size_t OnWrite(char* data, size_t size, size_t count, void* self) {
    auto& t = *static_cast<Transfer*>(self);
    const size_t length = size * count;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);  // same type: one memmove
    auto& body = t.response_.body;
    const auto now = std::chrono::steady_clock::now();
    t.guard_.Received(length, now);
    if (!t.guard_.BodyFits(body.size() + length)) return t.Fail(TransferGuard::TooLarge(t.guard_.MaxBody()));
    if (body.size() + length > body.capacity()) {
      // Grow as a vector would, but never past the cap: an answer stopped at the
      // cap has cost at most the cap.
      const std::uint64_t grown = std::max<std::uint64_t>(2 * body.capacity(), body.size() + length);
      body.reserve(static_cast<size_t>(std::min(grown, t.guard_.MaxBody())));
    }
    body.insert(body.end(), bytes, bytes + length);
    // A chunk is what arrived since the last report: at least kChunk bytes, or
    // whatever came within kChunkTime. Each report is a round trip to the
    // user-interface thread, so reporting every receive would slow the transfer.
    const bool due = t.response_.body.size() - t.reported_ >= kChunk || now - t.reportedAt_ >= kChunkTime;
    if (t.Successful() && due && !t.ReportChunk()) return t.Abort();
    return length;
  }

  static int OnProgress(void* self, curl_off_t, curl_off_t dlNow, curl_off_t, curl_off_t ulNow) {
    auto& t = *static_cast<Transfer*>(self);
    if (t.hooks_.Cancelled()) {
      t.aborted_ = true;
      return 1;
    }
    (void)dlNow;  // received bytes are counted as they are written
    const auto now = std::chrono::steady_clock::now();
    if (ulNow != t.lastUp_) {
      t.lastUp_ = ulNow;
      t.guard_.Sent(now);
    }
    if (auto failure = t.guard_.Failure(now)) {
      t.failure_ = std::move(failure);
      return 1;
    }
    return 0;
  }

  bool ReportChunk() {
    reported_ = response_.body.size();
    reportedAt_ = std::chrono::steady_clock::now();
    return hooks_.OnChunk(contentLength_, static_cast<std::int64_t>(reported_));
  }

  size_t Abort() {
    aborted_ = true;
    return 0;  // anything but the length given makes curl stop
  }

  size_t Fail(std::string reason) {
    failure_ = std::move(reason);
    return 0;
  }

  static constexpr std::int64_t kMaxReserve = std::int64_t{1} << 30;
  static constexpr long kReceiveBuffer = 512 * 1024;
  static constexpr std::size_t kChunk = 512 * 1024;
  static constexpr auto kChunkTime = std::chrono::milliseconds(100);

  CURL* easy_;
  curl_slist* headerList_ = nullptr;
  TransferGuard guard_;
  TransferHooks& hooks_;
  Response response_;
  long status_ = 0;
  std::int64_t contentLength_ = -1;
  std::size_t reported_ = 0;  // body bytes the last report counted
  std::chrono::steady_clock::time_point reportedAt_;
  curl_off_t lastUp_ = 0;
  std::optional<std::string> failure_;  // a limit the request broke
  bool aborted_ = false;
  char errorText_[CURL_ERROR_SIZE] = {};
};

// State an asynchronous request shares between its worker, the user-interface
// thread and the handle the caller holds.
struct AsyncShared {
  std::mutex mutex;
  std::condition_variable changed;
  bool abandoned = false;
  bool finished = false;  // the worker is done and may be joined
};

class CurlAsyncRequest final : public AsyncRequest {
 public:
  explicit CurlAsyncRequest(std::shared_ptr<AsyncShared> shared) : shared_(std::move(shared)) {}
  ~CurlAsyncRequest() override { Abandon(); }
  void Abandon() override {
    std::lock_guard lock(shared_->mutex);
    shared_->abandoned = true;
    shared_->changed.notify_all();
  }

 private:
  std::shared_ptr<AsyncShared> shared_;
};

// The worker's side: hands each report to the user-interface thread and waits for it.
class AsyncWorker final : public TransferHooks {
 public:
  AsyncWorker(std::shared_ptr<AsyncShared> shared, Dispatcher& dispatcher, AsyncHandler& handler)
      : shared_(std::move(shared)), dispatcher_(dispatcher), handler_(handler) {}

  void Run(const std::string& url, const Headers& headers, Timeouts timeouts, std::uint64_t maxBody, CURLSH* cookies) {
    try {
      Transfer transfer(url, headers, timeouts, maxBody, false, cookies, *this);
      Response response = transfer.Run();
      OnUiThread([&] { handler_.OnRequestCompleted(std::move(response)); });
    } catch (const std::exception& e) {
      const std::string message = e.what();
      OnUiThread([&] { handler_.OnRequestError(message); });
    }
    std::lock_guard lock(shared_->mutex);
    shared_->finished = true;
  }

  bool OnBodyStart(std::int64_t total) override { return Progress(total, 0); }
  bool OnChunk(std::int64_t total, std::int64_t received) override { return Progress(total, received); }
  bool Cancelled() override {
    std::lock_guard lock(shared_->mutex);
    return shared_->abandoned;
  }

 private:
  bool Progress(std::int64_t total, std::int64_t received) {
    bool abort = false;
    const bool delivered = OnUiThread([&] { handler_.OnReceiveData(total, received, abort); });
    return delivered && !abort;
  }

  // Runs report on the user-interface thread unless the request is abandoned first;
  // waits until it has run. False when it was abandoned.
  bool OnUiThread(const std::function<void()>& report) {
    auto ran = std::make_shared<bool>(false);
    {
      std::lock_guard lock(shared_->mutex);
      if (shared_->abandoned) return false;
    }
    // The task may run after the worker stopped waiting; it then touches nothing of
    // the worker's, because an abandoned request runs no report.
    dispatcher_.Post([shared = shared_, ran, &report] {
      bool abandoned;
      {
        std::lock_guard lock(shared->mutex);
        abandoned = shared->abandoned;
      }
      if (!abandoned) report();
      std::lock_guard lock(shared->mutex);
      *ran = true;
      shared->changed.notify_all();
    });
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait(lock, [&] { return *ran || shared_->abandoned; });
    return *ran && !shared_->abandoned;
  }

  std::shared_ptr<AsyncShared> shared_;
  Dispatcher& dispatcher_;
  AsyncHandler& handler_;
};

}  // namespace

struct CurlClient::Impl {
  Dispatcher* dispatcher;
  CookieJar cookies;
  Timeouts timeouts;
  std::mutex workersMutex;
  std::vector<std::pair<std::shared_ptr<AsyncShared>, std::thread>> workers;

  void JoinFinished() {
    std::lock_guard lock(workersMutex);
    std::erase_if(workers, [](auto& w) {
      bool finished;
      {
        std::lock_guard l(w.first->mutex);
        finished = w.first->finished;
      }
      if (finished) w.second.join();
      return finished;
    });
  }
};

CurlClient::CurlClient(Dispatcher* dispatcher) : impl_(std::make_unique<Impl>()) {
  GlobalInit();
  impl_->dispatcher = dispatcher;
}

CurlClient::~CurlClient() {
  for (auto& [shared, thread] : impl_->workers) {
    {
      std::lock_guard lock(shared->mutex);
      shared->abandoned = true;
      shared->changed.notify_all();
    }
    thread.join();
  }
}

void CurlClient::SetTimeouts(Timeouts timeouts) { impl_->timeouts = timeouts; }

Response CurlClient::Get(const std::string& url, const Headers& headers, std::uint64_t maxBody) {
  NoHooks hooks;
  Transfer transfer(url, headers, impl_->timeouts, maxBody, true, impl_->cookies.handle(), hooks);
  return transfer.Run();
}

std::unique_ptr<AsyncRequest> CurlClient::GetAsync(const std::string& url, const Headers& headers,
                                                   AsyncHandler& handler, std::uint64_t maxBody) {
  if (!impl_->dispatcher) throw Error("This HTTP client has no dispatcher for asynchronous requests");
  impl_->JoinFinished();
  auto shared = std::make_shared<AsyncShared>();
  std::thread worker([shared, dispatcher = impl_->dispatcher, &handler, url, headers, timeouts = impl_->timeouts,
                      maxBody, cookies = impl_->cookies.handle()] {
    AsyncWorker(shared, *dispatcher, handler).Run(url, headers, timeouts, maxBody, cookies);
  });
  std::lock_guard lock(impl_->workersMutex);
  impl_->workers.emplace_back(shared, std::move(worker));
  return std::make_unique<CurlAsyncRequest>(std::move(shared));
}

}  // namespace tandrel::http
