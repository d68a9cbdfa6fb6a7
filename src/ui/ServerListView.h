// The server list's Qt window: paints the rows the list's logic names, each from
// the row template bound to it, and its scroll bar as forms::ScrollBarModel says,
// and forwards pointer, wheel, key and size changes to that logic.
#pragma once

#include "RowTemplate.h"

#include "core/ServerListLoader.h"
#include "core/forms/ListPaintPlan.h"
#include "core/forms/ScrollBarModel.h"
#include "core/forms/ServerListModel.h"
#include "core/forms/WindowLayout.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <vector>

namespace tandrel::ui {

class ServerListView final : public QWidget, public RowCountView, private forms::ServerListScreen {
  Q_OBJECT

 public:
  // entries gives the current list (nullptr when there is none).
  ServerListView(const Artwork& art, const forms::WindowLayout& layout, std::function<const TConfig*()> entries,
                 QWidget* parent);

  void SetRowCount(std::size_t count) override { model_.SetItemCount(count); }
  std::size_t RowCount() const { return model_.ItemCount(); }
  void ClearSelection() { model_.ClearSelection(); }
  forms::ServerListModel& Model() { return model_; }
  const forms::ScrollBarModel& ScrollBar() const { return scrollBar_; }

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
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool TakeFocus() override;
  void InvalidateList() override;
  void RepaintRowNow(int row) override;
  void ScrollChanged(int maximum, int pageStep, int offset) override;
  void Click(const forms::RowButton& Sender) override;
  void DrawKept(const forms::ListPaint& paint);
  // The area as the screen shows it: the kept picture and the badges over it.
  void Compose(QPainter& painter, const QRect& area, const std::vector<forms::Rect>& badges);
  void PaintScrollBar(QPainter& painter);
  // What the bar asks after an input; whether the input was the bar's.
  bool Apply(const forms::ScrollBarModel::Effect& effect);

  Badge badge_;
  RowTemplate template_;
  forms::ServerListModel model_;
  forms::ListPaintPlan plan_;
  QImage kept_;                   // the list without its badges
  std::vector<QImage> composed_;  // the badges' column's pieces, at the places plan_ names
  forms::ScrollBarModel scrollBar_;
};

}  // namespace tandrel::ui
