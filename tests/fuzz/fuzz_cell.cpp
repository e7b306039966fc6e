// The numeric cell's typing rules: the input is a stream of steps played
// into one cell (keys, characters, input-method commits, clipboard pastes,
// undo, focus changes and property changes). After every step:
//   - the text is one the cell's own filter keeps as it is;
//   - the image shown is the text formatted by the cell's own rule;
//   - the caret lies inside the image, past the left mark;
//   - once the cell is left, the value keeps the limits (a lone "-" only
//     with eoMinusOnly).

#include "FuzzCheck.h"

#include "platform/Application.h"
#include "platform/Sound.h"
#include "widgets/SaNumEdit.h"

#include <QtGui/QClipboard>
#include <QtGui/QFocusEvent>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <memory>

namespace {

class Steps {
 public:
  Steps(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  bool More() const { return p_ != end_; }
  unsigned Byte() { return p_ != end_ ? *p_++ : 0u; }

  // A short text, mostly of characters a number is made of or ends at.
  QString Text() {
    static const char16_t kChars[] = u"0123456789-.,+ e\u00a5\uff10\uff11\uff19\uff0d\uff0e\uff0c\u3000a\t";
    constexpr unsigned kCount = sizeof kChars / sizeof kChars[0] - 1;
    QString out;
    for (unsigned n = Byte() % 12; n > 0; --n) {
      const unsigned b = Byte();
      if (b < 0xF0)
        out += QChar(kChars[b % kCount]);
      else
        out += QChar(char16_t(Byte() | Byte() << 8));
    }
    return out;
  }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

struct Key {
  int key;
  Qt::KeyboardModifiers modifiers;
  const char* text;
};

const Key kKeys[] = {
    {Qt::Key_0, {}, "0"}, {Qt::Key_1, {}, "1"}, {Qt::Key_2, {}, "2"}, {Qt::Key_5, {}, "5"},
    {Qt::Key_9, {}, "9"}, {Qt::Key_Minus, {}, "-"}, {Qt::Key_Period, {}, "."}, {Qt::Key_Comma, {}, ","},
    {Qt::Key_Backspace, {}, "\b"}, {Qt::Key_Delete, {}, ""}, {Qt::Key_Return, {}, "\r"},
    {Qt::Key_Escape, {}, "\x1b"}, {Qt::Key_Left, {}, ""}, {Qt::Key_Right, Qt::ShiftModifier, ""},
    {Qt::Key_Up, {}, ""}, {Qt::Key_Down, {}, ""}, {Qt::Key_Home, {}, ""},
    {Qt::Key_A, Qt::ControlModifier, "\x01"}, {Qt::Key_C, Qt::ControlModifier, "\x03"},
    {Qt::Key_V, Qt::ControlModifier, "\x16"}, {Qt::Key_X, Qt::ControlModifier, "\x18"},
    {Qt::Key_Z, Qt::ControlModifier, "\x1a"}, {Qt::Key_A, {}, "a"}, {Qt::Key_Space, {}, " "},
    {Qt::Key_1, Qt::AltModifier, "1"}, {Qt::Key_Tab, {}, "\t"},
};

void Send(TSaNumEdit* cell, QEvent* e) { QCoreApplication::sendEvent(cell, e); }

void PressKey(TSaNumEdit* cell, const Key& k) {
  QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, QString::fromLatin1(k.text));
  Send(cell, &press);
  QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, QString::fromLatin1(k.text));
  Send(cell, &release);
}

// The text is one the filter keeps as it is. The one text beyond it: a
// point typed into an empty cell without integer digits (IntegerLength 0)
// gives "0." all the same, one integer digit, which Backspace may leave
// behind alone.
bool Accepted(const SaNum::TValueFormat& format, const QString& text) {
  if (SaNum::FilterValue(format, text) == text) return true;
  const qsizetype zero = text.startsWith(u'-') ? 1 : 0;
  if (format.IntegerLength != 0 || text.mid(zero, 1) != QStringLiteral("0") ||
      (text.size() > zero + 1 && text[zero + 1] != u'.'))
    return false;
  const QString withoutZero = QString(text).remove(zero, 1);
  return SaNum::FilterValue(format, withoutZero) == withoutZero;
}

// Undo brings the earlier value back as it stood, even when the limits
// have changed since, and the keys after it edit that value at its end (the
// limits hold for the character typed). Such a value is beyond the rules
// until it is within them again (refiltered, replaced, emptied); from then
// on it stays within them.
void Check(TSaNumEdit* cell, bool left, const QString& steps, bool& restored) {
  const SaNum::TValueFormat& format = cell->ValueFormat();
  const QString text = cell->Text();
  const QString detail = fuzz::Show(text) + QStringLiteral(" after ") + steps;
  if (Accepted(format, text)) restored = false;
  const bool asRestored = restored;
  FUZZ_CHECK(asRestored || Accepted(format, text), detail);
  const QString image = cell->DisplayImage();
  FUZZ_CHECK(image == SaNum::FormatImage(format, text), detail + QStringLiteral(" shown ") + fuzz::Show(image));
  const int caret = SaNum::CaretOffset(format, text);
  FUZZ_CHECK(caret >= 0 && caret <= image.size(), detail);
  if (!image.isEmpty()) FUZZ_CHECK(caret >= format.LeftMark.size(), detail);
  if (left && !asRestored) {
    FUZZ_CHECK(text != QStringLiteral("-") || cell->Options().Contains(eoMinusOnly), detail);
    FUZZ_CHECK(SaNum::IntegerDigits(text) <= std::max(format.IntegerLength, 1), detail);
    FUZZ_CHECK(SaNum::DecimalDigits(text) <= format.DecimalLength, detail);
    FUZZ_CHECK(format.Minus || !text.contains(u'-'), detail);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: at exit it would go after the statics of Qt it needs.
  new QApplication(*argc, *argv);
  platform::SetBeepHook([] {});
  platform::SetSoundHook([](const QString&) {});
  platform::SetErrorBoxHook([](const QString&) {});
  platform::SetMessageBoxHook([](const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto form = std::make_unique<QWidget>();
  auto* cell = new TSaNumEdit(form.get());
  cell->setGeometry(0, 0, 120, 30);
  Steps in(data, size);
  QString steps;  // what was done, for the report of a broken rule
  bool focused = false;
  bool restored = false;
  for (int n = 0; in.More() && n < 200; ++n) {
    bool left = false;
    const unsigned op = in.Byte();
    switch (op % 20) {
      case 0: case 1: case 2: case 3: case 4: case 5: {
        const Key& k = kKeys[in.Byte() % (sizeof kKeys / sizeof kKeys[0])];
        steps += QStringLiteral(" key:%1/%2").arg(k.key, 0, 16).arg(int(k.modifiers), 0, 16);
        PressKey(cell, k);
        break;
      }
      case 6: {
        // A key with any character at all.
        const QString text(QChar(char16_t(in.Byte() | in.Byte() << 8)));
        steps += QStringLiteral(" char:") + fuzz::Show(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        Send(cell, &press);
        break;
      }
      case 7: {
        QInputMethodEvent commit;
        const QString text = in.Text();
        commit.setCommitString(text);
        steps += QStringLiteral(" commit:") + fuzz::Show(text);
        Send(cell, &commit);
        break;
      }
      case 8: {
        const QString text = in.Text();
        steps += QStringLiteral(" paste:") + fuzz::Show(text);
        QGuiApplication::clipboard()->setText(text);
        cell->PasteFromClipboard();
        break;
      }
      case 9: {
        const QString text = in.Text();
        steps += QStringLiteral(" Text=") + fuzz::Show(text);
        cell->setProperty("Text", text);
        break;
      }
      case 10: {
        const int value = int(in.Byte() % 13) - 1;
        steps += QStringLiteral(" IntegerLength=%1").arg(value);
        cell->SetIntegerLength(value);
        break;
      }
      case 11: {
        const int value = int(in.Byte() % 7) - 1;
        steps += QStringLiteral(" DecimalLength=%1").arg(value);
        cell->SetDecimalLength(value);
        break;
      }
      case 12: {
        const unsigned b = in.Byte();
        steps += QStringLiteral(" flags=%1").arg(b, 0, 16);
        cell->SetMinus(b & 1);
        cell->SetComma(b & 2);
        cell->SetIntegerFixed(b & 4);
        cell->SetDecimalFixed(b & 8);
        cell->SetAutoSelect(b & 16);
        cell->SetHideSelection(b & 32);
        cell->SetReadOnly((b & 0xC0) == 0xC0);
        break;
      }
      case 13: {
        const unsigned b = in.Byte();
        steps += QStringLiteral(" Options=%1").arg(b & 0x1F, 0, 16);
        cell->SetOptions(TSaNumEditOptions::FromBits(b));
        break;
      }
      case 14: {
        const QString left = in.Text().left(3), right = in.Text().left(3);
        steps += QStringLiteral(" marks=") + fuzz::Show(left) + u'/' + fuzz::Show(right);
        cell->SetLeftMark(left);
        cell->SetRightMark(right);
        break;
      }
      case 15: {
        const int width = int(in.Byte()) + 4;
        steps += QStringLiteral(" width=%1").arg(width);
        cell->resize(width, cell->height());
        break;
      }
      case 16:
      case 17: {
        // Focus comes and goes in turn, as the window gives it.
        QFocusEvent change(focused ? QEvent::FocusOut : QEvent::FocusIn, Qt::TabFocusReason);
        Send(cell, &change);
        steps += focused ? QStringLiteral(" leave") : QStringLiteral(" enter");
        left = focused;
        focused = !focused;
        break;
      }
      case 18:
        steps += QStringLiteral(" undo");
        cell->UndoEdit();
        restored = true;
        break;
      default:
        steps += QStringLiteral(" cut");
        cell->CutToClipboard();
        break;
    }
    Check(cell, left, steps, restored);
  }
  form.reset();
  // Focus moves the cell queued for its window, and its repaints.
  QCoreApplication::processEvents();
  return 0;
}
