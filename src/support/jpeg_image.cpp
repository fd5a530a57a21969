#include "support/jpeg_image.h"

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// libjpeg's default would print and call exit(); jump back to DecodeJpeg.
void ErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  manager->base.format_message(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings mean damaged data (libjpeg pads a cut-off picture with grey and
// goes on): a picture of ours should never have any, so they end decoding.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0) ErrorExit(info);
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, Image* out, std::string* error) {
  *out = Image();
  if (data == nullptr || size == 0) {
    if (error != nullptr) *error = "no JPEG data";
    return false;
  }
  // Everything the jump may skip lives outside the setjmp scope or in libjpeg's
  // own pools, which jpeg_destroy_decompress frees.
  jpeg_decompress_struct info;
  ErrorManager manager;
  info.err = jpeg_std_error(&manager.base);
  manager.base.error_exit = ErrorExit;
  manager.base.emit_message = EmitMessage;
  manager.message[0] = '\0';
  std::vector<uint8_t>& pixels = out->pixels;
  if (setjmp(manager.jump) != 0) {
    jpeg_destroy_decompress(&info);
    *out = Image();
    if (error != nullptr) *error = manager.message;
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    std::snprintf(manager.message, sizeof(manager.message), "CMYK JPEG is not supported");
    std::longjmp(manager.jump, 1);
  }
  if (static_cast<int64_t>(info.image_width) * info.image_height > kMaxJpegPixels) {
    std::snprintf(manager.message, sizeof(manager.message), "JPEG of %ux%u pixels is too large",
                  info.image_width, info.image_height);
    std::longjmp(manager.jump, 1);
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const size_t row_size = static_cast<size_t>(info.output_width) * 3;
  pixels.resize(row_size * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.data() + row_size * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  out->width = static_cast<int>(info.output_width);
  out->height = static_cast<int>(info.output_height);
  jpeg_destroy_decompress(&info);
  return true;
}
