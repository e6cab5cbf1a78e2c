#include "render/digits.h"

#include "config/config.h"
#include "game/game_state.h"
#include "render/sheet.h"
#include "shell/runtime.h"

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
void DrawGlyph(CGDISurface& screen, const CGDISurface& font, const CGDISurface& mask, int32_t row,
               int32_t glyphHeight, int32_t x, int32_t y, int32_t level) {
  DrawSheetCell(screen, font, mask, 0, row, font.Width(), glyphHeight, x, y, level);
}

}  // namespace

void DrawDigits(const std::string& text, int32_t x, int32_t y, const CGDISurface& font, const CGDISurface& mask,
                int32_t advance, int32_t glyphCount) {
  CGDISurface& screen = ScreenSurface();
  const int32_t glyphHeight = CheckedDiv(font.Height(), glyphCount);
  for (int32_t i = 0; i < static_cast<int32_t>(text.size()); ++i) {
    const int32_t digit = DigitValue(text[i]);
    DrawGlyph(screen, font, mask, digit, glyphHeight, CheckedAdd(x, CheckedMul(i, advance)), y, 32);
  }
}

void DrawScorePopups() {
  CGDISurface& screen = ScreenSurface();
  const CGDISurface& strip = Config.MoveNumImages[0];
  const CGDISurface& mask = Config.MoveNumImages[1];
  for (ScorePopup& popup : Game.ScorePopups) {
    if (!popup.Active) continue;
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
    // The last frame of a pop-up is its 45th (Age 44).
    if (popup.Age >= PopupLifetime - 1) popup.Active = false;
    popup.Age = CheckedAdd(popup.Age, 1);
  }
}
