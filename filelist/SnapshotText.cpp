#include "filelist/SnapshotText.h"

namespace filelist {

namespace {
// Mixed into the bytes so that the stored value is not readable at a glance; it hides
// nothing worth protecting, only keeps the paths from being edited by hand.
constexpr char mask[] = "Quorvane Parvilon sample list";
constexpr qsizetype maskLength = sizeof mask - 1;

QByteArray masked(QByteArray bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ mask[i % maskLength] ^ static_cast<char>(i * 7));
    return bytes;
}
} // namespace

QString joinSampleList(const QStringList& paths) {
    QStringList escaped;
    escaped.reserve(paths.size());
    for (const QString& path : paths)
        escaped.append(QString(path)
                           .replace(QLatin1Char('%'), QLatin1String("%25"))
                           .replace(QLatin1Char('|'), QLatin1String("%7C")));
    return escaped.join(QLatin1Char('|'));
}

QStringList splitSampleList(const QString& text) {
    if (text.isEmpty())
        return {};
    QStringList paths;
    for (const QString& escaped : text.split(QLatin1Char('|'))) {
        QString path;
        path.reserve(escaped.size());
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            const QStringView rest = QStringView(escaped).mid(i, 3);
            if (rest == u"%25" || rest == u"%7C") {
                path.append(rest == u"%25" ? QLatin1Char('%') : QLatin1Char('|'));
                i += 2;
            } else {
                path.append(escaped[i]);
            }
        }
        paths.append(path);
    }
    return paths;
}

QString scrambleSnapshot(const QString& text) {
    return QString::fromLatin1(masked(text.toUtf8()).toBase64());
}

QString unscrambleSnapshot(const QString& stored) {
    const auto decoded = QByteArray::fromBase64Encoding(
        stored.toLatin1(), QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return {};
    return QString::fromUtf8(masked(*decoded));
}

} // namespace filelist
