#pragma once
// The language the program speaks on the terminal. Windows, boxes and files
// are Japanese whatever the locale; only what is printed on the command line
// follows the user's locale.

namespace platform {

// True when messages should be Japanese: the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty starts with "ja" (as "ja_JP.UTF-8").
bool JapaneseLocale();

}  // namespace platform
