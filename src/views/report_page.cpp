#include "views/report_page.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "support/cp1250.h"
#include "support/text_escapes.h"
#include "support/duration.h"

namespace {

// Band colours of the charted programs; the rest is grey.
const char* const kBandColors[] = {"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd",
                                   "#8c564b", "#e377c2", "#17becf"};
constexpr size_t kBandColorCount = sizeof(kBandColors) / sizeof(kBandColors[0]);
const char kRestColor[] = "#b0b0b0";
const char* const kWeekdays[7] = {"Po", "Út", "St", "Čt", "Pá", "So", "Ne"};

// Text and attribute content. The page is put together in code page 1250
// and converted to UTF-8 as a whole.
std::string Html(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Duration(uint64_t seconds) {
  return Html(FormatDuration(static_cast<uint32_t>(std::min<uint64_t>(seconds, 429496729u) * 10)));
}

// Whole numbers (day offsets pass 9999 in a range of some thirty years, and
// four digits would put ten days on one bar) in full, others to four
// significant digits.
std::string Number(double value) {
  char buffer[32];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    const auto end = std::to_chars(buffer, buffer + sizeof(buffer), static_cast<int64_t>(value)).ptr;
    return std::string(buffer, end);
  }
  std::snprintf(buffer, sizeof(buffer), "%.4g", value);
  return buffer;
}

// A JSON string that cannot end the script element early.
std::string Json(const std::string& text) {
  std::string quoted;
  AppendJsonString(&quoted, text);
  std::string out;
  for (char c : quoted) {
    if (c == '<') {
      out += "\\u003c";
    } else {
      out += c;
    }
  }
  return out;
}

std::string DataJson(const ReportData& data) {
  std::string out = "{\"from\": " + Json(data.from) + ", \"to\": " + Json(data.to) + ",\n\"days\": [";
  for (size_t i = 0; i < data.days.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    out += "{\"date\": " + Json(data.days[i].date) +
           ", \"seconds\": " + std::to_string(data.days[i].seconds) + "}";
  }
  out += "],\n\"programs\": [";
  for (size_t i = 0; i < data.programs.size(); ++i) {
    const ReportProgram& p = data.programs[i];
    out += i == 0 ? "\n" : ",\n";
    out += "{\"path\": " + Json(p.path) + ", \"seconds\": " + std::to_string(p.seconds) +
           ", \"active_days\": " + std::to_string(p.active_days) + "}";
  }
  out += "]}";
  return out;
}

// Tracked time per day as bars stacked by the charted programs, the rest of
// the day's time on top; one path per band keeps ten years small.
std::string DayChart(const ReportData& data) {
  const double span = std::max(1.0, data.last_day - data.first_day + 1);
  const double height = 200;
  uint32_t highest = 1;
  for (const ReportDay& day : data.days) highest = std::max(highest, day.seconds);
  const size_t bands = data.charted_programs;
  std::vector<std::string> paths(bands + 1);
  for (const ReportDay& day : data.days) {
    const double x = day.day - data.first_day;
    if (x < 0 || x >= span) continue;
    double bottom = height;
    uint32_t charted = 0;
    for (size_t b = 0; b <= bands; ++b) {
      uint32_t seconds;
      if (b < bands) {
        seconds = b < day.program_seconds.size() ? day.program_seconds[b] : 0;
        charted += seconds;
      } else {
        seconds = day.seconds > charted ? day.seconds - charted : 0;
      }
      if (seconds == 0) continue;
      const double h = std::min(bottom, height * seconds / highest);
      paths[b] += "M" + Number(x) + " " + Number(bottom - h) + "h0.9v" + Number(h) + "h-0.9z";
      bottom -= h;
    }
  }
  std::string svg = "<svg class=\"days\" viewBox=\"0 0 " + Number(span) + " " + Number(height) +
                    "\" preserveAspectRatio=\"none\" role=\"img\" aria-label=\"Doba po dnech\">";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#fafafa\"/>";
  for (size_t b = 0; b <= bands; ++b) {
    if (paths[b].empty()) continue;
    svg += "<path fill=\"" + std::string(b < bands ? kBandColors[b % kBandColorCount] : kRestColor) +
           "\" d=\"" + paths[b] + "\"/>";
  }
  svg += "</svg>";
  svg += "<div class=\"axis\"><span>" + Html(data.from) + "</span><span>nejdelší den: " +
         Duration(highest) + "</span><span>" + Html(data.to) + "</span></div>";
  svg += "<ul class=\"legend\">";
  for (size_t b = 0; b < bands; ++b) {
    svg += "<li><i style=\"background:" + std::string(kBandColors[b % kBandColorCount]) + "\"></i>" +
           Html(data.programs[b].path) + "</li>";
  }
  svg += "<li><i style=\"background:" + std::string(kRestColor) + "\"></i>ostatní</li></ul>";
  return svg;
}

// Hour of day across, weekday down; the darker the cell, the more time.
std::string HourMap(const ReportData& data) {
  uint64_t highest = 1;
  for (const auto& row : data.hours) {
    for (uint64_t seconds : row) highest = std::max(highest, seconds);
  }
  const int cell = 20;
  const int left = 30;
  const int top = 16;
  std::string svg = "<svg class=\"hours\" viewBox=\"0 0 " + std::to_string(left + 24 * cell) + " " +
                    std::to_string(top + 7 * cell) +
                    "\" role=\"img\" aria-label=\"Doba podle hodiny a dne v týdnu\">";
  for (int h = 0; h < 24; h += 3) {
    svg += "<text x=\"" + std::to_string(left + h * cell + 2) + "\" y=\"12\">" +
           std::to_string(h) + "</text>";
  }
  for (int d = 0; d < 7; ++d) {
    const int y = top + d * cell;
    svg += "<text x=\"0\" y=\"" + std::to_string(y + 14) + "\">" + Html(kWeekdays[d]) + "</text>";
    for (int h = 0; h < 24; ++h) {
      const double share = static_cast<double>(data.hours[d][h]) / highest;
      svg += "<rect x=\"" + std::to_string(left + h * cell) + "\" y=\"" + std::to_string(y) +
             "\" width=\"" + std::to_string(cell - 1) + "\" height=\"" + std::to_string(cell - 1) +
             "\" fill=\"#08519c\" fill-opacity=\"" + Number(0.06 + 0.94 * share) + "\"><title>" +
             Html(kWeekdays[d]) + " " + std::to_string(h) + ":00 " + Duration(data.hours[d][h]) +
             "</title></rect>";
    }
  }
  svg += "</svg>";
  return svg;
}

std::string ProgramTable(const ReportData& data) {
  std::string out =
      "<table><thead><tr><th>Program</th><th class=\"num\">Doba</th>"
      "<th class=\"num\">Aktivních dní</th><th class=\"num\">Denní průměr</th></tr></thead>"
      "<tbody>";
  for (const ReportProgram& p : data.programs) {
    out += "<tr><td>" + Html(p.path) + "</td><td class=\"num\">" + Duration(p.seconds) +
           "</td><td class=\"num\">" + std::to_string(p.active_days) + "</td><td class=\"num\">" +
           Duration(p.daily_average) + "</td></tr>";
  }
  return out + "</tbody></table>";
}

std::string TitleTable(const ReportData& data) {
  if (data.titles.empty()) {
    return "<p>Žádný program není v podrobných statistikách.</p>";
  }
  std::string out =
      "<table><thead><tr><th>Program</th><th>Titulek okna</th><th class=\"num\">Doba</th>"
      "</tr></thead><tbody>";
  for (const ReportTitle& t : data.titles) {
    out += "<tr><td>" + Html(t.path) + "</td><td>" + Html(t.title) + "</td><td class=\"num\">" +
           Duration(t.seconds) + "</td></tr>";
  }
  return out + "</tbody></table>";
}

const char kStyle[] =
    "body{font-family:'Segoe UI',Arial,sans-serif;margin:2em auto;max-width:60em;color:#222;"
    "padding:0 1em}h1{font-size:1.6em;margin-bottom:.2em}h2{font-size:1.2em;margin-top:1.6em}"
    ".summary{font-size:1.1em}.summary b{font-size:1.3em}"
    "svg.days{width:100%;height:220px;display:block;border:1px solid #ddd}"
    "svg.hours{width:100%;max-width:40em;display:block}svg text{font-size:11px;fill:#444}"
    ".axis{display:flex;justify-content:space-between;font-size:.85em;color:#555}"
    ".legend{list-style:none;padding:0;display:flex;flex-wrap:wrap;gap:.4em 1.2em;font-size:.85em}"
    ".legend i{display:inline-block;width:.9em;height:.9em;margin-right:.3em;vertical-align:middle}"
    "table{border-collapse:collapse;width:100%;font-size:.9em}"
    "th,td{border-bottom:1px solid #ddd;padding:.25em .5em;text-align:left}"
    "td{word-break:break-all}.num{text-align:right;white-space:nowrap;word-break:normal}"
    "@media print{body{margin:0;max-width:none}h2{break-after:avoid}svg,table{break-inside:avoid}"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";

}  // namespace

