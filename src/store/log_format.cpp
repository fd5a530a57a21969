#include "store/log_format.h"

#include <cmath>

#include "support/datetime.h"
#include "support/events.h"

const char kCrashNote[] = "#Program NEBYL korektne ukoncen (pad systemu?)";
const char kSessionSeparator[] = "#-------------------------------------------";
const char kSessionHeader[] = "#Seance dne: ";
const char kClockChangeNote[] = "#Zmena systemoveho casu!";
const char kHibernationNote[] = "#Hibernace?";
const char kPeriodHeader[] = "#Statistika od ";
const char kColumnHeader[] = "#cas (sec),cesta,titulek";

void AppendQuotedField(std::string* out, const std::string& text) {
  size_t quotes = 0;
  bool needs_enclosing = false;
  for (char c : text) {
    if (c == '"') {
      ++quotes;
      needs_enclosing = true;
    } else if (c == ',' || c == ';') {
      needs_enclosing = true;
    }
  }
  if (text.size() + quotes > 80) needs_enclosing = true;
  if (!needs_enclosing) {
    out->append(text);
    return;
  }
  out->push_back('"');
  for (char c : text) {
    out->push_back(c);
    if (c == '"') out->push_back('"');
  }
  out->push_back('"');
}

std::string QuoteField(const std::string& text) {
  std::string out;
  AppendQuotedField(&out, text);
  return out;
}

std::string UnquoteField(std::string_view field) {
  if (!field.empty() && field.size() <= 2 && field[0] == '"') {
    AddEvent(1, "Podezrely zaznam v databazi: " + std::string(field));
  }
  if (field.size() > 2 && field.front() == '"' && field.back() == '"') {
    field = field.substr(1, field.size() - 2);
  }
  if (field.find('"') == std::string_view::npos) return std::string(field);
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    out.push_back(field[i]);
    if (field[i] == '"' && i + 1 < field.size() && field[i + 1] == '"') ++i;
  }
  return out;
}

std::string PeriodEndText(double period_start, double moment) {
  const DateTimeParts start = DecodeDateTime(period_start);
  const DateTimeParts end = DecodeDateTime(moment);
  const bool same_day =
      start.year == end.year && start.month == end.month && start.day == end.day;
  return same_day ? FixedTimeText(moment) : FixedDateTimeText(moment);
}
