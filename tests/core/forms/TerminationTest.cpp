// A termination request stays requested and ends every loop that would start.
#include "core/forms/Termination.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrel::forms {
namespace {

class TerminationTest : public ::testing::Test {
 protected:
  TerminationTest() {
    ResetTerminationForTests();
    SetQuitRequest([this] { log_.push_back("quit posted"); });
  }
  ~TerminationTest() override {
    SetQuitRequest(nullptr);
    ResetTerminationForTests();
  }
  // A loop that notes it ran and ends with result.
  std::function<int()> Loop(const std::string& name, int result) {
    return [this, name, result] {
      log_.push_back(name + " ran");
      return result;
    };
  }
  std::vector<std::string> log_;
};

TEST_F(TerminationTest, LoopsRunUntilARequestAndNoneAfterIt) {
  EXPECT_FALSE(TerminationRequested());
  EXPECT_EQ(RunUnlessTerminating(Loop("message box", 1)), 1);
  // Requested inside a modal loop (as the update does before its message): that
  // loop ends by the toolkit's quit; every later one, the main loop too, ends at once.
  EXPECT_EQ(RunUnlessTerminating([this] {
              RequestTermination();
              return 5;
            }),
            5);
  EXPECT_TRUE(TerminationRequested());
  EXPECT_EQ(RunUnlessTerminating(Loop("\"结束进程1\"", 1)), 0);
  EXPECT_EQ(RunUnlessTerminating(Loop("failure report", 1)), 0);
  EXPECT_EQ(RunUnlessTerminating(Loop("main loop", 3)), 0);
  RequestTermination();  // a second request posts again and changes nothing else
  EXPECT_TRUE(TerminationRequested());
  EXPECT_EQ(log_, (std::vector<std::string>{"message box ran", "quit posted", "quit posted"}));
}

TEST_F(TerminationTest, ARequestWithoutAToolkitIsOnlyMarked) {
  SetQuitRequest(nullptr);
  RequestTermination();
  EXPECT_TRUE(TerminationRequested());
  EXPECT_EQ(RunUnlessTerminating(Loop("main loop", 3)), 0);
  EXPECT_TRUE(log_.empty());
}

}  // namespace
}  // namespace tandrel::forms
