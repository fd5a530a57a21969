#include "support/about_picture_win32.h"

#include <cstring>

#include "platform/error_text_win32.h"
#include "support/events.h"

bool LoadAboutImage(HMODULE module, Image* image, std::string* error) {
  HRSRC found = FindResourceA(module, kAboutPictureResource, MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) {
    *error = platform::ErrorText(GetLastError());
    return false;
  }
  return DecodeJpeg(static_cast<const uint8_t*>(data), SizeofResource(module, found), image,
                    error);
}

HBITMAP CreateBitmapFromImage(const Image& image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top down, like the decoded rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return nullptr;
  // DIB rows are blue-green-red and padded to whole 32-bit words.
  const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
  auto* rows = static_cast<uint8_t*>(bits);
  for (int y = 0; y < image.height; ++y) {
    uint8_t* target = rows + stride * static_cast<size_t>(y);
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* source = image.At(x, y);
      target[x * 3] = source[2];
      target[x * 3 + 1] = source[1];
      target[x * 3 + 2] = source[0];
    }
  }
  GdiFlush();
  return bitmap;
}

HBITMAP LoadAboutPicture(HMODULE module) {
  Image image;
  std::string error;
  if (!LoadAboutImage(module, &image, &error)) {
    AddEvent(1, "Nelze načíst obrázek okna O aplikaci \r\nErrorMessage: " + error);
    return nullptr;
  }
  HBITMAP bitmap = CreateBitmapFromImage(image);
  if (bitmap == nullptr) {
    AddEvent(1, "Nelze vytvořit obrázek okna O aplikaci \r\nErrorMessage: " +
                    platform::ErrorText(GetLastError()));
  }
  return bitmap;
}
