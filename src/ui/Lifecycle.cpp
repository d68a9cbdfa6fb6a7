#include "Lifecycle.h"

#include "FailureReport.h"

#include "core/forms/Centring.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QWindow>

namespace tandrel::ui {
namespace {

// Centres a dialog exactly over its parent's window or, without one, on its
// screen. Qt's own placement allows for a guessed frame (10 by 40 pixels) where
// the window system reports none, as under an X server without a window manager
// or for a borderless dialog, and so sits that far up and left. A message box
// settles its size only as it is shown, so the place is set at the last moment:
// when its native window is about to be mapped.
class Centring final : public QObject {
 public:
  explicit Centring(QDialog& dialog) : dialog_(dialog) {
    dialog.winId();  // the native window whose showing is watched
    dialog.windowHandle()->installEventFilter(this);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) Centre();
    return false;
  }

 private:
  void Centre() {
    const QWidget* over = dialog_.parentWidget() ? dialog_.parentWidget()->window() : nullptr;
    const QRect bounds = (over ? over->screen() : dialog_.screen())->availableGeometry();
    const QRect area = over ? QRect(over->mapToGlobal(QPoint(0, 0)), over->size()) : bounds;
    const QSize size = dialog_.size();
    // The window's own rectangle, frame excluded: what a frame adds lies outside it.
    dialog_.setGeometry(forms::CentredStart(area.left(), area.width(), size.width(), bounds.left(), bounds.width()),
                        forms::CentredStart(area.top(), area.height(), size.height(), bounds.top(), bounds.height()),
                        size.width(), size.height());
  }

  QDialog& dialog_;
};

// Plain buttons as the system draws them: the style may want icons on the
// standard ones (a check mark on OK), which players do not expect there.
void PlainButtons(QDialog& dialog) {
  if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
    for (QAbstractButton* button : box->buttons()) button->setIcon(QIcon());
  }
}

}  // namespace

QtLifecycle::QtLifecycle() {
  // Posted: the loop that takes it ends, and with it every loop running then.
  forms::SetQuitRequest([] {
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  });
  forms::SetFailureReport(ShowFailure);
}

QtLifecycle::~QtLifecycle() {
  forms::SetFailureReport(nullptr);
  forms::SetQuitRequest(nullptr);
}

int RunMainLoop() {
  return forms::RunUnlessTerminating([] { return QApplication::exec(); });
}

int ShowModal(QDialog& dialog) {
  return forms::RunUnlessTerminating([&dialog] {
    PlainButtons(dialog);
    Centring centring(dialog);
    return dialog.exec();
  });
}

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  ShowModal(box);
}

}  // namespace tandrel::ui
