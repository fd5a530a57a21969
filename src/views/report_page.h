#ifndef TRAMO_VIEWS_REPORT_PAGE_H_
#define TRAMO_VIEWS_REPORT_PAGE_H_

#include <cstdint>
#include <string>
#include <vector>

// The figures of the HTML report and the page made of them. Texts are code
// page 1250 (the program's and the logs'); the page is UTF-8.
struct ReportProgram {
  std::string path;
  uint32_t seconds = 0;
  uint32_t active_days = 0;
  uint32_t daily_average = 0;  // seconds
};

struct ReportTitle {
  std::string path;
  std::string title;
  uint32_t seconds = 0;
};

struct ReportDay {
  std::string date;  // D.M.YYYY, the overview bucket's name
  double day = 0;    // its date-time (midnight)
  uint32_t seconds = 0;
  // Time of each charted program on that day, in the order of the programs.
  std::vector<uint32_t> program_seconds;
};

struct ReportData {
  std::string from;  // D.M.YYYY
  std::string to;
  double first_day = 0;  // the range's ends as midnights
  double last_day = 0;
  std::vector<ReportDay> days;           // the rows of overview --by day, in its order
  std::vector<ReportProgram> programs;   // the top programs, longest first
  size_t charted_programs = 0;           // the first programs that get a band
  std::vector<ReportTitle> titles;       // the top window titles, longest first
  uint64_t hours[7][24] = {};            // seconds by weekday (Monday first) and hour
};

// The self-contained page: inline CSS and SVG, the figures as JSON in
// <script type="application/json" id="report-data">.
std::string ReportPage(const ReportData& data);

#endif  // TRAMO_VIEWS_REPORT_PAGE_H_
