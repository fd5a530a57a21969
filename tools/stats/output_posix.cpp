#include "output.h"

#include "cp1250.h"

namespace stats {

const char kLineEnd[] = "\n";

void PrepareStandardStreams() {}

std::string TerminalText(std::string_view cp1250) {
  std::string text;
  text.reserve(cp1250.size());
  for (size_t i = 0; i < cp1250.size(); ++i) {
    if (cp1250[i] == '\r' && i + 1 < cp1250.size() && cp1250[i + 1] == '\n') continue;
    text += cp1250[i];
  }
  return Cp1250ToUtf8(text);
}

bool ArgumentText(const std::string& argument, std::string* cp1250) {
  return Utf8ToCp1250(argument, cp1250);
}

bool WriteText(FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
         std::fflush(stream) == 0;
}

}  // namespace stats
