#include "widgets/SaNumEdit.h"

#include "access/Notify.h"
#include "platform/Application.h"
#include "platform/Sound.h"
#include "widgets/Store.h"

#include <QtCore/QMetaType>
#include <QtCore/QMimeData>
#include <QtCore/QTimer>
#include <QtGui/QClipboard>
#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QInputMethod>
#include <QtGui/QKeyEvent>
#include <QtGui/QStyleHints>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

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

// The full-width characters an input method commits in its full-width mode
// stand for the plain keys of the same meaning.
QChar narrowed(QChar c) {
  const char16_t u = c.unicode();
  if (u >= 0xFF10 && u <= 0xFF19) return QChar(char16_t(u'0' + (u - 0xFF10)));
  if (u == 0xFF0D) return kMinus;
  if (u == 0xFF0E) return kPoint;
  return c;
}

// Number of integer digits of a value text (a leading minus is not one).
int integerDigits(const QString& value) {
  const qsizetype point = value.indexOf(kPoint);
  qsizetype n = point >= 0 ? point : value.size();
  if (value.startsWith(kMinus)) --n;
  return int(n);
}

int decimalDigits(const QString& value) {
  const qsizetype point = value.indexOf(kPoint);
  return point >= 0 ? int(value.size() - point - 1) : 0;
}

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

const char16_t* const kMenuCaptions[] = {u"元に戻す(&U)", u"-",           u"切り取り(&T)", u"コピー(&C)",
                                         u"貼り付け(&P)", u"削除(&D)", u"-",          u"すべて選択(&A)"};

enum MenuTag { tagUndo = 0, tagCut = 2, tagCopy = 3, tagPaste = 4, tagDelete = 5, tagSelectAll = 7 };

}  // namespace

// ---------------------------------------------------------------------------
// Construction

TSaNumEdit::TSaNumEdit(QWidget* parent) : QWidget(parent) {
  registerOptionConversions();
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
  if (value < 0 || !store(integerLength_, value)) return;
  refilter();
}

void TSaNumEdit::SetDecimalLength(int value) {
  if (value < 0 || !store(decimalLength_, value)) return;
  refilter();
}

void TSaNumEdit::SetMinus(bool value) {
  if (!store(minus_, value)) return;
  refilter();
}

void TSaNumEdit::SetComma(bool value) {
  if (!store(comma_, value)) return;
  reformat();
}

void TSaNumEdit::SetIntegerFixed(bool value) {
  if (!store(integerFixed_, value)) return;
  reformat();
}

void TSaNumEdit::SetDecimalFixed(bool value) {
  if (!store(decimalFixed_, value)) return;
  reformat();
}

void TSaNumEdit::SetLeftMark(const QString& value) {
  if (!store(leftMark_, value)) return;
  reformat();
}

void TSaNumEdit::SetRightMark(const QString& value) {
  if (!store(rightMark_, value)) return;
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

TSaNumParts TSaNumEdit::SplitValue(const QString& value) {
  TSaNumParts parts;
  QString rest = value;
  if (rest.startsWith(kMinus)) {
    parts.Sign = QString(kMinus);
    rest.remove(0, 1);
  }
  const qsizetype point = rest.indexOf(kPoint);
  if (point >= 0) {
    parts.Integer = rest.left(point);
    parts.Point = QString(kPoint);
    parts.Decimals = rest.mid(point + 1);
  } else {
    parts.Integer = rest;
  }
  return parts;
}

QString TSaNumEdit::JoinValue(const QString& sign, const QString& integer, const QString& point,
                              const QString& decimals) {
  return sign + integer + point + decimals;
}

QString TSaNumEdit::GroupThousands(const QString& digits) {
  QString grouped;
  const qsizetype n = digits.size();
  grouped.reserve(n + n / 3);
  for (qsizetype i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) grouped += u',';
    grouped += digits[i];
  }
  return grouped;
}

