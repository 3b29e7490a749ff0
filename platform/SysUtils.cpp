#include "platform/SysUtils.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <mutex>
#include <random>
#include <vector>

#include <cerrno>
#include <clocale>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

// ================================================================ date-time

namespace {

// Days from 1 Jan 0001 to 30 Dec 1899.
constexpr int64_t DateDelta = 693594;
constexpr int64_t MSecsPerDayInt = 86400000;

const uint16_t DaysInMonth[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

std::mutex gNowMutex;
std::function<TDateTime()> gNowOverride;
std::atomic<int64_t> gMonotonicOffset{0};
constexpr int64_t NotHeld = std::numeric_limits<int64_t>::min();
std::atomic<int64_t> gMonotonicHeldAt{NotHeld};

// A date-time as whole days since 1 Jan 0001 (day 1) and ms of the day,
// rounded to the millisecond first so 23:59:59.9999 becomes the next day.
struct TTimeStamp {
    int64_t Date;
    int64_t Time;
};

TTimeStamp toTimeStamp(TDateTime DateTime)
{
    if (!std::isfinite(DateTime))
        return {DateDelta, 0};
    const double total = std::round(DateTime * MSecsPerDay);
    // Clamp far outside the valid range instead of overflowing.
    const double limit = 3.0e15;
    const int64_t ms = static_cast<int64_t>(std::clamp(total, -limit, limit));
    return {DateDelta + ms / MSecsPerDayInt, (ms < 0 ? -ms : ms) % MSecsPerDayInt};
}

TDateTime localNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    TDateTime d = 0, t = 0;
    TryEncodeDate(static_cast<uint16_t>(tm.tm_year + 1900), static_cast<uint16_t>(tm.tm_mon + 1),
                  static_cast<uint16_t>(tm.tm_mday), d);
    TryEncodeTime(static_cast<uint16_t>(tm.tm_hour), static_cast<uint16_t>(tm.tm_min),
                  static_cast<uint16_t>(std::min(tm.tm_sec, 59)), static_cast<uint16_t>(ms % 1000), t);
    return d + t;
}

}  // namespace

void SetNowOverride(std::function<TDateTime()> Clock)
{
    std::lock_guard<std::mutex> lock(gNowMutex);
    gNowOverride = std::move(Clock);
}

TDateTime Now()
{
    std::function<TDateTime()> clock;
    {
        std::lock_guard<std::mutex> lock(gNowMutex);
        clock = gNowOverride;
    }
    return clock ? clock() : localNow();
}

TDateTime Date()
{
    return std::floor(Now());
}

TDateTime Time()
{
    const TDateTime n = Now();
    return n - std::floor(n);
}

bool IsLeapYear(uint16_t Year)
{
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Result)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1)
        return false;
    const uint16_t* days = DaysInMonth[IsLeapYear(Year) ? 1 : 0];
    if (Day > days[Month - 1])
        return false;
    int64_t d = Day;
    for (int m = 0; m < Month - 1; ++m)
        d += days[m];
    const int64_t y = Year - 1;
    d += y * 365 + y / 4 - y / 100 + y / 400;
    Result = static_cast<double>(d - DateDelta);
    return true;
}

bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec, TDateTime& Result)
{
    if (Hour > 23 || Min > 59 || Sec > 59 || MSec > 999)
        return false;
    const int64_t ms = ((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec;
    Result = static_cast<double>(ms) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day)
{
    TDateTime r = 0;
    if (!TryEncodeDate(Year, Month, Day, r))
        throw EConvertError("Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec)
{
    TDateTime r = 0;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, r))
        throw EConvertError("Invalid argument to time encode");
    return r;
}

void DecodeDate(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day)
{
    constexpr int64_t D1 = 365, D4 = D1 * 4 + 1, D100 = D4 * 25 - 1, D400 = D100 * 4 + 1;
    int64_t t = toTimeStamp(DateTime).Date;
    if (t <= 0 || t > 3652059) {   // before 1 Jan 0001 or after 31 Dec 9999
        Year = Month = Day = 0;
        return;
    }
    --t;
    int64_t y = 1;
    y += (t / D400) * 400;
    t %= D400;
    int64_t i = t / D100;
    int64_t d = t % D100;
    if (i == 4) {
        --i;
        d += D100;
    }
    y += i * 100;
    i = d / D4;
    d %= D4;
    y += i * 4;
    i = d / D1;
    d %= D1;
    if (i == 4) {
        --i;
        d += D1;
    }
    y += i;
    Year = static_cast<uint16_t>(y);
    const uint16_t* days = DaysInMonth[IsLeapYear(Year) ? 1 : 0];
    int m = 0;
    while (d >= days[m]) {
        d -= days[m];
        ++m;
    }
    Month = static_cast<uint16_t>(m + 1);
    Day = static_cast<uint16_t>(d + 1);
}

void DecodeTime(TDateTime DateTime, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec)
{
    int64_t t = toTimeStamp(DateTime).Time;
    MSec = static_cast<uint16_t>(t % 1000);
    t /= 1000;
    Sec = static_cast<uint16_t>(t % 60);
    t /= 60;
    Min = static_cast<uint16_t>(t % 60);
    Hour = static_cast<uint16_t>(t / 60);
}

int DayOfWeek(TDateTime DateTime)
{
    const int64_t d = toTimeStamp(DateTime).Date;
    return static_cast<int>(((d % 7) + 7) % 7) + 1;
}

// ---------------------------------------------------------- FormatDateTime

namespace {

const char* const ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[12] = {"January", "February", "March",     "April",
                                        "May",     "June",     "July",      "August",
                                        "September", "October", "November", "December"};
const char* const ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

// Qt's date/time pattern letters turned into ours ('M' month, 'm' minute,
// 'AP' the marker).
std::string fromQtPattern(const QString& qt)
{
    std::string out;
    const std::string s = qt.toStdString();
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\'') {
            const size_t e = s.find('\'', i + 1);
            const size_t end = e == std::string::npos ? s.size() : e;
            out += '"' + s.substr(i + 1, end - i - 1) + '"';
            i = end;
        } else if (c == 'M') {
            out += 'm';
        } else if (c == 'm') {
            out += 'n';
        } else if (c == 'A' || c == 'a') {
            const bool upper = c == 'A';
            if (i + 1 < s.size() && (s[i + 1] == 'P' || s[i + 1] == 'p'))
                ++i;
            out += upper ? "AM/PM" : "am/pm";
        } else if (c == 't' || c == 'H') {
            if (c == 'H')
                out += 'h';
            // time zone names are left out
        } else {
            out += c;
        }
    }
    return Trim(out);
}

const std::string& shortDateFormat()
{
    static const std::string f = [] {
        const std::string s = fromQtPattern(QLocale::system().dateFormat(QLocale::ShortFormat));
        return s.empty() ? std::string("dd/mm/yyyy") : s;
    }();
    return f;
}

const std::string& longDateFormat()
{
    static const std::string f = [] {
        const std::string s = fromQtPattern(QLocale::system().dateFormat(QLocale::LongFormat));
        return s.empty() ? std::string("dddd, mmmm d, yyyy") : s;
    }();
    return f;
}

const std::string& longTimeFormat()
{
    static const std::string f = [] {
        const std::string s = fromQtPattern(QLocale::system().timeFormat(QLocale::ShortFormat));
        // the short Qt form lacks seconds; add them after the minutes
        std::string r = s.empty() ? std::string("hh:nn") : s;
        const size_t n = r.find("nn");
        if (n != std::string::npos && r.find('s') == std::string::npos)
            r.insert(n + 2, ":ss");
        return r;
    }();
    return f;
}

const std::string& shortTimeFormat()
{
    static const std::string f = [] {
        const std::string s = fromQtPattern(QLocale::system().timeFormat(QLocale::ShortFormat));
        return s.empty() ? std::string("hh:nn") : s;
    }();
    return f;
}

void appendNumber(std::string& out, unsigned value, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*u", digits, value);
    out += buf;
}

bool startsWithNoCase(const std::string& s, size_t pos, const char* what)
{
    const size_t n = std::strlen(what);
    if (pos + n > s.size())
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[pos + i])) != what[i])
            return false;
    return true;
}

