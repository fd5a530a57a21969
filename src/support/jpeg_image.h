#ifndef TRAMO_SUPPORT_JPEG_IMAGE_H_
#define TRAMO_SUPPORT_JPEG_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: 3 bytes (red, green, blue) per pixel, rows top down,
// no padding between rows.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;

  // The pixel at (x, y); the caller keeps both inside the picture.
  const uint8_t* At(int x, int y) const {
    return pixels.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) +
                            static_cast<size_t>(x)) * 3;
  }
};

// Pictures above this many pixels are refused rather than allocated.
constexpr int64_t kMaxJpegPixels = int64_t{1} << 26;

// Decodes a JPEG held in memory (colour or greyscale, baseline or progressive)
// with libjpeg. Damaged or truncated data, a CMYK picture or one above
// kMaxJpegPixels give false with libjpeg's message (or ours) in *error (may
// be null); *out is then left empty. Never exits the process.
bool DecodeJpeg(const uint8_t* data, size_t size, Image* out, std::string* error = nullptr);

#endif  // TRAMO_SUPPORT_JPEG_IMAGE_H_
