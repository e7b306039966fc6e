#include "progress/SaveDialog.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QStandardPaths>
#include <QtWidgets/QFileDialog>

namespace progress {
namespace {

QString& LastFolder() {
  static QString folder;  // this run's only
  return folder;
}

QString StartFolder(SaveKind kind) {
  if (!LastFolder().isEmpty() && QFileInfo(LastFolder()).isDir()) return LastFolder();
  const QString standard = QStandardPaths::writableLocation(
      kind == SaveKind::Picture ? QStandardPaths::PicturesLocation : QStandardPaths::DocumentsLocation);
  if (!standard.isEmpty() && QFileInfo(standard).isDir()) return standard;
  return QDir::homePath();
}

}  // namespace

void RememberSaveFolder(const QString& folder) { LastFolder() = folder; }

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* window, const QString& title, const QString& fileName,
                                            const QString& filters, SaveKind kind) {
  auto dialog = std::make_unique<QFileDialog>(window, title, QDir(StartFolder(kind)).filePath(fileName), filters);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setWindowModality(Qt::WindowModal);
  return dialog;
}

QString AskSavePath(QWidget* window, const QString& title, const QString& fileName, const QString& filters,
                    SaveKind kind, QString* chosenFilter) {
  const std::unique_ptr<QFileDialog> dialog = MakeSaveDialog(window, title, fileName, filters, kind);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
  if (chosenFilter) *chosenFilter = dialog->selectedNameFilter();
  const QString path = dialog->selectedFiles().first();
  RememberSaveFolder(QFileInfo(path).absolutePath());
  return path;
}

}  // namespace progress
