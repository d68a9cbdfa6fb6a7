// Fetching, decrypting and reading the server list, and fetching the banner: the
// main window's loads, without the window.
#pragma once

#include "ServiceEndpoints.h"
#include "http/HttpClient.h"
#include "trust/ReleaseGate.h"
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

  // A box stamped with trust keys loads through the gate (it stays the caller's):
  // the list, the banner and the launchers must match the signed release.
  void SetGate(trust::ReleaseGate* gate) { gate_ = gate; }
  bool Gated() const { return gate_ != nullptr; }

  // The release record request; what the gate made of the answer, or nothing
  // when no answer came.
  std::optional<trust::Verdict> FetchRelease();

  enum class ListTrust {
    Taken,       // read as it came (unsigned), or matched the release
    NoList,      // no answer or an empty body: quietly no rows
    Unverified,  // no release in force, or the list does not match it
    BoxTooOld,   // and the service's release is signed by a key this box does not know
  };

  // Discards the current list first. A failed request or an empty body leaves no
  // list and 0 rows, quietly. A body that does not decrypt and read as a document
  // leaves no list and 0 rows, and its DocumentError goes to the caller. Gated,
  // the release is fetched first unless fetchRelease is false (the start's first
  // load, right after the start fetched it), and a list that does not match it
  // leaves no list and 0 rows: fetched afresh once when both answers came.
  ListTrust LoadServerList(bool fetchRelease = true);

  // The release that verified the list on screen (nullptr unsigned or without a list).
  const trust::ReleaseRecord* ListRelease() const { return listRelease_ ? &*listRelease_ : nullptr; }
  // Whether the banner may be shown: always unsigned, else when it matches the release.
  bool BannerSigned(const http::Bytes& banner) const;

  // The banner's bytes, still to be decoded. Throws http::Error when the request fails.
  http::Bytes LoadLogo();

  // The current list, or nullptr when there is none.
  const TConfig* Config() const { return config_.get(); }
  void ReleaseConfig() { config_.reset(); }

 private:
  // The list's body, decrypted; nothing when no answer or an empty one came.
  std::optional<std::vector<std::uint8_t>> FetchList(const ServiceSite& site);
  ListTrust Refuse(ListTrust why);
  http::Client& client_;
  RowCountView& view_;
  SiteSource site_;
  std::unique_ptr<TConfig> config_;
  trust::ReleaseGate* gate_ = nullptr;
  std::optional<trust::Verdict> lastVerdict_;
  std::optional<trust::ReleaseRecord> listRelease_;
};

}  // namespace tandrel
