#ifndef TRAMO_TOOLS_STATS_COMMANDS_H_
#define TRAMO_TOOLS_STATS_COMMANDS_H_

#include "cli.h"

// The subcommands of tramo2-stats, each in its own file.
namespace stats {

// dump FILE: the plaintext of one log on standard output, byte for byte.
extern const Command kDumpCommand;
// encrypt SRC DST: a plain log stored as one write of a new encrypted log.
extern const Command kEncryptCommand;
// convert SRC DST: the batch conversion of a folder of encrypted logs.
extern const Command kConvertCommand;
// search --data DIR ...: the history search, one row per program and title.
extern const Command kSearchCommand;
// overview --data DIR --by SIZE ...: recorded time per session or period.
extern const Command kOverviewCommand;
// report --data DIR ... --out FILE.html: the history as one page of charts.
extern const Command kReportCommand;

}  // namespace stats

#endif  // TRAMO_TOOLS_STATS_COMMANDS_H_
