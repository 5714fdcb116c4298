#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace extract {

// The frames our tool's serving mode (pdftk --serve) reads and writes, as the program sees
// them: every name, password and dump travels as counted raw bytes, so nothing in them can
// break the framing.
//   ready 1 FEATURES\n                                         once, when the tool is ready
//   request ID PATHLENGTH PASSWORDLENGTH WORDS\n PATH PASSWORD  from the program
//   answer ID STATUS DUMPLENGTH ERRORLENGTH\n DUMP ERROR        one for each request

// A request for one file's dump. words are the dump's words joined by commas
// ("dumpdata", "dumpdata,audit"); an empty password is none.
QByteArray requestFrame(quint64 id, const QByteArray& path, const QByteArray& password,
                        const QByteArray& words);

// The features a ready line names, from a buffer that begins with it; nothing while the line
// is not complete. readyLength is set to its length with the LF; a first line that is not a
// ready line gives an empty list with readyLength -1.
std::optional<QStringList> readyFeatures(QByteArrayView buffer, qsizetype& readyLength);

struct ServedAnswer {
    quint64 id = 0;
    int status = 0;
    QByteArray dump;
    QByteArray errors;
};

// The answer at the start of buffer. Complete: the answer, and used is set to its length;
// incomplete so far: nothing, used 0; not an answer (the framing is broken): nothing, used -1.
std::optional<ServedAnswer> takeAnswer(QByteArrayView buffer, qsizetype& used);

} // namespace extract
