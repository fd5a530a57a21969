#include "bench_common.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/file.h"

bool WriteStamp(const std::string& path, const StampFacts& facts) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << kGeneratorVersion << "\n";
  for (const auto& fact : facts) out << fact.first << " " << fact.second << "\n";
  return static_cast<bool>(out.flush());
}

bool ReadStamp(const std::string& path, StampFacts* facts) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!std::getline(in, line) || line != kGeneratorVersion) return false;
  while (std::getline(in, line)) {
    const size_t blank = line.find(' ');
    if (blank != std::string::npos) (*facts)[line.substr(0, blank)] = line.substr(blank + 1);
  }
  return true;
}

uint64_t FactNumber(const StampFacts& facts, const std::string& key) {
  const auto it = facts.find(key);
  return it == facts.end() ? 0 : std::strtoull(it->second.c_str(), nullptr, 10);
}

void CountingEventSink::AddEvent(int level, const std::string& text) {
  if (++count_ <= 5) std::fprintf(stderr, "event %d: %s\n", level, text.c_str());
}

std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
    folder.push_back(platform::kPathSeparator);
  }
  return folder;
}

const char* BuildName() {
#if defined(_WIN64)
  return "MinGW x86_64";
#elif defined(_WIN32)
  return "MinGW i686";
#else
  return "native";
#endif
}
