#include "app/ScoreListMenu.h"

#include "window/Form1.h"
#include "platform/Application.h"
#include "progress/ProgressWindow.h"
#include "progress/SheetDialog.h"
#include "progress/WeakFactsWindow.h"
#include "drill/AnswersFile.h"
#include "widgets/CuteBtn.h"

#include <QtCore/QDate>

#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QWindow>
#include <QtWidgets/QListView>
#include <QtWidgets/QMenu>
#include <QtWidgets/QRadioButton>

namespace progress {
namespace {

drill::GridKind ShownGrid(const TForm1* form) {
  return form->RadioButton6->isChecked() ? drill::GridKind::Square25 : drill::GridKind::Square100;
}

// Checks the 25-square and starts a drill whose headers cover the weakest
// facts of the checked operation; the rest is the ordinary 25-square drill.
void PractiseWeakFacts(TForm1* form) {
  const drill::Operation operation = form->CheckedOperation();
  const drill::WeakFacts weak = drill::LoadWeakFacts(answers::kAnswersPath, operation, QDate::currentDate());
  if (weak.ranked.empty() || !form->CuteButton1->isEnabled()) return;
  const drill::HeaderChoice choice = drill::ChooseHeaders(weak.ranked);
  form->RadioButton6->setChecked(true);
  form->NextHeaders = [form, choice](drill::Operation op, int count) {
    if (count != 5) return drill::DrawHeaders(op, count, [form](int n) { return form->Random(n); });
    return drill::WeakHeaders(choice, op, [form](int n) { return form->Random(n); });
  };
  form->CuteButton1Click(form->CuteButton1);
}

// Watches the drill window's native window for the right button over the
// score list. Mouse events reach the native window before any widget, so
// taking them there keeps Qt from moving the focus to the list and the list
// from selecting the line under the mouse.
class ScoreListMenu : public QObject {
 public:
  explicit ScoreListMenu(TForm1* form)
      : QObject(form), form_(form), list_(form->ListBox1), viewport_(form->ListBox1->viewport()) {
    form_->installEventFilter(this);
    watchWindow();
    form_->ListBox1->installEventFilter(this);
    form_->ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(form_->ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup(form_->ListBox1->viewport()->mapToGlobal(at)); });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == form_) {
      // The native window exists from the first show on.
      if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange) watchWindow();
      return false;
    }
    // The filter still sees events while the window and the list are being
    // destroyed, when only their QWidget parts are left: what it needs of
    // them is kept here, as plain widgets.
    if (!list_ || !viewport_) return false;
    if (watched == list_) {
      if (event->type() != QEvent::KeyPress || !IsShiftF10(*static_cast<QKeyEvent*>(event))) return false;
      requestFromKeyboard();
      return true;
    }
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        break;
      default:
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton) return false;
    const QPoint global = mouse->globalPosition().toPoint();
    QWidget* viewport = viewport_;
    QWidget* hit = form_->childAt(form_->mapFromGlobal(global));
    if (hit != viewport && !viewport->isAncestorOf(hit)) return false;
    if (event->type() == QEvent::MouseButtonPress) popup(global);
    return true;
  }

 private:
  void watchWindow() {
    QWindow* window = form_->windowHandle();
    if (!window || window == watched_) return;
    if (watched_) watched_->removeEventFilter(this);
    watched_ = window;
    window->installEventFilter(this);
  }

  static bool IsShiftF10(const QKeyEvent& key) {
    return key.key() == Qt::Key_F10 && (key.modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
  }

  // Shift+F10 is the menu key of keyboards without one: it asks the list for
  // its menu the way the window system does for the menu key, at the
  // current line.
  void requestFromKeyboard() {
    QListView* list = form_->ListBox1;
    const QPoint at = list->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, list->mapToGlobal(at));
    QCoreApplication::sendEvent(list, &request);
  }

  // Opens without a loop of its own, so the drill window goes on at once.
  void popup(const QPoint& global) {
    if (!menu_) menu_ = makeMenu();
    menu_->popup(global);
  }

  QMenu* makeMenu() {
    auto* menu = new QMenu(form_);
    menu->setObjectName(QStringLiteral("ScoreListMenu"));
    TForm1* form = form_;
    QAction* chart = menu->addAction(QStringLiteral("成績グラフ…"));
    connect(chart, &QAction::triggered, form,
            [form] { platform::Guarded([form] { ProgressWindow::Open(ShownGrid(form), form); }); });
    QAction* sheets = menu->addAction(QStringLiteral("プリント…"));
    connect(sheets, &QAction::triggered, form, [form] {
      platform::Guarded([form] { SheetDialog::Open(ShownGrid(form), form->CheckedOperation(), form); });
    });
    menu->addSeparator();
    QAction* facts = menu->addAction(QStringLiteral("にがて…"));
    connect(facts, &QAction::triggered, form, [form] {
      platform::Guarded([form] { WeakFactsWindow::Open(form->CheckedOperation(), form); });
    });
    QAction* practise = menu->addAction(QStringLiteral("にがてを 25マスで"));
    practise->setObjectName(QStringLiteral("PractiseWeakFacts"));
    connect(practise, &QAction::triggered, form, [form] { platform::Guarded([form] { PractiseWeakFacts(form); }); });
    // Enabled once the operation shown has ranked facts, and no drill runs.
    connect(menu, &QMenu::aboutToShow, practise, [form, practise] {
      const drill::WeakFacts weak =
          drill::LoadWeakFacts(answers::kAnswersPath, form->CheckedOperation(), QDate::currentDate());
      practise->setEnabled(!weak.ranked.empty() && form->CuteButton1->isEnabled());
    });
    return menu;
  }

  TForm1* form_;
  QPointer<QWidget> list_;
  QPointer<QWidget> viewport_;
  QPointer<QWindow> watched_;
  QMenu* menu_ = nullptr;
};

}  // namespace

void InstallScoreListMenu(TForm1* form) { new ScoreListMenu(form); }

}  // namespace progress
