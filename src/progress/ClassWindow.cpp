#include "progress/ClassWindow.h"

#include "platform/Application.h"
#include "platform/Exception.h"
#include "progress/ProgressWindow.h"
#include "progress/SafeWrite.h"
#include "progress/SaveDialog.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QSortFilterProxyModel>
#include <QtGui/QAccessible>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtWidgets/QAccessibleWidget>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace progress {
namespace {

const char16_t* const kHeaders[] = {u"なまえ", u"マス",   u"計算", u"回数",   u"7日間",
                                    u"さいごの日", u"点", u"タイム", u"ベスト", u"さいきん20回"};
static_assert(std::size(kHeaders) == ClassModel::ColumnCount);

// A window of its own is a "filler" to a screen reader by its class alone.
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ClassWindow::staticMetaObject.className()))
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  return nullptr;
}

}  // namespace

QString RecentTimesText(const std::vector<std::int32_t>& tenths) {
  if (tenths.empty()) return {};
  if (tenths.size() == 1) return QStringLiteral("さいきん 1 回: %1").arg(TimeText(tenths.front()));
  const std::int32_t first = tenths.front(), last = tenths.back();
  const QString trend = last < first   ? QStringLiteral("はやく なりました")
                        : last > first ? QStringLiteral("おそく なりました")
                                       : QStringLiteral("かわりません");
  return QStringLiteral("さいきん %1 回: %2 から %3、%4").arg(tenths.size()).arg(TimeText(first), TimeText(last), trend);
}

// ---------------------------------------------------------------- model

void ClassModel::SetOverview(drill::ClassOverview overview) {
  beginResetModel();
  overview_ = std::move(overview);
  rows_ = ClassRows(overview_);
  endResetModel();
}

int ClassModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int ClassModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ClassModel::Text(const ClassRow& row, int column) const {
  const drill::DrillSummary* s = row.summary;
  if (column == Child) return row.child->name;
  if (!s) {
    if (column != Grid) return {};
    return row.child->errors.empty() ? QStringLiteral("まだ ドリルが ありません") : QStringLiteral("成績を読めません");
  }
  switch (column) {
    case Grid:
      return drill::GridName(s->grid);
    case Op:
      return drill::OperationName(s->operation);
    case Drills:
      return s->drills;
    case DrillsLately:
      return s->drillsLately;
    case LastDate:
      return IsoDate(s->last.date);
    case LastScore:
      return int(s->last.score);
    case LastTime:
      return s->last.TimeText();
    case BestTime:
      return s->best.TimeText();
    default:
      return {};
  }
}

QVariant ClassModel::SortKey(int row, const ClassRow& r, int column) const {
  const drill::DrillSummary* s = r.summary;
  // The children are already in a person's order; rows keep it within a child.
  if (column == Child) return row;
  if (!s) return -1;
  switch (column) {
    case Grid:
      return int(s->grid);
    case Op:
      return int(s->operation);
    case Drills:
      return s->drills;
    case DrillsLately:
      return s->drillsLately;
    case LastDate:
      return s->last.date.toJulianDay();
    case LastScore:
      return int(s->last.score);
    case LastTime:
      return s->last.TimeTenths();
    case BestTime:
      return s->best.TimeTenths();
    case RecentTimes:
      // How much faster lately: the change from the first to the last time.
      return s->recentTenths.back() - s->recentTenths.front();
    default:
      return {};
  }
}

QVariant ClassModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const ClassRow& row = rows_[std::size_t(index.row())];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return Text(row, column);
    case SortRole:
      return SortKey(index.row(), row, column);
    case TimesRole:
      if (column == RecentTimes && row.summary)
        return QVariant::fromValue(QList<int>(row.summary->recentTenths.begin(), row.summary->recentTenths.end()));
      return {};
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
      if (column == RecentTimes && row.summary) return RecentTimesText(row.summary->recentTenths);
      return {};
    case Qt::TextAlignmentRole:
      if (column >= Drills && column <= BestTime && column != LastDate && row.summary)
        return int(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    default:
      return {};
  }
}

QVariant ClassModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return QString::fromUtf16(kHeaders[section]);
  return {};
}

// ---------------------------------------------------------------- the small line

void RecentTimesDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  const QList<int> times = index.data(ClassModel::TimesRole).value<QList<int>>();
  if (times.isEmpty()) return;
  const auto [low, high] = std::minmax_element(times.begin(), times.end());
  const QRectF area = QRectF(option.rect).adjusted(6, 5, -6, -5);
  const double span = std::max(1, *high - *low);
  const double step = times.size() > 1 ? area.width() / double(times.size() - 1) : 0;
  // Slower lies higher, so a line going down is a child getting faster.
  const auto point = [&](int i) {
    return QPointF(area.left() + step * i, area.bottom() - area.height() * double(times[i] - *low) / span);
  };
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, true);
  const bool selected = option.state & QStyle::State_Selected;
  const QColor ink = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  painter->setPen(QPen(ink, 1.5));
  QPainterPath line(point(0));
  for (int i = 1; i < times.size(); ++i) line.lineTo(point(i));
  painter->drawPath(line);
  painter->setBrush(ink);
  painter->drawEllipse(point(int(times.size()) - 1), 2.5, 2.5);
  painter->restore();
}

