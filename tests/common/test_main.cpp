#include "common/TestSupport.h"
#include "platform/Application.h"
#include "platform/Sound.h"

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

namespace {

class ResetRecorder : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { testing_support::recorded().clear(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  platform::SetApplicationTitle(QStringLiteral("Sorabe"));
  platform::InstallFontSubstitutions();
  using testing_support::recorded;
  platform::SetBeepHook([] { ++recorded().beeps; });
  platform::SetSoundHook([](const QString& file) { recorded().sounds << file; });
  platform::SetErrorBoxHook([](const QString& text) { recorded().errors << text; });
  platform::SetMessageBoxHook([](const QString& text) { recorded().messages << text; });
  ::testing::UnitTest::GetInstance()->listeners().Append(new ResetRecorder);
  return RUN_ALL_TESTS();
}
