#include "platform/Application.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::SetApplicationTitle(platform::ApplicationTitleFromPath(QString::fromLocal8Bit(argv[0])));
  platform::InstallFontSubstitutions();
  return 0;
}
