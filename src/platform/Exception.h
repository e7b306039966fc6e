#pragma once
// The errors this program raises. They end the handler they arise in and
// reach the user through platform::HandleException (Application.h).

#include <QtCore/QString>

#include <exception>

class Exception : public std::exception {
 public:
  explicit Exception(QString message);
  const QString& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.constData(); }

 private:
  QString message_;
  QByteArray utf8_;
};

// A failed file operation; ErrorCode is the error number the texts are
// chosen by (2 file not found, 3 path not found, 5 access denied, ...).
class EInOutError : public Exception {
 public:
  EInOutError(int errorCode, QString message);
  int ErrorCode;
};

// A text that should have been a number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Reads a decimal whole number (optional sign, digits only, 32-bit range);
// raises EConvertError "'%s' は整数ではありません" otherwise.
int StrToInt(const QString& text);

// As StrToInt, but gives false instead of raising.
bool TryStrToInt(const QString& text, int& value);
