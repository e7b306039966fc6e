#pragma once
// TSaNumEdit: the numeric entry cell every box of the drill window is made of.
// It holds its number as text, edits only at the end of that text, selects
// the whole cell or nothing, and draws itself (value, marks, caret, frame).

#include "platform/Types.h"
#include "widgets/SaNumValue.h"

#include <QtCore/QPointer>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtWidgets/QMenu>
#include <QtWidgets/QWidget>

#include <initializer_list>

class QAction;
class QTimer;

namespace SaNum {
Q_NAMESPACE

// Vertical placement of marks and value in the cell.
enum TVertAlignment { taTopJustify = 0, taBottomJustify = 1, taVCenter = 2 };
Q_ENUM_NS(TVertAlignment)

enum TSaNumEditOption {
  eoMinusOnly = 0,      // a lone "-" survives leaving the cell
  eoArrowUp = 1,        // with ArrowFocusMove, Up goes to the previous control
  eoArrowDown = 2,      // with ArrowFocusMove, Down goes to the next control
  eoAutoWidthSize = 3,  // kept for layouts that set it; the cell keeps the width it is given
  eoORInputStop = 4     // refuse a character whose result would not fit the visible width
};
Q_ENUM_NS(TSaNumEditOption)

// A set of options, one bit per option (eoMinusOnly 1 ... eoORInputStop 16).
class TSaNumEditOptions {
 public:
  constexpr TSaNumEditOptions() noexcept = default;
  constexpr TSaNumEditOptions(std::initializer_list<TSaNumEditOption> options) noexcept {
    for (TSaNumEditOption o : options) bits_ |= bit(o);
  }
  static constexpr TSaNumEditOptions FromBits(unsigned bits) noexcept {
    TSaNumEditOptions set;
    set.bits_ = bits & 0x1Fu;
    return set;
  }
  constexpr unsigned Bits() const noexcept { return bits_; }
  constexpr bool Contains(TSaNumEditOption o) const noexcept { return (bits_ & bit(o)) != 0; }
  constexpr TSaNumEditOptions& operator<<(TSaNumEditOption o) noexcept {
    bits_ |= bit(o);
    return *this;
  }
  constexpr TSaNumEditOptions& operator>>(TSaNumEditOption o) noexcept {
    bits_ &= ~bit(o);
    return *this;
  }
  constexpr TSaNumEditOptions operator+(TSaNumEditOptions other) const noexcept {
    return FromBits(bits_ | other.bits_);
  }
  constexpr TSaNumEditOptions operator-(TSaNumEditOptions other) const noexcept {
    return FromBits(bits_ & ~other.bits_);
  }
  friend constexpr bool operator==(TSaNumEditOptions, TSaNumEditOptions) noexcept = default;

 private:
  static constexpr unsigned bit(TSaNumEditOption o) noexcept { return 1u << unsigned(o); }
  unsigned bits_ = 0;
};

}  // namespace SaNum

using SaNum::TVertAlignment;
using SaNum::taTopJustify;
using SaNum::taBottomJustify;
using SaNum::taVCenter;
using SaNum::TSaNumEditOption;
using SaNum::TSaNumEditOptions;
using SaNum::eoMinusOnly;
using SaNum::eoArrowUp;
using SaNum::eoArrowDown;
using SaNum::eoAutoWidthSize;
using SaNum::eoORInputStop;