// Is an am/pm marker in Format at or after pos (outside quoted text)?
bool hasAmPmFrom(const std::string& f, size_t pos)
{
    for (size_t i = pos; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '\'' || c == '"') {
            const size_t e = f.find(c, i + 1);
            if (e == std::string::npos)
                return false;
            i = e;
        } else if (startsWithNoCase(f, i, "am/pm") || startsWithNoCase(f, i, "a/p") ||
                   startsWithNoCase(f, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void formatDateTimeInto(std::string& out, const std::string& f, TDateTime dt, int depth)
{
    uint16_t year, month, day, hour, min, sec, msec;
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
    char lastToken = ' ';
    bool use12Hour = false;
    bool use12Known = false;
    size_t i = 0;
    auto count = [&](char upper) {
        size_t n = 0;
        while (i < f.size() && std::toupper(static_cast<unsigned char>(f[i])) == upper) {
            ++n;
            ++i;
        }
        return n;
    };
    while (i < f.size()) {
        const char raw = f[i];
        char token = static_cast<char>(std::toupper(static_cast<unsigned char>(raw)));
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H')
                token = 'N';   // minutes right after the hour
            lastToken = token;
        }
        switch (token) {
        case 'Y': {
            const size_t n = count('Y');
            if (n <= 2)
                appendNumber(out, year % 100, 2);
            else
                appendNumber(out, year, 4);
            break;
        }
        case 'M': {
            const size_t n = count('M');
            if (month == 0)
                break;
            if (n <= 2)
                appendNumber(out, month, static_cast<int>(n));
            else if (n == 3)
                out += ShortMonthNames[month - 1];
            else
                out += LongMonthNames[month - 1];
            break;
        }
        case 'D': {
            const size_t n = count('D');
            const int wd = DayOfWeek(dt) - 1;
            if (n <= 2)
                appendNumber(out, day, static_cast<int>(n));
            else if (n == 3)
                out += ShortDayNames[wd];
            else if (n == 4)
                out += LongDayNames[wd];
            else if (depth < 2)
                formatDateTimeInto(out, n == 5 ? shortDateFormat() : longDateFormat(), dt, depth + 1);
            break;
        }
        case 'H': {
            if (!use12Known) {
                use12Hour = hasAmPmFrom(f, i);
                use12Known = true;
            }
            const size_t n = count('H');
            unsigned h = hour;
            if (use12Hour) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            appendNumber(out, h, n >= 2 ? 2 : 1);
            break;
        }
        case 'N': {
            ++i;
            size_t n = 1;
            while (i < f.size() && (std::toupper(static_cast<unsigned char>(f[i])) == 'N' ||
                                    std::toupper(static_cast<unsigned char>(f[i])) == 'M')) {
                ++n;
                ++i;
            }
            appendNumber(out, min, n >= 2 ? 2 : 1);
            break;
        }
        case 'S': {
            const size_t n = count('S');
            appendNumber(out, sec, n >= 2 ? 2 : 1);
            break;
        }
        case 'Z': {
            const size_t n = count('Z');
            appendNumber(out, msec, n >= 3 ? 3 : 1);
            break;
        }
        case 'T': {
            const size_t n = count('T');
            if (depth < 2)
                formatDateTimeInto(out, n == 1 ? shortTimeFormat() : longTimeFormat(), dt, depth + 1);
            break;
        }
        case 'C': {
            ++i;
            if (depth < 2) {
                formatDateTimeInto(out, shortDateFormat(), dt, depth + 1);
                if (hour != 0 || min != 0 || sec != 0 || msec != 0) {
                    out += ' ';
                    formatDateTimeInto(out, longTimeFormat(), dt, depth + 1);
                }
            }
            break;
        }
        case 'A': {
            const bool pm = hour >= 12;
            if (startsWithNoCase(f, i, "am/pm")) {
                const std::string word = f.substr(i + (pm ? 3 : 0), 2);
                out += word;
                i += 5;
            } else if (startsWithNoCase(f, i, "a/p")) {
                out += f[i + (pm ? 2 : 0)];
                i += 3;
            } else if (startsWithNoCase(f, i, "ampm")) {
                out += pm ? "PM" : "AM";
                i += 4;
            } else {
                out += raw;
                ++i;
            }
            break;
        }
        case '\'':
        case '"': {
            const size_t e = f.find(raw, i + 1);
            const size_t end = e == std::string::npos ? f.size() : e;
            out.append(f, i + 1, end - i - 1);
            i = end == f.size() ? end : end + 1;
            break;
        }
        default:
            out += raw;
            ++i;
            break;
        }
    }
}

}  // namespace

std::string FormatDateTime(const std::string& Format, TDateTime DateTime)
{
    std::string out;
    formatDateTimeInto(out, Format.empty() ? std::string("c") : Format, DateTime, 0);
    return out;
}

std::string DateTimeToStr(TDateTime DateTime)
{
    return FormatDateTime("c", DateTime);
}

std::string DateToStr(TDateTime DateTime)
{
    return FormatDateTime("ddddd", DateTime);
}

std::string TimeToStr(TDateTime DateTime)
{
    return FormatDateTime("tt", DateTime);
}

// --------------------------------------------------------------- monotonic

namespace {
int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

int64_t MonotonicMs()
{
    const int64_t Held = gMonotonicHeldAt.load();
    return (Held == NotHeld ? SteadyMs() : Held) + gMonotonicOffset.load();
}

void SetMonotonicHeld(bool Held)
{
    gMonotonicHeldAt.store(Held ? SteadyMs() : NotHeld);
}

uint32_t GetTickCount()
{
    return static_cast<uint32_t>(MonotonicMs());
}

void SetMonotonicOffsetMs(int64_t OffsetMs)
{
    gMonotonicOffset.store(OffsetMs);
}

int64_t MonotonicOffsetMs()
{
    return gMonotonicOffset.load();
}

// ================================================================== numbers

namespace {

// A finite value as decimal digits: value = 0.D1D2D3... x 10^Exponent,
// without leading or trailing zeros; no digits for zero.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

// The shortest decimal form that reads back as Value, so rounding sees
// 0.125 and not the binary neighbour below it.
TDecimal toDecimal(double Value)
{
    TDecimal d;
    d.Negative = std::signbit(Value);
    if (Value == 0)
        return d;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(Value), std::chars_format::scientific);
    const std::string s(buf, r.ptr);
    const size_t e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.')
            d.Digits += s[i];
    d.Exponent = std::atoi(s.c_str() + e + 1) + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    return d;
}

// Rounds half away from zero so that no digit is left at or after the
// position `keep` (counted from the first digit; may be <= 0).
void roundDigits(TDecimal& d, int keep)
{
    if (keep >= static_cast<int>(d.Digits.size()))
        return;
    if (keep < 0) {
        d.Digits.clear();
        return;
    }
    const bool up = d.Digits[static_cast<size_t>(keep)] >= '5';
    d.Digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9') {
            d.Digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        } else {
            ++d.Digits[static_cast<size_t>(i)];
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
}

// One ';'-separated section of a number pattern, taken apart.
struct TNumberPattern {
    std::string Text;        // the section as written
    int IntPlaces = 0;       // '0'/'#' before the point
    int IntMin = 0;          // from the first '0' before the point
    int FracPlaces = 0;      // '0'/'#' after the point
    int FracMin = 0;         // up to the last '0' after the point
    bool Thousands = false;
    bool Scientific = false;
    bool ExpPlus = false;    // "E+": sign always
    int ExpDigits = 0;
    char ExpChar = 'E';
    size_t ExpPos = 0;       // where the exponent part starts in Text
    size_t ExpEnd = 0;
};

TNumberPattern parsePattern(const std::string& s)
{
    TNumberPattern p;
    p.Text = s;
    bool afterPoint = false;
    bool seenIntZero = false;
    int fracIndex = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\'' || c == '"') {
            const size_t e = s.find(c, i + 1);
            i = e == std::string::npos ? s.size() : e;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                ++fracIndex;
                ++p.FracPlaces;
                if (c == '0')
                    p.FracMin = fracIndex;
            } else {
                ++p.IntPlaces;
                if (c == '0' && !seenIntZero) {
                    seenIntZero = true;
                    p.IntMin = 0;
                }
                if (seenIntZero)
                    ++p.IntMin;
            }
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            if (!afterPoint)
                p.Thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-') &&
                   !p.Scientific) {
            size_t j = i + 2;
            int digits = 0;
            while (j < s.size() && s[j] == '0') {
                ++digits;
                ++j;
            }
            if (digits > 0 || j < s.size()) {
                p.Scientific = true;
                p.ExpPlus = s[i + 1] == '+';
                p.ExpDigits = std::min(digits, 4);
                p.ExpChar = c;
                p.ExpPos = i;
                p.ExpEnd = j;
                break;
            }
        }
    }
    return p;
}