std::string ReportPage(const ReportData& data) {
  uint64_t total = 0;
  for (const ReportDay& day : data.days) total += day.seconds;
  std::string page = "<!DOCTYPE html>\n<html lang=\"cs\"><head><meta charset=\"utf-8\">";
  page += "<title>" + Html("Tramo2: přehled " + data.from + " – " + data.to) + "</title>";
  page += "<style>" + std::string(kStyle) + "</style></head><body>\n";
  page += "<h1>" + Html("Přehled činnosti") + "</h1>";
  page += "<p class=\"summary\">" + Html("Od " + data.from + " do " + data.to) +
          Html(", zaznamenáno celkem ") + "<b>" + Duration(total) + "</b>" +
          Html(" ve ") + std::to_string(data.days.size()) + Html(" dnech.") + "</p>\n";
  page += "<h2>" + Html("Doba po dnech") + "</h2>" + DayChart(data) + "\n";
  page += "<h2>" + Html("Podle hodiny a dne v týdnu") + "</h2>" + HourMap(data) + "\n";
  page += "<h2>" + Html("Nejpoužívanější programy") + "</h2>" + ProgramTable(data) + "\n";
  page += "<h2>" + Html("Nejčastější titulky oken (podrobné statistiky)") + "</h2>" +
          TitleTable(data) + "\n";
  page += "<script type=\"application/json\" id=\"report-data\">" + DataJson(data) +
          "</script>\n</body></html>\n";
  return Cp1250ToUtf8(page);
}

