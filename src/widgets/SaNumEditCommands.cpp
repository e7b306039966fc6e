// The cell's editing commands: the clipboard, undo, and the popup menu that
// offers them.

#include "platform/Application.h"
#include "widgets/SaNumEdit.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QMenu>

namespace {

const char16_t* const kMenuCaptions[] = {u"元に戻す(&U)", u"-",           u"切り取り(&T)", u"コピー(&C)",
                                         u"貼り付け(&P)", u"削除(&D)", u"-",          u"すべて選択(&A)"};

enum MenuTag { tagUndo = 0, tagCut = 2, tagCopy = 3, tagPaste = 4, tagDelete = 5, tagSelectAll = 7 };

}  // namespace

void TSaNumEdit::buildMenu() {
  ownMenu_ = new QMenu(this);
  int tag = 0;
  for (const char16_t* caption : kMenuCaptions) {
    const QString text = QString::fromUtf16(caption);
    QAction* item = text == QStringLiteral("-") ? ownMenu_->addSeparator() : ownMenu_->addAction(text);
    item->setData(tag++);
    connect(item, &QAction::triggered, this,
            [this, item] { platform::Guarded([&] { MenuItemClick(item); }); });
  }
  connect(ownMenu_, &QMenu::aboutToShow, this, [this] { platform::Guarded([&] { PopupOpening(); }); });
  popupMenu_ = ownMenu_;
}

void TSaNumEdit::CopyToClipboard() {
  if (!Selected()) return;
  QGuiApplication::clipboard()->setText(imageCopy_ ? displayImage_ : value_);
}

void TSaNumEdit::CutToClipboard() {
  if (!Selected()) return;
  CopyToClipboard();
  ClearValue();
  changed();
}

void TSaNumEdit::PasteFromClipboard() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard->mimeData();
  if (!data || !data->hasText()) return;
  const QString text = clipboard->text();
  SaveUndo();
  value_ = TrimLeadingZeros(FilterValue(Selected() ? text : value_ + text));
  rebuildImage();
  ClearSelection();
  relayout();
  changed();
}

// Undo swaps the value with the one before the last edit, both as they
// stand: the value it brings back is not fitted to limits changed since (a
// "0." typed with IntegerLength 0 would be lost), so undoing twice always
// returns to the later value. The limits hold for what is typed next.
void TSaNumEdit::UndoEdit() {
  if (!undoAvailable_) return;
  SwapUndo();
  rebuildImage();
  SelectAll();
  relayout();
  changed();
}

void TSaNumEdit::PopupOpening() {
  if (!hasFocus()) setFocus(Qt::OtherFocusReason);
  PopupMenu();  // makes the own menu if it is still to be made
  if (!ownMenu_) return;
  const bool selected = Selected();
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard->mimeData();
  const bool clipText = data && data->hasText();
  for (QAction* item : ownMenu_->actions()) {
    switch (item->data().toInt()) {
      case tagUndo: item->setEnabled(undoAvailable_ && !readOnly_); break;
      case tagCut: item->setEnabled(selected && !readOnly_); break;
      case tagCopy: item->setEnabled(selected); break;
      case tagPaste: item->setEnabled(clipText && !readOnly_); break;
      case tagDelete: item->setEnabled(selected && !readOnly_); break;
      case tagSelectAll: item->setEnabled(!selected && !value_.isEmpty()); break;
      default: break;
    }
  }
}

void TSaNumEdit::MenuItemClick(QObject* sender) {
  auto* item = qobject_cast<QAction*>(sender);
  if (!item) return;
  switch (item->data().toInt()) {
    case tagUndo: UndoEdit(); break;
    case tagCut: CutToClipboard(); break;
    case tagCopy: CopyToClipboard(); break;
    case tagPaste: PasteFromClipboard(); break;
    case tagDelete: ClearValue(); break;
    case tagSelectAll: SelectAll(); break;
    default: break;
  }
}

void TSaNumEdit::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();
  platform::Guarded([&] {
    if (QMenu* menu = PopupMenu()) menu->popup(e->globalPos());
  });
}
