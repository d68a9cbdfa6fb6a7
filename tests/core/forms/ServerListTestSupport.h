// A list of n entries, a screen that writes down what the list's logic asks of
// it, and text measured at 10 pixels a byte.
#pragma once

#include "core/forms/ServerListScreen.h"
#include "core/uConfig.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tandrel::forms::test {

inline std::unique_ptr<TConfig> ListOf(int servers) {
  std::string text = R"({"ServerList":{"FListHelper":[)";
  for (int i = 0; i < servers; ++i) {
    const std::string n = std::to_string(i);
    text += std::string(i ? "," : "") + R"({"ServerName":"server )" + n + R"(","BriefIntroduction":"intro )" + n +
            R"(","BeginTime":"12-31 11:00"})";
  }
  return std::make_unique<TConfig>(text + "]}}");
}

class TenPixelsAByte final : public TextMeasure {
 public:
  int TextWidth(const std::string& utf8) const override { return 10 * static_cast<int>(utf8.size()); }
};

class RecordingScreen final : public ServerListScreen {
 public:
  bool TakeFocus() override {
    if (canFocus) focused = true;
    return focused;
  }
  // Marking the list again before it is painted marks it once.
  void InvalidateList() override {
    if (log.empty() || log.back() != "list") log.push_back("list");
  }
  void RepaintRowNow(int row) override {
    log.push_back("row " + std::to_string(row));
    if (onRepaintRow) onRepaintRow(row);
  }
  void ScrollChanged(int maximum, int pageStep, int offset) override {
    scrollMaximum = maximum;
    scrollPage = pageStep;
    scrollOffset = offset;
  }
  void Click(const RowButton& Sender) override {
    const char* name = Sender.Name == RowControl::ControlListButton1 ? "ControlListButton1" : "ControlListButton2";
    clicks.push_back(std::string(name) + " " + std::to_string(Sender.Tag));
  }

  std::function<void(int)> onRepaintRow;
  bool canFocus = true;
  bool focused = false;
  std::vector<std::string> log;
  std::vector<std::string> clicks;
  int scrollMaximum = -1, scrollPage = -1, scrollOffset = -1;
};

}  // namespace tandrel::forms::test
