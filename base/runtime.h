// SPDX-License-Identifier: MIT
// The program's run-time errors and the checked arithmetic every game value goes through.
//
// A run-time error stops what the program is doing: during start-up it ends the program with
// a message, inside a frame it abandons the rest of that frame. Game arithmetic never wraps
// around and fixed arrays are never indexed outside their bounds.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

enum class ErrorKind {
  TypeMismatch,
  SubscriptOutOfRange,
  Overflow,
  FileNotFound,
  InvalidPicture,
  DivisionByZero,
};

// The message the platform shows for a kind ("Type mismatch", "File not found", ...).
const char* ErrorKindText(ErrorKind kind);

class RuntimeError : public std::runtime_error {
 public:
  // `detail` names what is at fault: a file, a section and key, a value.
  RuntimeError(ErrorKind kind, const std::string& detail = {});
  // With a message of its own instead of the kind's text and the detail.
  RuntimeError(ErrorKind kind, const std::string& detail, const std::string& message);
  ErrorKind Kind() const { return kind_; }
  const std::string& Detail() const { return detail_; }

 private:
  ErrorKind kind_;
  std::string detail_;
};

[[noreturn]] void Raise(ErrorKind kind, const std::string& detail = {});

// Runs one statement and drops the error it raises: each step of the game loop, each statement
// of the presenter and of the resize handler goes on whatever the one before it did.
template <typename Statement>
void IgnoreErrors(Statement&& statement) {
  try {
    statement();
  } catch (const std::exception&) {
  }
}

// Signed 32-bit arithmetic that raises Overflow instead of wrapping.
int32_t CheckedAdd(int32_t a, int32_t b);
int32_t CheckedSub(int32_t a, int32_t b);
int32_t CheckedMul(int32_t a, int32_t b);
// Integer division truncating toward zero; raises DivisionByZero, and Overflow for INT32_MIN / -1.
int32_t CheckedDiv(int32_t a, int32_t b);
int32_t CheckedMod(int32_t a, int32_t b);
// A double to int32 with the nearest integer, halves to even; Overflow when out of range.
int32_t RoundToInt(double value);

// Raises SubscriptOutOfRange unless lo <= index <= hi; returns index.
int32_t CheckIndex(int32_t index, int32_t lo, int32_t hi);

// Text-to-integer conversion of configuration values: surrounding blanks are accepted, a
// fractional value is rounded (halves to even). Anything else (empty text, letters, two
// numbers) raises TypeMismatch; a value beyond 32 bits raises Overflow.
int32_t TextToInt(const std::string& text);
// True when TextToInt would accept the text.
bool IsNumeric(const std::string& text);
