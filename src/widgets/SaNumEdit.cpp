#include "widgets/SaNumEdit.h"

#include "platform/Accessibility.h"
#include "platform/Application.h"
#include "platform/Sound.h"
#include "widgets/Accessible.h"
#include "widgets/SaNumEditAccessible.h"
#include "widgets/SaNumKeys.h"
#include "widgets/Store.h"

#include <QtCore/QMetaType>
#include <QtCore/QTimer>
#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QInputMethod>
#include <QtGui/QKeyEvent>
#include <QtGui/QStyleHints>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

#include <optional>
#include <utility>

namespace {

// focusNextPrevChild is protected in QWidget; naming it through a derived
// class gives a pointer-to-member we may call on any widget.
struct FocusAccess : QWidget {
  using QWidget::focusNextPrevChild;
};

constexpr QChar kPoint = u'.';
constexpr QChar kMinus = u'-';

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

void registerOptionConversions() {
  static const bool done = [] {
    QMetaType::registerConverter<TSaNumEditOptions, int>(
        [](const TSaNumEditOptions& o) { return int(o.Bits()); });
    QMetaType::registerConverter<int, TSaNumEditOptions>(
        [](const int& bits) { return TSaNumEditOptions::FromBits(unsigned(bits)); });
    return true;
  }();
  (void)done;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

TSaNumEdit::TSaNumEdit(QWidget* parent) : QWidget(parent) {
  registerOptionConversions();
  a11y::InstallWidgetFactory();
  constructing_ = true;
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  // Every pixel is ours: the parent need not paint beneath the cell.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setCursor(Qt::IBeamCursor);
  resize(121, 20);

  caretTimer_ = new QTimer(this);
  connect(caretTimer_, &QTimer::timeout, this, [this] { blink(); });

  rebuildImage();
  // The editing menu is made the first time it is needed: a window of 143
  // cells would otherwise start with over a thousand menu items.
  constructing_ = false;
  if (parent) gotParent();
}

TSaNumEdit::~TSaNumEdit() = default;

// A cell placed on a window measures its font there and never takes on the
// window's colour: a colour the layout gives it afterwards is its own.
void TSaNumEdit::gotParent() {
  measureFont();
  color_ = clWindow;
  update();
}

void TSaNumEdit::fontChanged() {
  const bool focused = hasFocus();
  if (focused) KillCaret();
  measureFont();
  if (focused) MakeCaret();
  update();
}

void TSaNumEdit::measureFont() {
  textHeight_ = fontMetrics().height();
  caretWidth_ = font().bold() ? 2 : 1;
  AdjustHeight();
  AdjustWidth();
}

// Repaints after a change of the value or of the layout, from the lightest
// reaction up.
void TSaNumEdit::relayout() {
  update();
  PlaceCaret();
}

void TSaNumEdit::reformat() {
  rebuildImage();
  AdjustWidth();
  relayout();
}

void TSaNumEdit::refilter() {
  value_ = FilterValue(value_);
  reformat();
}

void TSaNumEdit::refit() {
  AdjustHeight();
  AdjustWidth();
  relayout();
}

// ---------------------------------------------------------------------------
// Properties

using widgets::store;

void TSaNumEdit::SetAlignment(TAlignment value) {
  if (store(alignment_, value)) relayout();
}

void TSaNumEdit::SetVertAlignment(TVertAlignment value) {
  if (store(vertAlignment_, value)) relayout();
}

void TSaNumEdit::SetArrowFocusMove(bool value) { arrowFocusMove_ = value; }
void TSaNumEdit::SetEnterFocusMove(bool value) { enterFocusMove_ = value; }
void TSaNumEdit::SetReadOnly(bool value) { readOnly_ = value; }
void TSaNumEdit::SetErrorBeep(bool value) { errorBeep_ = value; }
void TSaNumEdit::SetImageCopy(bool value) { imageCopy_ = value; }
void TSaNumEdit::SetHideSelection(bool value) { hideSelection_ = value; }
void TSaNumEdit::SetOptions(TSaNumEditOptions value) { options_ = value; }

void TSaNumEdit::SetAutoSelect(bool value) {
  if (store(autoSelect_, value)) update();
}

void TSaNumEdit::SetDisabledColor(TColor value) {
  if (store(disabledColor_, value)) update();
}

void TSaNumEdit::SetColor(TColor value) {
  if (store(color_, value)) update();
}

void TSaNumEdit::SetFontColor(TColor value) {
  if (store(fontColor_, value)) update();
}

void TSaNumEdit::SetAutoSize(bool value) {
  if (store(autoSize_, value)) refit();
}

void TSaNumEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  // The frame width changes with the border; the outer size stays until
  // the automatic sizing fits the client area again.
  refit();
}

void TSaNumEdit::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  if (constructing_) return;
  refit();
}

