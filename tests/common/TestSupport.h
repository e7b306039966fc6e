#pragma once
// Seams every test program installs: beeps, sounds and boxes are recorded
// instead of sounding or blocking.

#include <QtCore/QString>
#include <QtCore/QStringList>

namespace testing_support {

struct Recorder {
  int beeps = 0;
  QStringList sounds;
  QStringList errors;    // texts of error boxes, as shown
  QStringList messages;  // texts of information boxes
  void clear() { *this = Recorder(); }
};

// The recorder the hooks write to; cleared at the start of every test.
Recorder& recorded();

// A fresh folder for the test, removed at exit; returns its path.
QString makeTempDir();

}  // namespace testing_support
