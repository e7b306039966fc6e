#pragma once
// Beeps and sounds. Both return at once: the window thread never waits on
// the sound system. Where no sound server runs they are silent.

#include <QtCore/QString>

#include <functional>

namespace platform {

// The default beep that signals refused input.
void MessageBeep();

// Starts playing a sound file (relative names resolve against the current
// directory at the time of the call). A missing or unplayable file plays
// the desktop's bell instead.
void PlaySoundAsync(const QString& fileName);

// Seams for tests: count or record instead of sounding. An empty function
// restores the real output.
void SetBeepHook(std::function<void()> hook);
void SetSoundHook(std::function<void(const QString& fileName)> hook);

}  // namespace platform
