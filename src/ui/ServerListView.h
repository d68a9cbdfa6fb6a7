// The server list's Qt window: paints the rows the list's logic names, each from
// the row template bound to it, and forwards pointer, wheel, key, scroll-bar and
// size changes to that logic.
#pragma once

#include "RowTemplate.h"

#include "core/ServerListLoader.h"
#include "core/forms/ListPaintPlan.h"
#include "core/forms/ServerListModel.h"
#include "core/forms/WindowLayout.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <functional>
#include <vector>

namespace tandrel::ui {

class ServerListView final : public QAbstractScrollArea, public RowCountView, private forms::ServerListScreen {
  Q_OBJECT

 public:
  // entries gives the current list (nullptr when there is none).
  ServerListView(const Artwork& art, const forms::WindowLayout& layout, std::function<const TConfig*()> entries,
                 QWidget* parent);

  void SetRowCount(std::size_t count) override { model_.SetItemCount(count); }
  std::size_t RowCount() const { return model_.ItemCount(); }
  void ClearSelection() { model_.ClearSelection(); }
  forms::ServerListModel& Model() { return model_; }

  // The row badge's next frame, painted now: the badges, when they moved on,
  // and whatever rows no longer show as they are.
  void RepaintNow();
  // Paints the whole list now, every row drawn afresh.
  void RepaintAfresh();

 signals:
  // The row's index, as the clicked button's Tag holds it.
  void enterGameClicked(int row);
  void webSiteClicked(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool TakeFocus() override;
  void InvalidateList() override;
  void RepaintRowNow(int row) override;
  void ScrollChanged(int maximum, int pageStep, int offset) override;
  void Click(const forms::RowButton& Sender) override;
  void DrawKept(const forms::ListPaint& paint);
  // The area as the screen shows it: the kept picture and the badges over it.
  void Compose(QPainter& painter, const QRect& area, const std::vector<forms::Rect>& badges);

  Badge badge_;
  RowTemplate template_;
  forms::ServerListModel model_;
  forms::ListPaintPlan plan_;
  QImage kept_;                   // the list without its badges
  std::vector<QImage> composed_;  // the badges' column's pieces, at the places plan_ names
};

}  // namespace tandrel::ui
