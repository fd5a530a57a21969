#include <gtest/gtest.h>

#include <string>

#include "core/about_picture_probes.h"
#include "platform/file.h"
#include "support/jpeg_image.h"

namespace {

std::string ReadAll(const std::string& path) {
  platform::File file;
  std::string error;
  EXPECT_TRUE(file.OpenRead(path, &error)) << path << ": " << error;
  std::string bytes;
  char buffer[65536];
  size_t n = 0;
  while (file.Read(buffer, sizeof(buffer), &n, &error) && n > 0) bytes.append(buffer, n);
  return bytes;
}

// The committed About picture decodes to its size and its drawing.
TEST(AboutPictureTest, DecodesTheCommittedPicture) {
  const std::string jpeg = ReadAll(std::string(TRAMO_SOURCE_DIR) + "/src/app/about.jpg");
  Image image;
  std::string error;
  ASSERT_TRUE(DecodeJpeg(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), &image,
                         &error))
      << error;
  EXPECT_EQ(510, image.width);
  EXPECT_EQ(511, image.height);
  for (const AboutPictureProbe& p : kAboutPictureProbes) {
    const uint8_t* pixel = image.At(p.x, p.y);
    EXPECT_NEAR(p.r, pixel[0], kAboutPictureTolerance) << p.x << "," << p.y;
    EXPECT_NEAR(p.g, pixel[1], kAboutPictureTolerance) << p.x << "," << p.y;
    EXPECT_NEAR(p.b, pixel[2], kAboutPictureTolerance) << p.x << "," << p.y;
  }
}

}  // namespace
