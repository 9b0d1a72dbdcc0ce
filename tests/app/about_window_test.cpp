// The About window: its address is the one link; the logo opens nothing.
#include <QUrl>
#include <QtTest>

#include "app/UnitAbout.h"
#include "app/click_label.h"
#include "app/web_links.h"

using namespace velmor;

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void onlyTheAddressIsALink();
};

void AboutWindowTest::onlyTheAddressIsALink() {
  QList<QUrl> opened;
  const LinkOpener previous = SetLinkOpener([&opened](const QUrl& url) {
    opened.append(url);
    return true;
  });
  TFrmAbout about(QPixmap(143, 63));
  about.show();
  QVERIFY(QTest::qWaitForWindowExposed(&about));
  QTest::mouseClick(about.ImageLogo, Qt::LeftButton);
  QVERIFY(opened.isEmpty());
  QTest::mouseClick(about.Label2, Qt::LeftButton);
  QCOMPARE(opened, QList<QUrl>{LinkUrl(LinkTarget::PublisherHome)});
  SetLinkOpener(previous);
}

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
