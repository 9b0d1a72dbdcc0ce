// Renders the main window after a scripted 北京 → 上海 query into a PNG file, for the README and
// for checking the rendering on a real X server: velmor_screenshot OUT.png [--screen]
// (--screen grabs the whole screen, window frame included, instead of the window alone).
#include <QApplication>
#include <QDeadlineTimer>
#include <QPixmap>
#include <QScreen>
#include <QTcpServer>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "app/UnitVelmor.h"
#include "app/app_fonts.h"
#include "app/dialogs.h"
#include "app/station_combo.h"

namespace {

// Waits for `done` while the event loop runs; false after `ms` milliseconds.
template <typename F>
bool WaitFor(F done, int ms) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: velmor_screenshot OUT.png [--screen]\n");
    return 64;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const bool wholeScreen = argc > 2 && QByteArray(argv[2]) == "--screen";
  QApplication::setFont(velmor::SongFont(12));
  velmor::TFrmVelmorOptions options;
  // A loopback server that accepts and never answers keeps the label at its first state
  // without any traffic leaving the machine.
  QTcpServer silent;
  silent.listen(QHostAddress::LocalHost);
  options.VersionCheck.probeHost = QStringLiteral("127.0.0.1");
  options.VersionCheck.probePort = silent.serverPort();
  options.VersionCheck.publisherSite =
      QUrl(QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()));
  velmor::TFrmVelmor window(options);
  window.show();
  if (!WaitFor([&] { return window.QueriesReady(); }, 20000)) {
    std::fprintf(stderr, "the tables did not load\n");
    return 1;
  }
  window.ComboFZ->setEditText(QStringLiteral("北京"));
  window.ComboDZ->setEditText(QStringLiteral("上海"));
  window.BTNZZCXClick(0);
  WaitFor([] { return false; }, 300);
  QPixmap shot = wholeScreen ? window.screen()->grabWindow(0) : window.grab();
  if (!shot.save(out, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
