// publish: the site as files for an ordinary web server, with a ready nginx
// configuration: Basic authentication where the box sends it, and the update
// answer computed from the query's digest. Sites published into one folder under
// different base paths (a Linux and a Windows box, say) share its nginx.
#include "Commands.h"
#include "ListCheck.h"
#include "SiteFolder.h"
#include "SiteRelease.h"
#include "TerminalText.h"

#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "core/crypto.h"
#include "core/uGameRun.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <set>

namespace tandrel::admin {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// An htpasswd line in the salted SHA-1 form nginx reads.
std::string HtpasswdLine(const std::string& user, const std::string& password) {
  std::uint8_t salt[8];
  if (RAND_bytes(salt, sizeof salt) != 1) throw std::runtime_error("no random numbers available");
  std::string salted = password + std::string(reinterpret_cast<const char*>(salt), sizeof salt);
  std::uint8_t digest[SHA_DIGEST_LENGTH + sizeof salt];
  SHA1(reinterpret_cast<const unsigned char*>(salted.data()), salted.size(), digest);
  std::copy(salt, salt + sizeof salt, digest + SHA_DIGEST_LENGTH);
  std::string encoded(4 * ((sizeof digest + 2) / 3) + 1, '\0');
  encoded.resize(static_cast<std::size_t>(
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()), digest, static_cast<int>(sizeof digest))));
  return user + ":{SSHA}" + encoded + "\n";
}

// The name of a site's pieces in OUT/sites/ and of its nginx variable: "/" gives
// "root", "/games/win/" gives "games_win".
std::string SiteSlug(const std::string& base) {
  std::string slug;
  for (const char c : base.substr(1, base.size() - 2)) {
    slug += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return slug.empty() ? "root" : slug;
}

// One nginx for every site published into OUT: each site brings its own pieces
// (sites/SLUG.map at the http level, sites/SLUG.locations in the server).
std::string NginxConf(const fs::path& out, const std::string& listen) {
  const std::string o = out.string();
  return "# Written by tandrel-admin publish. Run it with:\n"
         "#   nginx -p " +
         o + " -c " + o +
         "/nginx.conf\n"
         "worker_processes auto;\n"
         "pid " +
         o +
         "/run/nginx.pid;\n"
         "error_log " +
         o +
         "/logs/error.log;\n"
         "events { worker_connections 1024; }\n"
         "http {\n"
         "  access_log " +
         o +
         "/logs/access.log;\n"
         "  client_body_temp_path " +
         o +
         "/run/body;\n"
         "  proxy_temp_path " +
         o +
         "/run/proxy;\n"
         "  fastcgi_temp_path " +
         o +
         "/run/fastcgi;\n"
         "  uwsgi_temp_path " +
         o +
         "/run/uwsgi;\n"
         "  scgi_temp_path " +
         o +
         "/run/scgi;\n"
         "  default_type application/octet-stream;\n"
         "  types { image/png png; }\n"
         "  sendfile on;\n"
         "  etag on;  # with Last-Modified: what a resumed download's If-Range names\n"
         "  keepalive_timeout 30;\n"
         "  include " +
         o +
         "/sites/*.map;\n"
         "  server {\n"
         "    listen " +
         listen +
         ";\n"
         "    root " +
         o +
         "/www;\n"
         "    include " +
         o +
         "/sites/*.locations;\n"
         "    location / { return 404; }\n"
         "  }\n"
         "}\n";
}

// "ok" only for the digest of the published box: any other box updates itself.
std::string SiteMap(const std::string& slug, const std::string& boxMd5) {
  return "map $arg_hash $tandrel_update_answer_" + slug +
         " {\n"
         "  default \"update\";\n"
         "  \"" +
         boxMd5 +
         "\" \"ok\";\n"
         "}\n";
}

// Every answer the box asks for is revalidated: a CDN never keeps players on an
// old release.
std::string SiteLocations(const fs::path& out, const std::string& base, const std::string& slug) {
  const std::string auth = "  auth_basic \"Tandrel\";\n  auth_basic_user_file " + out.string() + "/sites/" + slug +
                           ".htpasswd;\n  add_header Cache-Control \"no-cache\" always;\n";
  return "location = " + base + " {\n" + auth + "  rewrite ^ " + base +
         "list.bin break;  # the list is the base path's own content\n"
         "}\n"
         "# A file, not \"return\": \"return\" would answer before the authentication.\n"
         "location = " +
         base + "getcode/ {\n" + auth +
         "  default_type \"text/plain; charset=utf-8\";\n"
         "  rewrite ^ " +
         base + "getcode-answer/$tandrel_update_answer_" + slug +
         " break;\n"
         "}\n"
         "location " +
         base + "getvalue/ { add_header Cache-Control \"no-cache\" always; }\n";
}

}  // namespace

