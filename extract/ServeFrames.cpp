#include "extract/ServeFrames.h"

#include <QList>

namespace extract {

namespace {

// Header lines are short: anything longer without its LF is no header.
constexpr qsizetype longestHeader = 1024;
// Nothing a tool says of one file is this large; a length beyond it is broken framing.
constexpr quint64 largestPart = quint64{1} << 30;

std::optional<quint64> number(QByteArrayView field) {
    if (field.isEmpty() || field.size() > 19)
        return std::nullopt;
    quint64 value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<quint64>(c - '0');
    }
    return value;
}

} // namespace

QByteArray requestFrame(quint64 id, const QByteArray& path, const QByteArray& password,
                        const QByteArray& words) {
    return "request " + QByteArray::number(id) + ' ' + QByteArray::number(path.size()) + ' ' +
           QByteArray::number(password.size()) + ' ' + words + '\n' + path + password;
}

std::optional<QStringList> readyFeatures(QByteArrayView buffer, qsizetype& readyLength) {
    const qsizetype end = buffer.indexOf('\n');
    if (end < 0) {
        readyLength = buffer.size() > longestHeader ? -1 : 0;
        return readyLength < 0 ? std::optional<QStringList>(QStringList()) : std::nullopt;
    }
    const QList<QByteArray> fields = buffer.first(end).toByteArray().split(' ');
    if (fields.size() != 3 || fields[0] != "ready" || fields[1] != "1") {
        readyLength = -1;
        return QStringList();
    }
    readyLength = end + 1;
    QStringList features;
    for (const QByteArray& feature : fields[2].split(','))
        if (!feature.isEmpty())
            features.append(QString::fromLatin1(feature));
    return features;
}

std::optional<ServedAnswer> takeAnswer(QByteArrayView buffer, qsizetype& used) {
    used = 0;
    const qsizetype end = buffer.indexOf('\n');
    if (end < 0) {
        if (buffer.size() > longestHeader)
            used = -1;
        return std::nullopt;
    }
    const QList<QByteArray> fields = buffer.first(end).toByteArray().split(' ');
    std::optional<quint64> id, status, dumpLength, errorLength;
    if (fields.size() == 5 && fields[0] == "answer") {
        id = number(fields[1]);
        status = number(fields[2]);
        dumpLength = number(fields[3]);
        errorLength = number(fields[4]);
    }
    if (!id || !status || !dumpLength || !errorLength || *status > 255 ||
        *dumpLength > largestPart || *errorLength > largestPart) {
        used = -1;
        return std::nullopt;
    }
    const qsizetype whole = end + 1 + static_cast<qsizetype>(*dumpLength + *errorLength);
    if (buffer.size() < whole)
        return std::nullopt;
    ServedAnswer answer;
    answer.id = *id;
    answer.status = static_cast<int>(*status);
    answer.dump = buffer.sliced(end + 1, static_cast<qsizetype>(*dumpLength)).toByteArray();
    answer.errors = buffer
                        .sliced(end + 1 + static_cast<qsizetype>(*dumpLength),
                                static_cast<qsizetype>(*errorLength))
                        .toByteArray();
    used = whole;
    return answer;
}

} // namespace extract
