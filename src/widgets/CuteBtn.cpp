#include "widgets/CuteBtn.h"

#include "platform/Accessibility.h"
#include "platform/Application.h"
#include "widgets/Accessible.h"
#include "widgets/Store.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QScopeGuard>
#include <QtGui/QAction>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QKeySequence>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

#include <utility>

using CuteBtn::bvLowered;
using CuteBtn::bvNone;
using CuteBtn::bvRaised;
using widgets::store;

namespace {

// The character a key yields, 0 for none.
QChar characterOf(const QKeyEvent* e) {
  if (!e->text().isEmpty()) return e->text().at(0);
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QChar(13);
    case Qt::Key_Backspace: return QChar(8);
    case Qt::Key_Escape: return QChar(27);
    default: return QChar();
  }
}

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

TCuteButtonTimer::TCuteButtonTimer(TCuteButton* button) : QTimer(button), FCuteButton(button) {
  // A coarse timer may fire up to 5 % early; the menu must not open before
  // the button has been held for the whole delay.
  setTimerType(Qt::PreciseTimer);
}

// ---------------------------------------------------------------------------
// Construction

TCuteButton::TCuteButton(QWidget* parent) : QWidget(parent) {
  a11y::InstallWidgetFactory();
  // The face covers every pixel; OnMouseMove sees moves without a button held.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  resize(75, 25);
}

// A pending drop-down timer is a child and goes with the button.
TCuteButton::~TCuteButton() = default;

// ---------------------------------------------------------------------------
// Properties

void TCuteButton::redraw() { update(); }

template <class T>
void TCuteButton::repaintIfChanged(T& field, const T& value) {
  if (store(field, value)) redraw();
}

// A colour of the disabled face shows only while the button is disabled.
template <class T>
void TCuteButton::repaintWhileDisabled(T& field, const T& value) {
  if (store(field, value) && !isEnabled()) redraw();
}

void TCuteButton::SetAlignment(TAlignment value) {
  alignment_ = value;
  redraw();
}

void TCuteButton::SetBevelWidth(int value) {
  bevelWidth_ = std::max(value, 1);
  redraw();
}

void TCuteButton::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  redraw();
}

void TCuteButton::SetBevelInner(TBevelCut value) {
  bevelInner_ = value;
  redraw();
}

void TCuteButton::SetBevelHighlightColor(TColor value) { repaintIfChanged(bevelHighlightColor_, value); }
void TCuteButton::SetBevelShadowColor(TColor value) { repaintIfChanged(bevelShadowColor_, value); }
void TCuteButton::SetColor(TColor value) { repaintIfChanged(color_, value); }
void TCuteButton::SetFontColor(TColor value) { repaintIfChanged(fontColor_, value); }
void TCuteButton::SetLayout(TTextLayout value) { repaintIfChanged(layout_, value); }
void TCuteButton::SetShowFocusRect(bool value) { repaintIfChanged(showFocusRect_, value); }
void TCuteButton::SetMarginX(int value) { repaintIfChanged(marginX_, std::max(value, -1)); }
void TCuteButton::SetMarginY(int value) { repaintIfChanged(marginY_, std::max(value, -1)); }
void TCuteButton::SetDisabledColor(TColor value) { repaintWhileDisabled(disabledColor_, value); }
void TCuteButton::SetUseDisabledColor(bool value) { repaintWhileDisabled(useDisabledColor_, value); }
void TCuteButton::SetDropDownDelay(int value) { dropDownDelay_ = value; }
void TCuteButton::SetEgnoreContClick(bool value) { egnoreContClick_ = value; }
void TCuteButton::SetTabFocusUp(bool value) { tabFocusUp_ = value; }

// The frame lies outside the client area, which shrinks by its width; the
// widget keeps its size.
void TCuteButton::SetBorderStyle(TBorderStyle value) { repaintIfChanged(borderStyle_, value); }
void TCuteButton::SetCtl3D(bool value) { repaintIfChanged(ctl3D_, value); }

