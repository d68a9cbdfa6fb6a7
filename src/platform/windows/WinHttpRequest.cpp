#include "WinHttpRequest.h"

#include "WideText.h"

#include <algorithm>
#include <climits>

namespace tandrel::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Well inside the interface's "at least once a second".
constexpr auto kTickEvery = std::chrono::milliseconds(250);
constexpr DWORD kReadPiece = 256 * 1024;

}  // namespace

WinHttpRequest::WinHttpRequest(HINTERNET session, const WinHttpTarget& target, HttpReceiver& receiver,
                               std::uint64_t sentBefore)
    : receiver_(receiver), sentBefore_(sentBefore) {
  connection_ = WinHttpConnect(session, target.host.c_str(), target.port, 0);
  if (!connection_) {
    error_ = GetLastError();
    return;
  }
  request_ = WinHttpOpenRequest(connection_, L"GET", target.object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0);
  if (!request_) {
    error_ = GetLastError();
    return;
  }
  constexpr DWORD kEvents =
      WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES | WINHTTP_CALLBACK_FLAG_SEND_REQUEST;
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(shared_.get());
  if (WinHttpSetStatusCallback(request_, &WinHttpRequest::OnStatus, kEvents, 0) == WINHTTP_INVALID_STATUS_CALLBACK ||
      !WinHttpSetOption(request_, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context))) {
    error_ = GetLastError();
    return;
  }
  watched_ = true;
  // Redirects are followed by the transport: it alone decides which schemes and how many.
  DWORD features = WINHTTP_DISABLE_REDIRECTS;
  if (!WinHttpSetOption(request_, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof(features))) error_ = GetLastError();
}

WinHttpRequest::~WinHttpRequest() {
  // A pending step ends with an error callback, and HANDLE_CLOSING, which frees
  // shared_, comes last; it may come before WinHttpCloseHandle returns.
  if (watched_) static_cast<void>(shared_.release());
  if (request_) WinHttpCloseHandle(request_);
  if (connection_) WinHttpCloseHandle(connection_);
}

void CALLBACK WinHttpRequest::OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD length) {
  auto* shared = reinterpret_cast<Shared*>(context);
  if (!shared) return;
  DWORD error = 0, bytes = 0;
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_REQUEST_SENT: shared->sent += *static_cast<DWORD*>(info); return;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING: delete shared; return;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE: bytes = *static_cast<DWORD*>(info); break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE: bytes = length; break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: error = static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError; break;
    default: return;
  }
  std::lock_guard lock(shared->mutex);
  shared->done = true;
  shared->error = error;
  shared->bytes = bytes;
  shared->completed.notify_all();
}

bool WinHttpRequest::Send(std::wstring_view headers, const HttpRequest& request) {
  if (error_) return false;
  connectTimeout_ = request.connectTimeout;
  if (!SetTimeouts(request.connectTimeout, request.silenceBeforeAnswer)) return false;
  if (!headers.empty() && !WinHttpAddRequestHeaders(request_, headers.data(), static_cast<DWORD>(headers.size()),
                                                    WINHTTP_ADDREQ_FLAG_ADD)) {
    return Fail(GetLastError());
  }
  return Step([&] { return WinHttpSendRequest(request_, WINHTTP_NO_ADDITIONAL_HEADERS, 0, nullptr, 0, 0, 0); });
}

bool WinHttpRequest::ReceiveHead() {
  return Step([&] { return WinHttpReceiveResponse(request_, nullptr); });
}

bool WinHttpRequest::HandHead() {
  std::string head = Narrow(QueryText(WINHTTP_QUERY_RAW_HEADERS_CRLF));
  if (head.empty()) return Fail(ERROR_WINHTTP_INVALID_SERVER_RESPONSE);
  // WinHTTP ends the head with its empty line; should a version not, it is added.
  if (!head.ends_with("\r\n")) head += "\r\n";
  if (!head.ends_with("\r\n\r\n")) head += "\r\n";
  for (std::size_t start = 0; start < head.size();) {
    const std::size_t end = head.find('\n', start) + 1;
    if (!receiver_.HeaderLine(std::string_view(head).substr(start, end - start))) return Stop();
    start = end;
  }
  return true;
}

bool WinHttpRequest::ReadBody(std::chrono::milliseconds silence) {
  std::vector<std::uint8_t>& buffer = shared_->buffer;
  buffer.resize(kReadPiece);
  // Windows ends a waiting read when the request is closed; Wine lets it wait,
  // and the connection with it, until its receive time-out: a stalled body's read
  // is bounded by the silence its rules allow.
  if (!SetTimeouts(connectTimeout_, silence)) return false;
  for (;;) {
    if (!Step([&] { return WinHttpQueryDataAvailable(request_, nullptr); })) return false;
    if (shared_->bytes == 0) return true;
    const DWORD wanted = std::min(shared_->bytes, kReadPiece);
    if (!Step([&] { return WinHttpReadData(request_, buffer.data(), wanted, nullptr); })) return false;
    if (shared_->bytes == 0) return true;
    if (!receiver_.BodyBytes({buffer.data(), shared_->bytes})) return Stop();
  }
}

DWORD WinHttpRequest::StatusCode() const {
  DWORD status = 0, size = sizeof(status);
  WinHttpQueryHeaders(request_, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                      &status, &size, WINHTTP_NO_HEADER_INDEX);
  return status;
}

std::wstring WinHttpRequest::Location() const { return QueryText(WINHTTP_QUERY_LOCATION); }

std::uint64_t WinHttpRequest::SentBytes() const { return sentBefore_ + shared_->sent; }

std::wstring WinHttpRequest::QueryText(DWORD query) const {
  DWORD size = 0;
  WinHttpQueryHeaders(request_, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
  std::wstring text(size / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request_, query, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                           WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  text.resize(size / sizeof(wchar_t));
  return text;
}

// Starts one asynchronous call and waits for its completion. The callback may
// come before the call returns, even on this thread, so the slot is cleared first.
template <typename Start>
bool WinHttpRequest::Step(Start start) {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->done = false;
  }
  if (!start()) return Fail(GetLastError());
  return Await();
}

bool WinHttpRequest::Await() {
  std::unique_lock lock(shared_->mutex);
  for (;;) {
    const bool done = shared_->completed.wait_until(lock, lastTick_ + kTickEvery, [&] { return shared_->done; });
    if (done && Clock::now() < lastTick_ + kTickEvery) break;
    lock.unlock();
    if (!Tick()) return false;
    lock.lock();
    if (done) break;
  }
  return shared_->error ? Fail(shared_->error) : true;
}

bool WinHttpRequest::Tick() {
  lastTick_ = Clock::now();
  return receiver_.Tick(SentBytes()) || Stop();
}

bool WinHttpRequest::Stop() { return Fail(0); }

// Resolving and connecting are bounded by the connect time-out; sending is not,
// and a read only by the silence given: the receiver's ticks decide when a quiet
// or slow server has taken too long.
bool WinHttpRequest::SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds receive) {
  const auto ms = [](std::chrono::milliseconds t) {
    return static_cast<int>(std::clamp<std::int64_t>(t.count(), 1, INT_MAX));
  };
  return WinHttpSetTimeouts(request_, ms(connect), ms(connect), 0, ms(receive)) || Fail(GetLastError());
}

bool WinHttpRequest::Fail(DWORD code) {
  error_ = code;
  return false;
}

}  // namespace tandrel::platform
