// SPDX-License-Identifier: MIT
#include "base/runtime.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

const char* ErrorKindText(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::TypeMismatch:
      return "Type mismatch";
    case ErrorKind::SubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorKind::Overflow:
      return "Overflow";
    case ErrorKind::FileNotFound:
      return "File not found";
    case ErrorKind::InvalidPicture:
      return "Invalid picture";
    case ErrorKind::DivisionByZero:
      return "Division by zero";
  }
  return "Run-time error";
}

static std::string ComposeMessage(ErrorKind kind, const std::string& detail) {
  std::string message = ErrorKindText(kind);
  if (!detail.empty()) message += ": " + detail;
  return message;
}

RuntimeError::RuntimeError(ErrorKind kind, const std::string& detail)
    : std::runtime_error(ComposeMessage(kind, detail)), kind_(kind), detail_(detail) {}

RuntimeError::RuntimeError(ErrorKind kind, const std::string& detail, const std::string& message)
    : std::runtime_error(message), kind_(kind), detail_(detail) {}

void Raise(ErrorKind kind, const std::string& detail) { throw RuntimeError(kind, detail); }

int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t result;
  if (__builtin_add_overflow(a, b, &result)) Raise(ErrorKind::Overflow);
  return result;
}

int32_t CheckedSub(int32_t a, int32_t b) {
  int32_t result;
  if (__builtin_sub_overflow(a, b, &result)) Raise(ErrorKind::Overflow);
  return result;
}

int32_t CheckedMul(int32_t a, int32_t b) {
  int32_t result;
  if (__builtin_mul_overflow(a, b, &result)) Raise(ErrorKind::Overflow);
  return result;
}

int32_t CheckedDiv(int32_t a, int32_t b) {
  if (b == 0) Raise(ErrorKind::DivisionByZero);
  if (a == INT32_MIN && b == -1) Raise(ErrorKind::Overflow);
  return a / b;
}

int32_t CheckedMod(int32_t a, int32_t b) {
  if (b == 0) Raise(ErrorKind::DivisionByZero);
  if (b == -1) return 0;
  return a % b;
}

int32_t RoundToInt(double value) {
  if (!std::isfinite(value)) Raise(ErrorKind::Overflow);
  double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
  if (rounded < static_cast<double>(INT32_MIN) || rounded > static_cast<double>(INT32_MAX)) Raise(ErrorKind::Overflow);
  return static_cast<int32_t>(rounded);
}

int32_t CheckIndex(int32_t index, int32_t lo, int32_t hi) {
  if (index < lo || index > hi) Raise(ErrorKind::SubscriptOutOfRange, std::to_string(index));
  return index;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Parses an optionally signed decimal number with an optional fraction and exponent,
// surrounded by blanks. Returns false for anything else.
static bool ParseNumber(const std::string& text, double& value) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  if (begin == end) return false;
  std::string body = text.substr(begin, end - begin);
  size_t i = 0;
  if (body[i] == '+' || body[i] == '-') ++i;
  size_t digits = 0;
  while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++digits;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != body.size()) return false;
  errno = 0;
  value = std::strtod(body.c_str(), nullptr);
  return true;
}

int32_t TextToInt(const std::string& text) {
  double value = 0;
  if (!ParseNumber(text, value)) Raise(ErrorKind::TypeMismatch, "\"" + text + "\"");
  return RoundToInt(value);
}

bool IsNumeric(const std::string& text) {
  double value = 0;
  return ParseNumber(text, value);
}
