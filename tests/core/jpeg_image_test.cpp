#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "support/jpeg_image.h"

namespace {

enum class Kind { kColour, kGrey, kProgressive, kCmyk };

// A picture of four flat quadrants (red, green, blue, white), or grey
// stripes, encoded with libjpeg's compressor at high quality.
std::vector<uint8_t> Encode(int width, int height, Kind kind) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  switch (kind) {
    case Kind::kGrey:
      info.input_components = 1;
      info.in_color_space = JCS_GRAYSCALE;
      break;
    case Kind::kCmyk:
      info.input_components = 4;
      info.in_color_space = JCS_CMYK;
      break;
    default:
      info.input_components = 3;
      info.in_color_space = JCS_RGB;
  }
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (kind == Kind::kProgressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * info.input_components);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &row[static_cast<size_t>(x) * info.input_components];
      if (kind == Kind::kGrey) {
        p[0] = static_cast<uint8_t>(x < width / 2 ? 40 : 200);
      } else if (kind == Kind::kCmyk) {
        p[0] = p[1] = p[2] = p[3] = 100;
      } else {
        const bool right = x >= width / 2;
        const bool bottom = y >= height / 2;
        const uint8_t red = (!right && !bottom) || (right && bottom) ? 255 : 0;
        const uint8_t green = (right && !bottom) || (right && bottom) ? 255 : 0;
        const uint8_t blue = (!right && bottom) || (right && bottom) ? 255 : 0;
        p[0] = red;
        p[1] = green;
        p[2] = blue;
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

void ExpectPixel(const Image& image, int x, int y, int r, int g, int b) {
  const uint8_t* p = image.At(x, y);
  EXPECT_NEAR(r, p[0], 8) << "red at " << x << "," << y;
  EXPECT_NEAR(g, p[1], 8) << "green at " << x << "," << y;
  EXPECT_NEAR(b, p[2], 8) << "blue at " << x << "," << y;
}

TEST(JpegImageTest, DecodesColourGreyAndProgressivePictures) {
  for (Kind kind : {Kind::kColour, Kind::kProgressive}) {
    const std::vector<uint8_t> jpeg = Encode(64, 48, kind);
    Image image;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(jpeg.data(), jpeg.size(), &image, &error)) << error;
    EXPECT_EQ(64, image.width);
    EXPECT_EQ(48, image.height);
    ASSERT_EQ(64u * 48u * 3u, image.pixels.size());
    // Quadrant centres, away from the blurred edges: rows run top down.
    ExpectPixel(image, 16, 12, 255, 0, 0);
    ExpectPixel(image, 48, 12, 0, 255, 0);
    ExpectPixel(image, 16, 36, 0, 0, 255);
    ExpectPixel(image, 48, 36, 255, 255, 255);
  }
  const std::vector<uint8_t> grey = Encode(33, 17, Kind::kGrey);
  Image image;
  ASSERT_TRUE(DecodeJpeg(grey.data(), grey.size(), &image));
  EXPECT_EQ(33, image.width);
  ExpectPixel(image, 5, 8, 40, 40, 40);
  ExpectPixel(image, 28, 8, 200, 200, 200);
}

TEST(JpegImageTest, RefusesBadDataWithoutLeavingAPicture) {
  const std::vector<uint8_t> good = Encode(64, 48, Kind::kColour);
  std::vector<uint8_t> huge = good;
  // Stretch the frame header (SOF0: FF C0, length, precision, height, width)
  // to 60000 x 60000 pixels.
  for (size_t i = 0; i + 8 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = huge[i + 7] = 0xEA;
      huge[i + 6] = huge[i + 8] = 0x60;
      break;
    }
  }
  const std::vector<uint8_t> cmyk = Encode(16, 16, Kind::kCmyk);
  const std::string garbage = "this is not a picture at all";
  struct Case {
    const char* name;
    const uint8_t* data;
    size_t size;
  };
  const Case cases[] = {
      {"truncated", good.data(), good.size() / 2},
      {"header only", good.data(), 20},
      {"garbage", reinterpret_cast<const uint8_t*>(garbage.data()), garbage.size()},
      {"empty", good.data(), 0},
      {"null", nullptr, 10},
      {"too large", huge.data(), huge.size()},
      {"cmyk", cmyk.data(), cmyk.size()},
  };
  for (const Case& c : cases) {
    Image image;
    image.width = 7;
    image.pixels.assign(5, 1);
    std::string error;
    EXPECT_FALSE(DecodeJpeg(c.data, c.size, &image, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_EQ(0, image.width) << c.name;
    EXPECT_TRUE(image.pixels.empty()) << c.name;
  }
}

}  // namespace
