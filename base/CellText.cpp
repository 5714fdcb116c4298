#include "base/CellText.h"

#include "base/PaperSizes.h"
#include "platform/DateTimeFormats.h"

#include <QDateTime>
#include <QTimeZone>

#include <charconv>
#include <cmath>

namespace base {

namespace {

QString fileDateTimeText(const DateTimeValue& moment, const QLocale& locale) {
    const QString format = dateTimeFormat(DateTimeValue::Kind::FileDateTime, locale);
    const int offset = moment.offsetSeconds.value_or(0);
    const QDateTime onItsClock(moment.date, moment.time, Qt::OffsetFromUTC, offset);
    // A zone's name is known only to the local time zone: the same moment, in local time.
    if (platform::formatShows(format, QLatin1Char('t')))
        return locale.toString(QDateTime::fromMSecsSinceEpoch(onItsClock.toMSecsSinceEpoch()),
                               format);
    return locale.toString(onItsClock, format);
}

QString dateTimeText(const DateTimeValue& moment, const QLocale& locale) {
    switch (moment.kind) {
    case DateTimeValue::Kind::DocumentDate:
        return locale.toString(moment.date, platform::shortDateFormatWithFullYear(locale));
    case DateTimeValue::Kind::DocumentDateTime:
        return locale.toString(moment.date, platform::shortDateFormatWithFullYear(locale)) +
               QLatin1Char(' ') +
               locale.toString(moment.time, platform::longTimeFormatWithoutZone(locale));
    case DateTimeValue::Kind::FileDateTime:
        return fileDateTimeText(moment, locale);
    }
    return {};
}

// Paper is measured in inches only where the locale measures in the United States' units;
// elsewhere (the United Kingdom too) paper sizes are metric.
bool measuresPaperInInches(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem;
}

QString pageSizeText(const PageSizeValue& size, const QLocale& locale) {
    if (size.varies)
        return QStringLiteral("varies");
    QLocale numbers = locale;
    numbers.setNumberOptions(numbers.numberOptions() | QLocale::OmitGroupSeparator);
    const bool inches = measuresPaperInInches(locale);
    // Millimetres whole; inches to a tenth, without a decimal when it is whole (11, not 11.0).
    const auto length = [&](double points) {
        if (!inches)
            return numbers.toString(std::round(points * 25.4 / 72.0), 'f', 0);
        const double tenths = std::round(points / 72.0 * 10.0);
        return numbers.toString(tenths / 10.0, 'f', std::fmod(tenths, 10.0) == 0 ? 0 : 1);
    };
    QString text = length(size.width) + QStringLiteral(" \u00D7 ") + length(size.height) +
                   (inches ? QStringLiteral(" in") : QStringLiteral(" mm"));
    if (const QString name = paperName(size.width, size.height); !name.isEmpty())
        text += QStringLiteral(" (") + name + QLatin1Char(')');
    return text;
}

QString encryptionText(const EncryptionValue& encryption) {
    QString text;
    switch (encryption.method) {
    case EncryptionValue::Method::None:
        text = QStringLiteral("None");
        break;
    case EncryptionValue::Method::Rc4With40Bits:
        text = QStringLiteral("RC4 40-bit");
        break;
    case EncryptionValue::Method::Rc4With128Bits:
        text = QStringLiteral("RC4 128-bit");
        break;
    case EncryptionValue::Method::Aes128:
        text = QStringLiteral("AES 128-bit");
        break;
    case EncryptionValue::Method::Aes256:
        text = QStringLiteral("AES 256-bit");
        break;
    }
    if (encryption.passwordToOpen)
        text += QStringLiteral(" (password to open)");
    return text;
}

QString formText(FormKind kind) {
    switch (kind) {
    case FormKind::None:
        return QStringLiteral("None");
    case FormKind::AcroForm:
        return QStringLiteral("AcroForm");
    case FormKind::Xfa:
        return QStringLiteral("XFA");
    }
    return {};
}

} // namespace

QString dateTimeFormat(DateTimeValue::Kind kind, const QLocale& locale) {
    switch (kind) {
    case DateTimeValue::Kind::DocumentDate:
        return platform::shortDateFormatWithFullYear(locale);
    case DateTimeValue::Kind::DocumentDateTime:
        return platform::shortDateFormatWithFullYear(locale) + QLatin1Char(' ') +
               platform::longTimeFormatWithoutZone(locale);
    case DateTimeValue::Kind::FileDateTime:
        return platform::fileDateTimeFormat(locale);
    }
    return {};
}

QString cellText(const CellValue& cell, const QLocale& locale) {
    if (cell.isText())
        return cell.text();
    if (cell.isInteger())
        return QString::number(cell.integerValue());
    if (cell.isDateTime())
        return dateTimeText(cell.dateTimeValue(), locale);
    if (cell.isBoolean())
        return cell.booleanValue() ? QStringLiteral("Yes") : QStringLiteral("No");
    if (cell.isByteCount())
        return locale.formattedDataSize(cell.byteCountValue(), 1, QLocale::DataSizeSIFormat);
    if (cell.isPageSize())
        return pageSizeText(cell.pageSizeValue(), locale);
    if (cell.isEncryption())
        return encryptionText(cell.encryptionValue());
    if (cell.isForm())
        return formText(cell.formValue());
    return {};
}

CellTextWriter::CellTextWriter(const QLocale& shownIn)
    : locale(shownIn), dateFormat(platform::shortDateFormatWithFullYear(shownIn)),
      fileTimeShowsZone(
          platform::formatShows(platform::fileDateTimeFormat(shownIn), QLatin1Char('t'))),
      documentTimes(shownIn, platform::longTimeFormatWithoutZone(shownIn)),
      fileTimes(shownIn, shownIn.timeFormat(QLocale::ShortFormat)) {}

void CellTextWriter::appendDateTime(QByteArray& utf8, const DateTimeValue& moment) {
    if (moment.kind == DateTimeValue::Kind::FileDateTime && fileTimeShowsZone) {
        utf8 += fileDateTimeText(moment, locale).toUtf8();
        return;
    }
    const qint64 day = moment.date.toJulianDay();
    auto date = dates.constFind(day);
    if (date == dates.constEnd())
        date = dates.insert(day, locale.toString(moment.date, dateFormat).toUtf8());
    utf8 += *date;
    if (moment.kind == DateTimeValue::Kind::DocumentDate)
        return;
    utf8 += ' ';
    (moment.kind == DateTimeValue::Kind::FileDateTime ? fileTimes : documentTimes)
        .append(utf8, moment.time);
}

void CellTextWriter::append(QByteArray& utf8, const CellValue& cell) {
    if (cell.isDateTime()) {
        appendDateTime(utf8, cell.dateTimeValue());
    } else if (cell.isInteger()) {
        char digits[24];
        const auto [end, error] =
            std::to_chars(digits, digits + sizeof digits, cell.integerValue());
        utf8.append(digits, end - digits);
    } else if (!cell.isEmpty()) {
        utf8 += cellText(cell, locale).toUtf8();
    }
}

} // namespace base
