// The server list: a virtual list that paints every row from one row template,
// with hot tracking, selection, a pressed row and the two row buttons.
#pragma once

#include "RowTemplate.h"

#include "core/ServerListLoader.h"

#include <QAbstractScrollArea>
#include <QMovie>

#include <functional>
#include <optional>

namespace tandrel::ui {

class ServerListView final : public QAbstractScrollArea, public RowCountView {
  Q_OBJECT

 public:
  // entries gives the current list (nullptr when there is none).
  ServerListView(const Artwork& art, std::function<const TConfig*()> entries, QWidget* parent);

  void SetRowCount(std::size_t count) override;
  std::size_t RowCount() const { return rowCount_; }
  void ClearSelection();
  int SelectedRow() const { return selected_; }
  int HotRow() const { return hot_; }
  int ScrollOffset() const;

  // Paints the whole list now, not at some later repaint.
  void RepaintNow();

 signals:
  // The row's index, delivered with the click.
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
  int RowAt(QPoint viewportPoint) const;
  QRect RowRect(int row) const;
  // Binds the template to a row; the index is checked against the list's entries.
  void Bind(int row);
  void PaintRow(QPainter& painter, int row);
  void RepaintRow(int row);
  void UpdateScrollRange();
  void ScrollIntoView(int row);
  void Select(int row);
  void TrackPointer();
  void Press(QPoint point);

  std::function<const TConfig*()> entries_;
  QMovie badge_;
  RowTemplate template_;
  std::size_t rowCount_ = 0;
  int selected_ = -1;
  int hot_ = -1;
  int pressed_ = -1;
  RowTemplate::Control held_ = RowTemplate::Control::None;   // the row button held down
  RowTemplate::Control under_ = RowTemplate::Control::None;  // the control under the pointer in the hot row
  std::optional<QPoint> pointer_;                            // over the list, in viewport coordinates
};

}  // namespace tandrel::ui
