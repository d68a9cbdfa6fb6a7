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

void ServerListLoader::LoadServerList() {
  // No repaint can read the list before the count is set again: the request is synchronous.
  config_.reset();
  const ServiceSite site = site_();
  http::Response response;
  try {
    response = client_.Get(ServerListUrl(site), AuthorizationHeaders(site), caps::kServerList);
  } catch (const http::Error&) {
    view_.SetRowCount(0);
    return;
  }
  if (response.body.empty()) {
    view_.SetRowCount(0);
    return;
  }
  try {
    const auto plain = DecryptServerList(std::move(response.body), site.configKey, site.configIv);
    config_ = std::make_unique<TConfig>(ReadDocument(plain));
  } catch (...) {
    view_.SetRowCount(0);
    throw;
  }
  view_.SetRowCount(config_->ServerList().size());
}

http::Bytes ServerListLoader::LoadLogo() { return client_.Get(BannerUrl(site_()), {}, caps::kBanner).body; }

}  // namespace tandrel