QSize RecentTimesDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(120, 24));
}

// ---------------------------------------------------------------- window

ClassWindow::ClassWindow(const QString& folder, const QDate& today, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder) {
  [[maybe_unused]] static const bool accessible = [] {
    QAccessible::installFactory(AccessibleFactory);
    return true;
  }();
  setObjectName(QStringLiteral("ClassWindow"));
  setWindowTitle(QStringLiteral("クラスの成績"));
  setAccessibleName(windowTitle());
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(14);
  setFont(font);

  auto* heading = new QLabel(QDir::toNativeSeparators(folder), this);
  heading->setObjectName(QStringLiteral("ClassFolder"));
  heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
  errors_ = new QLabel(this);
  errors_->setObjectName(QStringLiteral("ClassErrors"));
  errors_->setWordWrap(true);
  errors_->setTextFormat(Qt::PlainText);
  errors_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  errors_->setStyleSheet(QStringLiteral("color: #A00000"));

  model_ = new ClassModel(this);
  proxy_ = new QSortFilterProxyModel(this);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(ClassModel::SortRole);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("ClassTable"));
  table_->setAccessibleName(windowTitle());
  table_->setModel(proxy_);
  table_->setItemDelegateForColumn(ClassModel::RecentTimes, new RecentTimesDelegate(table_));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setTabKeyNavigation(false);  // Tab leaves the table for the buttons
  table_->setSortingEnabled(true);
  table_->sortByColumn(ClassModel::Child, Qt::AscendingOrder);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setAlternatingRowColors(true);
  // Enter and a double click both activate a row.
  connect(table_, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { platform::Guarded([this, index] { OpenChart(index.row()); }); });

  auto* saveButton = new QPushButton(QStringLiteral("保存…"), this);
  saveButton->setObjectName(QStringLiteral("SaveButton"));
  connect(saveButton, &QPushButton::clicked, this, &ClassWindow::SaveClick);
  auto* closeButton = new QPushButton(QStringLiteral("閉じる"), this);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  auto* hint = new QLabel(QStringLiteral("Enter か ダブルクリックで その子の グラフを 開きます"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(hint);
  buttons->addStretch();
  buttons->addWidget(saveButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(errors_);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);

  drill::ClassOverview overview = drill::LoadClass(folder, today);
  const QStringList errors = overview.Errors(true);
  errors_->setText(errors.join(u'\n'));
  errors_->setVisible(!errors.isEmpty());
  model_->SetOverview(std::move(overview));
  table_->resizeColumnsToContents();
  table_->setColumnWidth(ClassModel::RecentTimes, 140);
  if (proxy_->rowCount() > 0) table_->setCurrentIndex(proxy_->index(0, 0));
  table_->setFocus();
  resize(980, 640);
}

std::vector<ClassRow> ClassWindow::ShownRows() const {
  std::vector<ClassRow> rows;
  for (int r = 0; r < proxy_->rowCount(); ++r) rows.push_back(model_->Row(proxy_->mapToSource(proxy_->index(r, 0)).row()));
  return rows;
}

void ClassWindow::Save(const QString& path) const {
  if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
    WriteClassPdf(path, QStringLiteral("%1　%2").arg(windowTitle(), QFileInfo(folder_).fileName()), ShownRows());
  else if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) || path == kStandardOutput)
    WriteClassCsv(path, ShownRows());
  else
    throw Exception(QStringLiteral("クラスの成績は .csv か .pdf のファイルに保存します"));
}

ProgressWindow* ClassWindow::OpenChart(int shownRow) {
  if (shownRow < 0 || shownRow >= proxy_->rowCount()) return nullptr;
  const ClassRow& row = model_->Row(proxy_->mapToSource(proxy_->index(shownRow, 0)).row());
  const drill::GridKind grid = row.summary ? row.summary->grid : drill::GridKind::Square100;
  ProgressWindow* window = ProgressWindow::Open(grid, row.child->folder, this);
  return window;
}

void ClassWindow::SaveClick() {
  platform::Guarded([this] {
    const QString name = QFileInfo(folder_).fileName() + QStringLiteral(".csv");
    const QString path = AskSavePath(this, QStringLiteral("クラスの成績を保存"), name,
                                     QStringLiteral("CSV (*.csv);;PDF (*.pdf)"), SaveKind::Document);
    if (!path.isEmpty()) Save(path);
  });
}

}  // namespace progress
