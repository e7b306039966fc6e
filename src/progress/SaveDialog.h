#pragma once
// The dialogs that ask where to save the chart ("保存…") and the sheets
// ("PDF に保存…"). They start where a person keeps such files, not in the
// folder of the histories: the folder saved to last while the program runs,
// else the user's Pictures (an image) or Documents (a document) folder,
// else the home folder.

#include <QtCore/QString>

#include <memory>

class QFileDialog;
class QWidget;

namespace progress {

enum class SaveKind { Picture, Document };

// The dialog, built but not shown, with fileName suggested in the folder it
// starts in.
std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* window, const QString& title, const QString& fileName,
                                            const QString& filters, SaveKind kind);

// Asks where to save a file, blocking only the asking window: a drill going on
// in the drill window goes on taking answers. Gives an empty path when the
// user cancels. A name typed without the suffix of any filter gets the
// chosen filter's. The folder chosen is where the next save dialog starts.
QString AskSavePath(QWidget* window, const QString& title, const QString& fileName, const QString& filters,
                    SaveKind kind);

// path as the save dialog gives it: with the suffix of chosenFilter (else of
// the first of filters) added when it ends in none of the filters' suffixes.
// "note" with "PNG 画像 (*.png);;PDF (*.pdf)" is "note.png"; "note.PDF" stays.
QString WithFilterSuffix(const QString& path, const QString& filters, const QString& chosenFilter);

// The folder the next save dialog starts in; an empty folder forgets it.
void RememberSaveFolder(const QString& folder);

}  // namespace progress
