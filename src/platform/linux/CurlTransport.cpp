#include "../HttpTransport.h"

#include <curl/curl.h>
#include <mutex>
#include <stdexcept>

namespace tandrel::platform {
namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) throw std::runtime_error("The HTTP library could not start");
  });
}

// Cookies of one transport, shared by the easy handles of its requests.
class CookieJar {
 public:
  CookieJar() : share_((GlobalInit(), curl_share_init())) {
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieJar::Lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieJar::Unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CookieJar() { curl_share_cleanup(share_); }
  CookieJar(const CookieJar&) = delete;
  CookieJar& operator=(const CookieJar&) = delete;
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

// One GET on one easy handle; curl's callbacks go straight to the receiver.
class Transfer {
 public:
  Transfer(const HttpRequest& request, const TransportOptions& options, CURLSH* cookies, HttpReceiver& receiver)
      : easy_(curl_easy_init()), receiver_(receiver) {
    if (!easy_) return;
    if (!options.caFile.empty()) {
      curl_easy_setopt(easy_, CURLOPT_CAINFO, options.caFile.c_str());
      curl_easy_setopt(easy_, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(easy_, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy_, CURLOPT_USERAGENT, request.userAgent.c_str());
    for (const auto& [name, value] : request.headers) {
      headerList_ = curl_slist_append(headerList_, (name + ": " + value).c_str());
    }
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headerList_);
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, request.maxRedirects);
    // Only the web: a redirect must never make the box read a local file.
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    // Never from https down to http. Debian's libcurl (7.88) sends a custom
    // Authorization header only while the scheme, host and port stay the same.
    const bool secure = request.url.starts_with("https:");
    curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeout.count()));
    curl_easy_setopt(easy_, CURLOPT_SHARE, cookies);
    curl_easy_setopt(easy_, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    // A proxy's answer to CONNECT is no answer of the server's.
    curl_easy_setopt(easy_, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Transfer::OnWrite);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    // Large pieces: a progress report may follow each one.
    curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  }
  ~Transfer() {
    curl_easy_cleanup(easy_);
    curl_slist_free_all(headerList_);
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  HttpEnd Run() {
    if (!easy_) return {HttpEnd::Kind::Failed, "The HTTP library could not start a request"};
    const CURLcode rc = curl_easy_perform(easy_);
    switch (rc) {
      case CURLE_OK: return {HttpEnd::Kind::Complete, {}};
      case CURLE_TOO_MANY_REDIRECTS: return {HttpEnd::Kind::TooManyRedirects, {}};
      case CURLE_OPERATION_TIMEDOUT: return {HttpEnd::Kind::TimedOut, {}};
      default:
        return {HttpEnd::Kind::Failed, errorText_[0] ? std::string(errorText_) : std::string(curl_easy_strerror(rc))};
    }
  }

 private:
  // Anything but the length given makes curl stop.
  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    const size_t length = size * count;
    return static_cast<Transfer*>(self)->receiver_.HeaderLine({data, length}) ? length : 0;
  }

  static size_t OnWrite(char* data, size_t size, size_t count, void* self) {
    const size_t length = size * count;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    return static_cast<Transfer*>(self)->receiver_.BodyBytes({bytes, length}) ? length : 0;
  }

  static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t ulNow) {
    return static_cast<Transfer*>(self)->receiver_.Tick(static_cast<std::uint64_t>(ulNow)) ? 0 : 1;
  }

  static constexpr long kReceiveBuffer = 512 * 1024;

  CURL* easy_;
  curl_slist* headerList_ = nullptr;
  HttpReceiver& receiver_;
  char errorText_[CURL_ERROR_SIZE] = {};
};

class CurlTransport final : public HttpTransport {
 public:
  explicit CurlTransport(TransportOptions options) : options_(std::move(options)) {}
  HttpEnd Get(const HttpRequest& request, HttpReceiver& receiver) override {
    return Transfer(request, options_, cookies_.handle(), receiver).Run();
  }

 private:
  TransportOptions options_;
  CookieJar cookies_;
};

}  // namespace

std::unique_ptr<HttpTransport> MakeHttpTransport(const TransportOptions& options) {
  return std::make_unique<CurlTransport>(options);
}

}  // namespace tandrel::platform
