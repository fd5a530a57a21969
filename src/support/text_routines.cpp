#include "support/text_routines.h"

#include <new>

#include "support/events.h"

namespace {

const char kNoRun = '\x01';

bool IsSeparator(char c) {
  switch (c) {
    case '\x01':
    case '\t':
    case ' ':
    case '-':
    case '/':
    case '\\':
    case '_':
    case '~':
      return true;
    default:
      return false;
  }
}

// Digits and "." end a word but are not separators; "/" and "\" are
// separators but do not end a word.
bool IsWordDelimiter(char c) {
  switch (c) {
    case '\0':
    case '\t':
    case '\n':
    case '\r':
    case ' ':
    case '-':
    case '.':
    case '_':
    case '~':
      return true;
    default:
      return c >= '0' && c <= '9';
  }
}

// Offers the common run b[start, start + length) as a candidate: the part
// from its first delimiter up to, not including, its last one, when that is
// strictly longer than the best so far.
void CloseRun(const std::string& b, size_t start, size_t length,
              size_t* best_start, size_t* best_length) {
  if (length <= *best_length) return;
  size_t first = length;  // 1-based; length when there is none before the end
  for (size_t p = 1; p < length; ++p) {
    if (IsWordDelimiter(b[start + p - 1])) {
      first = p;
      break;
    }
  }
  size_t last = 0;
  for (size_t q = length; q >= 1; --q) {
    if (IsWordDelimiter(b[start + q - 1])) {
      last = q;
      break;
    }
  }
  if (last > first && last - first > *best_length) {
    *best_start = start + first - 1;
    *best_length = last - first;
  }
}

}  // namespace

std::string StripExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return std::string();
  if (dot == 0) return name;
  return name.substr(0, dot);
}

std::string LastPathPart(const std::string& path, int n) {
  if (path.empty()) return std::string();
  // i counts 1-based positions; the last character is never part of it.
  size_t i = path.size() - 1;
  size_t count = 0;
  while (i > 0 && n > 0) {
    if (path[i - 1] == '\\') --n;
    --i;
    ++count;
  }
  if (i == 0) return path.substr(0, path.size() - 1);
  return path.substr(i, count);
}

std::string TrimSeparators(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSeparator(text[begin])) ++begin;
  while (end > begin && IsSeparator(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string CommonWordRun(const std::string& a, const std::string& b) {
  std::string best;
  try {
    // The padding makes the ends of a and b count as word boundaries; the
    // code-1 bytes sit on opposite ends so they never match each other.
    const std::string pa = std::string(1, kNoRun) + " " + a + " ";
    const std::string pb = " " + b + " " + std::string(1, kNoRun);
    const long len_a = static_cast<long>(pa.size());
    const long len_b = static_cast<long>(pb.size());
    size_t best_start = 0;
    size_t best_length = 0;
    for (long k = -len_b; k <= len_a; ++k) {
      size_t run_start = 0;
      size_t run_length = 0;
      for (long i = 1; i <= len_b; ++i) {
        const long j = k + i - 1;
        if (j < 1 || j > len_a) continue;
        if (pb[i - 1] == pa[j - 1]) {
          if (run_length == 0) run_start = static_cast<size_t>(i - 1);
          ++run_length;
        } else {
          CloseRun(pb, run_start, run_length, &best_start, &best_length);
          run_length = 0;
        }
      }
      CloseRun(pb, run_start, run_length, &best_start, &best_length);
    }
    best = pb.substr(best_start, best_length);
    if (AsciiEqualNoCase(TrimSeparators(pa), TrimSeparators(pb)))
      best = pa;
  } catch (const std::bad_alloc& e) {
    AddEvent(3, std::string("Prunik retezcu se nepovedl. \r\nErrorMessage: ") +
                    e.what());
  }
  std::string result = TrimSeparators(best);
  if (result.empty()) return std::string(1, kNoRun);
  return result;
}

bool IsAllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

char AsciiUpperChar(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string AsciiUpper(const std::string& text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpperChar(c);
  return out;
}

bool AsciiEqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpperChar(a[i]) != AsciiUpperChar(b[i])) return false;
  }
  return true;
}
