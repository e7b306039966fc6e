#include "progress/SafeWrite.h"

#include "platform/Exception.h"

#include <QtCore/QSaveFile>

namespace progress {

void WriteFileSafely(const QString& path, const std::function<bool(QIODevice& file)>& write) {
  QSaveFile file(path);
  const auto fail = [&] {
    throw Exception(QStringLiteral("ファイル %1 に書き込めません (%2)").arg(path, file.errorString()));
  };
  if (!file.open(QIODevice::WriteOnly)) fail();
  if (!write(file)) {
    file.cancelWriting();
    fail();
  }
  if (!file.commit()) fail();
}

}  // namespace progress
