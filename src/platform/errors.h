#pragma once
// Runtime errors of the editor. A handler that meets one ends at that point; the guard
// (guard.h) shows the message in an error box and the program goes on.
#include <QString>
#include <stdexcept>
#include <string>

namespace platform {

// Base of every runtime error; what() is the exact English message shown to the user.
class RuntimeError : public std::runtime_error {
  public:
    explicit RuntimeError(const std::string& message) : std::runtime_error(message) {}
};

// A runtime error whose message names something the editor's code page lacks (the first
// character of a file that it cannot hold): the guard shows message() as it is; what()
// has "?" in place of such characters.
class UnicodeRuntimeError : public RuntimeError {
  public:
    explicit UnicodeRuntimeError(const QString& message);
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// "Cannot open file %s": a data file loaded into a string list could not be opened.
class FileOpenError : public RuntimeError {
  public:
    explicit FileOpenError(const std::string& path);
};

// Text-file input/output failures, mapped from errno: "File not found",
// "File access denied", "Disk full", otherwise "I/O error %d".
class InOutError : public RuntimeError {
  public:
    explicit InOutError(int errorNumber);
    int errorNumber() const { return errorNumber_; }

  private:
    int errorNumber_;
};

// "Invalid numeric input": a number read from a text file is not an integer.
class InvalidNumericInput : public RuntimeError {
  public:
    InvalidNumericInput() : RuntimeError("Invalid numeric input") {}
};

// "Range check error": a limit of the editor was exceeded.
class RangeCheckError : public RuntimeError {
  public:
    RangeCheckError() : RuntimeError("Range check error") {}
};

// "Integer overflow": an integer operation left the 32-bit range.
class IntegerOverflow : public RuntimeError {
  public:
    IntegerOverflow() : RuntimeError("Integer overflow") {}
};

// The message of InOutError for an errno value.
std::string inOutMessage(int errorNumber);

} // namespace platform
