#include "core/uConfig.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

std::vector<std::string> Names(const TConfig& config) {
  std::vector<std::string> names;
  for (const auto& e : config.ServerList()) names.push_back(e.ServerName);
  return names;
}

TEST(TConfig, ReadsTheNormalFormWithAllSixFields) {
  const TConfig config(R"({"ServerList":{"FListHelper":[
      {"ServerName":"Server A","LauncherName":"launcher_a","Url":"http://a.example/",
       "BriefIntroduction":"An introduction line","BeginTime":"12月31日上午11:00",
       "Md5":"0123456789abcdef0123456789abcdef"},
      {"ServerName":"Server B","LauncherName":"launcher_b","Url":"","BriefIntroduction":"","BeginTime":"","Md5":""}
    ]}})");
  ASSERT_EQ(config.ServerList().size(), 2u);
  EXPECT_EQ(config.ServerList()[0], (TBoxConfig{"Server A", "launcher_a", "http://a.example/", "An introduction line",
                                                "12月31日上午11:00", "0123456789abcdef0123456789abcdef"}));
  EXPECT_EQ(config.ServerList()[1], (TBoxConfig{"Server B", "launcher_b", "", "", "", ""}));
}

struct Accepted {
  std::string document;
  std::vector<std::string> names;
};

TEST(TConfig, MapsMembersByTheDocumentRules) {
  const std::vector<Accepted> cases = {
      {R"({"ServerList":{"FListHelper":[]}})", {}},
      {"{}", {}},
      {R"({"ServerList":null})", {}},
      {R"({"ServerList":{}})", {}},
      {R"({"serverlist":{"flisthelper":[{"servername":"A"}]}})", {"A"}},
      {R"({"ServerList":{"FListHelper":{"FCount":5},"FItems":[{"ServerName":"A"},{"ServerName":"B"}]}})", {"A", "B"}},
      {R"({"ServerList":{"flisthelper":{"fcount":-0},"fitems":[{"ServerName":"A"}]}})", {"A"}},
      {R"({"ServerList":{"FListHelper":[null,{"ServerName":"A"},null]}})", {"A"}},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A","ServerName":"B"}]}})", {"B"}},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A","ServerName":null}]}})", {"A"}},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A","Port":7000,"Extra":{"a":[1,2]}}]}})", {"A"}},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A"}],"FListHelper":[{"ServerName":"B"}]}})", {"B"}},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A"},{"ServerName":"A"}]}})", {"A", "A"}},
      // A later list object without "FListHelper" keeps what an earlier one filled in.
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A"}]},"ServerList":{}})", {"A"}},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A"}]},"ServerList":null})", {"A"}},
      {R"({"Other":[1,{"ServerList":5}],"ServerList":{"FListHelper":[{"ServerName":"C"}]},"Tail":true})", {"C"}},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A\u00e9\n\"q\""}]}})", {"Aé\n\"q\""}},
      {"{\"ServerList\":{\"FListHelper\":[{\"ServerName\":\"A\"}]}}\x05\x05\x05\x05\x05", {"A"}},
      {std::string("{\"ServerList\":{\"FListHelper\":[{\"ServerName\":\"A\"}]}}\0\0\0\0", 51), {"A"}},
      {"{} trailing garbage } ] {", {}},
      {" \r\n\t{}", {}},
  };
  for (const auto& c : cases) {
    try {
      EXPECT_EQ(Names(TConfig(c.document)), c.names) << c.document;
    } catch (const DocumentError& e) {
      ADD_FAILURE() << c.document << " was refused: " << e.what();
    }
  }
}

