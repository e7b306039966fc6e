#pragma once
// The application-wide services the window stands on: its title, the error
// box every failure ends in, and the information box.

#include <QtCore/QString>

#include <functional>

namespace platform {

// The program file's name without its folder and without everything from its
// first "." on, every letter after the first in lower case: "/usr/bin/SORABE.x"
// gives "Sorabe".
QString ApplicationTitleFromPath(const QString& programPath);

// The title that captions the message boxes; set once by the program entry.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// The text an error box shows for a message: "." is added when the last
// character sorts after ".".
QString ErrorBoxText(const QString& message);

// Reports the exception being handled (call it inside a catch block only):
// a modal error box with the error icon, the application title and "OK".
// Never throws. Every entry from Qt into our code ends up here, so no
// exception unwinds through a Qt frame.
void HandleException() noexcept;

// Runs f, sending whatever it throws to HandleException.
template <class F>
void Guarded(F&& f) noexcept {
  try {
    f();
  } catch (...) {
    HandleException();
  }
}

// The modal information box: centred, the text, "OK", no icon, the title.
void ShowMessage(const QString& text);

// Seams for tests: replace the modal boxes by a hook that receives the text
// as the box would show it. An empty function restores the real boxes.
using BoxHook = std::function<void(const QString& text)>;
void SetErrorBoxHook(BoxHook hook);
void SetMessageBoxHook(BoxHook hook);

}  // namespace platform

namespace platform {

// The face every control of the window names.
inline constexpr char16_t kWindowFontFamily[] = u"ＭＳ Ｐゴシック";

// Maps the window's font name onto the installed face that renders it
// ("VL Gothic", else "IPAGothic"). Call once after the application object
// exists, before any control is built.
void InstallFontSubstitutions();
}  // namespace platform
