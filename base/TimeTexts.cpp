#include "base/TimeTexts.h"

namespace base {

namespace {

// Where the seconds go in a rendered minute: a character of the private use area, quoted in
// the format so that Qt copies it as it is.
constexpr char16_t mark = 0xE000;
const QByteArray markUtf8 = QString(QChar(mark)).toUtf8();

struct FormatParts {
    int secondsRuns = 0;      // runs of 's' outside quoted text
    qsizetype secondsAt = -1; // where the last one starts
    qsizetype secondsLength = 0;
    bool showsMillis = false;
};

// Reads the format's letters outside quoted text ('…', with '' for a quote).
FormatParts partsOf(const QString& format) {
    FormatParts parts;
    for (qsizetype i = 0; i < format.size();) {
        if (format[i] == QLatin1Char('\'')) {
            for (++i; i < format.size(); ++i) {
                if (format[i] != QLatin1Char('\''))
                    continue;
                if (i + 1 < format.size() && format[i + 1] == QLatin1Char('\'')) {
                    ++i;
                    continue;
                }
                ++i;
                break;
            }
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == format[i])
            ++run;
        if (format[i] == QLatin1Char('s')) {
            ++parts.secondsRuns;
            parts.secondsAt = i;
            parts.secondsLength = run;
        } else if (format[i] == QLatin1Char('z')) {
            parts.showsMillis = true;
        }
        i += run;
    }
    return parts;
}

} // namespace

TimeTexts::TimeTexts(const QLocale& shownIn, const QString& timeFormat)
    : locale(shownIn), format(timeFormat) {
    const FormatParts parts = partsOf(format);
    showsSeconds = parts.secondsRuns > 0;
    showsMillis = parts.showsMillis;
    // "s" and "ss" are one field each; a longer run is several.
    if (showsMillis || parts.secondsRuns != 1 || parts.secondsLength > 2)
        return;
    secondsFormat = format.mid(parts.secondsAt, parts.secondsLength);
    withMark = format.left(parts.secondsAt) + QLatin1Char('\'') + QChar(mark) + QLatin1Char('\'') +
               format.mid(parts.secondsAt + parts.secondsLength);
}

void TimeTexts::appendWhole(QByteArray& utf8, QTime time) {
    // A time not known has no text; a format without seconds shows each minute alike.
    qint64 key = time.isValid() ? time.msecsSinceStartOfDay() : -1;
    if (key >= 0 && !showsSeconds && !showsMillis)
        key -= key % 60000;
    if (const auto found = wholeTimes.constFind(key); found != wholeTimes.constEnd()) {
        utf8 += *found;
        return;
    }
    // Times to the millisecond may all differ: what is kept stays bounded.
    constexpr qsizetype mostKept = 1 << 16;
    if (wholeTimes.size() >= mostKept)
        wholeTimes.clear();
    const QByteArray text = locale.toString(time, format).toUtf8();
    wholeTimes.insert(key, text);
    utf8 += text;
}

void TimeTexts::append(QByteArray& utf8, QTime time) {
    if (withMark.isEmpty() || !time.isValid()) {
        appendWhole(utf8, time);
        return;
    }
    auto& minute = minutes[static_cast<size_t>(time.hour() * 60 + time.minute())];
    if (!minute) {
        const QByteArray text =
            locale.toString(QTime(time.hour(), time.minute()), withMark).toUtf8();
        const qsizetype at = text.indexOf(markUtf8);
        // Should the mark not come through once, as it is, every time is rendered whole.
        if (at < 0 || text.indexOf(markUtf8, at + 1) >= 0) {
            withMark.clear();
            appendWhole(utf8, time);
            return;
        }
        minute.emplace(text.left(at), text.mid(at + markUtf8.size()));
    }
    QByteArray& second = seconds[static_cast<size_t>(time.second())];
    if (second.isEmpty())
        second = locale.toString(QTime(0, 0, time.second()), secondsFormat).toUtf8();
    utf8 += minute->first;
    utf8 += second;
    utf8 += minute->second;
}

} // namespace base
