#ifndef TRAMO_TESTS_CORE_ABOUT_PICTURE_PROBES_H_
#define TRAMO_TESTS_CORE_ABOUT_PICTURE_PROBES_H_

#include <gtest/gtest.h>

#include "support/jpeg_image.h"

// Points of the About picture (src/app/about.jpg) and their colour as drawn:
// the orange title, a teal bar, the background, the clock's centre and the
// dark band behind the version label. JPEG moves colours a little.
struct AboutPictureProbe {
  int x, y, r, g, b;
};

constexpr AboutPictureProbe kAboutPictureProbes[] = {
    {50, 184, 255, 140, 40}, {228, 440, 52, 186, 197}, {20, 500, 2, 3, 11},
    {255, 98, 255, 170, 60}, {100, 310, 8, 12, 31},
};
constexpr int kAboutPictureTolerance = 12;

// A decoded About picture has its size and its drawing.
inline void ExpectAboutPicture(const Image& image) {
  EXPECT_EQ(510, image.width);
  EXPECT_EQ(511, image.height);
  if (image.width != 510 || image.height != 511) return;
  for (const AboutPictureProbe& p : kAboutPictureProbes) {
    const uint8_t* pixel = image.At(p.x, p.y);
    EXPECT_NEAR(p.r, pixel[0], kAboutPictureTolerance) << p.x << "," << p.y;
    EXPECT_NEAR(p.g, pixel[1], kAboutPictureTolerance) << p.x << "," << p.y;
    EXPECT_NEAR(p.b, pixel[2], kAboutPictureTolerance) << p.x << "," << p.y;
  }
}

#endif  // TRAMO_TESTS_CORE_ABOUT_PICTURE_PROBES_H_
