#include "app/UnitAbout.h"

#include <QLabel>

#include "app/app_fonts.h"
#include "app/click_label.h"
#include "app/version_info.h"
#include "app/web_links.h"

namespace velmor {

TFrmAbout::TFrmAbout(const QPixmap& logo, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(QStringLiteral("关于"));
  setFont(SongFont(12));
  setFixedSize(361, 212);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(227, 239, 243));
  setPalette(pal);

  ImageLogo = new QLabel(this);
  ImageLogo->setPixmap(logo);
  ImageLogo->setGeometry(24, 20, 143, 63);
  ImageLogo->setCursor(Qt::PointingHandCursor);
  ImageLogo->setToolTip(QStringLiteral("纬途火车网出品，欢迎访问我们的网站"));

  LabVer = new QLabel(QStringLiteral("版本:") + QString::fromLatin1(kBuiltInVersion), this);
  LabVer->setFont(SongFont(14));
  LabVer->move(190, 45);
  LabVer->adjustSize();

  Label4 = new QLabel(QStringLiteral("荣誉出品："), this);
  Label4->move(24, 110);
  Label4->adjustSize();
  Label3 = new QLabel(QStringLiteral("纬途火车网"), this);
  Label3->move(24 + Label4->width(), 110);
  Label3->adjustSize();

  Label2 = new ClickLabel(QString::fromLatin1(kPublisherSite), this);
  QFont link = SongFont(12, true);
  link.setUnderline(true);
  Label2->setFont(link);
  Label2->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
  Label2->setCursor(Qt::PointingHandCursor);
  Label2->setToolTip(QStringLiteral("点击访问纬途火车网"));
  Label2->move(24, 140);
  Label2->adjustSize();

  Label1 = new QLabel(QStringLiteral("资料提供：铁路客户服务中心"), this);
  Label1->move(24, 170);
  Label1->adjustSize();
  Label1->hide();

  connect(Label2, &ClickLabel::clicked, this, &TFrmAbout::Label2Click);
}

void TFrmAbout::Label2Click() {
  OpenLink(LinkTarget::PublisherHome);
}

}  // namespace velmor
