// The shadow label's page of the gallery.

#include "Gallery.h"
#include "widgets/ShadoLbl.h"

#include <QtWidgets/QWidget>

QWidget* MakeLabelPage() {
  auto* page = new QWidget;
  auto* label = new TShadowLabel(page);
  label->SetCaption(QStringLiteral("Sorabe  Ver 1.10"));
  label->setGeometry(16, 16, 366, 35);
  page->resize(400, 70);
  return page;
}
