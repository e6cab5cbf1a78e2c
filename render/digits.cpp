// SPDX-License-Identifier: MIT
#include "render/digits.h"

#include "base/runtime.h"
#include "render/sheet.h"

namespace {

// Rows of the pop-up strip: fixed 17-pixel glyphs 0 to 9, then the multiplication sign.
constexpr int32_t PopupGlyphHeight = 17;
constexpr int32_t PopupAdvance = 12;
constexpr int32_t PopupSignRow = 10;
constexpr int32_t PopupLifetime = 45;

int32_t DigitValue(char character) {
  if (character < '0' || character > '9') Raise(ErrorKind::TypeMismatch, std::string("digit '") + character + "'");
  return character - '0';
}

// Glyph rows are cut at the full width of the strip.
void DrawGlyph(Surface& screen, const Surface& font, const Surface& mask, int32_t row, int32_t glyphHeight, int32_t x,
               int32_t y, int32_t level) {
  DrawSheetCell(screen, font, mask, 0, row, font.Width(), glyphHeight, x, y, level);
}

}  // namespace

void DrawDigits(Surface& screen, const std::string& text, int32_t x, int32_t y, const Surface& font,
                const Surface& mask, int32_t advance, int32_t glyphCount) {
  const int32_t glyphHeight = CheckedDiv(font.Height(), glyphCount);
  for (int32_t i = 0; i < static_cast<int32_t>(text.size()); ++i) {
    const int32_t digit = DigitValue(text[i]);
    DrawGlyph(screen, font, mask, digit, glyphHeight, CheckedAdd(x, CheckedMul(i, advance)), y, 32);
  }
}

void DrawScorePopups(Surface& screen, const GameState& state, const Surface& strip, const Surface& mask) {
  for (const ScorePopup& popup : state.ScorePopups) {
    if (!popup.Active) continue;
    // Drawn fully for its first 14 frames, then fading out over its last 31.
    const int32_t fading = CheckedSub(PopupLifetime, popup.Age);
    const int32_t level = fading > 31 ? 32 : fading;
    const int32_t length = static_cast<int32_t>(popup.Text.size());
    for (int32_t a = 0; a < length; ++a) {
      DrawGlyph(screen, strip, mask, DigitValue(popup.Text[a]), PopupGlyphHeight,
                CheckedAdd(popup.X, CheckedMul(PopupAdvance, a)), popup.Y, level);
    }
    if (popup.Multiplier >= 2) {
      if (popup.Multiplier > 9) Raise(ErrorKind::TypeMismatch, "multiplier " + std::to_string(popup.Multiplier));
      const int32_t signX = CheckedAdd(popup.X, CheckedMul(PopupAdvance, length));
      DrawGlyph(screen, strip, mask, PopupSignRow, PopupGlyphHeight, signX, popup.Y, level);
      DrawGlyph(screen, strip, mask, popup.Multiplier, PopupGlyphHeight, CheckedAdd(signX, PopupAdvance), popup.Y,
                level);
    }
  }
}
