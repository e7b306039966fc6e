#include "progress/WeakFactsWindow.h"

#include "drill/Grid.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "progress/SafeWrite.h"
#include "progress/SaveDialog.h"

#include <QtCore/QPointer>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace progress {
namespace {

constexpr drill::Operation kOperations[] = {drill::Operation::Addition, drill::Operation::Multiplication,
                                            drill::Operation::Subtraction};
constexpr int kSquare = 44;
const QColor kNeverAnswered(0xEE, 0xEE, 0xEE);
const QColor kFast(0xFF, 0xF6, 0xD5);
const QColor kSlow(0xD7, 0x3A, 0x1E);

QString Seconds(std::int64_t ms) { return QString::number(double(ms) / 1000.0, 'f', 1); }

// The scale of the colours: whole seconds, at least 5, up to the slowest.
std::int64_t ScaleOf(const std::vector<drill::FactStats>& facts) {
  std::int64_t slowest = 0;
  for (const drill::FactStats& f : facts) slowest = std::max(slowest, f.medianMs);
  return std::max<std::int64_t>(5000, (slowest + 999) / 1000 * 1000);
}

// The bar under the map that reads its colours.
class Legend : public QWidget {
 public:
  Legend(std::int64_t& scaleMs, QWidget* parent) : QWidget(parent), scaleMs_(scaleMs) {
    setObjectName(QStringLiteral("Legend"));
    setMinimumHeight(44);
    setAccessibleName(QStringLiteral("いろ: うすい ほど はやい、こい ほど おそい"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect bar(60, 4, width() - 200, 16);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    gradient.setColorAt(0, kFast);
    gradient.setColorAt(1, kSlow);
    painter.fillRect(bar, gradient);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    painter.drawText(QRect(0, 4, 56, 16), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0 びょう"));
    painter.drawText(QRect(bar.right() + 6, 4, 80, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1 びょう").arg(scaleMs_ / 1000));
    painter.fillRect(QRect(60, 26, 16, 16), kNeverAnswered);
    painter.drawText(QRect(82, 26, 120, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("まだ"));
    painter.setPen(kSlow.darker(150));
    painter.drawText(QRect(140, 26, 240, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("×2 … 2 かい まちがい"));
  }

 private:
  std::int64_t& scaleMs_;
};

}  // namespace

QString OperationVerb(drill::Operation operation) {
  switch (operation) {
    case drill::Operation::Addition:
      return QStringLiteral("たす");
    case drill::Operation::Multiplication:
      return QStringLiteral("かける");
    case drill::Operation::Subtraction:
      break;
  }
  return QStringLiteral("ひく");
}

QString SquareName(drill::Operation operation, const answers::Fact& fact, const drill::FactStats* stats) {
  const QString name = QStringLiteral("%1 %2 %3")
                           .arg(drill::TopHeaderValue(operation, fact.top))
                           .arg(OperationVerb(operation))
                           .arg(fact.left);
  if (!stats) return name + QStringLiteral(", まだ");
  return QStringLiteral("%1, %2 びょう, %3 かい まちがい").arg(name, Seconds(stats->medianMs)).arg(stats->wrong);
}

QString WeakestLine(drill::Operation operation, const drill::FactStats& stats) {
  return QStringLiteral("%1　%2 びょう　%3 かい まちがい")
      .arg(drill::FactText(operation, stats.fact), Seconds(stats.medianMs))
      .arg(stats.wrong);
}

QColor MedianColor(std::int64_t medianMs, std::int64_t scaleMs) {
  const double t = std::clamp(double(medianMs) / double(std::max<std::int64_t>(1, scaleMs)), 0.0, 1.0);
  return QColor::fromRgbF(float(kFast.redF() + t * (kSlow.redF() - kFast.redF())),
                          float(kFast.greenF() + t * (kSlow.greenF() - kFast.greenF())),
                          float(kFast.blueF() + t * (kSlow.blueF() - kFast.blueF())));
}

WeakFactsWindow::WeakFactsWindow(drill::Operation operation, QWidget* parent)
    : QWidget(parent, Qt::Window), operation_(operation) {
  setObjectName(QStringLiteral("WeakFactsWindow"));
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(14);
  setFont(font);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("OperationTabs"));
  for (drill::Operation op : kOperations) tabs_->addTab(drill::OperationName(op));

  sheet_ = new QWidget(this);
  sheet_->setObjectName(QStringLiteral("WeakFactsSheet"));
  sheet_->setAutoFillBackground(true);
  empty_ = new QLabel(QStringLiteral("まだ こたえが ありません"), sheet_);
  empty_->setObjectName(QStringLiteral("NoAnswers"));
  empty_->setAlignment(Qt::AlignCenter);
  map_ = new QTableWidget(10, 10, sheet_);
  map_->setObjectName(QStringLiteral("FactsMap"));
  map_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  map_->setSelectionMode(QAbstractItemView::SingleSelection);
  map_->setMouseTracking(true);
  for (QHeaderView* header : {map_->horizontalHeader(), map_->verticalHeader()}) {
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultSectionSize(kSquare);
    header->setDefaultAlignment(Qt::AlignCenter);
  }
  map_->verticalHeader()->setFixedWidth(kSquare);
  map_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  map_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  map_->setFixedSize(kSquare * 11 + 4, map_->horizontalHeader()->sizeHint().height() + kSquare * 10 + 4);
  legend_ = new Legend(scaleMs_, sheet_);
  detail_ = new QLabel(sheet_);
  detail_->setObjectName(QStringLiteral("SquareDetail"));
  detail_->setWordWrap(true);
  weakest_ = new QLabel(sheet_);
  weakest_->setObjectName(QStringLiteral("Weakest"));
  weakest_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  weakest_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  auto* left = new QVBoxLayout;
  left->addWidget(map_);
  left->addWidget(legend_);
  left->addWidget(detail_);
  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("にがて ベスト10"), sheet_));
  right->addWidget(weakest_, 1);
  auto* sheetLayout = new QHBoxLayout(sheet_);
  sheetLayout->addWidget(empty_, 1);
  sheetLayout->addLayout(left);
  sheetLayout->addLayout(right, 1);

  auto* saveButton = new QPushButton(QStringLiteral("保存…"), this);
  saveButton->setObjectName(QStringLiteral("SaveButton"));
  connect(saveButton, &QPushButton::clicked, this, &WeakFactsWindow::SaveClick);
  auto* closeButton = new QPushButton(QStringLiteral("閉じる"), this);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(saveButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(sheet_, 1);
  layout->addLayout(buttons);

  connect(map_, &QTableWidget::currentCellChanged, this, [this](int row, int column) { ShowSquareDetail(row, column); });
  connect(map_, &QTableWidget::cellEntered, this, [this](int row, int column) { ShowSquareDetail(row, column); });
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    platform::Guarded([this, index] { ShowOperation(kOperations[std::clamp(index, 0, 2)]); });
  });
  resize(900, 640);
  ShowOperation(operation);
}

WeakFactsWindow* WeakFactsWindow::Open(drill::Operation operation, QWidget* drillWindow) {
  static QPointer<WeakFactsWindow> open;
  if (!open) {
    open = new WeakFactsWindow(operation);
    open->setAttribute(Qt::WA_DeleteOnClose);
    open->setAttribute(Qt::WA_QuitOnClose, false);
    if (drillWindow) connect(drillWindow, &QObject::destroyed, open, [w = open.data()] { delete w; });
  } else {
    open->ShowOperation(operation);
  }
  open->show();
  open->raise();
  open->activateWindow();
  return open;
}

void WeakFactsWindow::ShowOperation(drill::Operation operation) {
  operation_ = operation;
  const int index = int(std::find(std::begin(kOperations), std::end(kOperations), operation) - std::begin(kOperations));
  if (tabs_->currentIndex() != index) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(index);
  }
  setWindowTitle(QStringLiteral("にがて %1").arg(drill::OperationName(operation)));
  Reload();
}

void WeakFactsWindow::Reload() {
  facts_ = drill::LoadWeakFacts(answers::kAnswersPath, operation_, QDate::currentDate());
  scaleMs_ = ScaleOf(facts_.ranked);
  const bool none = facts_.ranked.empty();
  empty_->setText(facts_.error ? QStringLiteral("ファイル %1 を読めません").arg(answers::kAnswersPath)
                               : QStringLiteral("まだ こたえが ありません"));
  empty_->setVisible(none);
  for (QWidget* w : std::initializer_list<QWidget*>{map_, legend_, detail_, weakest_}) w->setVisible(!none);

  for (int j = 0; j < 10; ++j)
    map_->setHorizontalHeaderItem(j, new QTableWidgetItem(QString::number(drill::TopHeaderValue(operation_, j))));
  for (int i = 0; i < 10; ++i) map_->setVerticalHeaderItem(i, new QTableWidgetItem(QString::number(i)));
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) {
      const answers::Fact fact{j, i};
      const auto found = std::find_if(facts_.ranked.begin(), facts_.ranked.end(),
                                      [&fact](const drill::FactStats& f) { return f.fact == fact; });
      const drill::FactStats* stats = found == facts_.ranked.end() ? nullptr : &*found;
      auto* item = new QTableWidgetItem(stats && stats->wrong ? QStringLiteral("×%1").arg(stats->wrong) : QString());
      item->setTextAlignment(Qt::AlignCenter);
      item->setBackground(stats ? MedianColor(stats->medianMs, scaleMs_) : kNeverAnswered);
      item->setForeground(QColor(0x60, 0x00, 0x00));
      const QString name = SquareName(operation_, fact, stats);
      item->setData(Qt::AccessibleTextRole, name);
      QString tip = drill::FactText(operation_, fact);
      if (stats)
        tip += QStringLiteral("\nまんなか %1 びょう\n%2 かい まちがい (%3 かい のうち)\nさいきんの こたえ: %4")
                   .arg(Seconds(stats->medianMs))
                   .arg(stats->wrong)
                   .arg(stats->seen)
                   .arg(stats->lastAnswers.join(QStringLiteral(", ")));
      else
        tip += QStringLiteral("\nまだ こたえて いません");
      item->setToolTip(tip);
      map_->setItem(i, j, item);
    }

