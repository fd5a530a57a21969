#ifndef TRAMO_STORE_LOG_FORMAT_H_
#define TRAMO_STORE_LOG_FORMAT_H_

#include <string>
#include <string_view>

// The lines of the session log text shared by writer and reader.
extern const char kCrashNote[];        // "#Program NEBYL korektne ukoncen (pad systemu?)"
extern const char kSessionSeparator[];  // "#" and 43 "-"
extern const char kSessionHeader[];     // "#Seance dne: " + date-time
extern const char kClockChangeNote[];   // "#Zmena systemoveho casu!"
extern const char kHibernationNote[];   // "#Hibernace?"
extern const char kPeriodHeader[];      // "#Statistika od " + start + " do " + end
extern const char kColumnHeader[];      // "#cas (sec),cesta,titulek"

// Doubles every double quote; encloses the result in double quotes when the
// text held a double quote, comma or semicolon, or the result is longer than
// 80 characters.
std::string QuoteField(const std::string& text);
// Appends the quoted field to out (the writer's hot path).
void AppendQuotedField(std::string* out, const std::string& text);

// Removes enclosing quotes from a field longer than two characters and turns
// each pair of double quotes into one. A one- or two-character field starting
// with a double quote is recorded as suspicious (level 1) and used as it is.
std::string UnquoteField(std::string_view field);

// The end text of a period header: the time alone on the start's day, else
// the full date-time.
std::string PeriodEndText(double period_start, double moment);

#endif  // TRAMO_STORE_LOG_FORMAT_H_
