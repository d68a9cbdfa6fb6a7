#include "SiteService.h"

#include "../ListCheck.h"

#include "core/FileIo.h"
#include "core/crypto.h"

#include <httplib.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <thread>
#include <optional>

namespace tandrel::admin {
namespace {

namespace fs = std::filesystem;

constexpr int kWorkerThreads = 64;  // enough for many players holding keep-alive connections

struct FileStamp {
  fs::file_time_type modified;
  std::uintmax_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const fs::path& path) {
  std::error_code error;
  const auto modified = fs::last_write_time(path, error);
  if (error) return std::nullopt;
  const auto size = fs::file_size(path, error);
  if (error) return std::nullopt;
  return FileStamp{modified, size};
}

// A launcher name from a request path is a file name and nothing more.
bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32 || c == 127) return false;
  }
  return true;
}

bool IsInside(const fs::path& path, const fs::path& folder) {
  std::error_code error;
  const fs::path real = fs::canonical(path, error);
  if (error) return false;
  const fs::path base = fs::canonical(folder, error);
  if (error) return false;
  const auto [end, _] = std::mismatch(base.begin(), base.end(), real.begin(), real.end());
  return end == base.end();
}

// Streams a file without holding it in memory.
void ServeFile(httplib::Response& res, const fs::path& path, const char* contentType) {
  auto file = std::make_shared<std::ifstream>(path, std::ios::binary);
  std::error_code error;
  const auto size = fs::file_size(path, error);
  if (!*file || error || !fs::is_regular_file(path)) {
    res.status = 404;
    res.set_content("Not Found", "text/plain");
    return;
  }
  res.set_content_provider(size, contentType, [file](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
    char buffer[64 * 1024];
    file->seekg(static_cast<std::streamoff>(offset));
    file->read(buffer, static_cast<std::streamsize>(std::min(length, sizeof buffer)));
    const auto got = file->gcount();
    return got > 0 && sink.write(buffer, static_cast<std::size_t>(got));
  });
}

}  // namespace

struct SiteService::Impl {
  SiteFolder site;
  std::string basePath;
  Log log;
  httplib::Server server;
  std::string address;
  int port = 0;
  std::atomic<bool> running{false};
  std::atomic<bool> stopRequested{false};

  std::mutex mutex;  // guards the cached list and digest
  std::optional<FileStamp> listStamp;
  std::string encryptedList;
  std::optional<FileStamp> boxStamp;
  std::string boxMd5;

  Impl(SiteFolder s, std::string base, Log l) : site(std::move(s)), basePath(std::move(base)), log(std::move(l)) {}

  // Re-reads servers.json when it changed; keeps the last good list when the new
  // one is refused. Returns the body to send.
  std::string CurrentList() {
    std::lock_guard lock(mutex);
    const auto stamp = StampOf(site.ServersJson());
    if (stamp && stamp != listStamp) {
      listStamp = stamp;
      try {
        const auto plain = ReadWholeFile(site.ServersJson());
        const TConfig checked = ReadList(plain);
        const auto body = EncryptServerList(plain, site.keys().key, site.keys().iv);
        if (!encryptedList.empty()) log("servers.json changed: " + std::to_string(checked.ServerList().size()) + " servers");
        encryptedList.assign(body.begin(), body.end());
      } catch (const std::exception& e) {
        if (encryptedList.empty()) throw;
        log("servers.json refused, the last good list stays: " + std::string(e.what()));
      }
    }
    return encryptedList;
  }

  // The current box's digest, or empty when the site has no box.
  std::string CurrentBoxMd5() {
    std::lock_guard lock(mutex);
    const auto stamp = StampOf(site.Box());
    if (!stamp) return {};
    if (stamp != boxStamp) {
      boxMd5 = GetFileMd5(site.Box().string());
      boxStamp = stamp;
    }
    return boxMd5;
  }

