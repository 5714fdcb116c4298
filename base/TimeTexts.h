#pragma once

#include <QByteArray>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QTime>

#include <array>
#include <optional>
#include <utility>

namespace base {

// Times of day in one locale and Qt format, in UTF-8, for writing many of them: the locale
// renders each minute of the day once, with a mark where the seconds go, and each second
// once, since rendering a time costs far more than putting its pieces together. A format
// that shows milliseconds, or its seconds more than once, is rendered for each time, its
// texts kept.
class TimeTexts {
public:
    TimeTexts(const QLocale& locale, const QString& format);
    void append(QByteArray& utf8, QTime time);

private:
    void appendWhole(QByteArray& utf8, QTime time);

    QLocale locale;
    QString format;
    // The format with its seconds as a mark, and the seconds' own format; empty when the
    // format is rendered whole.
    QString withMark;
    QString secondsFormat;
    bool showsSeconds = false;
    bool showsMillis = false;
    // Each minute of the day: its text before the seconds and after them.
    std::array<std::optional<std::pair<QByteArray, QByteArray>>, 24 * 60> minutes;
    std::array<QByteArray, 60> seconds;
    QHash<qint64, QByteArray> wholeTimes;
};

} // namespace base