// Writes the value d (already rounded to the pattern) into the pattern.
// expValue is used for scientific patterns.
std::string renderPattern(const TNumberPattern& p, const TDecimal& d, bool minus, int expValue)
{
    // Integer and fraction digits of the rounded value.
    std::string intDigits, fracDigits;
    const int n = static_cast<int>(d.Digits.size());
    const int pointAt = p.Scientific ? std::max(p.IntPlaces, 1) : d.Exponent;
    for (int k = 0; k < std::max(pointAt, 0); ++k)
        intDigits += k < n ? d.Digits[static_cast<size_t>(k)] : '0';
    for (int k = pointAt; k < n; ++k)
        fracDigits += k < 0 ? '0' : d.Digits[static_cast<size_t>(k)];
    while (!intDigits.empty() && intDigits[0] == '0')
        intDigits.erase(0, 1);
    if (static_cast<int>(intDigits.size()) < p.IntMin)
        intDigits.insert(0, static_cast<size_t>(p.IntMin) - intDigits.size(), '0');
    while (static_cast<int>(fracDigits.size()) < p.FracMin)
        fracDigits += '0';
    while (static_cast<int>(fracDigits.size()) > p.FracMin && !fracDigits.empty() && fracDigits.back() == '0')
        fracDigits.pop_back();

    std::string out;
    if (minus)
        out += '-';
    const std::string& s = p.Text;
    const size_t end = p.Scientific ? p.ExpPos : s.size();
    const int intLen = static_cast<int>(intDigits.size());
    int intPlace = 0;   // integer placeholders met so far
    int fracPlace = 0;
    bool afterPoint = false;
    auto emitInt = [&](int from, int to) {   // digits [from, to) of intDigits
        for (int k = from; k < to; ++k) {
            out += intDigits[static_cast<size_t>(k)];
            const int left = intLen - k - 1;
            if (p.Thousands && left > 0 && left % 3 == 0)
                out += ',';
        }
    };
    for (size_t i = 0; i < end; ++i) {
        const char c = s[i];
        if (c == '\'' || c == '"') {
            const size_t e = s.find(c, i + 1);
            const size_t stop = e == std::string::npos ? s.size() : e;
            out.append(s, i + 1, stop - i - 1);
            i = stop;
        } else if (c == '0' || c == '#') {
            if (!afterPoint) {
                // digit k of intDigits belongs to placeholder k - (intLen - IntPlaces);
                // the surplus of a long number goes out at the first one.
                const int shift = intLen - p.IntPlaces;
                if (intPlace == 0 && shift > 0)
                    emitInt(0, shift + 1);
                else if (intPlace + shift >= 0)
                    emitInt(intPlace + shift, intPlace + shift + 1);
                ++intPlace;
            } else {
                if (fracPlace < static_cast<int>(fracDigits.size()))
                    out += fracDigits[static_cast<size_t>(fracPlace)];
                ++fracPlace;
            }
        } else if (c == '.') {
            if (!afterPoint) {
                afterPoint = true;
                if (p.IntPlaces == 0)
                    emitInt(0, intLen);
                if (!fracDigits.empty())
                    out += '.';
            }
        } else if (c == ',') {
            // thousands separators come from the digits
        } else {
            out += c;
        }
    }
    if (p.Scientific) {
        out += p.ExpChar;
        if (expValue < 0)
            out += '-';
        else if (p.ExpPlus)
            out += '+';
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", p.ExpDigits, std::abs(expValue));
        out += buf;
        // text after the exponent digits
        for (size_t i = p.ExpEnd; i < s.size(); ++i) {
            const char c = s[i];
            if (c == '\'' || c == '"') {
                const size_t e = s.find(c, i + 1);
                const size_t stop = e == std::string::npos ? s.size() : e;
                out.append(s, i + 1, stop - i - 1);
                i = stop;
            } else {
                out += c;
            }
        }
    }
    return out;
}

