// Every file of the public JSON parsing suite goes through the loader's decoding
// and the document reader: no crash, no hang; n_ files are refused unless a whole
// root object stands before their fault; y_ files are refused only for their types.
#include "core/FileIo.h"
#include "core/ServerListLoader.h"
#include "core/uConfig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>
#include <set>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

// A complete root object followed by something other than white space.
bool IsObjectWithTrailingText(const std::string& text) {
  rapidjson::MemoryStream stream(text.data(), text.size());
  rapidjson::Document document;
  document.ParseStream<rapidjson::kParseStopWhenDoneFlag>(stream);
  if (document.HasParseError() || !document.IsObject()) return false;
  return text.find_first_not_of(" \t\r\n", stream.Tell()) != std::string::npos;
}

bool IsTypeMessage(const std::string& message) {
  static const std::set<std::string> kTypeMessages = {
      "Implement population for rest of the types",
      "Unexpected Token while populate an Array",
      "Unexpected type while read json array",
      "Unexpected type to create a primitive contract",
      "Invalid class typecast",
  };
  return kTypeMessages.count(message) || message.starts_with("Error reading string. Unexpected token: ");
}

TEST(DocumentConformance, HandlesEveryFileOfTheJsonSuite) {
  const fs::path suite = TANDREL_JSON_SUITE;
  ASSERT_TRUE(fs::is_directory(suite)) << suite << " is missing";
  int files = 0;
  for (const auto& file : fs::directory_iterator(suite)) {
    const std::string name = file.path().filename().string();
    const auto bytes = ReadWholeFile(file.path());
    const std::string text(bytes.begin(), bytes.end());
    std::optional<std::string> refusal;
    try {
      ReadDocument(bytes);
    } catch (const DocumentError& e) {
      refusal = e.what();
    }
    ++files;
    if (name.starts_with("n_")) {
      if (!refusal) {
        EXPECT_TRUE(IsObjectWithTrailingText(text)) << name << " was accepted";
      }
    } else if (name.starts_with("y_")) {
      if (refusal) {
        EXPECT_TRUE(IsTypeMessage(*refusal)) << name << ": " << *refusal;
      }
    }
  }
  EXPECT_GT(files, 300);
}

// Every value RFC 8259 allows, however far its numbers or lone surrogates go beyond
// what a program can store, is read and left without trace in a member that is skipped.
TEST(DocumentConformance, SkipsEveryValueOfTheJsonSuite) {
  // Not UTF-8 JSON text (UTF-16, or a byte-order mark where a value belongs).
  const std::set<std::string> kNotUtf8Values = {"i_string_UTF-16LE_with_BOM.json", "i_string_utf16BE_no_BOM.json",
                                                "i_string_utf16LE_no_BOM.json",
                                                "i_structure_UTF-8_BOM_empty_object.json"};
  int files = 0;
  for (const auto& file : fs::directory_iterator(TANDREL_JSON_SUITE)) {
    const std::string name = file.path().filename().string();
    if (!(name.starts_with("y_") || name.starts_with("i_")) || kNotUtf8Values.count(name)) continue;
    const auto bytes = ReadWholeFile(file.path());
    const std::string document = "{\"Skip\":" + std::string(bytes.begin(), bytes.end()) +
                                 ",\"ServerList\":{\"FListHelper\":[{\"ServerName\":\"A\"}]}}";
    ++files;
    try {
      const TConfig config(document);
      ASSERT_EQ(config.ServerList().size(), 1u) << name;
      EXPECT_EQ(config.ServerList()[0].ServerName, "A") << name;
    } catch (const DocumentError& e) {
      ADD_FAILURE() << name << ": " << e.what();
    }
  }
  EXPECT_GT(files, 120);
}

}  // namespace
}  // namespace tandrel
