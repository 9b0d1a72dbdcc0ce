#include "app/enter_clicks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace velmor {
namespace {

// Qt gives Enter to a push button only inside a dialog; outside one the key was lost.
class EnterClicksButtons : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->hasFocus() || !button->isEnabled()) return false;
    // A button with a menu opens it, as a click does.
    button->click();
    return true;
  }
};

}  // namespace

void InstallEnterClicksButtons() {
  QCoreApplication* app = QCoreApplication::instance();
  const QString name = QStringLiteral("velmor-enter-clicks-buttons");
  if (!app || app->findChild<QObject*>(name, Qt::FindDirectChildrenOnly)) return;
  auto* filter = new EnterClicksButtons(app);
  filter->setObjectName(name);
  app->installEventFilter(filter);
}

}  // namespace velmor