// Rounds |Value| as the pattern shows it; returns false when nothing but
// zeros would be shown.
bool roundForPattern(const TNumberPattern& p, double Value, TDecimal& d, int& expValue)
{
    d = toDecimal(Value);
    expValue = 0;
    if (p.Scientific) {
        const int intDigits = std::max(p.IntPlaces, 1);
        roundDigits(d, intDigits + p.FracPlaces);
        if (d.Digits.empty())
            return false;
        expValue = d.Exponent - intDigits;
        return true;
    }
    roundDigits(d, d.Exponent + p.FracPlaces);
    return !d.Digits.empty();
}

std::vector<std::string> splitSections(const std::string& f)
{
    std::vector<std::string> sections(1);
    for (size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '\'' || c == '"') {
            const size_t e = f.find(c, i + 1);
            const size_t stop = e == std::string::npos ? f.size() - 1 : e;
            sections.back().append(f, i, stop - i + 1);
            i = stop;
        } else if (c == ';' && sections.size() < 3) {
            sections.emplace_back();
        } else {
            sections.back() += c;
        }
    }
    return sections;
}

// The decimal places of a plain fixed format ("0", "0.0", "0.00", ...), or
// -1 for any other format.
int plainFixedPlaces(const std::string& Format)
{
    if (Format.empty() || Format[0] != '0')
        return -1;
    if (Format.size() == 1)
        return 0;
    if (Format[1] != '.' || Format.size() == 2)
        return -1;
    for (size_t i = 2; i < Format.size(); ++i)
        if (Format[i] != '0')
            return -1;
    return static_cast<int>(Format.size()) - 2;
}

// A finite Value in a plain fixed format with Places decimals: the same
// digits as the general pattern path (shortest decimal form, rounded half
// away from zero, no sign on what rounds to zero), without its parsing and
// allocations, as the live displays and the text exports print numbers
// this way all the time.
std::string formatFixed(double Value, int Places)
{
    char sci[40];
    int digits = 0;
    int exponent = 0;   // value = 0.D1D2... x 10^exponent
    char d[32];
    if (Value != 0) {
        const auto r = std::to_chars(sci, sci + sizeof sci, std::fabs(Value), std::chars_format::scientific);
        const char* e = std::find(sci, r.ptr, 'e');
        for (const char* c = sci; c < e; ++c)
            if (*c != '.')
                d[digits++] = *c;
        int expo = 0;
        std::from_chars(e + (e[1] == '+' ? 2 : 1), r.ptr, expo);
        exponent = expo + 1;
        while (digits > 0 && d[digits - 1] == '0')
            --digits;
    }
    // Round half away from zero so no digit is left past the last place.
    const int keep = exponent + Places;
    if (keep < digits) {
        if (keep < 0) {
            digits = 0;
        } else {
            const bool up = d[keep] >= '5';
            digits = keep;
            if (up) {
                int i = keep - 1;
                while (i >= 0 && d[i] == '9')
                    d[i--] = '0';
                if (i < 0) {
                    std::memmove(d + 1, d, static_cast<size_t>(digits));
                    d[0] = '1';
                    ++digits;
                    ++exponent;
                } else {
                    ++d[i];
                }
            }
            while (digits > 0 && d[digits - 1] == '0')
                --digits;
        }
    }
    std::string out;
    if (digits == 0) {
        out = "0";
        if (Places > 0) {
            out += '.';
            out.append(static_cast<size_t>(Places), '0');
        }
        return out;
    }
    out.reserve(static_cast<size_t>(std::max(exponent, 1) + Places + 2));
    if (Value < 0)
        out += '-';
    if (exponent <= 0)
        out += '0';
    for (int k = 0; k < exponent; ++k)
        out += k < digits ? d[k] : '0';
    if (Places > 0) {
        out += '.';
        for (int k = exponent; k < exponent + Places; ++k)
            out += k >= 0 && k < digits ? d[k] : '0';
    }
    return out;
}

}  // namespace

