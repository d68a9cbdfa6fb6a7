// What the main window's logic asks of its window: the visible parts it changes,
// the download dialog it opens and its message boxes.
#pragma once

#include "MessageBoxes.h"

#include "core/DownloadResult.h"
#include "core/download/DownloadRequest.h"
#include "core/http/HttpClient.h"

#include <cstdint>
#include <string>

namespace tandrel::forms {

class MainFormScreen : public MessageBoxes {
 public:
  // Image2 shows the picture the bytes hold, whatever its format; false when they
  // hold no picture the window can decode (Image2 then stays as it was).
  virtual bool ShowBanner(const http::Bytes& picture) = 0;
  // ControlList1: the whole list painted now, not at some later repaint.
  virtual void RepaintListNow() = 0;
  virtual void ClearListSelection() = 0;
  // The window goes to its taskbar button.
  virtual void Minimise() = 0;
  // Closes the main window, which ends the program.
  virtual void Close() = 0;
  // The modal download dialog over the main window (TDownloadForm.Download).
  virtual DownloadResult RunDownloadForm(const download::DownloadRequest& request, download::DownloadedFile& file) = 0;
};

}  // namespace tandrel::forms