void TSaNumEdit::SetTabStop(bool value) {
  tabStop_ = value;
  setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

QMenu* TSaNumEdit::PopupMenu() const {
  if (!ownMenu_ && !menuReplaced_) const_cast<TSaNumEdit*>(this)->buildMenu();
  return popupMenu_;
}

void TSaNumEdit::SetPopupMenu(QMenu* menu) {
  menuReplaced_ = true;
  popupMenu_ = menu;
}

void TSaNumEdit::SetTopMargin(int value) {
  if (value < 0 || !store(topMargin_, value)) return;
  AdjustHeight();
  relayout();
}

void TSaNumEdit::SetBottomMargin(int value) {
  if (value < 0 || !store(bottomMargin_, value)) return;
  AdjustHeight();
  relayout();
}

void TSaNumEdit::SetLeftMargin(int value) {
  if (value < 0 || !store(leftMargin_, value)) return;
  AdjustWidth();
  relayout();
}

void TSaNumEdit::SetRightMargin(int value) {
  if (value < 0 || !store(rightMargin_, value)) return;
  AdjustWidth();
  relayout();
}

// A limit that tightens makes the value fit again (or empties it); the
// leading zeros stay as they are.
void TSaNumEdit::SetIntegerLength(int value) {
  if (value < 0 || !store(format_.IntegerLength, value)) return;
  refilter();
}

void TSaNumEdit::SetDecimalLength(int value) {
  if (value < 0 || !store(format_.DecimalLength, value)) return;
  refilter();
}

void TSaNumEdit::SetMinus(bool value) {
  if (!store(format_.Minus, value)) return;
  refilter();
}

void TSaNumEdit::SetComma(bool value) {
  if (!store(format_.Comma, value)) return;
  reformat();
}

void TSaNumEdit::SetIntegerFixed(bool value) {
  if (!store(format_.IntegerFixed, value)) return;
  reformat();
}

void TSaNumEdit::SetDecimalFixed(bool value) {
  if (!store(format_.DecimalFixed, value)) return;
  reformat();
}

void TSaNumEdit::SetLeftMark(const QString& value) {
  if (!store(format_.LeftMark, value)) return;
  reformat();
}

void TSaNumEdit::SetRightMark(const QString& value) {
  if (!store(format_.RightMark, value)) return;
  reformat();
}

// The program's writes are cleaned like pasted text but are not edits:
// no OnChange, no undo snapshot, the selection stays.
void TSaNumEdit::SetText(const QString& value) {
  if (value == value_) return;
  value_ = TrimLeadingZeros(FilterValue(value));
  rebuildImage();
  relayout();
}

QString TSaNumEdit::GetText() const { return value_; }

// ---------------------------------------------------------------------------
// The value model

// The rules themselves live in SaNumValue.cpp; these are the cell's
// overridable entries to them.
TSaNumParts TSaNumEdit::SplitValue(const QString& value) { return SaNum::SplitValue(value); }

QString TSaNumEdit::JoinValue(const QString& sign, const QString& integer, const QString& point,
                              const QString& decimals) {
  return SaNum::JoinValue(sign, integer, point, decimals);
}

QString TSaNumEdit::GroupThousands(const QString& digits) { return SaNum::GroupThousands(digits); }
QString TSaNumEdit::FormatValue(const QString& value) { return SaNum::FormatValue(format_, value); }
QString TSaNumEdit::FormatImage(const QString& value) { return SaNum::FormatImage(format_, value); }
QString TSaNumEdit::FilterValue(const QString& text) { return SaNum::FilterValue(format_, text); }
QString TSaNumEdit::TrimLeadingZeros(const QString& text) { return SaNum::TrimLeadingZeros(text); }

void TSaNumEdit::SaveUndo() {
  undoText_ = value_;
  undoAvailable_ = true;
}

void TSaNumEdit::SwapUndo() {
  std::swap(value_, undoText_);
  undoAvailable_ = true;
}

int TSaNumEdit::ImageWidth(const QString& value) { return TextWidth(FormatImage(value)); }

int TSaNumEdit::AvailableWidth() {
  const int border = (borderStyle_ == bsSingle && ctl3D_) ? 2 : 1;
  return ClientWidth() - leftMargin_ - rightMargin_ - 2 * border;
}

bool TSaNumEdit::FitsWidth(const QString& value) { return ImageWidth(value) <= AvailableWidth(); }

void TSaNumEdit::rebuildImage() {
  const QString before = std::exchange(displayImage_, FormatImage(value_));
  if (a11y::IsActive()) a11y::TextChanged(this, before, displayImage_);
}

void TSaNumEdit::changed() {
  if (OnChange) OnChange(this);
}

void TSaNumEdit::ClearValue() {
  SaveUndo();
  value_.clear();
  rebuildImage();
  ClearSelection();
  relayout();
}

void TSaNumEdit::SelectAll() {
  const bool was = Selected();
  selLength_ = int(displayImage_.size());
  update();
  if (Selected() != was && a11y::IsActive()) a11y::SelectionChanged(this);
}

void TSaNumEdit::ClearSelection() {
  const bool was = Selected();
  selLength_ = 0;
  update();
  if (was && a11y::IsActive()) a11y::SelectionChanged(this);
}

// ---------------------------------------------------------------------------
// Typing

void TSaNumEdit::refuse(QChar& key) {
  if (errorBeep_) platform::MessageBeep();
  key = QChar(0);
}

void TSaNumEdit::accept(const QString& value, QChar& key) {
  SaveUndo();
  value_ = value;
  rebuildImage();
  relayout();
  key = QChar(0);
  changed();
}

void TSaNumEdit::InputDigit(QChar& key) {
  if (readOnly_) {
    key = QChar(0);
    return;
  }
  if (Selected()) ClearValue();
  const std::optional<QString> candidate = SaNum::WithDigit(format_, value_, key);
  if (!candidate) return refuse(key);
  if (options_.Contains(eoORInputStop) && !FitsWidth(*candidate)) return refuse(key);
  accept(*candidate, key);
}

void TSaNumEdit::InputPoint(QChar& key) {
  if (readOnly_) {
    key = QChar(0);
    return;
  }
  if (format_.DecimalLength == 0) return refuse(key);
  if (Selected()) ClearValue();
  const std::optional<QString> candidate = SaNum::WithPoint(format_, value_);
  if (!candidate) return refuse(key);
  if (options_.Contains(eoORInputStop) && !FitsWidth(*candidate)) return refuse(key);
  accept(TrimLeadingZeros(*candidate), key);
}

void TSaNumEdit::InputMinus(QChar& key) {
  if (readOnly_) {
    key = QChar(0);
    return;
  }
  if (!format_.Minus) return refuse(key);
  if (Selected()) ClearValue();
  const std::optional<QString> candidate = SaNum::WithSignToggled(format_, value_);
  // Taking the sign away always fits.
  const bool grows = candidate->size() > value_.size();
  if (grows && options_.Contains(eoORInputStop) && !FitsWidth(*candidate)) return refuse(key);
  accept(*candidate, key);
}

void TSaNumEdit::DeleteLast() {
  if (readOnly_ || value_.isEmpty()) return;
  if (Selected()) return ClearValue();
  SaveUndo();
  value_ = SaNum::WithoutLast(value_);
  rebuildImage();
  relayout();
  changed();
}

bool TSaNumEdit::hasParentForm() const { return window() != this; }

// The move is queued: it runs once the current key, with its OnKeyPress
// handler, has been handled completely.
void TSaNumEdit::postFocusMove(bool next) {
  QPointer<QWidget> form = window();
  QMetaObject::invokeMethod(
      form,
      [form, next] {
        if (form) (form->*(&FocusAccess::focusNextPrevChild))(next);
      },
      Qt::QueuedConnection);
}

void TSaNumEdit::keyDown(int& key, Qt::KeyboardModifiers shift) {
  const bool none = shift == Qt::NoModifier;
  const bool shiftAlone = shift == Qt::ShiftModifier;
  const bool ctrlAlone = shift == Qt::ControlModifier;

  if (shiftAlone && (key == Qt::Key_Left || key == Qt::Key_Right)) {
    SelectAll();
    key = 0;
    return;
  }
  if (ctrlAlone && key == Qt::Key_A) {
    SelectAll();
    key = 0;
    return;
  }
  if (ctrlAlone && key == Qt::Key_C) {
    CopyToClipboard();
    key = 0;
    return;
  }
  if (none) {
    switch (key) {
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_End:
      case Qt::Key_Home:
      case Qt::Key_Left:
      case Qt::Key_Right:
        ClearSelection();
        key = 0;
        return;
      case Qt::Key_Up:
      case Qt::Key_Down: {
        const bool up = key == Qt::Key_Up;
        ClearSelection();
        key = 0;
        if (arrowFocusMove_ && options_.Contains(up ? eoArrowUp : eoArrowDown) && hasParentForm())
          postFocusMove(!up);
        return;
      }
      default:
        break;
    }
  }
  if (readOnly_) return;
  if (ctrlAlone && key == Qt::Key_V) {
    PasteFromClipboard();
    key = 0;
    return;
  }
  if (ctrlAlone && key == Qt::Key_X) {
    CutToClipboard();
    key = 0;
    return;
  }
  if (none && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
    DeleteLast();
    key = 0;
  }
}

void TSaNumEdit::character(QChar& key) {
  if (readOnly_) {
    key = QChar(0);
    return;
  }
  switch (key.unicode()) {
    case 1:    // Ctrl+A
    case 3:    // Ctrl+C
    case 8:    // Backspace
    case 22:   // Ctrl+V
    case 24:   // Ctrl+X
      key = QChar(0);  // already handled as keys
      return;
    case 13:
      if (!enterFocusMove_) return refuse(key);
      if (!hasParentForm()) return;
      postFocusMove(true);
      key = QChar(0);
      return;
    default:
      break;
  }
  if (key == kMinus)
    InputMinus(key);
  else if (key == kPoint)
    InputPoint(key);
  else if (isAsciiDigit(key))
    InputDigit(key);
  else
    refuse(key);
}

bool TSaNumEdit::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    // Keys the cell handles itself are not window shortcuts while it has
    // the focus; Alt combinations and function keys stay with the window.
    auto* k = static_cast<QKeyEvent*>(e);
    if (!SaNum::IsTab(k->key()) && (SaNum::IsEditingKey(k->key()) || !SaNum::CharacterOf(k->key(), SaNum::ShiftState(k->modifiers()), k->text()).isNull()))
      e->accept();
  }
  return QWidget::event(e);
}

