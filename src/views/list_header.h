#ifndef TRAMO_VIEWS_LIST_HEADER_H_
#define TRAMO_VIEWS_LIST_HEADER_H_

#include <cstdint>

// The sort arrow the column header shows: up for an ascending order (names
// A to Z), down for a descending one. The normal order (direction 0) of the
// names and titles (columns 0 and 3) is A to Z; that of every other column
// (durations, dates, day counts) the largest or newest first. Direction 1
// reverses it.
bool SortArrowUp(uint8_t sort_column, uint8_t sort_direction);

#endif  // TRAMO_VIEWS_LIST_HEADER_H_
