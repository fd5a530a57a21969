#include "monitor/process_path.h"

uint32_t WindowProcessOf(const WindowAnswers& answers) {
  return answers.core_window_owner != 0 ? answers.core_window_owner : answers.owner;
}

std::string ExePathOf(const WindowAnswers& answers) {
  if (answers.image_known) return answers.image_path;
  if (!answers.listed) return std::string();
  return WindowProcessOf(answers) == 0 ? "System Idle Process" : answers.bare_name;
}
