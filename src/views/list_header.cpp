#include "views/list_header.h"

bool SortArrowUp(uint8_t sort_column, uint8_t sort_direction) {
  const bool normal_ascending = sort_column == 0 || sort_column == 3;
  return normal_ascending == (sort_direction != 1);
}
