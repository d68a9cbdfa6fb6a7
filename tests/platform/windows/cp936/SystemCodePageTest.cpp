// The box on a Chinese Windows, whose narrow character set (the ANSI code page)
// is 936: what the system and the standard library hand over in it reaches the
// player as the characters it means. Run under a zh_CN locale, from which Wine
// takes its ANSI code page.
#include "core/FileIo.h"
#include "core/Paths.h"
#include "core/Relocation.h"
#include "core/forms/FailureReport.h"
#include "platform/Charsets.h"
#include "platform/windows/WideText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace tandrel {
namespace {

bool IsUtf8(const std::string& text) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0;
}

class SystemCodePage : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetACP(), 936u) << "run under a zh_CN locale: LANG=zh_CN.UTF-8"; }
};

TEST_F(SystemCodePage, TheHandOffFilesOtherBytesAreReadInIt) {
  EXPECT_EQ(DecodeHandOffText("C:\\\xBA\xD0\xD7\xD3\\box.exe"), "C:\\盒子\\box.exe");
}

// The library words a system code in the code page; the box's text is UTF-8.
TEST_F(SystemCodePage, ErrorTextsReachTheReportAsUtf8) {
  const std::error_code denied(ERROR_ACCESS_DENIED, std::system_category());
  EXPECT_EQ(platform::ErrorCodeText(denied), platform::SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(IsUtf8(denied.message())) << "the library's own words are the code page's";

  // A folder where a file stands: the failure's whole text, as the report gets it.
  test::TempDir dir;
  const std::filesystem::path file = dir.path() / PathFromUtf8("盒子");
  test::WriteFile(file, "a file");
  std::vector<std::string> reported;
  forms::SetFailureReport([&](const std::string&, const std::string& text) { reported.push_back(text); });
  forms::Guarded([&] { EnsureFolder(file / "Downloads"); });
  forms::Guarded([&] { std::filesystem::create_directory(file / "Downloads"); });
  forms::SetFailureReport(nullptr);
  ASSERT_EQ(reported.size(), 2u);
  for (const std::string& text : reported) {
    EXPECT_TRUE(IsUtf8(text)) << text;
    EXPECT_NE(text.find("盒子"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace tandrel