void TSaNumEdit::keyPressEvent(QKeyEvent* e) {
  if (SaNum::IsTab(e->key())) {
    e->ignore();  // Tab and Shift+Tab belong to the window
    return;
  }
  e->accept();
  QPointer<TSaNumEdit> self(this);
  platform::Guarded([&] {
    const Qt::KeyboardModifiers shift = SaNum::ShiftState(e->modifiers());
    int key = e->key();
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (!self) return;
    if (key != 0) keyDown(key, shift);
    if (!self) return;
    QChar ch = SaNum::CharacterOf(e->key(), shift, e->text());
    if (ch.isNull()) return;
    if (OnKeyPress) OnKeyPress(this, ch);
    if (!self) return;
    character(ch);
  });
}

void TSaNumEdit::keyReleaseEvent(QKeyEvent* e) {
  if (SaNum::IsTab(e->key())) {
    e->ignore();
    return;
  }
  platform::Guarded([&] {
    int key = e->key();
    if (OnKeyUp) OnKeyUp(this, key, SaNum::ShiftState(e->modifiers()));
  });
}

void TSaNumEdit::inputMethodEvent(QInputMethodEvent* e) {
  e->accept();
  const QString committed = e->commitString();
  QPointer<TSaNumEdit> self(this);
  platform::Guarded([&] {
    for (QChar c : committed) {
      QChar ch = SaNum::Narrowed(c);
      if (OnKeyPress) OnKeyPress(this, ch);
      if (!self) return;
      character(ch);
    }
  });
}