// RFC 8259 sets numbers no range and lets a \u escape name a lone surrogate: such
// values are read wherever they stand, however far beyond a double they go.
TEST(TConfig, AcceptsNumbersAndEscapesBeyondWhatItStores) {
  const std::string digits400(400, '9');
  const std::vector<Accepted> cases = {
      {R"({"Skip":1e309,"ServerList":{"FListHelper":[{"ServerName":"A","Port":-1.5E+400}]}})", {"A"}},
      {R"({"Skip":[)" + digits400 + ",-" + digits400 + "." + digits400 +
           R"(],"ServerList":{"FListHelper":[{"ServerName":"A"}]}})",
       {"A"}},
      {R"({"ServerList":{"FListHelper":{"FCount":)" + digits400 + R"(},"FItems":[{"ServerName":"A"}]}})", {"A"}},
      {R"({"ServerList":{"FListHelper":{"FCount":-)" + digits400 + R"(},"FItems":[{"ServerName":"A"}]}})", {"A"}},
      {R"({"Skip":"\ud800","ServerList":{"FListHelper":[{"ServerName":"A","Note":"x\udc00\ud800y"}]}})", {"A"}},
      {R"({"\udfff":{"\ud800":1},"ServerList":{"FListHelper":[{"\udbffServerName":"B","ServerName":"A"}]}})", {"A"}},
  };
  for (const auto& c : cases) {
    try {
      EXPECT_EQ(Names(TConfig(c.document)), c.names) << c.document;
    } catch (const DocumentError& e) {
      ADD_FAILURE() << c.document << " was refused: " << e.what();
    }
  }
}

TEST(TConfig, ReadsEachLoneSurrogateAsOneReplacementCharacter) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"(\ud800)", "\uFFFD"},
      {R"(\udc00x)", "\uFFFDx"},
      {R"(a\udbff)", "a\uFFFD"},
      {R"(\ud800\ud800)", "\uFFFD\uFFFD"},
      {R"(\ud800\u0041)", "\uFFFDA"},
      {R"(\ud800\n)", "\uFFFD\n"},
      {R"(\udc00\ud800)", "\uFFFD\uFFFD"},
      {R"(\ud83d\ude00)", "\U0001F600"},  // a pair is still one character
      {R"(\uDBFF\uDFFF\ud800)", "\U0010FFFF\uFFFD"},
  };
  for (const auto& [escaped, text] : cases) {
    const std::string document = R"({"ServerList":{"FListHelper":[{"ServerName":")" + escaped + R"("}]}})";
    try {
      const TConfig config(document);
      ASSERT_EQ(config.ServerList().size(), 1u) << document;
      EXPECT_EQ(config.ServerList()[0].ServerName, text) << document;
    } catch (const DocumentError& e) {
      ADD_FAILURE() << document << " was refused: " << e.what();
    }
  }
}

// Plain runs of a string are read several characters at a time: an escape, a
// control character or the closing quotation mark is found wherever it falls
// in such a run, and the text after an escape moves back over what it saved.
TEST(TConfig, FindsEscapesAndEndsAtEveryPlaceInLongStrings) {
  const std::string plain = "abcdefgh中文ijklmnopqrstuvwxyz0123456789";
  for (std::size_t at = 0; at <= 24; ++at) {
    if ((plain[at] & 0xC0) == 0x80) continue;  // within a character
    const std::string before = plain.substr(0, at), after = plain.substr(at);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {before, before},
        {before + R"(\n)" + after, before + "\n" + after},
        {before + R"(\"\\\u00e9)" + after + R"(\t)" + after, before + "\"\\é" + after + "\t" + after},
    };
    for (const auto& [escaped, text] : cases) {
      const std::string document = R"({"ServerList":{"FListHelper":[{"ServerName":")" + escaped + R"(","Url":"u"}]}})";
      try {
        const TConfig config(document);
        ASSERT_EQ(config.ServerList().size(), 1u) << document;
        EXPECT_EQ(config.ServerList()[0], (TBoxConfig{text, "", "u", "", "", ""})) << document;
      } catch (const DocumentError& e) {
        ADD_FAILURE() << document << " was refused: " << e.what();
      }
    }
    const std::string control = R"({"ServerList":{"FListHelper":[{"ServerName":")" + before + "\x01" + after + "\"}]}}";
    EXPECT_THROW(TConfig{control}, DocumentError) << control;
  }
}

