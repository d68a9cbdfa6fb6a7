// new-site: a small example site that the reference service serves at once.
#include "Commands.h"
#include "ListCheck.h"
#include "SiteFolder.h"

#include "core/FileIo.h"
#include "core/crypto.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

extern const unsigned char kDemoBanner[];
extern const std::size_t kDemoBanner_size;

namespace tandrel::admin {
namespace {

namespace fs = std::filesystem;

constexpr std::array kRealms = {"龙城", "火云", "苍穹", "玄武", "朱雀", "青龙", "白虎", "紫霄", "凌霄",
                                "幽冥", "烈阳", "天罡", "九黎", "昆仑", "蓬莱", "瀛洲", "沧海", "落霞",
                                "星河", "雷泽", "赤霄", "轩辕", "太初", "鸿蒙", "混沌"};
constexpr std::array kIntroductions = {
    "全新版本火爆开启 · 首充送神兵", "经典复古 · 原汁原味 · 装备全靠打", "十倍经验 · 每日登录送元宝",
    "跨服战场开放 · 攻城赢大奖",     "新区冲级赛 · 前十名送坐骑",        "怀旧版本 · 散人福利 · 不卖数值",
    "周末双倍爆率 · 首杀BOSS有奖励", "老玩家回归 · 专属礼包等你领",
};
constexpr std::array kLaunchers = {"corvessa_classic", "corvessa_legend", "corvessa_blaze", "corvessa_storm",
                                   "corvessa_dawn"};

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Without a launcher program of the demo's, the launchers are scripts that stand in
// for a game's: they leave a line in $TANDREL_LAUNCHER_PROOF.
std::string LauncherScript(const std::string& name) {
  return "#!/bin/sh\n"
         "# Demo launcher \"" +
         name +
         "\" of a Tandrel example site.\n"
         "if [ -n \"$TANDREL_LAUNCHER_PROOF\" ]; then echo \"" +
         name + " started\" >> \"$TANDREL_LAUNCHER_PROOF\"; fi\n";
}

// "12月31日上午11:00": the newest server opens tomorrow, each older one two days before.
std::string OpeningTime(int serverIndex) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t day = std::chrono::system_clock::to_time_t(now + std::chrono::hours(24 * (1 - 2 * serverIndex)));
  std::tm tm{};
  localtime_r(&day, &tm);
  static constexpr std::array<std::pair<const char*, const char*>, 3> kHours = {
      {{"上午", "10:00"}, {"下午", "2:00"}, {"晚上", "7:30"}}};
  const auto& [part, clock] = kHours[static_cast<std::size_t>(serverIndex) % kHours.size()];
  char text[64];
  std::snprintf(text, sizeof text, "%d月%d日%s%s", tm.tm_mon + 1, tm.tm_mday, part, clock);
  return text;
}

}  // namespace

int NewSite(const std::vector<std::string>& words) {
  const Args args(words, {"--launcher"}, {});
  args.ExpectPositionals(1, "the folder to make");
  const auto program = args.Value("--launcher");
  const fs::path root = args.positionals()[0];
  if (fs::exists(root) && !fs::is_empty(root)) throw std::runtime_error(root.string() + " exists and is not empty");
  fs::create_directories(root / "launchers");

  WriteSiteConf(root / "site.conf", RandomSiteKeys());
  WriteFileAtomically(root / "logo.png", std::span(kDemoBanner, kDemoBanner_size));

  std::vector<std::string> digests;
  for (const std::string name : kLaunchers) {
    const fs::path file = root / "launchers" / (name + ".exe");
    if (program) CopyFileAtomically(*program, file, fs::perms(0755));
    else WriteFileAtomically(file, Bytes(LauncherScript(name)), fs::perms(0755));
    digests.push_back(GetFileMd5(file.string()));
  }

  std::vector<TBoxConfig> servers;
  const int count = static_cast<int>(kRealms.size());
  for (int i = 0; i < count; ++i) {
    const int zone = count - i;  // newest first, as operators list them
    const std::size_t launcher = static_cast<std::size_t>(i) % kLaunchers.size();
    TBoxConfig server;
    server.ServerName = "赤焰" + std::to_string(zone) + "区 · " + kRealms[static_cast<std::size_t>(i)];
    server.LauncherName = kLaunchers[launcher];
    server.Url = i % 3 == 2 ? "" : "https://www.example.com/zone/" + std::to_string(zone);
    server.BriefIntroduction = kIntroductions[static_cast<std::size_t>(i) % kIntroductions.size()];
    server.BeginTime = OpeningTime(i);
    server.Md5 = digests[launcher];
    servers.push_back(server);
  }
  const std::string document = DocumentJson(servers);
  ReadList(Bytes(document));  // the box must read what we write
  WriteFileAtomically(root / "servers.json", Bytes(document));

  std::printf(
      "Made the site %s with %d servers.\n"
      "Stamp a box for it:  tandrel-admin stamp BOX OUT --url URL --name NAME --site-dir %s\n"
      "Put that box in as %s/box, then serve the site:  tandrel-admin serve %s\n",
      root.c_str(), count, root.c_str(), root.c_str(), root.c_str());
  return 0;
}

}  // namespace tandrel::admin
