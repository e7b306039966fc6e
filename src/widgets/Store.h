#pragma once
// The first step of a setter that reacts only to a change.

namespace widgets {

// Stores value in field; true when it differed from what was there.
template <class T>
bool store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace widgets
