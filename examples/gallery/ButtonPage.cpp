// The push button's page of the gallery.

#include "Gallery.h"
#include "widgets/CuteBtn.h"

#include <QtWidgets/QWidget>

QWidget* MakeButtonPage() {
  auto* page = new QWidget;
  auto* button = new TCuteButton(page);
  button->SetCaption(QStringLiteral("はじめる"));
  button->setGeometry(16, 16, 137, 57);
  page->resize(180, 90);
  return page;
}
