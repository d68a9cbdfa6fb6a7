// Fetching, decrypting and reading the server list, and fetching the banner: the
// main window's loads, without the window.
#pragma once

#include "ServiceEndpoints.h"
#include "http/HttpClient.h"
#include "uConfig.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace tandrel {

// The list view as the loader sees it.
class RowCountView {
 public:
  virtual ~RowCountView() = default;
  // Setting the count the view already has changes nothing (the scroll offset stays).
  virtual void SetRowCount(std::size_t count) = 0;
};

// Decrypted bytes read as a document: a UTF-8 byte-order mark is skipped (no
// other is recognised) and invalid sequences read as U+FFFD. Throws DocumentError.
TConfig ReadDocument(std::span<const std::uint8_t> decrypted);

class ServerListLoader {
 public:
  using SiteSource = std::function<ServiceSite()>;

  // The site is read afresh for every load; the running box reads its own settings.
  ServerListLoader(http::Client& client, RowCountView& view, SiteSource site = CurrentServiceSite);

  // Discards the current list first. A failed request or an empty body leaves no
  // list and 0 rows, quietly. A body that does not decrypt and read as a document
  // leaves no list and 0 rows, and its DocumentError goes to the caller.
  void LoadServerList();

  // The banner's bytes, still to be decoded. Throws http::Error when the request fails.
  http::Bytes LoadLogo();

  // The current list, or nullptr when there is none.
  const TConfig* Config() const { return config_.get(); }
  void ReleaseConfig() { config_.reset(); }

 private:
  http::Client& client_;
  RowCountView& view_;
  SiteSource site_;
  std::unique_ptr<TConfig> config_;
};

}  // namespace tandrel
