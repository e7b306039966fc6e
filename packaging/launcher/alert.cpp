// sorabe-alert TEXT: the launcher's message box. The launcher has no Qt of
// its own and no terminal when it was started from a desktop menu; when it
// cannot prepare the data folder it runs this to tell the user, then ends.

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtGui/QIcon>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  // Taken before Qt sees the arguments, so no text is read as a Qt option.
  const QString text = QString::fromLocal8Bit(argv[1]);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral(SORABE_APP_ID));
  // The installed icon, found from this program's folder like everything
  // else the launcher uses.
  QApplication::setWindowIcon(
      QIcon(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(SORABE_ICON_FROM_ALERT))));

  QMessageBox box(QMessageBox::Critical, QStringLiteral("Sorabe"), text, QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.exec();
  return 0;
}
