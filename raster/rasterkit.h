// SPDX-License-Identifier: MIT
// rasterkit: pixel routines for 15-bit colour images held in 16-bit words (RGB555) in memory
// that the caller owns. The library allocates nothing, validates nothing and reports nothing.
//
// Pixel (RGB555): bit 15 unused, red 14-10, green 9-5, blue 4-0.
// Pixel buffer: address of the top row's first pixel plus a pitch; rows run downward.
// The copy and blend routines take pitches in bytes; the zooms, Rotation and myLine take
// row lengths in pixels; ZoomTwoLine and ZoomThreeLine take byte strides of 3-byte pixels.
#pragma once

#include <stdint.h>

#if defined(__GNUC__)
#define RASTERKIT_API __attribute__((visibility("default")))
#else
#define RASTERKIT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Right and Bottom are exclusive.
typedef struct Rect {
  int32_t Left, Top, Right, Bottom;
} Rect;

// Clipping and plain copies.
RASTERKIT_API int32_t ClipperRect(const Rect* clipRect, Rect* dstRect, Rect* srcRect, int32_t anchorX,
                                  int32_t anchorY, float scale);
RASTERKIT_API int32_t GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                    int32_t srcPitch, int32_t srcLeft, int32_t srcTop);
RASTERKIT_API int32_t GDIBlt_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor);
RASTERKIT_API int32_t GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                    int32_t srcPitch, const Rect* srcRect, int32_t tranColor);
RASTERKIT_API int32_t color32_16(int32_t r, int32_t g, int32_t b);
RASTERKIT_API int32_t GDISetPixel(void* ptr, int32_t pitch, int32_t x, int32_t y, int32_t value);
RASTERKIT_API int32_t GDIGetPixel(const void* ptr, int32_t pitch, int32_t x, int32_t y);
RASTERKIT_API int32_t GDIMemset(void* ptr, int32_t count, int32_t value);
RASTERKIT_API int32_t bitsmovl(int32_t value, int32_t n);
RASTERKIT_API int32_t bitsmovr(int32_t value, int32_t n);
RASTERKIT_API int32_t getbit(int32_t value, int32_t n);

// Blends.
RASTERKIT_API int32_t GDIHalfBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                      int32_t srcPitch, int32_t srcLeft, int32_t srcTop);
RASTERKIT_API int32_t GDIAlphaBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                       int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                                       int32_t level);
RASTERKIT_API int32_t GDIAdditive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                     int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                                     int32_t level);
RASTERKIT_API int32_t GDISubitive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                     int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                                     int32_t level);
RASTERKIT_API int32_t GDIColorMask_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                      int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                                      int32_t mask);
RASTERKIT_API int32_t GDIAlphaBlendByAlphaChannel2_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect,
                                                      const void* srcPtr, int32_t srcPitch, int32_t srcLeft,
                                                      int32_t srcTop, const void* alphaPtr, int32_t alphaLevel);

// Whole-image zooms (row lengths in pixels).
RASTERKIT_API int32_t myZoom(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels,
                             int32_t srcHeight, int32_t dstHeight, int32_t srcWidth, int32_t dstWidth);
RASTERKIT_API int32_t myZoom1(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels,
                              int32_t srcHeight, int32_t dstHeight, int32_t srcWidth, int32_t dstWidth);
RASTERKIT_API int32_t myZoom3(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels,
                              int32_t srcHeight, int32_t dstHeight, int32_t srcWidth, int32_t dstWidth);
RASTERKIT_API int32_t myZoomPD(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels,
                               int32_t srcHeight, int32_t dstHeight, int32_t srcWidth, int32_t dstWidth,
                               const void* prevPtr);
// myZoomPD's pixels widened to XRGB8888 (each 5-bit channel c to c << 3 | c >> 2), written
// straight into a 32-bit picture such as a window's: only columns 0 .. shownWidth - 1 of rows
// 0 .. shownHeight - 1 of the dstWidth x dstHeight zoom (and never its last two rows), so the
// destination needs only that much room.
RASTERKIT_API int32_t myZoomPDWide(uint32_t* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels,
                                   int32_t srcHeight, int32_t dstHeight, int32_t srcWidth, int32_t dstWidth,
                                   const void* prevPtr, int32_t shownWidth, int32_t shownHeight);

// Geometry.
RASTERKIT_API float Distance(const int32_t* p, const int32_t* q);
RASTERKIT_API int32_t GetAngle(const int32_t* p, const int32_t* q);
RASTERKIT_API void Collision(float hitDistance, float x1, float y1, float x2, float y2, float oldX1, float oldY1,
                             float oldX2, float oldY2, float* vx1, float* vy1, float* vx2, float* vy2,
                             const int32_t* heading1, const int32_t* heading2, int32_t* life1, int32_t* life2,
                             const int32_t* lossFactor2, const int32_t* lossFactor1);
RASTERKIT_API int32_t ChartToBmp(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6,
                                 int32_t a7, int32_t a8);

// Rotation, line and 24-bit zooms.
RASTERKIT_API int32_t Rotation(const void* srcPtr, void* dstPtr, int32_t width, int32_t height, float angle,
                               int32_t pitchPixels);
RASTERKIT_API int32_t myLine(void* ptr, int32_t pitchPixels, int32_t x0, int32_t x1, int32_t y0, int32_t y1);
RASTERKIT_API int32_t ZoomTwoLine(const void* srcData, void* dstData, const int32_t* srcStride,
                                  const int32_t* dstStride, const int32_t* srcWidth, const int32_t* srcHeight,
                                  const int32_t* dstWidth, const int32_t* dstHeight);
RASTERKIT_API int32_t ZoomThreeLine(const void* srcData, void* dstData, int32_t srcStride, int32_t dstStride,
                                    int32_t srcWidth, int32_t srcHeight, int32_t dstWidth, int32_t dstHeight);

#ifdef __cplusplus
}
#endif
