#include <QApplication>

#include "app/UnitVelmor.h"
#include "app/app_fonts.h"
#include "app/chinese_translations.h"
#include "app/enter_clicks.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The task bar shows the application name; a display name would be appended to every caption.
  QApplication::setApplicationName(QStringLiteral("纬途时刻表"));
  QApplication::setFont(velmor::SongFont(12));
  velmor::InstallChineseTranslations();
  velmor::InstallEnterClicksButtons();
  velmor::TFrmVelmor window;
  window.show();
  return QApplication::exec();
}
