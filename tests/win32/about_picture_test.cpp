#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/about_picture_probes.h"
#include "support/about_picture_win32.h"
#include "test_util.h"

namespace {

// The tests link src/app/about.rc, so their own module holds the picture.
TEST(AboutPictureWin32Test, DecodesTheEmbeddedPicture) {
  Image image;
  std::string error;
  ASSERT_TRUE(LoadAboutImage(GetModuleHandleA(nullptr), &image, &error)) << error;
  ExpectAboutPicture(image);
}

TEST(AboutPictureWin32Test, BitmapHoldsThePictureTopDownInBlueGreenRed) {
  HBITMAP bitmap = LoadAboutPicture(GetModuleHandleA(nullptr));
  ASSERT_NE(nullptr, bitmap);
  DIBSECTION dib = {};
  ASSERT_EQ(static_cast<int>(sizeof(dib)), GetObjectA(bitmap, sizeof(dib), &dib));
  EXPECT_EQ(510, dib.dsBm.bmWidth);
  EXPECT_EQ(511, dib.dsBm.bmHeight);
  EXPECT_EQ(24, dib.dsBm.bmBitsPixel);
  const auto* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
  ASSERT_NE(nullptr, bits);
  for (const AboutPictureProbe& p : kAboutPictureProbes) {
    const uint8_t* pixel = bits + static_cast<size_t>(dib.dsBm.bmWidthBytes) * p.y + p.x * 3;
    EXPECT_NEAR(p.b, pixel[0], kAboutPictureTolerance) << p.x << "," << p.y;
    EXPECT_NEAR(p.g, pixel[1], kAboutPictureTolerance) << p.x << "," << p.y;
    EXPECT_NEAR(p.r, pixel[2], kAboutPictureTolerance) << p.x << "," << p.y;
  }
  DeleteObject(bitmap);
}

TEST(AboutPictureWin32Test, AModuleWithoutThePictureGivesNoBitmapAndOneEvent) {
  testutil::EventRecorder events;
  EXPECT_EQ(nullptr, LoadAboutPicture(GetModuleHandleA("kernel32.dll")));
  ASSERT_EQ(1u, events.events.size());
  EXPECT_EQ(1, events.events[0].first);
  EXPECT_NE(std::string::npos, events.events[0].second.find("\r\nErrorMessage: "));
}

}  // namespace
