#include "common/TestSupport.h"

#include <QtCore/QTemporaryDir>

#include <memory>
#include <vector>

namespace testing_support {

Recorder& recorded() {
  static Recorder recorder;
  return recorder;
}

QString makeTempDir() {
  static std::vector<std::unique_ptr<QTemporaryDir>> dirs;
  dirs.push_back(std::make_unique<QTemporaryDir>());
  return dirs.back()->path();
}

}  // namespace testing_support
