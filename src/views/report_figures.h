#ifndef TRAMO_VIEWS_REPORT_FIGURES_H_
#define TRAMO_VIEWS_REPORT_FIGURES_H_

#include <string>

#include "views/date_range.h"
#include "views/report_page.h"

class CGlobal;

// The report's figures over the calendars' range of the loaded history: the
// overview by day and by hour, and the top programs and titles of a search.
// The window's "Sestava…" and tramo2-stats report both write them.
ReportData CollectReport(CGlobal* history, const DatePicker& start, const DatePicker& end);

// "Tramo2 D.M.YYYY-D.M.YYYY.html": the name a report of the range is offered.
std::string ReportFileName(const DatePicker& start, const DatePicker& end);

#endif  // TRAMO_VIEWS_REPORT_FIGURES_H_
