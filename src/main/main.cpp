// The program entry: one drill window, shown centred, until it is closed.

#include "access/Notify.h"
#include "main/Form1.h"
#include "platform/Application.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::SetApplicationTitle(platform::ApplicationTitleFromPath(QString::fromLocal8Bit(argv[0])));
  platform::InstallFontSubstitutions();
  a11y::Install();

  TForm1 form;
  form.CenterOnScreen();
  form.show();
  return app.exec();
}