QString TSaNumEdit::FormatValue(const QString& value) {
  TSaNumParts p = SplitValue(value);
  if (comma_) p.Integer = GroupThousands(p.Integer);
  if (decimalFixed_) {
    p.Decimals = (p.Decimals + QString(decimalLength_, u'0')).left(decimalLength_);
    if (decimalLength_ > 0) p.Point = QString(kPoint);
  }
  if (p.Integer.isEmpty() && (integerFixed_ || decimalFixed_)) p.Integer = QStringLiteral("0");
  return JoinValue(p.Sign, p.Integer, p.Point, p.Decimals);
}

QString TSaNumEdit::FormatImage(const QString& value) {
  const QString shown = FormatValue(value);
  if (shown.isEmpty()) return QString();
  return leftMark_ + shown + rightMark_;
}

// Turns any text into a value the cell can hold: full-width digits and
// signs are narrowed, commas dropped, and the text is cut at the first
// character that cannot continue a number. A number with more integer
// digits than the cell allows is not shortened (that would change it) but
// emptied.
QString TSaNumEdit::FilterValue(const QString& text) {
  QString narrow;
  narrow.reserve(text.size());
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x80) {
      narrow += c;
    } else if (u == 0xFF0C) {
      continue;  // full-width comma
    } else {
      const QChar n = narrowed(c);
      if (n == c) break;  // any other wide character ends the text
      narrow += n;
    }
  }

  QString taken;
  taken.reserve(narrow.size());
  bool point = false;
  for (qsizetype i = 0; i < narrow.size(); ++i) {
    const QChar c = narrow[i];
    if (isAsciiDigit(c)) {
      taken += c;
    } else if (c == u',') {
      continue;
    } else if (c == kPoint) {
      if (decimalLength_ == 0 || point) break;
      point = true;
      taken += c;
    } else if (c == kMinus) {
      if (!minus_ || i != 0) break;
      taken += c;
    } else {
      break;
    }
  }

  if (taken.isEmpty()) return taken;
  const qsizetype p = taken.indexOf(kPoint);
  if (p >= 0 && taken.size() - p - 1 > decimalLength_) taken.truncate(p + 1 + decimalLength_);
  if (integerDigits(taken) > integerLength_) taken.clear();
  return taken;
}

QString TSaNumEdit::TrimLeadingZeros(const QString& text) {
  QString sign;
  QString rest = text;
  if (rest.startsWith(kMinus)) {
    sign = QString(kMinus);
    rest.remove(0, 1);
  }
  qsizetype zeros = 0;
  while (zeros < rest.size() && rest[zeros] == u'0') ++zeros;
  rest.remove(0, zeros);
  if (zeros > 0 && rest.isEmpty()) rest = QStringLiteral("0");
  if (rest.startsWith(kPoint)) rest.prepend(u'0');
  return sign + rest;
}

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
  a11y::TextChanged(this, before, displayImage_);
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
  if (Selected() != was) a11y::SelectionChanged(this);
}

void TSaNumEdit::ClearSelection() {
  const bool was = Selected();
  selLength_ = 0;
  update();
  if (was) a11y::SelectionChanged(this);
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
  const bool inDecimals = decimalLength_ > 0 && value_.contains(kPoint);
  const bool allowed =
      inDecimals ? decimalDigits(value_) < decimalLength_ : integerDigits(value_) < integerLength_;
  if (!allowed) return refuse(key);
  const QString candidate = TrimLeadingZeros(value_ + key);
  if (options_.Contains(eoORInputStop) && !FitsWidth(candidate)) return refuse(key);
  accept(candidate, key);
}

void TSaNumEdit::InputPoint(QChar& key) {
  if (readOnly_) {
    key = QChar(0);
    return;
  }
  if (decimalLength_ == 0) return refuse(key);
  if (Selected()) ClearValue();
  if (value_.contains(kPoint)) return refuse(key);
  const QString candidate = value_ + kPoint;
  if (options_.Contains(eoORInputStop) && !FitsWidth(candidate)) return refuse(key);
  accept(TrimLeadingZeros(candidate), key);
}

