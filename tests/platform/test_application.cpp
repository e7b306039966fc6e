#include "platform/Application.h"

#include <gtest/gtest.h>

TEST(ApplicationTitle, DropsFolderAndExtensionsAndLowersAllButTheFirstLetter) {
  EXPECT_EQ(platform::ApplicationTitleFromPath("/usr/local/bin/Sorabe"), "Sorabe");
  EXPECT_EQ(platform::ApplicationTitleFromPath("SORABE.EXE"), "Sorabe");
  EXPECT_EQ(platform::ApplicationTitleFromPath("./build/sorabe.bin.old"), "sorabe");
  EXPECT_EQ(platform::ApplicationTitleFromPath("/opt/x.y/Drill"), "Drill");
  EXPECT_EQ(platform::ApplicationTitleFromPath("Q"), "Q");
}

TEST(ErrorBoxText, AddsAPointOnlyAfterACharacterThatSortsAfterIt) {
  EXPECT_EQ(platform::ErrorBoxText("ファイルが見つかりません"), "ファイルが見つかりません.");
  EXPECT_EQ(platform::ErrorBoxText("I/O エラー (28)"), "I/O エラー (28)");  // ")" sorts before "."
  EXPECT_EQ(platform::ErrorBoxText("done."), "done.");
  EXPECT_EQ(platform::ErrorBoxText("abc"), "abc.");
  EXPECT_EQ(platform::ErrorBoxText(""), "");
}
