#pragma once
// The gallery's pages, one per widget. Each builds a page that shows the
// widget in every configuration worth checking by eye.

class QWidget;

QWidget* MakeButtonPage();
QWidget* MakeLabelPage();