TEST(TConfig, KeepsTextThatLooksLikeOtherTypes) {
  const TConfig config(R"({"ServerList":{"FListHelper":[{"Md5":"123","BeginTime":"2026-12-31 11:00"}]}})");
  EXPECT_EQ(config.ServerList()[0].Md5, "123");
  EXPECT_EQ(config.ServerList()[0].BeginTime, "2026-12-31 11:00");
}

struct Refused {
  std::string document;
  std::string message;
};

TEST(TConfig, RefusesWithTheDocumentedMessages) {
  const std::vector<Refused> cases = {
      {"", "Implement population for rest of the types"},
      {"  \n ", "Implement population for rest of the types"},
      {R"("text")", "Implement population for rest of the types"},
      {"42", "Implement population for rest of the types"},
      {"true", "Implement population for rest of the types"},
      {"null", "Implement population for rest of the types"},
      {R"([{"ServerList":{}}])", "Unexpected Token while populate an Array"},
      {R"({"ServerList":[{"ServerName":"A"}]})", "Unexpected type while read json array"},
      {R"({"ServerList":{"FListHelper":[[]]}})", "Unexpected type while read json array"},
      {R"({"ServerList":"x"})", "Unexpected type to create a primitive contract"},
      {R"({"ServerList":1})", "Unexpected type to create a primitive contract"},
      {R"({"ServerList":{"FListHelper":[true]}})", "Unexpected type to create a primitive contract"},
      {R"({"ServerList":{"FListHelper":["A"]}})", "Unexpected type to create a primitive contract"},
      {R"({"ServerList":{"FListHelper":[{"Md5":123}]}})", "Invalid class typecast"},
      {R"({"ServerList":{"FListHelper":[{"Md5":false}]}})", "Invalid class typecast"},
      {R"({"ServerList":{"FListHelper":[{"Md5":1e309}]}})", "Invalid class typecast"},
      {R"({"ServerList":1e309})", "Unexpected type to create a primitive contract"},
      // A fractional "FCount" that a double cannot hold is refused for that first.
      {R"({"ServerList":{"FListHelper":{"FCount":1e309},"FItems":[]}})",
       "Number too big to be stored in double. Path 'ServerList.FListHelper.FCount', line 1, position 40"},
      {R"({"ServerList":{"FListHelper":{"FCount":1e2},"FItems":[]}})",
       "\"FCount\" must hold a whole number. Path 'ServerList.FListHelper.FCount', line 1, position 39"},
      {R"({"ServerList":{"FListHelper":[{"Md5":{}}]}})",
       "Error reading string. Unexpected token: StartObject. Path 'ServerList.FListHelper[0].Md5', line 1, position "
       "38"},
      {"{\"ServerList\":{\"FListHelper\":[\n  {\"ServerName\":\"A\"},\n  {\"Url\":[\"x\"]}]}}",
       "Error reading string. Unexpected token: StartArray. Path 'ServerList.FListHelper[1].Url', line 3, position 10"},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A"})", "Unexpected end when deserializing array"},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A")", "Unexpected end when deserializing object"},
      {R"({"ServerList":{"FListHelper":[{"ServerName":)", "Unexpected end when deserializing object"},
      {R"({"ServerList":{"FListHelper":[)", "Unexpected end when deserializing array"},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A"},)", "Unexpected end when deserializing array"},
      {"{", "Unexpected end when deserializing object"},
      {R"({"a":[1,)", "Unexpected end when deserializing array"},
      // The text ends inside a string: a value, a member name, an escape.
      {R"({"ServerList":{"FListHelper":[{"ServerName":"ab)", "Unexpected end when deserializing object"},
      {R"({"ServerList":{"FListHelper":["ab)", "Unexpected end when deserializing array"},
      {R"({"ServerList":{"FListHelper":[{"Server)", "Unexpected end when deserializing object"},
      {R"({")", "Unexpected end when deserializing object"},
      {R"({"a":["x\)", "Unexpected end when deserializing array"},
      {R"({"a":"x\u)", "Unexpected end when deserializing object"},
      {R"({"a":"x\u12)", "Unexpected end when deserializing object"},
      {R"({"a":"\ud800\u1)", "Unexpected end when deserializing object"},
  };
  for (const auto& c : cases) {
    try {
      TConfig config(c.document);
      ADD_FAILURE() << c.document << " was accepted";
    } catch (const DocumentError& e) {
      EXPECT_EQ(e.what(), c.message) << c.document;
    }
  }
}