void TCuteButton::SetDropDownMenu(QMenu* value) {
  if (dropDownMenu_ == value) return;
  dropDownMenu_ = value;
  redraw();
}

void TCuteButton::SetFlat(bool value) {
  if (store(flat_, value)) SetBevelInner(value ? bvNone : bvRaised);
}

void TCuteButton::SetTabStop(bool value) { setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus); }

// The accelerator is the letter after "&": Alt and that letter, anywhere in
// the window.
void TCuteButton::SetCaption(const QString& value) {
  if (!store(caption_, value)) return;
  if (shortcutId_ != 0) releaseShortcut(shortcutId_);
  const QKeySequence accelerator = QKeySequence::mnemonic(caption_);
  shortcutId_ = accelerator.isEmpty() ? 0 : grabShortcut(accelerator);
  a11y::NameChanged(this);
  redraw();
}

void TCuteButton::SetAction(QAction* value) {
  if (action_ == value) return;
  disconnect(actionChanged_);
  action_ = value;
  if (!value) return;
  auto take = [this] {
    if (!action_) return;
    SetCaption(action_->text());
    setEnabled(action_->isEnabled());
    setToolTip(action_->toolTip());
  };
  actionChanged_ = connect(value, &QAction::changed, this, take);
  take();
}

// ---------------------------------------------------------------------------
// Geometry and state

int TCuteButton::FrameWidth() const {
  if (borderStyle_ != bsSingle) return 0;
  return ctl3D_ ? 2 : 1;
}

QRect TCuteButton::ClientRect() const {
  const int fw = FrameWidth();
  return QRect(fw, fw, std::max(0, width() - 2 * fw), std::max(0, height() - 2 * fw));
}

QPoint TCuteButton::toClient(QPointF widgetPoint) const {
  const int fw = FrameWidth();
  return widgetPoint.toPoint() - QPoint(fw, fw);
}

bool TCuteButton::Focused() const {
  const QWidget* w = window();
  return w && w->focusWidget() == this;
}

bool TCuteButton::holdsMouse() const {
  return capture_ && down_.testFlag(Qt::LeftButton) &&
         QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

// ---------------------------------------------------------------------------
// Clicks and the drop-down

void TCuteButton::Click() {
  if (skipClick_) {
    skipClick_ = false;
    return;
  }
  auto standardClick = [this] {
    if (OnClick) OnClick(this);
    else if (action_) action_->trigger();
  };
  if (!egnoreContClick_) {
    standardClick();
    return;
  }
  // The handler is away while it runs and while the input that piled up
  // meanwhile is handled: those clicks find nothing to run.
  TNotifyEvent handler = std::move(OnClick);
  OnClick = nullptr;
  const QPointer<TCuteButton> alive(this);
  auto restore = qScopeGuard([&] {
    if (alive) OnClick = std::move(handler);
  });
  standardClick();
  if (handler) {
    handler(this);
    QCoreApplication::processEvents();
  }
}

void TCuteButton::StartDropDown() {
  if (dropDownDelay_ <= 0) {
    ShowDropDownMenu();
    return;
  }
  if (dropDownTimer_) return;
  dropDownTimer_ = new TCuteButtonTimer(this);
  dropDownTimer_->setInterval(dropDownDelay_);
  connect(dropDownTimer_, &QTimer::timeout, this, [this] { platform::Guarded([&] { dropDownTimerTick(); }); });
  dropDownTimer_->start();
}

void TCuteButton::dropDownTimerTick() {
  TCuteButtonTimer* timer = std::exchange(dropDownTimer_, nullptr);
  if (!timer) return;
  timer->stop();
  timer->deleteLater();  // it is still delivering this tick
  if (dropDownByKey_) {
    ShowDropDownMenu();
  } else if (holdsMouse()) {
    ShowDropDownMenu();
    releaseCapture();
  }
}

void TCuteButton::freeDropDownTimer() { delete std::exchange(dropDownTimer_, nullptr); }

void TCuteButton::ShowDropDownMenu() {
  if (!dropDownMenu_) return;
  const int fw = FrameWidth();
  const QPoint below = mapToGlobal(QPoint(fw, fw + height()));
  const QPointer<TCuteButton> alive(this);
  skipClick_ = true;
  menuShown_ = true;
  auto done = qScopeGuard([&] {
    if (!alive) return;
    skipClick_ = false;
    menuShown_ = false;
    queueCursorRecheck();
  });
  QCoreApplication::processEvents();
  if (!alive) return;
  if (const QPointer<QMenu> menu = dropDownMenu_.data()) menu->exec(below);
  if (!alive) return;
  // The menu took the press: end it as if it had been released.
  if (dropDownByKey_) {
    int key = Qt::Key_Space;
    keyUp(key, Qt::NoModifier);
  } else {
    down_.setFlag(Qt::LeftButton, false);
    clickPending_ = false;
    mouseUp(Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));
  }
}

