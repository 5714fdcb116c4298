#pragma once

#include <QString>
#include <QStringList>

namespace gui {

// Captions with a mnemonic each (the letter after "&"), none used twice: a word's first
// letter where free, else any free letter or digit. A literal "&" is kept as "&&". Letters in
// taken (lower case) are left to other controls.
QStringList withMnemonics(const QStringList& captions, const QString& taken = {});

// The mnemonic letter of a caption, in lower case; a null character when it has none.
QChar mnemonicOf(const QString& caption);

} // namespace gui
