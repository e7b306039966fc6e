// The widget gallery: one tab per widget of our own making.
//   gallery [--page button|label]

#include "Gallery.h"
#include "platform/Accessibility.h"
#include "platform/Application.h"

#include <QtCore/QCommandLineParser>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QTabWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::SetApplicationTitle(QStringLiteral("Gallery"));
  platform::InstallFontSubstitutions();
  a11y::Install();

  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption pageOption(QStringLiteral("page"), QStringLiteral("The tab to open first."),
                                      QStringLiteral("button|label"), QStringLiteral("button"));
  parser.addOption(pageOption);
  parser.process(app);

  QTabWidget tabs;
  tabs.setObjectName(QStringLiteral("Gallery"));
  tabs.setWindowTitle(QStringLiteral("Sorabe widget gallery"));
  const std::pair<const char*, QWidget* (*)()> pages[] = {{"button", MakeButtonPage},
                                                          {"label", MakeLabelPage}};
  for (auto [name, make] : pages) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(make());
    scroll->setObjectName(QString::fromLatin1(name));
    tabs.addTab(scroll, QString::fromLatin1(name));
    if (parser.value(pageOption) == QLatin1String(name)) tabs.setCurrentWidget(scroll);
  }
  tabs.resize(1000, 760);
  tabs.show();
  return app.exec();
}
