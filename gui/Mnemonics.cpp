#include "gui/Mnemonics.h"

#include <QHash>
#include <QSet>

namespace gui {

namespace {

// The positions in caption of the letters and digits that could be its mnemonic, the first
// letters of its words first.
QList<qsizetype> candidates(const QString& caption) {
    QList<qsizetype> starts, rest;
    for (qsizetype at = 0; at < caption.size(); ++at) {
        if (!caption[at].isLetterOrNumber() || caption[at] == QLatin1Char('&'))
            continue;
        (at == 0 || caption[at - 1].isSpace() ? starts : rest).append(at);
    }
    return starts + rest;
}

// Finds caption `which` a letter, moving captions that hold one to another of theirs when
// that frees it (a matching by augmenting paths, so that no caption goes without while a
// letter could be found for every one).
bool assign(int which, const QStringList& captions, const QList<QList<qsizetype>>& options,
            QHash<QChar, int>& holder, QList<qsizetype>& chosen, QSet<QChar>& visited) {
    // A free letter first, in the order of preference; only then one held by another.
    for (const qsizetype at : options[which]) {
        const QChar letter = captions[which][at].toLower();
        if (!holder.contains(letter)) {
            holder.insert(letter, which);
            chosen[which] = at;
            return true;
        }
    }
    for (const qsizetype at : options[which]) {
        const QChar letter = captions[which][at].toLower();
        if (visited.contains(letter))
            continue;
        visited.insert(letter);
        const auto held = holder.constFind(letter);
        if (held == holder.cend() || (held.value() >= 0 && assign(held.value(), captions, options,
                                                                  holder, chosen, visited))) {
            holder.insert(letter, which);
            chosen[which] = at;
            return true;
        }
    }
    return false;
}

} // namespace

QStringList withMnemonics(const QStringList& captions, const QString& taken) {
    QHash<QChar, int> holder; // each letter's caption; -1 for a letter taken elsewhere
    for (const QChar letter : taken.toLower())
        holder.insert(letter, -1);
    QList<QList<qsizetype>> options;
    for (const QString& caption : captions)
        options.append(candidates(caption));
    QList<qsizetype> chosen(captions.size(), -1);
    for (int which = 0; which < captions.size(); ++which) {
        QSet<QChar> visited;
        assign(which, captions, options, holder, chosen, visited);
    }
    QStringList marked;
    for (int which = 0; which < captions.size(); ++which) {
        const QString& caption = captions[which];
        QString result;
        for (qsizetype i = 0; i < caption.size(); ++i) {
            if (i == chosen[which])
                result += QLatin1Char('&');
            result += caption[i];
            if (caption[i] == QLatin1Char('&'))
                result += QLatin1Char('&');
        }
        marked.append(result);
    }
    return marked;
}

QChar mnemonicOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] != QLatin1Char('&'))
            return caption[i + 1].toLower();
        ++i; // "&&" is a literal ampersand
    }
    return {};
}

} // namespace gui
