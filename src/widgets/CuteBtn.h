#pragma once
// TCuteButton: the program's push button. It paints a filled face with two
// bevels of its own: the hover bevel (none at rest, raised while hovered or
// focused, lowered while pressed) and an inner bevel that stands raised
// unless the button is flat. It clicks by mouse, Space, Enter and its
// accelerator, can open a drop-down menu under itself at once or after a
// hold, and can shut out the clicks that queue up while its handler runs.
//
// Properties the button shares with every control are Qt's own: Enabled is
// `enabled`, Visible `visible`, Cursor `cursor`, Font `font`, Name
// `objectName`, Left and Top the position; Hint, Width, Height and TabStop
// are named here as well.

#include "platform/Types.h"
#include "widgets/CuteBtnPaint.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtWidgets/QMenu>
#include <QtWidgets/QWidget>

class TCuteButton;

// The drop-down delay: a one-time wait owned by the button it serves, so a
// wait still pending goes with the button.
class TCuteButtonTimer : public QTimer {
  Q_OBJECT

 public:
  explicit TCuteButtonTimer(TCuteButton* button);

  TCuteButton* FCuteButton = nullptr;  // not owned
};

class TCuteButton : public QWidget {
  Q_OBJECT
  Q_PROPERTY(Ui::TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
  Q_PROPERTY(uint BevelHighlightColor READ BevelHighlightColor WRITE SetBevelHighlightColor)
  Q_PROPERTY(uint BevelShadowColor READ BevelShadowColor WRITE SetBevelShadowColor)
  Q_PROPERTY(Ui::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
  Q_PROPERTY(uint Color READ Color WRITE SetColor)
  Q_PROPERTY(uint DisabledColor READ DisabledColor WRITE SetDisabledColor)
  Q_PROPERTY(int DropDownDelay READ DropDownDelay WRITE SetDropDownDelay)
  Q_PROPERTY(QMenu* DropDownMenu READ DropDownMenu WRITE SetDropDownMenu)
  Q_PROPERTY(bool EgnoreContClick READ EgnoreContClick WRITE SetEgnoreContClick)
  Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
  Q_PROPERTY(Ui::TTextLayout Layout READ Layout WRITE SetLayout)
  Q_PROPERTY(int MarginX READ MarginX WRITE SetMarginX)
  Q_PROPERTY(int MarginY READ MarginY WRITE SetMarginY)
  Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE SetShowFocusRect)
  Q_PROPERTY(bool TabFocusUp READ TabFocusUp WRITE SetTabFocusUp)
  Q_PROPERTY(bool UseDisabledColor READ UseDisabledColor WRITE SetUseDisabledColor)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)
  Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
  Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
  Q_PROPERTY(int Width READ width WRITE SetWidth)
  Q_PROPERTY(int Height READ height WRITE SetHeight)
  Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
  Q_PROPERTY(qint64 Tag READ Tag WRITE SetTag)
  Q_PROPERTY(QMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(QAction* Action READ Action WRITE SetAction)

 public:
  using TBevelCut = CuteBtn::TBevelCut;

  explicit TCuteButton(QWidget* parent = nullptr);
  ~TCuteButton() override;

  // --- published properties -------------------------------------------------
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  TColor BevelHighlightColor() const { return bevelHighlightColor_; }
  void SetBevelHighlightColor(TColor value);
  TColor BevelShadowColor() const { return bevelShadowColor_; }
  void SetBevelShadowColor(TColor value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TColor DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(TColor value);
  int DropDownDelay() const { return dropDownDelay_; }
  void SetDropDownDelay(int value);
  QMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(QMenu* value);
  bool EgnoreContClick() const { return egnoreContClick_; }
  void SetEgnoreContClick(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  int MarginX() const { return marginX_; }
  void SetMarginX(int value);
  int MarginY() const { return marginY_; }
  void SetMarginY(int value);
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool value);
  bool TabFocusUp() const { return tabFocusUp_; }
  void SetTabFocusUp(bool value);
  bool UseDisabledColor() const { return useDisabledColor_; }
  void SetUseDisabledColor(bool value);

  // --- the control's own, republished ------------------------------------------
  QString Caption() const { return caption_; }
  void SetCaption(const QString& value);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value);
  // The sunken client edge of bsSingle; off, a one-pixel line instead.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  bool TabStop() const { return focusPolicy() == Qt::StrongFocus; }
  void SetTabStop(bool value);
  void SetWidth(int value) { resize(value, height()); }
  void SetHeight(int value) { resize(width(), value); }
  qint64 Tag() const { return tag_; }
  void SetTag(qint64 value) { tag_ = value; }
  // The right-button menu.
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* value) { popupMenu_ = value; }
  // Runs on a click when there is no OnClick; its text, enabled state,
  // visibility and tip show on the button.
  QAction* Action() const { return action_; }
  void SetAction(QAction* value);

