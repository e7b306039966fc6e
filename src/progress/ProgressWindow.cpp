#include "progress/ProgressWindow.h"

#include "platform/Application.h"
#include "platform/Exception.h"
#include "progress/ChartSummary.h"
#include "progress/SaveDialog.h"

#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtGui/QAccessible>
#include <QtGui/QPainter>
#include <QtWidgets/QAccessibleWidget>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <map>

namespace progress {
namespace {

// Paints the chart to fill itself, again on every resize.
class ChartWidget : public QWidget {
 public:
  ChartWidget(const ProgressChart& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    setObjectName(QStringLiteral("Chart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(560, 360);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    chart_.Paint(painter, size());
  }

 private:
  const ProgressChart& chart_;
};

// By its class alone a window of its own is a "filler" to a screen reader,
// and so is the chart: the window is made a frame, the chart a chart.
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ProgressWindow::staticMetaObject.className()))
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  if (className == QLatin1String("QWidget"))
    if (auto* chart = dynamic_cast<ChartWidget*>(object)) return new QAccessibleWidget(chart, QAccessible::Chart);
  return nullptr;
}

}  // namespace

ProgressWindow::ProgressWindow(drill::GridKind grid, QWidget* parent) : ProgressWindow(grid, QString(), parent) {}

ProgressWindow::ProgressWindow(drill::GridKind grid, const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder) {
  [[maybe_unused]] static const bool accessible = [] {
    QAccessible::installFactory(AccessibleFactory);
    return true;
  }();
  setObjectName(QStringLiteral("ProgressWindow"));
  setWindowTitle(folder_.isEmpty() ? QStringLiteral("成績グラフ %1").arg(drill::GridName(grid))
                                   : QStringLiteral("成績グラフ %1 %2").arg(drill::GridName(grid), QFileInfo(folder_).fileName()));
  setAccessibleName(windowTitle());
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(14);
  setFont(font);
  chart_.SetRecords(grid, {});

  view_ = new ChartWidget(chart_, this);
  view_->setAccessibleName(windowTitle());
  saveButton_ = new QPushButton(QStringLiteral("保存…"), this);
  saveButton_->setObjectName(QStringLiteral("SaveButton"));
  connect(saveButton_, &QPushButton::clicked, this, &ProgressWindow::SaveClick);
  auto* closeButton = new QPushButton(QStringLiteral("閉じる"), this);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(saveButton_);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 8);
  layout->addWidget(view_, 1);
  layout->addLayout(buttons);
  buttons->setContentsMargins(8, 0, 8, 0);
  resize(900, 620);
  Reload();
}

ProgressWindow* ProgressWindow::Open(drill::GridKind grid, QWidget* drillWindow) {
  return Open(grid, QString(), drillWindow);
}

ProgressWindow* ProgressWindow::Open(drill::GridKind grid, const QString& folder, QWidget* drillWindow) {
  static std::map<std::pair<QString, drill::GridKind>, QPointer<ProgressWindow>> open;
  QPointer<ProgressWindow>& window = open[{folder, grid}];
  if (!window) {
    window = new ProgressWindow(grid, folder);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Closing the drill window ends the program, as it always has.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    if (drillWindow)
      connect(drillWindow, &QObject::destroyed, window, [w = window.data()] { delete w; });
  } else {
    window->Reload();
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

void ProgressWindow::Reload() {
  const drill::GridKind grid = chart_.Grid();
  try {
    chart_.SetRecords(grid, ReadScoreRecords(HistoryFile()));
  } catch (const EInOutError& e) {
    chart_.SetError(grid, HistoryErrorText(HistoryFile(), e));
  } catch (const Exception& e) {
    chart_.SetError(grid, e.Message());
  }
  view_->setAccessibleDescription(ChartSummary(chart_));
  view_->update();
}

QString ProgressWindow::HistoryFile() const {
  const QString path = drill::HistoryPath(chart_.Grid());
  return folder_.isEmpty() ? path : folder_ + u'/' + path;
}

void ProgressWindow::Save(const QString& path) const { SaveChart(chart_, path, view_->size()); }

void ProgressWindow::SaveClick() {
  platform::Guarded([this] {
    const QString name = QStringLiteral("seiseki-%1.png").arg(chart_.Grid() == drill::GridKind::Square100 ? 100 : 25);
    const QString path = AskSavePath(this, QStringLiteral("グラフを保存"), name,
                                     QStringLiteral("PNG 画像 (*.png);;PDF (*.pdf)"), SaveKind::Picture);
    if (!path.isEmpty()) Save(path);
  });
}

}  // namespace progress
