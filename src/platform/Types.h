#pragma once
// Value types shared by the window and its widgets: colours, text placement
// and the event signatures of the controls.

#include <QtCore/QObject>
#include <QtGui/QColor>

#include <cstdint>
#include <functional>

class QChar;

namespace Ui {
Q_NAMESPACE

// Horizontal placement of text in a box.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

// Vertical placement of text in a box.
enum TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)

enum TBorderStyle { bsNone, bsSingle };
Q_ENUM_NS(TBorderStyle)

}  // namespace Ui

using Ui::TAlignment;
using Ui::TTextLayout;
using Ui::TBorderStyle;
using Ui::taLeftJustify;
using Ui::taRightJustify;
using Ui::taCenter;
using Ui::tlTop;
using Ui::tlCenter;
using Ui::tlBottom;
using Ui::bsNone;
using Ui::bsSingle;

// A colour: 0x00BBGGRR, or 0x80000000 plus a system colour index that is
// resolved through the application palette each time it is painted.
using TColor = std::uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
  return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnHighlight = clSystemColor | 20;

constexpr TColor clBlack = RGBColor(0x00, 0x00, 0x00);
constexpr TColor clMaroon = RGBColor(0x80, 0x00, 0x00);
constexpr TColor clNavy = RGBColor(0x00, 0x00, 0x80);
constexpr TColor clGray = RGBColor(0x80, 0x80, 0x80);
constexpr TColor clSilver = RGBColor(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = RGBColor(0xFF, 0x00, 0x00);
constexpr TColor clBlue = RGBColor(0x00, 0x00, 0xFF);
constexpr TColor clWhite = RGBColor(0xFF, 0xFF, 0xFF);

// The colour to paint with now: system colours come from the current
// application palette, so a palette change shows at the next paint.
QColor ColorToQColor(TColor color);

// Events: the sender first; a key handler gets the character by reference
// and may replace it, QChar(0) meaning refused.
using TNotifyEvent = std::function<void(QObject* Sender)>;
using TKeyPressEvent = std::function<void(QObject* Sender, QChar& Key)>;
using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
using TMouseEvent = std::function<void(QObject* Sender, Qt::MouseButton Button,
                                       Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
