#include "platform/file.h"

namespace platform {

bool CreateParentFolders(const std::string& file_path, std::string* error) {
  const size_t slash = file_path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return true;
  return CreateFolders(file_path.substr(0, slash), error);
}

}  // namespace platform
