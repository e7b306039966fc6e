#include "platform/Application.h"

#include "platform/Exception.h"

#include <QtCore/QFileInfo>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

#include <exception>

namespace platform {
namespace {

QString& titleStorage() {
  static QString title;
  return title;
}

BoxHook& errorHook() {
  static BoxHook hook;
  return hook;
}

BoxHook& messageHook() {
  static BoxHook hook;
  return hook;
}

void showBox(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.exec();
}

}  // namespace

QString ApplicationTitleFromPath(const QString& programPath) {
  QString name = programPath;
  const qsizetype slash = name.lastIndexOf(u'/');
  if (slash >= 0) name = name.mid(slash + 1);
  const qsizetype dot = name.indexOf(u'.');
  if (dot >= 0) name = name.left(dot);
  if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
  return name;
}

QString ApplicationTitle() { return titleStorage(); }

void SetApplicationTitle(const QString& title) { titleStorage() = title; }

QString ErrorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back() > u'.') return message + u'.';
  return message;
}

void HandleException() noexcept {
  QString message;
  try {
    throw;
  } catch (const Exception& e) {
    message = e.Message();
  } catch (const std::exception& e) {
    message = QString::fromLocal8Bit(e.what());
  } catch (...) {
    message = QStringLiteral("不明なエラーです");
  }
  try {
    const QString text = ErrorBoxText(message);
    if (errorHook())
      errorHook()(text);
    else
      showBox(QMessageBox::Critical, text);
  } catch (...) {
    // Reporting must not fail in turn; there is nothing left to tell.
  }
}

void ShowMessage(const QString& text) {
  if (messageHook())
    messageHook()(text);
  else
    showBox(QMessageBox::NoIcon, text);
}

void SetErrorBoxHook(BoxHook hook) { errorHook() = std::move(hook); }
void SetMessageBoxHook(BoxHook hook) { messageHook() = std::move(hook); }

}  // namespace platform

#include <QtGui/QFont>

namespace platform {

void InstallFontSubstitutions() {
  QFont::insertSubstitutions(QString::fromUtf16(kWindowFontFamily),
                             {QStringLiteral("VL Gothic"), QStringLiteral("IPAGothic")});
}

}  // namespace platform
