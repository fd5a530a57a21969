#ifndef TRAMO_TOOLS_STATS_OUTPUT_H_
#define TRAMO_TOOLS_STATS_OUTPUT_H_

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The platform edge of tramo2-stats: standard streams and the encoding of
// texts printed for people. One implementation per platform.
namespace stats {

// The line end of texts printed for people.
extern const char kLineEnd[];

// Puts the standard streams into binary mode where the C runtime would
// translate line ends, so that dump writes its bytes unchanged.
void PrepareStandardStreams();

// The program's own text (code page 1250, lines ending in CR LF) as this
// platform's terminals expect it: UTF-8 with LF line ends on Linux,
// unchanged on Windows.
std::string TerminalText(std::string_view cp1250);

// The command line: as it came on Linux; on Windows read as UTF-16 and held
// as code page 1250, the program's own text, whatever the system code page.
std::vector<std::string> CommandArguments(int argc, char** argv);

// A command-line argument that is matched against stored text, as code page
// 1250: converted from UTF-8 on Linux, taken as it came on Windows (see
// CommandArguments). False when it cannot be converted.
bool ArgumentText(const std::string& argument, std::string* cp1250);

// Writes a finished line for people. A Windows console gets it as code page
// 1250 text through the wide console API (its own code page is usually the
// OEM one); a file or pipe gets the bytes. False when the stream fails.
bool WriteText(FILE* stream, std::string_view text);

// Names (not paths) of the subfolders of a folder, "." and ".." left out, in
// no particular order; false with the OS's text when it cannot be listed.
bool ListSubfolders(const std::string& folder, std::vector<std::string>* names,
                    std::string* error);

}  // namespace stats

#endif  // TRAMO_TOOLS_STATS_OUTPUT_H_
