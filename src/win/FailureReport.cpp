#include "FailureReport.h"

#include "DarkMessageBox.h"

#include "platform/windows/WideText.h"

namespace tandrel::win {

void ShowFailure(const std::string& caption, const std::string& text) {
  ShowDarkMessage({GetActiveWindow(), MessageIconKind::Error, platform::Widen(caption), platform::Widen(text)});
}

}  // namespace tandrel::win
