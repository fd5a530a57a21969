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
  ExpectAboutPicture(image);
}

}  // namespace
