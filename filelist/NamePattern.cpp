#include "filelist/NamePattern.h"

namespace filelist {

namespace {
bool sameLetter(QChar a, QChar b) {
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}
} // namespace

bool matchesNamePattern(QStringView name, QStringView pattern) {
    if (pattern == u"*.*" || pattern == u"*")
        return true;
    // Greedy match with one step of backtracking to the last "*": linear for the usual
    // patterns, and never worse than the product of the two lengths.
    qsizetype n = 0, p = 0;
    qsizetype starAt = -1, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace filelist
