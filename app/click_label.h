// A label that reports left clicks: header labels, link captions and pictures.
#pragma once

#include <QLabel>

namespace velmor {

class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickLabel(QWidget* parent = nullptr);
  ClickLabel(const QString& text, QWidget* parent);

  // The sortable-header mark of the list windows (33) or 0.
  int Tag = 0;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace velmor
