// SPDX-License-Identifier: MIT
#include "render/text.h"

#include "render/sheet.h"

namespace {

int32_t Advance(const ImageCatalogue& images, unsigned char c) { return images.FontAdvance[c]; }

// The longest start of `text` that fits in `maxWidth`, with "..." after it when it was cut.
std::string Fitted(const ImageCatalogue& images, const std::string& text, int32_t maxWidth) {
  if (TextWidth(images, text) <= maxWidth) return text;
  const int32_t dots = TextWidth(images, "...");
  std::string fitted;
  int32_t width = 0;
  for (char c : text) {
    const int32_t next = width + Advance(images, static_cast<unsigned char>(c));
    if (next + dots > maxWidth) break;
    fitted.push_back(c);
    width = next;
  }
  return fitted + "...";
}

}  // namespace

int32_t TextWidth(const ImageCatalogue& images, const std::string& text) {
  int32_t width = 0;
  for (char c : text) width += Advance(images, static_cast<unsigned char>(c));
  return width;
}

int32_t DrawText(Surface& screen, const ImageCatalogue& images, const std::string& text, int32_t x, int32_t y,
                 int32_t maxWidth) {
  const Surface& sheet = images.FontImages[0];
  const Surface& mask = images.FontImages[1];
  if (sheet.Width() != FontColumns * FontCellWidth || mask.Width() != sheet.Width()) return 0;
  int32_t at = x;
  for (char c : Fitted(images, text, maxWidth)) {
    const auto code = static_cast<unsigned char>(c);
    if (code > FontFirstCode && Advance(images, code) > 0) {
      const int32_t cell = code - FontFirstCode;
      DrawSheetCell(screen, sheet, mask, cell % FontColumns, cell / FontColumns, FontCellWidth, FontCellHeight, at, y,
                    32);
    }
    at += Advance(images, code);
  }
  return at - x;
}

void DrawTextRightAligned(Surface& screen, const ImageCatalogue& images, const std::string& text, int32_t right,
                          int32_t y) {
  DrawText(screen, images, text, right - TextWidth(images, text), y);
}
