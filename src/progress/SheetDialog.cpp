#include "progress/SheetDialog.h"

#include "platform/Application.h"
#include "progress/SaveDialog.h"

#include <QtCore/QPointer>
#include <QtCore/QRandomGenerator>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

namespace progress {

SheetDialog::SheetDialog(drill::GridKind grid, drill::Operation operation, QWidget* parent)
    : QDialog(parent), grid_(grid) {
  setObjectName(QStringLiteral("SheetDialog"));
  setWindowTitle(QStringLiteral("プリント %1").arg(drill::GridName(grid)));
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(14);
  setFont(font);

  auto* operationRow = new QHBoxLayout;
  auto* group = new QButtonGroup(this);
  for (drill::Operation op : {drill::Operation::Addition, drill::Operation::Multiplication,
                              drill::Operation::Subtraction}) {
    auto* button = new QRadioButton(drill::OperationName(op), this);
    button->setChecked(op == operation);
    group->addButton(button);
    operationRow->addWidget(button);
    operations_[std::size_t(op)] = button;
  }
  count_ = new QSpinBox(this);
  count_->setRange(1, kMaxSheets);
  count_->setValue(1);
  count_->setSuffix(QStringLiteral(" まい"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("マス:"), new QLabel(drill::GridName(grid), this));
  form->addRow(QStringLiteral("けいさん:"), operationRow);
  form->addRow(QStringLiteral("まいすう:"), count_);
  auto* note = new QLabel(QStringLiteral("A4 たて。問題のあとに、こたえのページがつきます。"), this);

  auto* pdf = new QPushButton(QStringLiteral("PDF に保存…"), this);
  auto* print = new QPushButton(QStringLiteral("印刷…"), this);
  auto* close = new QPushButton(QStringLiteral("閉じる"), this);
  connect(pdf, &QPushButton::clicked, this, &SheetDialog::PdfClick);
  connect(print, &QPushButton::clicked, this, &SheetDialog::PrintClick);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(pdf);
  buttons->addWidget(print);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addLayout(buttons);
}

SheetDialog* SheetDialog::Open(drill::GridKind grid, drill::Operation operation, QWidget* drillWindow) {
  // A window of its own (no parent), so it does not sit over the drill.
  auto* dialog = new SheetDialog(grid, operation);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAttribute(Qt::WA_QuitOnClose, false);
  if (drillWindow) connect(drillWindow, &QObject::destroyed, dialog, [dialog] { delete dialog; });
  dialog->show();
  return dialog;
}

SheetOptions SheetDialog::Options() const {
  SheetOptions options;
  options.grid = grid_;
  for (std::size_t k = 0; k < operations_.size(); ++k)
    if (operations_[k]->isChecked()) options.operation = drill::Operation(k);
  options.count = count_->value();
  options.seed = QRandomGenerator::global()->generate();
  return options;
}

void SheetDialog::Print(QPrinter& printer) const {
  const SheetOptions options = Options();
  printer.setFullPage(true);  // the sheets are measured from the paper's corner
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  printer.setDocName(QStringLiteral("%1 %2").arg(drill::GridName(grid_), drill::OperationName(options.operation)));
  PaintSheets(printer, options, DrawSheets(options));
}

void SheetDialog::PdfClick() {
  platform::Guarded([this] {
    const QString name = QStringLiteral("sheets-%1.pdf").arg(grid_ == drill::GridKind::Square100 ? 100 : 25);
    const QString path = AskSavePath(this, QStringLiteral("PDF に保存"), name, QStringLiteral("PDF (*.pdf)"),
                                     SaveKind::Document);
    if (!path.isEmpty()) WriteSheetsPdf(path, Options());
  });
}

void SheetDialog::PrintClick() {
  platform::Guarded([this] {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowModality(Qt::WindowModal);  // the drill window goes on meanwhile
    if (dialog.exec() != QDialog::Accepted) return;
    Print(printer);
  });
}

}  // namespace progress
