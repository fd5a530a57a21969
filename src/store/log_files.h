#ifndef TRAMO_STORE_LOG_FILES_H_
#define TRAMO_STORE_LOG_FILES_H_

#include <cstdint>
#include <string>

// data_dir (with its trailing separator) + "Tramo2_cvs" + year + "_" + month
// (two digits) + ".eb", for the local date of now.
std::string LogFileName(const std::string& data_dir, double now);

// Appends the clean-exit marker "#" CR LF to an existing log; failures are
// recorded as events. A missing file is left alone. With torn_from (>= 0) the
// log is first cut there: a failed write left bytes from there on.
void AppendCloseMarker(const std::string& file_name, int64_t torn_from = -1);

// The text of one log write of a list (without file handling); exposed for
// the writer and its tests. crashed puts the crash note in front of a first
// write.
class CSez;
std::string BuildWriteText(CSez* list, int32_t minimum_seconds, bool crashed, double moment);

#endif  // TRAMO_STORE_LOG_FILES_H_
