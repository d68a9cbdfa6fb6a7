#include "FailureReport.h"

#include <cstdio>
#include <exception>

namespace tandrel::forms {
namespace {

std::string gTitle;

void ToStandardError(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

FailureReport gReport = ToStandardError;

}  // namespace

std::string FailureText(std::string_view message) {
  std::string text(message);
  // In UTF-8 the last byte of any character beyond ASCII is above "." as well.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

void SetFailureReport(FailureReport report) { gReport = report ? std::move(report) : ToStandardError; }

void ReportFailure(std::string_view message) { gReport(gTitle, FailureText(message)); }

void Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ReportFailure(e.what());
  } catch (...) {
    ReportFailure("Unknown failure");
  }
}

void SetApplicationTitle(std::string title) { gTitle = std::move(title); }
const std::string& ApplicationTitle() { return gTitle; }

}  // namespace tandrel::forms
