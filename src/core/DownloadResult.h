// How a download in the modal dialog ended. A player who closed the dialog and a
// transfer that failed are told apart: the first is the player's choice, the
// second is worth saying.
#pragma once

namespace tandrel {

enum class DownloadResult {
  Completed,  // a response arrived, whatever its status
  Cancelled,  // the player closed the dialog, or the program is ending
  Failed,     // no whole response came
};

}  // namespace tandrel