std::string FormatFloat(const std::string& Format, double Value)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value > 0 ? "INF" : "-INF";
    if (const int places = plainFixedPlaces(Format); places >= 0 && places <= 18)
        return formatFixed(Value, places);
    const std::vector<std::string> sections = splitSections(Format);
    const bool negative = Value < 0;
    const std::string& positive = sections[0];
    const bool ownNegative = negative && sections.size() > 1 && !sections[1].empty();
    const std::string& chosen = ownNegative ? sections[1] : positive;
    if (chosen.empty() && !(sections.size() > 2 && !sections[2].empty() && Value == 0))
        return FloatToStr(Value == 0 ? 0.0 : Value);

    TNumberPattern p = parsePattern(chosen);
    TDecimal d;
    int expValue = 0;
    if (!roundForPattern(p, Value, d, expValue)) {
        // Shown as zero: the zero section when there is one, never a sign.
        if (sections.size() > 2 && !sections[2].empty())
            p = parsePattern(sections[2]);
        else
            p = parsePattern(positive);
        if (p.Text.empty())
            return "0";
        return renderPattern(p, TDecimal{}, false, 0);
    }
    return renderPattern(p, d, negative && !ownNegative, expValue);
}

std::string IntToStr(int64_t Value)
{
    return std::to_string(Value);
}

std::string IntToHex(int64_t Value, int Digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", std::clamp(Digits, 0, 16),
                  static_cast<unsigned long long>(Value));
    return buf;
}

std::string FloatToStr(double Value)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value > 0 ? "INF" : "-INF";
    if (Value == 0)
        return "0";
    const TDecimal d = toDecimal(Value);
    std::string out = d.Negative ? "-" : "";
    const int n = static_cast<int>(d.Digits.size());
    if (d.Exponent > 15 || d.Exponent < -3) {
        out += d.Digits[0];
        if (n > 1)
            out += '.' + d.Digits.substr(1);
        out += 'E' + std::to_string(d.Exponent - 1);
        return out;
    }
    if (d.Exponent <= 0) {
        out += "0." + std::string(static_cast<size_t>(-d.Exponent), '0') + d.Digits;
    } else if (d.Exponent >= n) {
        out += d.Digits + std::string(static_cast<size_t>(d.Exponent - n), '0');
    } else {
        out += d.Digits.substr(0, static_cast<size_t>(d.Exponent)) + '.' +
               d.Digits.substr(static_cast<size_t>(d.Exponent));
    }
    return out;
}

bool TryStrToInt(const std::string& S, int& Value)
{
    const std::string t = Trim(S);
    size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size())
        return false;
    uint64_t v = 0;
    const auto r = std::from_chars(t.data() + i, t.data() + t.size(), v, base);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size())
        return false;
    int64_t result;
    if (base == 16) {
        // Hex texts cover the 32-bit pattern: $FFFFFFFF is -1.
        if (v > 0xFFFFFFFFull)
            return false;
        result = static_cast<int32_t>(static_cast<uint32_t>(v));
        if (negative)
            result = -result;
        if (result > std::numeric_limits<int>::max())
            return false;
    } else {
        if (v > static_cast<uint64_t>(std::numeric_limits<int>::max()) + (negative ? 1u : 0u))
            return false;
        result = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    }
    Value = static_cast<int>(result);
    return true;
}

int StrToInt(const std::string& S)
{
    int v = 0;
    if (!TryStrToInt(S, v))
        throw EConvertError("'" + S + "' is not a valid integer value");
    return v;
}

int StrToIntDef(const std::string& S, int Default)
{
    int v = 0;
    return TryStrToInt(S, v) ? v : Default;
}

bool TryStrToFloat(const std::string& S, double& Value)
{
    const std::string t = Trim(S);
    size_t i = 0;
    if (i < t.size() && t[i] == '+')
        ++i;
    if (i >= t.size() || (i > 0 && t[i] == '-'))
        return false;
    // Plain decimal numbers only: no hex, no inf/nan.
    for (size_t k = i; k < t.size(); ++k) {
        const char c = t[k];
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' || c == 'E' ||
              c == '-' || c == '+'))
            return false;
    }
    double v = 0;
    const auto r = std::from_chars(t.data() + i, t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size())
        return false;
    Value = v;
    return true;
}

