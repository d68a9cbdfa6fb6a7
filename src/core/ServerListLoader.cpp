#include "ServerListLoader.h"

#include "AnswerCaps.h"
#include "crypto.h"

namespace tandrel {

TConfig ReadDocument(std::span<const std::uint8_t> decrypted) {
  std::string_view text(reinterpret_cast<const char*>(decrypted.data()), decrypted.size());
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return TConfig(text);
}

ServerListLoader::ServerListLoader(http::Client& client, RowCountView& view, SiteSource site)
    : client_(client), view_(view), site_(std::move(site)) {}

std::optional<std::vector<std::uint8_t>> ServerListLoader::FetchList(const ServiceSite& site) {
  http::Response response;
  try {
    response = client_.Get(ServerListUrl(site), AuthorizationHeaders(site), caps::kServerList);
  } catch (const http::Error&) {
    return std::nullopt;
  }
  if (response.body.empty()) return std::nullopt;
  return DecryptServerList(std::move(response.body), site.configKey, site.configIv);
}

std::optional<trust::Verdict> ServerListLoader::FetchRelease() {
  try {
    const http::Response response = client_.Get(ReleaseRecordUrl(site_()), {}, caps::kReleaseRecord);
    lastVerdict_ =
        gate_->Offer(std::string_view(reinterpret_cast<const char*>(response.body.data()), response.body.size()));
  } catch (const http::Error&) {
    lastVerdict_.reset();
  }
  return lastVerdict_;
}

namespace {

// The first n bytes are the signed document (n: its size in the release); the
// service's padding, at most one block, follows.
bool MatchesRelease(const std::vector<std::uint8_t>& plain, const trust::ReleaseRecord& release) {
  const std::uint64_t n = release.list.size;
  return plain.size() >= n && plain.size() - n <= 16 &&
         trust::EntryOf(std::span(plain).first(static_cast<std::size_t>(n))) == release.list;
}

}  // namespace

ServerListLoader::ListTrust ServerListLoader::LoadServerList(bool fetchRelease) {
  // No repaint can read the list before the count is set again: the request is synchronous.
  config_.reset();
  listRelease_.reset();
  const ServiceSite site = site_();
  const bool gated = gate_ != nullptr;
  const bool recordAnswered = gated && fetchRelease && FetchRelease().has_value();
  std::optional<std::vector<std::uint8_t>> plain;
  try {
    plain = FetchList(site);
    // A release published between the two requests: both once more.
    if (recordAnswered && plain && gate_->Current() && !MatchesRelease(*plain, *gate_->Current())) {
      FetchRelease();
      plain = FetchList(site);
    }
  } catch (...) {
    view_.SetRowCount(0);
    throw;
  }
  if (!plain) return Refuse(ListTrust::NoList);
  std::span<const std::uint8_t> document(*plain);
  if (gated) {
    const trust::ReleaseRecord* release = gate_->Current();
    if (!release || !MatchesRelease(*plain, *release)) {
      return Refuse(lastVerdict_ == trust::Verdict::UnknownKey ? ListTrust::BoxTooOld : ListTrust::Unverified);
    }
    document = document.first(static_cast<std::size_t>(release->list.size));
    listRelease_ = *release;
  }
  try {
    config_ = std::make_unique<TConfig>(ReadDocument(document));
  } catch (...) {
    listRelease_.reset();
    view_.SetRowCount(0);
    throw;
  }
  view_.SetRowCount(config_->ServerList().size());
  return ListTrust::Taken;
}

ServerListLoader::ListTrust ServerListLoader::Refuse(ListTrust why) {
  view_.SetRowCount(0);
  return why;
}

bool ServerListLoader::BannerSigned(const http::Bytes& banner) const {
  if (!gate_) return true;
  return gate_->Current() && trust::EntryOf(banner) == gate_->Current()->banner;
}

http::Bytes ServerListLoader::LoadLogo() { return client_.Get(BannerUrl(site_()), {}, caps::kBanner).body; }

}  // namespace tandrel
