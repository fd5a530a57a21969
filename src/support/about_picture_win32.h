#ifndef TRAMO_SUPPORT_ABOUT_PICTURE_WIN32_H_
#define TRAMO_SUPPORT_ABOUT_PICTURE_WIN32_H_

#include <windows.h>

#include <string>

#include "support/jpeg_image.h"

// Name of the RCDATA resource holding the About picture (src/app/about.rc).
constexpr char kAboutPictureResource[] = "ABOUT_PICTURE";

// Decodes the JPEG of module's RCDATA resource kAboutPictureResource. False
// with the reason in *error when the resource is missing or undecodable.
bool LoadAboutImage(HMODULE module, Image* image, std::string* error);

// A 24-bit top-down DIB section holding image; nullptr when the system
// refuses one. The caller owns it (DeleteObject).
HBITMAP CreateBitmapFromImage(const Image& image);

// The About picture of module as a DIB section for the About window, which
// owns it (DeleteObject). nullptr when it cannot be had; the reason is then
// recorded as a level-1 event.
HBITMAP LoadAboutPicture(HMODULE module);

#endif  // TRAMO_SUPPORT_ABOUT_PICTURE_WIN32_H_