void TCuteButton::accelerator() {
  const QPointer<TCuteButton> alive(this);
  SetBevelOuter(bvLowered);
  if (dropDownMenu_ && dropDownDelay_ == 0) ShowDropDownMenu();
  else Click();
  if (alive) SetBevelOuter(restingBevel());
}

// ---------------------------------------------------------------------------
// Mouse

void TCuteButton::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint client) {
  setFocus(Qt::MouseFocusReason);
  if (button == Qt::LeftButton) SetBevelOuter(bvLowered);
  if (OnMouseDown) OnMouseDown(this, button, shift, client.x(), client.y());
  if (button == Qt::LeftButton && dropDownMenu_) {
    dropDownByKey_ = false;
    StartDropDown();
  }
}

void TCuteButton::mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint client) {
  if (button == Qt::LeftButton) {
    const bool inside = QRect(QPoint(0, 0), ClientRect().size()).contains(client);
    SetBevelOuter(inside || (tabFocusUp_ && Focused()) ? bvRaised : bvNone);
  }
  if (OnMouseUp) OnMouseUp(this, button, shift, client.x(), client.y());
  freeDropDownTimer();
  releaseCapture();
}

// A press on the frame of bsSingle is not the client's: it does nothing.
void TCuteButton::mousePressEvent(QMouseEvent* e) {
  platform::Guarded([&] {
    if (!ClientRect().contains(e->position().toPoint())) return;
    down_.setFlag(e->button());
    if (e->button() == Qt::LeftButton) clickPending_ = capture_ = true;
    mouseDown(e->button(), e->modifiers(), toClient(e->position()));
  });
}

// The second press of a double-click: the press reaction again, but its
// release clicks nothing, so a double-click is one click.
void TCuteButton::mouseDoubleClickEvent(QMouseEvent* e) {
  platform::Guarded([&] {
    if (!ClientRect().contains(e->position().toPoint())) return;
    down_.setFlag(e->button());
    if (e->button() == Qt::LeftButton) {
      clickPending_ = false;
      capture_ = true;
    }
    mouseDown(e->button(), e->modifiers(), toClient(e->position()));
  });
}

void TCuteButton::mouseReleaseEvent(QMouseEvent* e) {
  platform::Guarded([&] {
    // Releases of presses the button did not take, or that a drop-down
    // menu already ended, are not its own.
    if (!down_.testFlag(e->button())) return;
    down_.setFlag(e->button(), false);
    const QPoint client = toClient(e->position());
    if (e->button() == Qt::LeftButton) {
      capture_ = false;
      const bool inside = QRect(QPoint(0, 0), ClientRect().size()).contains(client);
      if (std::exchange(clickPending_, false) && inside) {
        const QPointer<TCuteButton> alive(this);
        Click();
        if (!alive) return;
      }
    }
    mouseUp(e->button(), e->modifiers(), client);
  });
}

