// tandrel-admin: the operator's tool for branding, checking and serving a box.
#include "Commands.h"
#include "TerminalText.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <map>

namespace {

constexpr const char* kUsage =
    "usage: tandrel-admin COMMAND ...\n"
    "  stamp IN OUT --url URL --name NAME [--install-dir NAME] [--trace TEXT]\n"
    "        [--key HEX --iv HEX] [--user HEX32 --password HEX32 | --new-credentials | --site-dir SITE]\n"
    "        [--trust-key PUBLIC --trust-key STANDBY]   (with --site-dir)\n"
    "        [--mirror URL... | --no-mirrors]  (up to three; launchers, and with trust keys the box,\n"
    "                     come from a mirror when the service fails; a restamp keeps them unless given)\n"
    "                     write a copy of the box IN branded with these site settings\n"
    "  show BIN           print the site settings of a box\n"
    "  digest FILE...     print MD5 digests as md5sum does, for the list's \"Md5\" fields\n"
    "  encrypt KEYS IN OUT  encrypt a plain list for the service (AES-128-CBC, PKCS#7)\n"
    "  decrypt KEYS IN OUT  decrypt a list body as the box does\n"
    "  check [--encrypted KEYS] [--json] FILE\n"
    "                     read a list as the box will: its entries, or the box's error\n"
    "  serve SITE [--listen ADDR] [--port N] [--base-path /P/] [--exit-after SECONDS]\n"
    "                     the reference web service for a site folder; prints its base URL first\n"
    "  new-site DIR [--launcher PROGRAM]\n"
    "                     write an example site with fresh keys and credentials\n"
    "  publish SITE OUT [--listen ADDR:PORT] [--base-path /P/] [--mirror-tree DIR]\n"
    "                     the site as static files with a ready nginx configuration;\n"
    "                     DIR: the box and launchers as a mirror serves them\n"
    "  keygen KEYFILE     make a signing key pair (keep KEYFILE offline); prints the public key\n"
    "  sign SITE --key KEYFILE\n"
    "                     sign the site's list, banner, box and launchers into SITE/release.txt\n"
    "  verify SITE | verify URL --box BOX\n"
    "                     check a site folder, or a live service as BOX will, against the signed release\n"
    "KEYS is --key HEX --iv HEX, --site BIN (a stamped box) or --site-dir SITE.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace tandrel::admin;
  const std::map<std::string, std::function<int(const std::vector<std::string>&)>> commands = {
      {"stamp", Stamp},     {"show", Show},     {"digest", Digest}, {"encrypt", Encrypt},
      {"decrypt", Decrypt}, {"check", Check},   {"serve", Serve},   {"new-site", NewSite},
      {"publish", Publish}, {"keygen", Keygen}, {"sign", Sign},     {"verify", Verify},
  };
  if (argc < 2 || !commands.count(argv[1])) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    return commands.at(argv[1])(std::vector<std::string>(argv + 2, argv + argc));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "tandrel-admin %s: %s\n%s", argv[1], EscapeControls(e.what()).c_str(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    // A list's member names, a file's lines: the message may hold text from anywhere.
    std::fprintf(stderr, "tandrel-admin %s: %s\n", argv[1], EscapeControls(e.what()).c_str());
    return 1;
  }
}
