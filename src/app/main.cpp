// The box: the program players run.
#include "ui/Artwork.h"
#include "ui/Lifecycle.h"
#include "ui/QtEventLoop.h"
#include "ui/VisualStyles.h"
#include "ui/uMainForm.h"

#include "core/BoxPlacement.h"
#include "core/ProgramPaths.h"
#include "core/forms/FailureReport.h"
#include "core/uGetDiskLetter.h"

#include <QApplication>
#include <QFile>

int main(int, char** argv) {
  using namespace tandrel;
  // The box reads no command line of its own; Qt gets none either.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("Tandrel"));
  QApplication::setApplicationVersion(QStringLiteral(TANDREL_VERSION));
  QApplication::setWindowIcon(ui::Artwork::ApplicationIcon());
  forms::SetApplicationTitle(ApplicationTitleOf(ExeFileName()));

  ui::QtLifecycle lifecycle;
  ui::QtEventLoop loop;
  SetCurrentEventLoop(&loop);
  ui::ApplyStyle(QString::fromLatin1(ui::kMainStyle));

  forms::MainFormOptions options;
  options.placement = [](BoxWindows& windows, http::Client& client) {
    QFile icon(QStringLiteral(":/art/icon.png"));
    icon.open(QIODevice::ReadOnly);
    const QByteArray png = icon.readAll();
    return std::make_shared<BoxPlacement>(BoxPlacementParts{
        client, windows, platform::SystemShell(), forms::RequestTermination, CurrentServiceSite, ExePath(),
        [] { return GetDiskLetter(); }, std::vector<std::uint8_t>(png.begin(), png.end()), TANDREL_VERSION});
  };
  ui::MainWindow mainForm(std::move(options));
  mainForm.show();
  const int status = ui::RunMainLoop();
  SetCurrentEventLoop(nullptr);
  return status;
}