  bool Authorized(const httplib::Request& req, httplib::Response& res) const {
    if (req.get_header_value("Authorization") == site.keys().AuthHeaderValue()) return true;
    res.status = 401;
    res.set_header("WWW-Authenticate", "Basic realm=\"Tandrel\"");
    res.set_content("Unauthorized", "text/plain");
    return false;
  }

  void Handle(const httplib::Request& req, httplib::Response& res) {
    const std::string& path = req.path;
    if (!path.starts_with(basePath)) return NotFound(res);
    const std::string rest = path.substr(basePath.size());
    if (rest.empty()) {
      if (Authorized(req, res)) res.set_content(CurrentList(), "application/octet-stream");
    } else if (rest == "getcode/") {
      if (!Authorized(req, res)) return;
      const std::string md5 = CurrentBoxMd5();
      const bool current = !md5.empty() && req.get_param_value("hash") == md5;
      res.set_content(current ? "ok" : "update", "text/plain; charset=utf-8");
    } else if (rest == "getvalue/logo.png") {
      ServeFile(res, site.Logo(), "image/png");
    } else if (rest == "getvalue/box.exe") {
      ServeFile(res, site.Box(), "application/octet-stream");
    } else if (rest.starts_with("getvalue/") && rest.ends_with(".exe")) {
      const std::string name = rest.substr(9, rest.size() - 9 - 4);
      const fs::path file = site.LaunchersDir() / (name + ".exe");
      if (!IsPlainFileName(name) || !IsInside(file, site.root())) return NotFound(res);
      ServeFile(res, file, "application/octet-stream");
    } else {
      NotFound(res);
    }
  }

  static void NotFound(httplib::Response& res) {
    res.status = 404;
    res.set_content("Not Found", "text/plain");
  }
};

SiteService::SiteService(SiteFolder site, std::string basePath, Log log)
    : impl_(std::make_unique<Impl>(std::move(site), std::move(basePath), std::move(log))) {
  if (!impl_->basePath.starts_with('/') || !impl_->basePath.ends_with('/')) {
    throw std::invalid_argument("the base path must start and end with \"/\"");
  }
  impl_->CurrentList();  // refuse to start on a list the box would refuse
  impl_->server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  // Small answers on kept-alive connections: without this, Nagle's algorithm and
  // delayed acknowledgements hold each one back for tens of milliseconds.
  impl_->server.set_tcp_nodelay(true);
  impl_->server.set_keep_alive_max_count(1000);
  impl_->server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    try {
      impl_->Handle(req, res);
    } catch (const std::exception& e) {
      res.status = 500;
      res.set_content("Internal Server Error", "text/plain");
      impl_->log("error: " + std::string(e.what()));
    }
  });
  impl_->server.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
    impl_->log(req.remote_addr + " \"" + req.method + " " + req.target + "\" " + std::to_string(res.status) + " " +
               std::to_string(res.content_length_ ? res.content_length_ : res.body.size()));
  });
}

SiteService::~SiteService() = default;

int SiteService::Bind(const std::string& address, int port) {
  impl_->address = address;
  if (port == 0) {
    impl_->port = impl_->server.bind_to_any_port(address);
  } else if (impl_->server.bind_to_port(address, port)) {
    impl_->port = port;
  } else {
    impl_->port = -1;
  }
  if (impl_->port <= 0) throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
  return impl_->port;
}

void SiteService::Run() {
  impl_->running = true;
  if (!impl_->stopRequested) impl_->server.listen_after_bind();
  impl_->running = false;
}

void SiteService::Stop() {
  impl_->stopRequested = true;
  // The server ignores a stop before it listens: wait until it does, or Run may never end.
  while (impl_->running && !impl_->server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  impl_->server.stop();
}

std::string SiteService::BaseUrl() const {
  const bool v6 = impl_->address.find(':') != std::string::npos;
  const std::string host = v6 ? "[" + impl_->address + "]" : impl_->address;
  return "http://" + host + ":" + std::to_string(impl_->port) + impl_->basePath;
}

}  // namespace tandrel::admin