TEST(TConfig, RefusesGrammarBreachesWithPathLineAndPosition) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"({"ServerList":{"FListHelper":[{"ServerName":"A",}]}})",
       "Path 'ServerList.FListHelper[0].ServerName', line 1, position 49"},
      {"{\"ServerList\":\n{'FListHelper':[]}}", "Path 'ServerList', line 2, position 2"},
      {R"({"ServerList":{"FListHelper":[{"ServerName":"中文" "x"}]}})",
       "Path 'ServerList.FListHelper[0].ServerName', line 1, position 50"},  // characters, not bytes
      // A string with a fault before the text ends is no unexpected end.
      {R"({"ServerList":{"FListHelper":[{"ServerName":"\u12"}]}})",
       "Path 'ServerList.FListHelper[0].ServerName', line 1, position 46"},
      {R"({"a":"\q)", "Path 'a', line 1, position 7"},
      {R"({"a":"\u12x)", "Path 'a', line 1, position 7"},
      {"{\"a\":\"x\n", "Path 'a', line 1, position 8"},
      {std::string("{\"a\":\"x\0", 8), "Path 'a', line 1, position 8"},
  };
  for (const auto& [document, suffix] : cases) {
    try {
      TConfig config(document);
      ADD_FAILURE() << document << " was accepted";
    } catch (const DocumentError& e) {
      const std::string message = e.what();
      EXPECT_TRUE(message.ends_with(suffix)) << message;
      EXPECT_NE(message.find(". Path '"), std::string::npos) << message;  // the reason ends with one full stop
      EXPECT_EQ(message.find(".. Path"), std::string::npos) << message;
    }
  }
}

TEST(TConfig, RefusesListShapesTheProducerNeverSends) {
  for (const std::string document : {
           R"({"ServerList":{"FListHelper":null}})",
           R"({"ServerList":{"FListHelper":"x"}})",
           R"({"ServerList":{"FListHelper":{"FCount":1.5},"FItems":[]}})",
           R"({"ServerList":{"FListHelper":{"FCount":1e2},"FItems":[]}})",
           R"({"ServerList":{"FListHelper":{"FCount":"2"},"FItems":[]}})",
           R"({"ServerList":{"FListHelper":{"FCount":1,"Other":2},"FItems":[]}})",
           R"({"ServerList":{"FListHelper":{},"FItems":[]}})",
           R"({"ServerList":{"FListHelper":{"FCount":1}}})",
           R"({"ServerList":{"FListHelper":{"FCount":1},"Other":1,"FItems":[]}})",
           R"({"ServerList":{"FListHelper":{"FCount":1},"FItems":{}}})",
           R"({"ServerList":{"FItems":[{"ServerName":"A"}]}})",
           R"({"ServerList":{"FListHelper":[],"FItems":[]}})",
           R"({"ServerList":{"Count":2}})",
       }) {
    EXPECT_THROW(TConfig{document}, DocumentError) << document;
  }
}

TEST(TConfig, ReadsDeepNestingWithoutExhaustingTheStack) {
  const std::string deep = "{\"skip\":" + std::string(200000, '[') + std::string(200000, ']') + "}";
  EXPECT_TRUE(TConfig(deep).ServerList().empty());
  EXPECT_THROW(TConfig("{\"skip\":" + std::string(200000, '[')), DocumentError);
}

}  // namespace
}  // namespace tandrel
