#include "finder/ChordCompletion.h"

#include "catalogue/ChordTheory.h"
#include "catalogue/ChordVocabulary.h"

qsizetype ChordCompletion::rootLength(QStringView text) {
    if (text.isEmpty() || !ChordTheory::parseNoteName(text.left(1)))
        return 0;
    if (text.size() > 1 && ChordTheory::parseNoteName(text.left(2)))
        return 2;
    return 1;
}

QStringList ChordCompletion::candidates(QStringView text) {
    QStringList out;
    const qsizetype root = rootLength(text);
    if (root == 0)
        return out;
    const qsizetype slash = text.indexOf(u'/');
    if (slash >= 0) {
        const QString chord = text.left(slash + 1).toString();
        for (const QString& note : ChordTheory::PitchNames)
            out << chord + note;
        return out;
    }
    const QString note = text.left(root).toString();
    for (const ChordFormula& formula : ChordVocabulary::formulas())
        out << note + formula.symbol;
    return out;
}
