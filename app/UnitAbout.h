// The About window: logo, built-in version, publisher and its web address.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace velmor {

class ClickLabel;

class TFrmAbout : public QDialog {
  Q_OBJECT

 public:
  // Shows `logo` (the main window's picture) beside the version and the publisher.
  explicit TFrmAbout(const QPixmap& logo, QWidget* parent = nullptr);

  void Label2Click();

  // Not a link, for all its hand cursor: only Label2 opens the site.
  QLabel* ImageLogo = nullptr;
  QLabel* LabVer = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  ClickLabel* Label2 = nullptr;
};

}  // namespace velmor
