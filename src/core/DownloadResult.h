// How a download in the modal dialog ended. A player who closed the dialog and a
// transfer that failed are told apart: the first is the player's choice, the
// second is worth saying.
#pragma once

namespace tandrel {

enum class DownloadResult {
  Completed,  // the whole file is in its part file
  Cancelled,  // the player closed the dialog, or the program is ending
  Failed,     // no whole file came, retries and mirrors included
  NoRoom,     // the drive has no room for it
};

}  // namespace tandrel
