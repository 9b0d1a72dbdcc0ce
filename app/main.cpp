#include <QApplication>

#include "app/UnitVelmor.h"
#include "app/app_fonts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString());
  QApplication::setApplicationName(QStringLiteral("纬途时刻表"));
  QApplication::setFont(velmor::SongFont(12));
  velmor::TFrmVelmor window;
  window.show();
  return QApplication::exec();
}