int Publish(const std::vector<std::string>& words) {
  const Args args(words, {"--listen", "--base-path", "--mirror-tree"}, {});
  args.ExpectPositionals(2, "SITE and OUT");
  const SiteFolder site(args.positionals()[0]);
  const fs::path out = fs::absolute(args.positionals()[1]);
  const std::string listen = args.Value("--listen").value_or("80");
  const std::string base = args.Value("--base-path").value_or("/");
  if (!base.starts_with('/') || !base.ends_with('/')) throw UsageError("--base-path must start and end with \"/\"");
  if (!fs::exists(site.Box())) throw std::runtime_error(site.Box().string() + " is missing: publish the box too");
  // Only what the service would serve goes out, checked by the same function.
  const auto box = site.OpenBox();
  if (!box) throw std::runtime_error(site.Box().string() + " is no regular file of the site folder itself (a link?)");
  // A signed site goes out as signed, or not at all.
  if (site.Signed()) {
    const std::vector<std::string> faults = SiteMismatches(site);
    if (!faults.empty()) throw std::runtime_error("the site does not match its signed release: " + faults.front());
  }
  const auto logo = site.OpenServedLogo();
  if (!logo) {
    throw std::runtime_error(site.Logo().string() +
                             " is missing, or no regular file of the site folder itself (a link?)");
  }

  const auto plain = ReadWholeFile(site.ServedList());
  const TConfig list = ReadList(plain);  // only what the box can read goes out
  const fs::path www = out / "www" / base.substr(1);
  for (const char* folder : {"logs", "run"}) EnsureFolder(out / folder);
  EnsureFolder(www / "getvalue");
  WriteFileAtomically(www / "list.bin", EncryptServerList(plain, site.keys().key, site.keys().iv));
  EnsureFolder(www / "getcode-answer");
  for (const std::string answer : {"ok", "update"}) WriteFileAtomically(www / "getcode-answer" / answer, Bytes(answer));
  CopyFileAtomically(logo->OpenPath(), www / "getvalue" / "logo.png", fs::perms(0644));
  CopyFileAtomically(box->OpenPath(), www / "getvalue" / "box.exe", fs::perms(0644));
  // What a mirror serves, below its own base as below the service's: the box and
  // the launchers only (the box trusts a mirror for nothing, its digests decide).
  std::vector<fs::path> mirrored{www / "getvalue" / "box.exe"};
  std::set<std::string> launchers;
  for (const TBoxConfig& e : list.ServerList()) {
    // getvalue/box.exe is the update: a launcher named box would overwrite the box.
    if (EqualsIgnoringAsciiCase(e.LauncherName, "box")) {
      throw std::runtime_error("a launcher named \"" + e.LauncherName + "\" would overwrite the box: rename it");
    }
    if (!e.LauncherName.empty() && !IsSafeLauncherName(e.LauncherName)) {
      throw std::runtime_error("the launcher name \"" + e.LauncherName + "\" is one the box refuses: rename it");
    }
  }
  for (const TBoxConfig& e : list.ServerList()) {
    if (e.LauncherName.empty() || !launchers.insert(e.LauncherName).second) continue;
    const fs::path from = site.LaunchersDir() / (e.LauncherName + ".exe");
    const auto launcher = site.OpenLauncher(e.LauncherName);
    if (!launcher) {
      std::error_code error;
      const bool missing = !fs::exists(fs::symlink_status(from, error));
      std::fprintf(stderr, "tandrel-admin publish: %s %s; its servers cannot start\n",
                   EscapeControls(from.string()).c_str(),
                   missing ? "is missing" : "is no regular file inside launchers/ (a link out of it?), not published");
      continue;
    }
    CopyFileAtomically(launcher->OpenPath(), www / "getvalue" / (e.LauncherName + ".exe"), fs::perms(0644));
    mirrored.push_back(www / "getvalue" / (e.LauncherName + ".exe"));
  }
  if (const auto tree = args.Value("--mirror-tree")) {
    EnsureFolder(fs::path(*tree) / "getvalue");
    for (const fs::path& file : mirrored) {
      CopyFileAtomically(file, fs::path(*tree) / "getvalue" / file.filename(), fs::perms(0644));
    }
    std::printf("Mirror tree: %zu files in %s/getvalue/, for any static web server\n", mirrored.size(),
                EscapeControls(*tree).c_str());
  }
  // The record last: it never names files not yet published.
  if (const auto record = site.OpenRecord()) {
    CopyFileAtomically(record->OpenPath(), www / "getvalue" / "release.txt", fs::perms(0644));
  }
  const std::string slug = SiteSlug(base);
  EnsureFolder(out / "sites");
  WriteFileAtomically(out / "sites" / (slug + ".htpasswd"), Bytes(HtpasswdLine(site.keys().user, site.keys().password)),
                      fs::perms(0644));
  WriteFileAtomically(out / "sites" / (slug + ".map"), Bytes(SiteMap(slug, GetFileMd5(box->OpenPath().string()))));
  WriteFileAtomically(out / "sites" / (slug + ".locations"), Bytes(SiteLocations(out, base, slug)));
  WriteFileAtomically(out / "nginx.conf", Bytes(NginxConf(out, listen)));
  // A web server's workers run as another user: they must be able to read it all.
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    if (entry.is_directory()) fs::permissions(entry.path(), fs::perms(0755));
  }
  fs::permissions(out, fs::perms(0755));
  const std::string o = EscapeControls(out.string());
  std::printf(
      "Published %zu servers and %zu launchers to %s\nServe it with:  nginx -p %s -c %s/nginx.conf\n"
      "A running nginx reloads with:  nginx -p %s -c %s/nginx.conf -s reload\n",
      list.ServerList().size(), launchers.size(), o.c_str(), o.c_str(), o.c_str(), o.c_str(), o.c_str());
  return 0;
}

}  // namespace tandrel::admin
