#include "FailureReport.h"

#include "core/Paths.h"
#include "platform/Charsets.h"

#include <cstdio>
#include <exception>
#include <filesystem>

namespace tandrel::forms {
namespace {

std::string gTitle;

void ToStandardError(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

FailureReport gReport = ToStandardError;

// The library words these in the system's narrow character set, not UTF-8: the
// text is made again from the code and the paths.
std::string FileSystemFailureText(const std::filesystem::filesystem_error& e) {
  std::string text = platform::ErrorCodeText(e.code());
  for (const auto* path : {&e.path1(), &e.path2()}) {
    if (!path->empty()) text += " \"" + Utf8FromPath(*path) + "\"";
  }
  return text;
}

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
  } catch (const std::filesystem::filesystem_error& e) {
    ReportFailure(FileSystemFailureText(e));
  } catch (const std::system_error& e) {
    ReportFailure(platform::ErrorCodeText(e.code()));
  } catch (const std::exception& e) {
    ReportFailure(e.what());
  } catch (...) {
    ReportFailure("Unknown failure");
  }
}

void SetApplicationTitle(std::string title) { gTitle = std::move(title); }
const std::string& ApplicationTitle() { return gTitle; }

}  // namespace tandrel::forms
