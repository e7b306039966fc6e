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

namespace {

// ".png" of "PNG 画像 (*.png)", or nothing.
QString SuffixOf(const QString& filter) {
  const qsizetype open = filter.lastIndexOf(QStringLiteral("(*."));
  const qsizetype close = filter.indexOf(u')', open);
  return open < 0 || close < 0 ? QString() : filter.mid(open + 2, close - open - 2);
}

}  // namespace

QString WithFilterSuffix(const QString& path, const QString& filters, const QString& chosenFilter) {
  const QStringList all = filters.split(QStringLiteral(";;"));
  for (const QString& filter : all)
    if (const QString suffix = SuffixOf(filter); !suffix.isEmpty() && path.endsWith(suffix, Qt::CaseInsensitive))
      return path;
  const QString chosen = SuffixOf(chosenFilter);
  return path + (chosen.isEmpty() ? SuffixOf(all.first()) : chosen);
}

QString AskSavePath(QWidget* window, const QString& title, const QString& fileName, const QString& filters,
                    SaveKind kind) {
  const std::unique_ptr<QFileDialog> dialog = MakeSaveDialog(window, title, fileName, filters, kind);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
  const QString path = WithFilterSuffix(dialog->selectedFiles().first(), filters, dialog->selectedNameFilter());
  RememberSaveFolder(QFileInfo(path).absolutePath());
  return path;
}

}  // namespace progress
