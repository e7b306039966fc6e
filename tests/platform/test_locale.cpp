#include "platform/Locale.h"

#include <QtCore/QByteArray>

#include <gtest/gtest.h>

TEST(Locale, TheFirstOfLcAllLcMessagesAndLangThatIsSetNamesTheLanguage) {
  const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  QByteArray saved[3];
  for (int i = 0; i < 3; ++i) saved[i] = qgetenv(names[i]);
  const struct {
    const char* values[3];  // null: unset
    bool japanese;
  } cases[] = {
      {{nullptr, nullptr, "ja_JP.UTF-8"}, true},
      {{nullptr, nullptr, "en_US.UTF-8"}, false},
      {{nullptr, nullptr, nullptr}, false},
      {{"C", nullptr, "ja_JP.UTF-8"}, false},
      {{"", "ja_JP.eucJP", "C.UTF-8"}, true},  // an empty one is passed over
      {{"ja_JP", "en_GB", "en_GB"}, true},
      {{nullptr, "de_DE", "ja_JP"}, false},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i)
      c.values[i] ? qputenv(names[i], c.values[i]) : qunsetenv(names[i]);
    EXPECT_EQ(platform::JapaneseLocale(), c.japanese)
        << (c.values[0] ? c.values[0] : "-") << " " << (c.values[1] ? c.values[1] : "-") << " "
        << (c.values[2] ? c.values[2] : "-");
  }
  for (int i = 0; i < 3; ++i) saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}
