#include "platform/Locale.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace platform {

bool JapaneseLocale() {
  // The order in which the C library picks the language of its messages.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::strncmp(value, "ja", 2) == 0;
  }
  return false;
}

}  // namespace platform
