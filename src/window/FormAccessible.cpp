#include "window/FormAccessible.h"

#include "widgets/SaNumEdit.h"
#include "widgets/SaNumEditAccessible.h"
#include "window/DrillNames.h"
#include "window/ListAccessible.h"

#include <QtWidgets/QAccessibleWidget>
#include <QtWidgets/QListView>

namespace a11y {

namespace {

// The drill window: named by its title; its description tells how the last
// drill closed until the next one starts.
class FormAccessible : public QAccessibleWidget {
 public:
  explicit FormAccessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Description && !status.isEmpty()) return status;
    return QAccessibleWidget::text(t);
  }

  QString status;
};

QAccessibleInterface* WindowFactory(const QString& className, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (className == QLatin1StringView("TForm1")) return new FormAccessible(widget);
  // The drill window's one list view, the score list.
  if (className == QLatin1StringView("QListView") && qobject_cast<TForm1*>(widget->window()))
    return NewListAccessible(static_cast<QListView*>(widget));
  return nullptr;
}

// The cells of a drill window speak of their place in it; a cell outside
// one has nothing said for it.
class DrillVoice : public CellVoice {
 public:
  QString Name(const TSaNumEdit* cell) const override { return NameOf(PlaceOf(cell)); }
  QString Description(const TSaNumEdit* cell) const override { return DescriptionOf(PlaceOf(cell), cell); }
  // The tenths of the stopwatch are not reported (ten a second would drown
  // speech); the seconds and minutes are.
  bool Quiet(const TSaNumEdit* cell) const override { return PlaceOf(cell).kind == CellPlace::Tenths; }
  // A header cell's change renames the answer cells it heads.
  QList<TSaNumEdit*> NamedAfter(const TSaNumEdit* cell) const override { return a11y::NamedAfter(PlaceOf(cell)); }
};

}  // namespace

void InstallDrillWindow() {
  static const bool installed = [] {
    QAccessible::installFactory(&WindowFactory);
    static const DrillVoice voice;
    SetCellVoice(&voice);
    return true;
  }();
  (void)installed;
}

bool SetWindowStatus(QWidget* form, const QString& status) {
  auto* iface = dynamic_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(form));
  if (!iface || iface->status == status) return false;
  iface->status = status;
  return true;
}

void detail::marksChanged(std::span<TSaNumEdit* const> cells) {
  for (TSaNumEdit* cell : cells) UpdateAccessibility(cell, QAccessible::DescriptionChanged);
}

void detail::operationChanged(QWidget* form) {
  if (auto* drill = qobject_cast<TForm1*>(form))
    for (TSaNumEdit* answer : NamedAfterOperation(drill)) UpdateAccessibility(answer, QAccessible::NameChanged);
}

void detail::drillStarted(QWidget* form, std::span<TSaNumEdit* const> answers) {
  if (SetWindowStatus(form, QString())) UpdateAccessibility(form, QAccessible::DescriptionChanged);
  marksChanged(answers);
}

// Qt 6.4 has no announcement event: the closing becomes the window's
// description and is raised as an alert, sent at once so that it comes
// before the "しゅうりょう" box takes the focus.
void detail::drillClosed(QWidget* form, int score) {
  SetWindowStatus(form, QStringLiteral("しゅうりょう %1てん").arg(score));
  UpdateAccessibility(form, QAccessible::DescriptionChanged);
  UpdateAccessibility(form, QAccessible::Alert);
}

}  // namespace a11y
