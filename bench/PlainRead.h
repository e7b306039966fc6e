#pragma once
// The baseline the history benchmarks measure against: every byte of a file
// into memory with plain reads, as fast as the system gives them.

#include <QtCore/QByteArray>

#include <fcntl.h>
#include <unistd.h>

namespace bench {

inline QByteArray readAllPlain(const QByteArray& path) {
  QByteArray data;
  const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return data;
  char buffer[1 << 16];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, n);
  ::close(fd);
  return data;
}

}  // namespace bench