class TSaNumEdit : public QWidget {
  Q_OBJECT
  Q_PROPERTY(Ui::TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(bool ArrowFocusMove READ ArrowFocusMove WRITE SetArrowFocusMove)
  Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
  Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
  Q_PROPERTY(Ui::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
  Q_PROPERTY(int BottomMargin READ BottomMargin WRITE SetBottomMargin)
  Q_PROPERTY(bool Comma READ Comma WRITE SetComma)
  Q_PROPERTY(bool DecimalFixed READ DecimalFixed WRITE SetDecimalFixed)
  Q_PROPERTY(int DecimalLength READ DecimalLength WRITE SetDecimalLength)
  Q_PROPERTY(uint DisabledColor READ DisabledColor WRITE SetDisabledColor)
  Q_PROPERTY(bool EnterFocusMove READ EnterFocusMove WRITE SetEnterFocusMove)
  Q_PROPERTY(bool ErrorBeep READ ErrorBeep WRITE SetErrorBeep)
  Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
  Q_PROPERTY(bool ImageCopy READ ImageCopy WRITE SetImageCopy)
  Q_PROPERTY(bool IntegerFixed READ IntegerFixed WRITE SetIntegerFixed)
  Q_PROPERTY(int IntegerLength READ IntegerLength WRITE SetIntegerLength)
  Q_PROPERTY(int LeftMargin READ LeftMargin WRITE SetLeftMargin)
  Q_PROPERTY(QString LeftMark READ LeftMark WRITE SetLeftMark)
  Q_PROPERTY(bool Minus READ Minus WRITE SetMinus)
  Q_PROPERTY(SaNum::TSaNumEditOptions Options READ Options WRITE SetOptions)
  Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
  Q_PROPERTY(int RightMargin READ RightMargin WRITE SetRightMargin)
  Q_PROPERTY(QString RightMark READ RightMark WRITE SetRightMark)
  Q_PROPERTY(QString Text READ Text WRITE SetText)
  Q_PROPERTY(int TopMargin READ TopMargin WRITE SetTopMargin)
  Q_PROPERTY(SaNum::TVertAlignment VertAlignment READ VertAlignment WRITE SetVertAlignment)
  Q_PROPERTY(uint Color READ Color WRITE SetColor)
  Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)
  Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
  Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
  Q_PROPERTY(QMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)

 public:
  explicit TSaNumEdit(QWidget* parent = nullptr);
  ~TSaNumEdit() override;

  // --- published properties -------------------------------------------------
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool ArrowFocusMove() const { return arrowFocusMove_; }
  void SetArrowFocusMove(bool value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  int BottomMargin() const { return bottomMargin_; }
  void SetBottomMargin(int value);
  bool Comma() const { return format_.Comma; }
  void SetComma(bool value);
  bool DecimalFixed() const { return format_.DecimalFixed; }
  void SetDecimalFixed(bool value);
  int DecimalLength() const { return format_.DecimalLength; }
  void SetDecimalLength(int value);
  TColor DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(TColor value);
  bool EnterFocusMove() const { return enterFocusMove_; }
  void SetEnterFocusMove(bool value);
  bool ErrorBeep() const { return errorBeep_; }
  void SetErrorBeep(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool ImageCopy() const { return imageCopy_; }
  void SetImageCopy(bool value);
  bool IntegerFixed() const { return format_.IntegerFixed; }
  void SetIntegerFixed(bool value);
  int IntegerLength() const { return format_.IntegerLength; }
  void SetIntegerLength(int value);
  int LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int value);
  QString LeftMark() const { return format_.LeftMark; }
  void SetLeftMark(const QString& value);
  bool Minus() const { return format_.Minus; }
  void SetMinus(bool value);
  TSaNumEditOptions Options() const { return options_; }
  void SetOptions(TSaNumEditOptions value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  int RightMargin() const { return rightMargin_; }
  void SetRightMargin(int value);
  QString RightMark() const { return format_.RightMark; }
  void SetRightMark(const QString& value);
  QString Text() const { return GetText(); }
  // SetText (below, virtual) is the Text setter.
  int TopMargin() const { return topMargin_; }
  void SetTopMargin(int value);
  TVertAlignment VertAlignment() const { return vertAlignment_; }
  void SetVertAlignment(TVertAlignment value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  QMenu* PopupMenu() const;
  void SetPopupMenu(QMenu* menu);

  // --- events ------------------------------------------------------------------
  TNotifyEvent OnChange, OnClick, OnDblClick, OnEnter, OnExit;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyDown, OnKeyUp;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // --- virtual operations ----------------------------------------------------
  virtual void SetText(const QString& value);
  virtual QString GetText() const;
  virtual void MakeCaret();
  virtual void PlaceCaret();
  virtual void KillCaret();
  virtual void AdjustHeight();
  virtual void AdjustWidth();
  virtual void DeleteLast();
  virtual void InputDigit(QChar& key);
  virtual void InputPoint(QChar& key);
  virtual void InputMinus(QChar& key);
  virtual bool FitsWidth(const QString& value);
  virtual int ImageWidth(const QString& value);
  virtual int CaretTextWidth();
  virtual QString FormatImage(const QString& value);
  virtual QString FormatValue(const QString& value);
  virtual int AvailableWidth();
  virtual void SwapUndo();
  virtual void SaveUndo();
  virtual QString FilterValue(const QString& text);
  virtual QString TrimLeadingZeros(const QString& text);
  virtual TSaNumParts SplitValue(const QString& value);
  virtual QString JoinValue(const QString& sign, const QString& integer, const QString& point,
                            const QString& decimals);
  virtual QString GroupThousands(const QString& digits);
  virtual int LayoutWidth();
  virtual QString LayoutText();
  virtual QString TemplateText();
  virtual int TextWidth(const QString& text);
  virtual QRect LeftMarkRect();
  virtual QRect LayoutRect();
  virtual QRect ValueRect();
  virtual QRect RightMarkRect();
  virtual QPoint CaretPoint();
  virtual void PopupOpening();
  virtual void MenuItemClick(QObject* sender);

  // --- other operations and commands -------------------------------------------
  void SelectAll();
  void ClearSelection();
  void ClearValue();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void UndoEdit();

  // --- state, for the window and for tests -------------------------------------
  // The limits and formatting the value follows (SaNumValue.h).
  const SaNum::TValueFormat& ValueFormat() const { return format_; }
  bool Selected() const { return selLength_ != 0; }
  bool UndoAvailable() const { return undoAvailable_; }
  QString UndoText() const { return undoText_; }
  QString DisplayImage() const { return displayImage_; }
  int TextHeight() const { return textHeight_; }
  int CaretWidth() const { return caretWidth_; }
  // Where the value was drawn by the last paint, in client coordinates.
  QRect ValueRectangle() const { return valueRect_; }
  // The client area (inside the frame): its size is CW x CH.
  int ClientWidth() const;
  int ClientHeight() const;
  // Width of the frame on each side: 2 for the sunken 3-D edge, 1 for a
  // flat border, 0 without a border.
  int FrameWidth() const;
  bool CaretExists() const { return caretExists_; }
  // The caret rectangle in widget coordinates (empty when there is none).
  QRect CaretRect() const;

  QSize sizeHint() const override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void buildMenu();
  void gotParent();
  void fontChanged();
  void measureFont();
  void relayout();
  void reformat();
  void refilter();
  void refit();
  void rebuildImage();
  void accept(const QString& value, QChar& key);
  void refuse(QChar& key);
  void keyDown(int& key, Qt::KeyboardModifiers shift);
  void character(QChar& key);
  void postFocusMove(bool next);
  bool hasParentForm() const;
  void enterCell();
  void exitCell();
  void pressed(QMouseEvent* e, bool doubleClick);
  void changed();
  void setClientHeight(int height);
  void blink();
  void restartBlink();
  int markWidth(const QString& mark);
  int groupLeft(int total);
  int rectTop();

  TAlignment alignment_ = taRightJustify;
  bool arrowFocusMove_ = false;
  bool autoSelect_ = true;
  bool autoSize_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  int bottomMargin_ = 2;
  TColor disabledColor_ = clGrayText;
  bool enterFocusMove_ = false;
  bool errorBeep_ = true;
  bool hideSelection_ = true;
  bool imageCopy_ = false;
  int leftMargin_ = 2;
  TSaNumEditOptions options_{eoArrowUp, eoArrowDown};
  bool readOnly_ = false;
  int rightMargin_ = 2;
  int topMargin_ = 2;
  TVertAlignment vertAlignment_ = taVCenter;
  TColor color_ = clWindow;
  TColor fontColor_ = clWindowText;
  bool tabStop_ = true;
  bool ctl3D_ = true;
  SaNum::TValueFormat format_;  // IntegerLength to RightMark

  QString value_;
  QString displayImage_;
  QString undoText_;
  bool undoAvailable_ = false;
  int selLength_ = 0;
  int textHeight_ = 0;
  int caretWidth_ = 1;
  QRect valueRect_;
  bool dblClick_ = false;
  bool constructing_ = true;
  bool entered_ = false;
  bool leftDown_ = false;

  bool caretExists_ = false;
  bool caretShown_ = false;
  bool caretOn_ = false;
  QPoint caretPos_;
  QTimer* caretTimer_ = nullptr;

  QPointer<QMenu> popupMenu_;
  QMenu* ownMenu_ = nullptr;
  bool menuReplaced_ = false;  // a menu was assigned: the own one is never made
};