double StrToFloat(const std::string& S)
{
    double v = 0;
    if (!TryStrToFloat(S, v))
        throw EConvertError("'" + S + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(const std::string& S, double Default)
{
    double v = 0;
    return TryStrToFloat(S, v) ? v : Default;
}

std::string Format(const char* Fmt, ...)
{
    // The C locale for this thread only, so '.' is the separator whatever
    // the user's locale says.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    va_list args;
    va_start(args, Fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, Fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), Fmt, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    uselocale(previous);
    return out;
}

// ================================================================== strings

namespace {
bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}
}  // namespace

std::string Trim(const std::string& S)
{
    size_t b = 0, e = S.size();
    while (b < e && isBlank(S[b]))
        ++b;
    while (e > b && isBlank(S[e - 1]))
        --e;
    return S.substr(b, e - b);
}

std::string TrimLeft(const std::string& S)
{
    size_t b = 0;
    while (b < S.size() && isBlank(S[b]))
        ++b;
    return S.substr(b);
}

std::string TrimRight(const std::string& S)
{
    size_t e = S.size();
    while (e > 0 && isBlank(S[e - 1]))
        --e;
    return S.substr(0, e);
}

std::string UpperCase(const std::string& S)
{
    std::string r = S;
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LowerCase(const std::string& S)
{
    std::string r = S;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

int CompareText(const std::string& A, const std::string& B)
{
    const size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        int a = static_cast<unsigned char>(A[i]);
        int b = static_cast<unsigned char>(B[i]);
        if (a >= 'A' && a <= 'Z')
            a += 'a' - 'A';
        if (b >= 'A' && b <= 'Z')
            b += 'a' - 'A';
        if (a != b)
            return a - b;
    }
    return static_cast<int>(A.size()) - static_cast<int>(B.size());
}

bool SameText(const std::string& A, const std::string& B)
{
    return A.size() == B.size() && CompareText(A, B) == 0;
}

size_t Utf8CharSize(std::string_view S, size_t Pos)
{
    if (Pos >= S.size())
        return 0;
    const auto Byte = [&](size_t i) { return Pos + i < S.size() ? static_cast<uint8_t>(S[Pos + i]) : 0; };
    const auto Cont = [&](size_t i, uint8_t Lo = 0x80, uint8_t Hi = 0xBF) {
        const uint8_t b = Byte(i);
        return Pos + i < S.size() && b >= Lo && b <= Hi;
    };
    const uint8_t b0 = Byte(0);
    if (b0 < 0x80)
        return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        return Cont(1) ? 2 : 1;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const uint8_t Lo = b0 == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        const uint8_t Hi = b0 == 0xED ? 0x9F : 0xBF;   // no surrogates
        return Cont(1, Lo, Hi) && Cont(2) ? 3 : 1;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const uint8_t Lo = b0 == 0xF0 ? 0x90 : 0x80;
        const uint8_t Hi = b0 == 0xF4 ? 0x8F : 0xBF;   // nothing past U+10FFFF
        return Cont(1, Lo, Hi) && Cont(2) && Cont(3) ? 4 : 1;
    }
    return 1;
}

size_t Utf8Length(std::string_view S)
{
    size_t Count = 0;
    for (size_t i = 0; i < S.size(); i += Utf8CharSize(S, i))
        ++Count;
    return Count;
}

size_t Utf8PrefixBytes(std::string_view S, size_t Count)
{
    size_t i = 0;
    for (; Count > 0 && i < S.size(); --Count)
        i += Utf8CharSize(S, i);
    return i;
}

namespace {

// Maps the case of the well-formed runs of S with Qt's Unicode tables; ASCII
// takes the short road and damaged bytes are copied as they stand.
std::string mapCase(const std::string& S, bool Upper)
{
    std::string r;
    r.reserve(S.size());
    size_t i = 0;
    while (i < S.size()) {
        const size_t Size = Utf8CharSize(S, i);
        const uint8_t b = static_cast<uint8_t>(S[i]);
        if (b < 0x80) {
            char c = S[i];
            if (Upper && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (!Upper && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            r += c;
            ++i;
        } else if (Size == 1) {
            r += S[i];
            ++i;
        } else {
            size_t End = i;
            while (End < S.size() && static_cast<uint8_t>(S[End]) >= 0x80 && Utf8CharSize(S, End) > 1)
                End += Utf8CharSize(S, End);
            const QString Run = QString::fromUtf8(S.data() + i, static_cast<qsizetype>(End - i));
            r += (Upper ? Run.toUpper() : Run.toLower()).toStdString();
            i = End;
        }
    }
    return r;
}

}  // namespace

std::string AnsiUpperCase(const std::string& S)
{
    return mapCase(S, true);
}

std::string AnsiLowerCase(const std::string& S)
{
    return mapCase(S, false);
}

// ==================================================================== files

std::string ExtractFilePath(const std::string& FileName)
{
    const size_t p = FileName.rfind('/');
    return p == std::string::npos ? std::string() : FileName.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& FileName)
{
    const size_t p = FileName.rfind('/');
    return p == std::string::npos ? FileName : FileName.substr(p + 1);
}

std::string ExtractFileExt(const std::string& FileName)
{
    const size_t slash = FileName.rfind('/');
    const size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return FileName.substr(dot);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Ext)
{
    const std::string ext = ExtractFileExt(FileName);
    return FileName.substr(0, FileName.size() - ext.size()) + Ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& Path)
{
    if (!Path.empty() && Path.back() == '/')
        return Path;
    return Path + '/';
}

bool FileExists(const std::string& FileName)
{
    struct stat st {};
    return !FileName.empty() && ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& Directory)
{
    struct stat st {};
    return !Directory.empty() && ::stat(Directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& Directory)
{
    if (Directory.empty())
        return false;
    std::string path = Directory;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (DirectoryExists(path))
        return true;
    const size_t p = path.rfind('/');
    if (p != std::string::npos && p > 0 && !ForceDirectories(path.substr(0, p)))
        return false;
    return ::mkdir(path.c_str(), 0777) == 0 || DirectoryExists(path);
}

bool DeleteFile(const std::string& FileName)
{
    return ::unlink(FileName.c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName)
{
    return std::rename(OldName.c_str(), NewName.c_str()) == 0;
}

bool FileSetDate(const std::string& FileName, TDateTime DateTime)
{
    if (!(DateTime >= 25569.0 && DateTime < 2958466.0))   // 1 Jan 1970 .. 31 Dec 9999
        return false;
    uint16_t year, month, day, hour, min, sec, msec;
    DecodeDate(DateTime, year, month, day);
    DecodeTime(DateTime, hour, min, sec, msec);
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = min;
    tm.tm_sec = sec;
    tm.tm_isdst = -1;   // whatever daylight saving the zone has on that day
    const std::time_t secs = std::mktime(&tm);
    if (secs == static_cast<std::time_t>(-1))
        return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = secs;
    times[1].tv_nsec = 0;
    return ::utimensat(AT_FDCWD, FileName.c_str(), times, 0) == 0;
}

bool FileAge(const std::string& FileName, TDateTime& DateTime)
{
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0)
        return false;
    const std::time_t secs = st.st_mtim.tv_sec;
    std::tm tm{};
    if (!localtime_r(&secs, &tm))
        return false;
    TDateTime d = 0, t = 0;
    if (!TryEncodeDate(static_cast<uint16_t>(tm.tm_year + 1900), static_cast<uint16_t>(tm.tm_mon + 1),
                       static_cast<uint16_t>(tm.tm_mday), d) ||
        !TryEncodeTime(static_cast<uint16_t>(tm.tm_hour), static_cast<uint16_t>(tm.tm_min),
                       static_cast<uint16_t>(std::min(tm.tm_sec, 59)), 0, t))
        return false;
    DateTime = d + t;
    return true;
}

bool ReadWholeFile(const std::string& FileName, std::string& Data)
{
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    Data.clear();
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        Data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

int CreateUniqueFile(const std::string& Directory, const std::string& Stem, const std::string& Suffix,
                     unsigned Mode, std::string& Name)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static constexpr size_t RandomLength = 8;
    long Limit = ::pathconf(Directory.empty() ? "." : Directory.c_str(), _PC_NAME_MAX);
    if (Limit <= 0)
        Limit = 255;
    std::string_view Kept = Stem;
    const size_t Room = static_cast<size_t>(Limit) > RandomLength + Suffix.size()
                            ? static_cast<size_t>(Limit) - RandomLength - Suffix.size()
                            : 0;
    if (Kept.size() > Room) {
        size_t Cut = Room;
        while (Cut > 0 && (static_cast<unsigned char>(Kept[Cut]) & 0xC0) == 0x80)
            --Cut;   // not inside a character
        Kept = Kept.substr(0, Cut);
    }
    thread_local std::mt19937_64 Generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> Pick(0, sizeof Letters - 2);
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        std::string Candidate = Directory;
        Candidate.append(Kept);
        for (size_t i = 0; i < RandomLength; ++i)
            Candidate += Letters[Pick(Generator)];
        Candidate += Suffix;
        const int Fd = ::open(Candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (Fd >= 0) {
            Name = std::move(Candidate);
            return Fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;   // errno is EEXIST
}

namespace {

bool writeAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

bool WriteFileAtomic(const std::string& FileName, const std::string& Data, std::string& Error,
                     const std::function<bool(const std::string& TempName)>& BeforeRename)
{
    std::string temp;
    auto fail = [&](const char* what, int fd) {
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        Error = what;
        if (err)
            Error += std::string(" (") + std::strerror(err) + ")";
        return false;
    };
    errno = 0;
    const int fd = CreateUniqueFile(ExtractFilePath(FileName), ExtractFileName(FileName) + ".", ".tmp", 0666, temp);
    if (fd < 0)
        return fail("cannot create a temporary file", -1);
    struct stat old {};
    if (::stat(FileName.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    if (!writeAll(fd, Data))
        return fail("write failed", fd);
    if (::fsync(fd) != 0)
        return fail("flush failed", fd);
    if (::close(fd) != 0)
        return fail("close failed", -1);
    errno = 0;
    if (BeforeRename && !BeforeRename(temp))
        return fail("interrupted", -1);
    if (::rename(temp.c_str(), FileName.c_str()) != 0)
        return fail("rename failed", -1);
    // Make the rename itself durable.
    std::string dir = ExtractFilePath(FileName);
    if (dir.empty())
        dir = ".";
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    Error.clear();
    return true;
}

// ------------------------------------------------------------------ random numbers

namespace {

std::mt19937& RandomGenerator()
{
    static std::mt19937 G(5489u);
    return G;
}

}  // namespace

void Randomize()
{
    const auto Ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    RandomGenerator().seed(static_cast<uint32_t>(Ticks ^ (Ticks >> 32)));
}

void SetRandSeed(uint32_t Seed)
{
    RandomGenerator().seed(Seed);
}

int Random(int Range)
{
    if (Range <= 0)
        return 0;
    std::uniform_int_distribution<int> D(0, Range - 1);
    return D(RandomGenerator());
}

bool LocaleMeasuresInInches()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
}