  // --- the bevels (not published) ----------------------------------------------
  // Every assignment repaints, whether or not the value changes.
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);

  // --- events ------------------------------------------------------------------
  TNotifyEvent OnClick, OnEnter, OnExit;
  TMouseMoveEvent OnMouseEnter, OnMouseLeave, OnMouseMove;
  TMouseEvent OnMouseDown, OnMouseUp;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // --- operations ----------------------------------------------------------------
  // The click: swallowed right after a drop-down, the handler detached while
  // it runs with EgnoreContClick, else OnClick or the Action.
  virtual void Click();
  // Opens the drop-down menu at once, or arms the delay.
  virtual void StartDropDown();
  // Pops the drop-down menu up under the button, then ends the press.
  virtual void ShowDropDownMenu();
  // The cursor came over the button or left it (client coordinates).
  virtual void MouseEnter(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons, int x, int y);
  virtual void MouseLeave(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons, int x, int y);

  // --- state, for the window and for tests -------------------------------------
  // The client area inside the frame of bsSingle, in widget coordinates.
  QRect ClientRect() const;
  int FrameWidth() const;
  // The caption's box as the last paint placed it (client coordinates).
  CuteBtn::Box TextBoxPainted() const { return textBoxPainted_; }
  // The button is the focused control of its window.
  bool Focused() const;
  bool SpaceDown() const { return spaceDown_; }
  bool SkipClick() const { return skipClick_; }
  bool DropDownByKey() const { return dropDownByKey_; }
  TCuteButtonTimer* DropDownTimer() const { return dropDownTimer_; }
  // The button counts as the control under the cursor.
  bool MouseInside() const { return mouseInside_; }

  QSize sizeHint() const override { return {75, 25}; }

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  // The reactions the property setters name.
  void redraw();
  template <class T>
  void repaintIfChanged(T& field, const T& value);
  template <class T>
  void repaintWhileDisabled(T& field, const T& value);

  // The reactions of input and state.
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint client);
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint client);
  void keyDown(int& key, Qt::KeyboardModifiers shift);
  void keyUp(int& key, Qt::KeyboardModifiers shift);
  void accelerator();
  void focusGained();
  void focusLost();
  void enabledChanged();
  void cursorOver(bool over, QPoint client, Qt::KeyboardModifiers shift, Qt::MouseButtons buttons);
  void queueCursorRecheck();
  void recheckCursor();
  void dropDownTimerTick();
  void freeDropDownTimer();
  void releaseCapture() { capture_ = false; }
  TBevelCut restingBevel() const { return tabFocusUp_ ? CuteBtn::bvRaised : CuteBtn::bvNone; }
  QPoint toClient(QPointF widgetPoint) const;
  bool holdsMouse() const;

  // Published properties, with their defaults.
  TAlignment alignment_ = taCenter;
  int bevelWidth_ = 1;
  TColor bevelHighlightColor_ = clBtnHighlight;
  TColor bevelShadowColor_ = clBtnShadow;
  TBorderStyle borderStyle_ = bsNone;
  TColor color_ = clBtnFace;
  TColor disabledColor_ = clGray;
  int dropDownDelay_ = 0;
  QPointer<QMenu> dropDownMenu_;  // not owned; forgotten when destroyed
  bool egnoreContClick_ = false;
  bool flat_ = false;
  TTextLayout layout_ = tlCenter;
  int marginX_ = -1;
  int marginY_ = -1;
  bool showFocusRect_ = false;
  bool tabFocusUp_ = true;
  bool useDisabledColor_ = false;
  QString caption_;
  TColor fontColor_ = clWindowText;
  bool ctl3D_ = true;
  qint64 tag_ = 0;
  QPointer<QMenu> popupMenu_;
  QPointer<QAction> action_;
  QMetaObject::Connection actionChanged_;

  // The bevels.
  TBevelCut bevelOuter_ = CuteBtn::bvNone;
  TBevelCut bevelInner_ = CuteBtn::bvRaised;

  // Press and drop-down state.
  bool skipClick_ = false;      // a drop-down is showing: swallow the next click
  bool spaceDown_ = false;      // Space went down here and is neither up nor cancelled
  bool dropDownByKey_ = false;  // the current drop-down was started by Space
  TCuteButtonTimer* dropDownTimer_ = nullptr;  // owned (a child); null when none is pending
  Qt::MouseButtons down_;      // presses the button took and has not seen released
  bool clickPending_ = false;  // the left press was a single one: its release may click
  bool capture_ = false;       // the button holds the mouse
  bool menuShown_ = false;     // the drop-down menu is up
  bool focused_ = false;       // the focus-gained rule ran last, not the focus-lost one
  bool mouseInside_ = false;   // the last cursor report was an enter report
  bool recheckQueued_ = false;
  int shortcutId_ = 0;
  CuteBtn::Box textBoxPainted_;
};
