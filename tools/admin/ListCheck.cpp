#include "ListCheck.h"

#include "TerminalText.h"

#include "core/ServerListLoader.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

namespace tandrel::admin {

TConfig ReadList(std::span<const std::uint8_t> bytes, const std::optional<ListKeys>& keys) {
  if (!keys) return ReadDocument(bytes);
  return ReadDocument(DecryptServerList({bytes.begin(), bytes.end()}, keys->key, keys->iv));
}

namespace {

using Writer = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

void WriteEntries(Writer& writer, const std::vector<TBoxConfig>& entries) {
  writer.StartArray();
  for (const TBoxConfig& e : entries) {
    writer.StartObject();
    for (const auto& [name, value] : {std::pair<const char*, const std::string&>{"ServerName", e.ServerName},
                                      {"LauncherName", e.LauncherName},
                                      {"Url", e.Url},
                                      {"BriefIntroduction", e.BriefIntroduction},
                                      {"BeginTime", e.BeginTime},
                                      {"Md5", e.Md5}}) {
      writer.Key(name);
      writer.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
    }
    writer.EndObject();
  }
  writer.EndArray();
}

}  // namespace

std::string EntriesJson(const std::vector<TBoxConfig>& entries) {
  rapidjson::StringBuffer buffer;
  Writer writer(buffer);
  writer.SetIndent(' ', 2);
  WriteEntries(writer, entries);
  return EscapeJsonControls(std::string_view(buffer.GetString(), buffer.GetSize())) + "\n";
}

std::string DocumentJson(const std::vector<TBoxConfig>& entries) {
  rapidjson::StringBuffer buffer;
  Writer writer(buffer);
  writer.SetIndent(' ', 2);
  writer.StartObject();
  writer.Key("ServerList");
  writer.StartObject();
  writer.Key("FListHelper");
  WriteEntries(writer, entries);
  writer.EndObject();
  writer.EndObject();
  return EscapeJsonControls(std::string_view(buffer.GetString(), buffer.GetSize())) + "\n";
}

}  // namespace tandrel::admin
