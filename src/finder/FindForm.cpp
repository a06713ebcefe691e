#include "finder/FindForm.h"

#include "catalogue/ChordFinder.h"
#include "fretboard/ChordTones.h"

#include <QHash>
#include <algorithm>

std::optional<Tuning> FindForm::instrumentTuning() const {
    if (!Tuning::isInstrument(instrument))
        return std::nullopt;
    return Tuning::preset(instrument);
}

QString FindForm::instrumentTitle(const QString& preset) {
    static const QHash<QString, QString> titles = {
        {QStringLiteral("guitar"), QStringLiteral("Guitar")},
        {QStringLiteral("7-string"), QStringLiteral("7-string guitar")},
        {QStringLiteral("8-string"), QStringLiteral("8-string guitar")},
        {QStringLiteral("bass"), QStringLiteral("Bass")},
        {QStringLiteral("ukulele"), QStringLiteral("Ukulele")},
        {QStringLiteral("baritone-ukulele"), QStringLiteral("Baritone ukulele")},
        {QStringLiteral("mandolin"), QStringLiteral("Mandolin")},
        {QStringLiteral("banjo"), QStringLiteral("Banjo")},
        {QStringLiteral("cigar-box"), QStringLiteral("Cigar box guitar")},
    };
    return titles.value(preset, preset);
}

std::optional<Fretboard> FindForm::board(QString* error) const {
    auto fail = [&](const QString& message) -> std::optional<Fretboard> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const std::optional<Tuning> own = instrumentTuning();
    if (!own)
        return fail(QStringLiteral("unknown instrument '%1'").arg(instrument));
    std::optional<Tuning> tuned = own;
    if (!tuning.trimmed().isEmpty()) {
        tuned = Tuning::parseFor(*own, tuning.trimmed(), error);
        if (!tuned)
            return std::nullopt;
    }
    if (capo < 0 || capo > Fretboard::maxCapo)
        return fail(QStringLiteral("no such capo %1 (0 to %2)")
                        .arg(QString::number(capo), QString::number(Fretboard::maxCapo)));
    return Fretboard(*tuned, capo);
}

std::optional<VoicingFinder::Query> FindForm::query(QString* error) const {
    const QString name = chord.trimmed();
    if (name.isEmpty()) {
        if (error)
            error->clear();
        return std::nullopt;
    }
    VoicingFinder::Query query;
    const std::optional<Fretboard> fretboard = board(error);
    if (!fretboard)
        return std::nullopt;
    query.board = *fretboard;
    query.chord = ChordTones::parse(name, error);
    if (!query.chord)
        return std::nullopt;
    // A chord the catalogue's names do not reach has generated voicings only.
    query.catalogueChord = ChordFinder::parseChordName(name);
    if (lowFret && highFret) {
        const int highest = query.board.highestFret();
        const auto onNeck = [&](int fret) { return std::clamp(fret, 0, highest); };
        query.lowFret = std::min(onNeck(*lowFret), onNeck(*highFret));
        query.highFret = std::max(onNeck(*lowFret), onNeck(*highFret));
    }
    query.strings = strings;
    query.top = top;
    query.options.inversions = inversions;
    query.options.openStrings = openStrings;
    return query;
}