  QStringList lines;
  for (std::size_t n = 0; n < std::min<std::size_t>(10, facts_.ranked.size()); ++n)
    lines << QStringLiteral("%1. %2").arg(n + 1).arg(WeakestLine(operation_, facts_.ranked[n]));
  weakest_->setText(lines.join(u'\n'));
  ShowSquareDetail(map_->currentRow(), map_->currentColumn());
  legend_->update();
}

void WeakFactsWindow::ShowSquareDetail(int row, int column) {
  const QTableWidgetItem* item = row >= 0 && column >= 0 ? map_->item(row, column) : nullptr;
  detail_->setText(item ? item->toolTip().replace(u'\n', QStringLiteral("　")) : QString());
}

void WeakFactsWindow::Save(const QString& path) const {
  const QSizeF size = sheet_->size();
  SavePicture(path, size, windowTitle(), QStringLiteral("にがての表は .png か .pdf のファイルに保存します"),
              [&](QPainter& painter) {
                painter.fillRect(QRectF(QPointF(), size), sheet_->palette().color(QPalette::Window));
                sheet_->render(&painter);
              });
}

void WeakFactsWindow::SaveClick() {
  platform::Guarded([this] {
    const QString name = QStringLiteral("nigate-%1.png").arg(answers::OperationKey(operation_));
    const QString path = AskSavePath(this, QStringLiteral("にがてを保存"), name,
                                     QStringLiteral("PNG 画像 (*.png);;PDF (*.pdf)"), SaveKind::Picture);
    if (!path.isEmpty()) Save(path);
  });
}

}  // namespace progress
