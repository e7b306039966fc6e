// The button, the title label and the panel as a screen reader sees them,
// and the factory that hands out every widget interface of ours.

#include "widgets/Accessible.h"

#include "widgets/CuteBtn.h"
#include "widgets/Panel.h"
#include "widgets/SaNumEdit.h"
#include "widgets/SaNumEditAccessible.h"
#include "widgets/ShadoLbl.h"

#include <QtWidgets/QAccessibleWidget>

namespace a11y {

QString WithoutMnemonics(const QString& caption) {
  QString plain;
  plain.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 >= caption.size()) break;
      ++i;  // "&&" keeps one "&"; "&x" keeps the "x"
    }
    plain += caption[i];
  }
  return plain;
}

namespace {

// The name a widget was given explicitly, else its caption.
QString NamedOr(const QWidget* widget, const QString& caption) {
  return widget->accessibleName().isEmpty() ? caption : widget->accessibleName();
}

class ButtonAccessible : public QAccessibleWidget {
 public:
  explicit ButtonAccessible(TCuteButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return NamedOr(button(), WithoutMnemonics(button()->Caption()));
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }

  // The click runs after the request has been answered: a handler that
  // opens a modal box must not keep the screen reader waiting for the reply.
  void doAction(const QString& actionName) override {
    if (actionName != pressAction()) return QAccessibleWidget::doAction(actionName);
    TCuteButton* target = button();
    if (!target->isEnabled()) return;
    QMetaObject::invokeMethod(
        target, [target] { if (target->isEnabled()) target->Click(); }, Qt::QueuedConnection);
  }

 private:
  TCuteButton* button() const { return static_cast<TCuteButton*>(widget()); }
};

class LabelAccessible : public QAccessibleWidget {
 public:
  explicit LabelAccessible(TShadowLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return NamedOr(widget(), static_cast<TShadowLabel*>(widget())->Caption());
    return QAccessibleWidget::text(t);
  }
};

// A panel that only shows a caption (the countdown) reads as text; one that
// holds controls is a pane around them.
class PanelAccessible : public QAccessibleWidget {
 public:
  explicit PanelAccessible(TPanel* panel) : QAccessibleWidget(panel, QAccessible::Pane) {}

  QAccessible::Role role() const override {
    const bool holdsControls = widget()->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    return holdsControls ? QAccessible::Pane : QAccessible::StaticText;
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return NamedOr(widget(), static_cast<TPanel*>(widget())->Caption());
    return QAccessibleWidget::text(t);
  }
};

}  // namespace

QAccessibleInterface* WidgetFactory(const QString& className, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  // The class name is one of the object's own classes, so the casts hold.
  if (className == QLatin1StringView("TSaNumEdit"))
    return new CellAccessible(static_cast<TSaNumEdit*>(widget));
  if (className == QLatin1StringView("TCuteButton"))
    return new ButtonAccessible(static_cast<TCuteButton*>(widget));
  if (className == QLatin1StringView("TShadowLabel"))
    return new LabelAccessible(static_cast<TShadowLabel*>(widget));
  if (className == QLatin1StringView("TPanel")) return new PanelAccessible(static_cast<TPanel*>(widget));
  return nullptr;
}

void InstallWidgetFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(&WidgetFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace a11y