void TCuteButton::mouseMoveEvent(QMouseEvent* e) {
  platform::Guarded([&] {
    const QPoint client = toClient(e->position());
    // Moves reach the button only while it is under the cursor or holds the
    // mouse; in the second case they tell when the cursor crosses its edge.
    cursorOver(rect().contains(e->position().toPoint()), client, e->modifiers(), e->buttons());
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), client.x(), client.y());
  });
}

void TCuteButton::contextMenuEvent(QContextMenuEvent* e) {
  if (!popupMenu_) return QWidget::contextMenuEvent(e);
  platform::Guarded([&] { popupMenu_->popup(e->globalPos()); });
}

// ---------------------------------------------------------------------------
// The cursor coming and going

void TCuteButton::MouseEnter(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons, int x, int y) {
  if (OnMouseEnter) OnMouseEnter(this, shift, x, y);
  SetBevelOuter(buttons.testFlag(Qt::LeftButton) ? bvLowered : bvRaised);
}

void TCuteButton::MouseLeave(Qt::KeyboardModifiers shift, Qt::MouseButtons, int x, int y) {
  if (OnMouseLeave) OnMouseLeave(this, shift, x, y);
  if (!(Focused() && tabFocusUp_)) SetBevelOuter(bvNone);
}

// Reports only a change of whether the button is the control under the
// cursor, so Qt's enter and leave and the moves during a press never report
// twice.
void TCuteButton::cursorOver(bool over, QPoint client, Qt::KeyboardModifiers shift, Qt::MouseButtons buttons) {
  if (over == mouseInside_) return;
  mouseInside_ = over;
  if (over) MouseEnter(shift, buttons, client.x(), client.y());
  else MouseLeave(shift, buttons, client.x(), client.y());
}

// A disabled button is never the control under the cursor: it gets no enter
// report, but does get the leave report for a cursor that was over it.
void TCuteButton::enterEvent(QEnterEvent* e) {
  if (!isEnabled() || menuShown_) return;
  platform::Guarded([&] {
    cursorOver(true, toClient(e->position()), QGuiApplication::queryKeyboardModifiers(),
               QGuiApplication::mouseButtons());
  });
}

void TCuteButton::leaveEvent(QEvent*) {
  if (menuShown_) return;  // the menu covers the button for a while; it has not left
  platform::Guarded([&] {
    cursorOver(false, toClient(mapFromGlobal(QCursor::pos())), QGuiApplication::queryKeyboardModifiers(),
               QGuiApplication::mouseButtons());
  });
}

// When the events of the moment are done, as the cursor reports come: after
// the button is disabled or enabled under a still cursor, and after a menu.
void TCuteButton::queueCursorRecheck() {
  if (recheckQueued_) return;
  recheckQueued_ = true;
  QMetaObject::invokeMethod(
      this, [this] { platform::Guarded([&] { recheckCursor(); }); }, Qt::QueuedConnection);
}

void TCuteButton::recheckCursor() {
  recheckQueued_ = false;
  // No reports while the menu is up or another control holds the mouse.
  if (menuShown_ || (down_ == Qt::NoButton && QGuiApplication::mouseButtons() != Qt::NoButton)) return;
  const QPoint global = QCursor::pos();
  const bool over = isEnabled() && isVisible() && QApplication::widgetAt(global) == this;
  cursorOver(over, toClient(mapFromGlobal(global)), QGuiApplication::queryKeyboardModifiers(),
             QGuiApplication::mouseButtons());
}

// ---------------------------------------------------------------------------
// Keys

