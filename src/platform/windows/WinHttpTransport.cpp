#include "../HttpTransport.h"

#include "WideText.h"
#include "WinHttpErrorText.h"
#include "WinHttpLocation.h"
#include "WinHttpRequest.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <stdexcept>
#include <optional>
#include <variant>

namespace tandrel::platform {
namespace {

// The system's proxy settings, as libcurl honours the proxy environment on
// Linux; WinHTTP's own configuration where the automatic kind is unknown
// (before Windows 8.1).
HINTERNET OpenSession() {
  HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
  if (!session) {
    session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                          WINHTTP_FLAG_ASYNC);
  }
  if (!session) throw std::runtime_error("The HTTP library could not start: " + WinHttpErrorText(GetLastError()));
  // Older systems offer only TLS 1.0 unless asked; the newest protocols are
  // asked for where the system knows them.
  constexpr DWORD kNewest = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
  for (DWORD protocols : {kNewest, DWORD{WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2}}) {
    if (WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols))) break;
  }
  return session;
}

// The request's target, or the code for why the URL cannot be requested.
std::variant<WinHttpTarget, DWORD> Crack(const std::wstring& url) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return GetLastError();
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    return DWORD{ERROR_WINHTTP_UNRECOGNIZED_SCHEME};
  }
  WinHttpTarget target;
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.port = parts.nPort;
  target.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  target.object.erase(std::min(target.object.size(), target.object.find(L'#')));
  if (target.object.empty() || target.object.front() != L'/') target.object.insert(0, L"/");
  return target;
}

// Any 3xx with a Location but "not modified", as libcurl follows them.
bool IsRedirect(DWORD status) { return status >= 300 && status < 400 && status != 304; }

HttpEnd Ended(DWORD code) {
  if (code == 0) return {HttpEnd::Kind::Failed, {}};  // the receiver stopped it
  // Wine reports a read's receive time-out as the socket's own (WSAETIMEDOUT).
  constexpr DWORD kSocketTimedOut = 10060;
  if (code == ERROR_WINHTTP_TIMEOUT || code == kSocketTimedOut) return {HttpEnd::Kind::TimedOut, {}};
  return {HttpEnd::Kind::Failed, WinHttpErrorText(code)};
}

class WinHttpTransport final : public HttpTransport {
 public:
  WinHttpTransport() : session_(OpenSession()) {}
  ~WinHttpTransport() override { WinHttpCloseHandle(session_); }
  WinHttpTransport(const WinHttpTransport&) = delete;
  WinHttpTransport& operator=(const WinHttpTransport&) = delete;

  // Cookies live in the session handle, so every request of this transport
  // shares them. The session has no agent of its own: each request names its.
  // Credentials stay home: after a redirect to another scheme, host or port only
  // the agent goes along, and an https request never follows one to http.
  HttpEnd Get(const HttpRequest& request, HttpReceiver& receiver) override {
    const std::wstring agent = L"User-Agent: " + Widen(request.userAgent) + L"\r\n";
    std::wstring headers = agent;
    for (const auto& [name, value] : request.headers) headers += Widen(name) + L": " + Widen(value) + L"\r\n";

    std::wstring url = Widen(request.url);
    std::optional<WinHttpTarget> origin;
    std::uint64_t sent = 0;
    for (long redirects = 0;; ++redirects) {
      const auto cracked = Crack(url);
      if (const DWORD* code = std::get_if<DWORD>(&cracked)) return Ended(*code);
      const WinHttpTarget& target = std::get<WinHttpTarget>(cracked);
      if (!origin) origin = target;
      if (origin->secure && !target.secure) return Ended(ERROR_WINHTTP_REDIRECT_FAILED);
      const bool home = target.secure == origin->secure && target.host == origin->host && target.port == origin->port;
      WinHttpRequest hop(session_, target, receiver, sent);
      if (!hop.Send(home ? headers : agent, request) || !hop.ReceiveHead() || !hop.HandHead()) {
        return Ended(hop.error());
      }
      sent = hop.SentBytes();
      const std::wstring location = IsRedirect(hop.StatusCode()) ? hop.Location() : std::wstring();
      if (location.empty()) {
        return hop.ReadBody(request.silenceInBody) ? HttpEnd{HttpEnd::Kind::Complete, {}} : Ended(hop.error());
      }
      if (redirects == request.maxRedirects) return {HttpEnd::Kind::TooManyRedirects, {}};
      url = ResolveLocation(url, location);
    }
  }

 private:
  HINTERNET session_;
};

}  // namespace

// WinHTTP checks servers against the system's store alone: it takes no file of
// authorities, so a test's own authority is refused like any unknown one.
std::unique_ptr<HttpTransport> MakeHttpTransport(const TransportOptions&) {
  return std::make_unique<WinHttpTransport>();
}

}  // namespace tandrel::platform