QVariant TSaNumEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImFont: return font();
    case Qt::ImCursorRectangle: {
      const QRect caret = CaretRect();
      if (caret.isValid()) return caret;
      return QRect(FrameWidth(), FrameWidth(), caretWidth_, textHeight_);
    }
    case Qt::ImHints: return int(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText);
    default: return QWidget::inputMethodQuery(query);
  }
}

// ---------------------------------------------------------------------------
// Focus

void TSaNumEdit::focusInEvent(QFocusEvent* e) {
  platform::Guarded([&] {
    MakeCaret();
    // Coming back to the window is not entering the cell again.
    if (entered_) return;
    entered_ = true;
    if (OnEnter) OnEnter(this);
    enterCell();
  });
  (void)e;
}

void TSaNumEdit::focusOutEvent(QFocusEvent* e) {
  platform::Guarded([&] {
    // A popup menu over the cell does not take the cell's focus away.
    if (e->reason() == Qt::PopupFocusReason && window()->focusWidget() == this) return;
    KillCaret();
    if (e->reason() == Qt::ActiveWindowFocusReason && window()->focusWidget() == this) return;
    if (!entered_) return;
    entered_ = false;
    if (OnExit) OnExit(this);
    exitCell();
  });
}

void TSaNumEdit::enterCell() {
  if (autoSelect_) SelectAll();
}