void TCuteButton::keyDown(int& key, Qt::KeyboardModifiers shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
  if (!isEnabled()) return;
  const QPointer<TCuteButton> alive(this);
  if (key == Qt::Key_Space) {
    spaceDown_ = true;
    SetBevelOuter(bvLowered);
    if (dropDownMenu_) {
      dropDownByKey_ = true;
      StartDropDown();
    }
  } else if (isEnterKey(key)) {
    SetBevelOuter(bvLowered);
    if (dropDownMenu_ && dropDownDelay_ == 0) ShowDropDownMenu();
    else Click();
    if (alive) SetBevelOuter(restingBevel());
  } else if (spaceDown_) {
    // Another key cancels the Space press: its release clicks nothing.
    spaceDown_ = false;
    SetBevelOuter(restingBevel());
  }
}

void TCuteButton::keyUp(int& key, Qt::KeyboardModifiers shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
  freeDropDownTimer();
  if (spaceDown_ && key == Qt::Key_Space) {
    spaceDown_ = false;
    const QPointer<TCuteButton> alive(this);
    Click();
    if (alive) SetBevelOuter(restingBevel());
  }
}

// Enter clicks on every key-down, auto-repeat included; Space repeats its
// press the same way.
void TCuteButton::keyPressEvent(QKeyEvent* e) {
  const bool own = e->key() == Qt::Key_Space || isEnterKey(e->key());
  platform::Guarded([&] {
    int key = e->key();
    const QPointer<TCuteButton> alive(this);
    keyDown(key, e->modifiers());
    if (!alive || !isEnabled()) return;
    QChar character = characterOf(e);
    if (OnKeyPress && !character.isNull()) OnKeyPress(this, character);
  });
  if (!own) QWidget::keyPressEvent(e);
}

// A held key repeats its key-down only: the releases Qt reports between the
// repeats are not the key coming up.
void TCuteButton::keyReleaseEvent(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;
  platform::Guarded([&] {
    int key = e->key();
    keyUp(key, e->modifiers());
  });
}

// ---------------------------------------------------------------------------
// Focus and the enabled state

void TCuteButton::focusGained() {
  focused_ = true;
  if (tabFocusUp_) SetBevelOuter(bvRaised);
  if (OnEnter) OnEnter(this);
}

// A Space press does not outlive the focus: its release may come when the
// focus is back, long after, and must not click then.
void TCuteButton::focusLost() {
  focused_ = false;
  spaceDown_ = false;
  if (OnExit) OnExit(this);
  SetBevelOuter(bvNone);
}

void TCuteButton::focusInEvent(QFocusEvent* e) {
  if (!focused_) platform::Guarded([&] { focusGained(); });
  QWidget::focusInEvent(e);
}

// A menu or another window taking the keyboard for a while leaves the
// button the focused control of its window.
void TCuteButton::focusOutEvent(QFocusEvent* e) {
  const bool away = e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason;
  if (away && focused_ && !Focused()) platform::Guarded([&] { focusLost(); });
  QWidget::focusOutEvent(e);
}

// Disabling gives up the focus (Qt moves it first) and ends a press: a
// disabled button hears no release.
void TCuteButton::enabledChanged() {
  if (!isEnabled()) {
    if (focused_ && !Focused()) focusLost();
    down_ = Qt::NoButton;
    clickPending_ = capture_ = false;
  }
  queueCursorRecheck();
  redraw();
}

void TCuteButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) platform::Guarded([&] { enabledChanged(); });
  else if (e->type() == QEvent::FontChange) redraw();
  QWidget::changeEvent(e);
}

bool TCuteButton::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::Shortcut:
      if (static_cast<QShortcutEvent*>(e)->shortcutId() == shortcutId_ && shortcutId_ != 0 && isEnabled() &&
          parentWidget() && parentWidget()->isVisible()) {
        platform::Guarded([&] { accelerator(); });
        return true;
      }
      break;
    case QEvent::WindowActivate:
      // The focus may have moved on while the window was inactive, unheard.
      if (focused_ && !Focused()) platform::Guarded([&] { focusLost(); });
      break;
    case QEvent::Show:
    case QEvent::Hide:
      // A hidden button is under no cursor; a shown one may come up under it.
      queueCursorRecheck();
      break;
    default: break;
  }
  return QWidget::event(e);
}