// "-" toggles the sign; zeros are left alone, so an empty cell becomes a
// lone "-" that the next digits complete.
void TSaNumEdit::InputMinus(QChar& key) {
  if (readOnly_) {
    key = QChar(0);
    return;
  }
  if (!minus_) return refuse(key);
  if (Selected()) ClearValue();
  if (value_.contains(kMinus)) return accept(QString(value_).remove(kMinus), key);
  const QString candidate = kMinus + value_;
  if (options_.Contains(eoORInputStop) && !FitsWidth(candidate)) return refuse(key);
  accept(candidate, key);
}

void TSaNumEdit::DeleteLast() {
  if (readOnly_ || value_.isEmpty()) return;
  if (Selected()) return ClearValue();
  QString shorter = value_;
  shorter.chop(1);
  if (shorter.endsWith(kPoint)) shorter.chop(1);
  SaveUndo();
  value_ = shorter;
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

namespace {

Qt::KeyboardModifiers shiftState(Qt::KeyboardModifiers m) {
  return m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

// The character a key yields, or 0 for a key that yields none (arrows,
// Delete, function keys, Alt combinations).
QChar characterOf(const QKeyEvent* e, Qt::KeyboardModifiers shift) {
  const int key = e->key();
  if (shift & (Qt::AltModifier | Qt::MetaModifier)) return QChar(0);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QChar(13);
    case Qt::Key_Backspace: return QChar(8);
    case Qt::Key_Escape: return QChar(27);
    default: break;
  }
  if (shift & Qt::ControlModifier) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return QChar(char16_t(key - Qt::Key_A + 1));
    return QChar(0);
  }
  const QString text = e->text();
  if (text.isEmpty()) return QChar(0);
  const QChar c = text.front();
  if (c.unicode() < 0x20 || c.unicode() == 0x7F) return QChar(0);
  return c;
}

bool isTab(const QKeyEvent* e) { return e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab; }

// Keys without a character that the cell acts on.
bool isEditingKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete: return true;
    default: return false;
  }
}

}  // namespace

bool TSaNumEdit::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    // Keys the cell handles itself are not window shortcuts while it has
    // the focus; Alt combinations and function keys stay with the window.
    auto* k = static_cast<QKeyEvent*>(e);
    if (!isTab(k) && (isEditingKey(k->key()) || !characterOf(k, shiftState(k->modifiers())).isNull()))
      e->accept();
  }
  return QWidget::event(e);
}

void TSaNumEdit::keyPressEvent(QKeyEvent* e) {
  if (isTab(e)) {
    e->ignore();  // Tab and Shift+Tab belong to the window
    return;
  }
  e->accept();
  QPointer<TSaNumEdit> self(this);
  platform::Guarded([&] {
    const Qt::KeyboardModifiers shift = shiftState(e->modifiers());
    int key = e->key();
    if (OnKeyDown) OnKeyDown(this, key, shift);
    if (!self) return;
    if (key != 0) keyDown(key, shift);
    if (!self) return;
    QChar ch = characterOf(e, shift);
    if (ch.isNull()) return;
    if (OnKeyPress) OnKeyPress(this, ch);
    if (!self) return;
    character(ch);
  });
}

void TSaNumEdit::keyReleaseEvent(QKeyEvent* e) {
  if (isTab(e)) {
    e->ignore();
    return;
  }
  platform::Guarded([&] {
    int key = e->key();
    if (OnKeyUp) OnKeyUp(this, key, shiftState(e->modifiers()));
  });
}

void TSaNumEdit::inputMethodEvent(QInputMethodEvent* e) {
  e->accept();
  const QString committed = e->commitString();
  QPointer<TSaNumEdit> self(this);
  platform::Guarded([&] {
    for (QChar c : committed) {
      QChar ch = narrowed(c);
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
// Commands

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

// The width follows the widest value only while a cell is laid out in a
// form designer; the running program keeps the width it was given.
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
