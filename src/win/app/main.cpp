// The box on Windows: the program players run.
#include "win/Lifecycle.h"
#include "win/Pictures.h"
#include "win/VisualStyles.h"
#include "win/WinEventLoop.h"
#include "win/uMainForm.h"

#include "core/BoxPlacement.h"
#include "core/ProgramPaths.h"
#include "core/forms/FailureReport.h"
#include "core/forms/Termination.h"
#include "core/uGetDiskLetter.h"
#include "platform/windows/ComApartment.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace tandrel;
  // The desktop shortcut's shell objects and the picture decoder want an apartment.
  const platform::ComApartment com;
  const win::GdiplusSession gdiplus;
  forms::SetApplicationTitle(ApplicationTitleOf(ExeFileName()));

  win::WinLifecycle lifecycle;
  win::WinEventLoop loop;
  SetCurrentEventLoop(&loop);
  win::ApplyStyle(win::kMainStyle);

  forms::MainFormOptions options;
  options.placement = [](BoxWindows& windows, http::Client& client) {
    // The shortcut shows the executable's own icon: no picture is installed for it.
    return std::make_shared<BoxPlacement>(BoxPlacementParts{client,
                                                            windows,
                                                            platform::SystemShell(),
                                                            forms::RequestTermination,
                                                            CurrentServiceSite,
                                                            ExePath(),
                                                            [] { return GetDiskLetter(); },
                                                            {},
                                                            TANDREL_VERSION});
  };
  // A window that cannot be made (its resources, its class) is said, never a silent end.
  int status = 1;
  forms::Guarded([&] {
    win::MainWindow mainForm(std::move(options));
    mainForm.Show();
    status = win::RunMainLoop();
  });
  SetCurrentEventLoop(nullptr);
  return status;
}
