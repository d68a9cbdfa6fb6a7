// The default failure report's text rule and Guarded, the one place that catches.
#include "core/forms/FailureReport.h"

#include "core/Paths.h"
#include "platform/Charsets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel::forms {
namespace {

TEST(FailureReport, AppendsAFullStopOnlyAfterCharactersAboveIt) {
  const struct {
    std::string message, shown;
  } cases[] = {
      {"Unsupported stream format", "Unsupported stream format."},
      {"Ends with a stop.", "Ends with a stop."},
      {"Question?", "Question?."},  // '?' is above '.'
      {"dash -", "dash -"},         // '-' is below '.'
      {"slash/", "slash/."},        // '/' is the next code after '.'
      {"系统错误", "系统错误."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureText(c.message), c.shown) << c.message;
}

// Records the reports instead of showing them.
class FailureReportTest : public ::testing::Test {
 protected:
  FailureReportTest() {
    SetApplicationTitle("Box-7");
    SetFailureReport(
        [this](const std::string& caption, const std::string& text) { reports_.push_back(caption + ": " + text); });
  }
  ~FailureReportTest() override {
    SetFailureReport(nullptr);
    SetApplicationTitle("");
  }
  std::vector<std::string> reports_;
};

TEST_F(FailureReportTest, AFailingHandlerIsReportedWithTheTitleAndTheProgramGoesOn) {
  bool after = false;
  Guarded([&] {
    throw std::runtime_error("The handler failed");
    after = true;  // never reached: the rest of the handler does not run
  });
  EXPECT_FALSE(after);
  Guarded([] { throw 42; });
  int ran = 0;
  Guarded([&] { ++ran; });
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(reports_, (std::vector<std::string>{"Box-7: The handler failed.", "Box-7: Unknown failure."}));
}

// The library's own words for a system failure are in the system's narrow
// character set; the report's are UTF-8, with the paths as the box names them.
TEST_F(FailureReportTest, SystemFailuresAreWordedFromTheirCodes) {
  const auto denied = std::make_error_code(std::errc::permission_denied);
  Guarded([&] {
    throw std::filesystem::filesystem_error("cannot copy", PathFromUtf8("盒子/a"), PathFromUtf8("b"), denied);
  });
  Guarded([&] { throw std::system_error(denied, "cannot start"); });
  const std::string words = platform::ErrorCodeText(denied);
  EXPECT_EQ(reports_,
            (std::vector<std::string>{"Box-7: " + words + " \"盒子/a\" \"b\"", "Box-7: " + FailureText(words)}));
}

}  // namespace
}  // namespace tandrel::forms