void TSaNumEdit::exitCell() {
  if (value_ == QStringLiteral("-") && !options_.Contains(eoMinusOnly)) {
    value_.clear();
    rebuildImage();
    update();
  }
  if (hideSelection_) ClearSelection();
}

// ---------------------------------------------------------------------------
// Reactions

void TSaNumEdit::changeEvent(QEvent* e) {
  platform::Guarded([&] {
    switch (e->type()) {
      case QEvent::FontChange:
        if (!constructing_) fontChanged();
        break;
      case QEvent::ParentChange:
        if (parentWidget()) gotParent();
        break;
      case QEvent::EnabledChange:
        update();
        break;
      default:
        break;
    }
  });
  QWidget::changeEvent(e);
}

void TSaNumEdit::resizeEvent(QResizeEvent* e) {
  platform::Guarded([&] {
    update();
    if (hasFocus()) PlaceCaret();
  });
  QWidget::resizeEvent(e);
}

QSize TSaNumEdit::sizeHint() const { return size(); }

void TSaNumEdit::AdjustHeight() {
  if (autoSize_) setClientHeight(textHeight_ + topMargin_ + bottomMargin_);
}

// A cell keeps the width it was given, eoAutoWidthSize or not: the window
// lays its grids out cell by cell, and a cell that widened itself would
// cover its neighbour.
void TSaNumEdit::AdjustWidth() {}

void TSaNumEdit::setClientHeight(int height) {
  const int h = height + 2 * FrameWidth();
  if (h != this->height()) resize(width(), h);
}

int TSaNumEdit::FrameWidth() const {
  if (borderStyle_ != bsSingle) return 0;
  return ctl3D_ ? 2 : 1;
}

int TSaNumEdit::ClientWidth() const { return qMax(0, width() - 2 * FrameWidth()); }
int TSaNumEdit::ClientHeight() const { return qMax(0, height() - 2 * FrameWidth()); }
