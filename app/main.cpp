#include <QApplication>

#include "app/app_fonts.h"
#include "app/chinese_translations.h"
#include "app/enter_clicks.h"
#include "app/timetable_windows.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The task bar shows the application name; a display name would be appended to every caption.
  QApplication::setApplicationName(QStringLiteral("纬途时刻表"));
  // Where QSettings keeps the remembered timetable file (~/.config/velmor/).
  QApplication::setOrganizationName(QStringLiteral("velmor"));
  QApplication::setFont(velmor::SongFont(12));
  velmor::InstallChineseTranslations();
  velmor::InstallEnterClicksButtons();
  // `velmor FILE` opens a timetable file; without one the remembered file or the built-in
  // timetable.
  const QStringList args = QApplication::arguments();
  velmor::TimetableWindows windows;
  windows.Start(args.size() > 1 ? args.at(1) : QString());
  return QApplication::exec();
}
