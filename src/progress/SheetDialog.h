#pragma once
// "プリント": a small window to make printable sheets of a grid kind: the
// operation, how many sheets, then a PDF file or the printer (Qt's print
// dialog). Each use draws new headers.

#include "progress/Sheets.h"

#include <QtWidgets/QDialog>

#include <array>

class QPrinter;
class QRadioButton;
class QSpinBox;

namespace progress {

class SheetDialog : public QDialog {
  Q_OBJECT

 public:
  SheetDialog(drill::GridKind grid, drill::Operation operation, QWidget* parent = nullptr);

  // Shows the window for a drill window, without blocking it; it closes
  // with the drill window.
  static SheetDialog* Open(drill::GridKind grid, drill::Operation operation, QWidget* drillWindow);

  // The sheets as chosen, with a new seed.
  SheetOptions Options() const;

  QSpinBox* CountBox() const { return count_; }
  QRadioButton* OperationButton(drill::Operation operation) const { return operations_[std::size_t(operation)]; }

  // Paints the chosen sheets onto a printer.
  void Print(QPrinter& printer) const;

 public slots:
  void PdfClick();
  void PrintClick();

 private:
  drill::GridKind grid_;
  std::array<QRadioButton*, 3> operations_{};
  QSpinBox* count_ = nullptr;
};

}  // namespace progress
