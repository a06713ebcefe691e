#include "fretboard/VoicingFinder.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"
#include "fretboard/VoicingRanker.h"

#include <QSet>
#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

namespace {

bool withinSpan(const QList<qint16>& frets, int span) {
    int low = 0;
    int high = 0;
    for (const qint16 fret : frets) {
        if (fret <= 0)
            continue;
        low = low == 0 ? fret : std::min(low, int(fret));
        high = std::max(high, int(fret));
    }
    return high == 0 || high - low + 1 <= span;
}

qint16 topClass(const Voicing& v) {
    return PitchClass::ofNote(v.highestNote());
}

// The notes of each string, -1 for a muted one.
std::vector<int> notesByString(const Fretboard& board, const QList<qint16>& frets) {
    std::vector<int> notes;
    for (int s = 0; s < frets.size(); ++s)
        notes.push_back(frets[s] < 0 ? -1 : board.note(s, frets[s]));
    return notes;
}

// The chord a set of pitch classes is generated as: on its lowest pitch class, standing on
// any of its notes.
ChordTones tonesOfNotes(IntervalSet notes) {
    ChordTones tones;
    for (qint16 pc = 0; pc < PitchClass::count; ++pc) {
        if (notes & intervalBit(pc)) {
            tones.root = pc;
            break;
        }
    }
    tones.required = rotateDown(notes, tones.root);
    return tones;
}

} // namespace

QString VoicingFinder::Row::source() const {
    if (!fromCatalogue())
        return QStringLiteral("generated");
    return QStringLiteral("#%1@%2").arg(QString::number(entry), ChordTheory::PitchNames[pitch]);
}

bool VoicingFinder::catalogueApplies(const Fretboard& board) {
    return board.capo() == 0 && board.tuning() == Tuning();
}

QList<qint8> VoicingFinder::fingersOf(QStringView fingering) {
    QList<qint8> fingers;
    for (const QStringView mark : fingering.split(u'-')) {
        bool ok = false;
        const int finger = mark.toInt(&ok);
        if (mark == u"T")
            fingers << qint8(Playability::thumbFinger);
        else
            fingers << qint8(ok && finger >= 1 && finger < Playability::thumbFinger ? finger : 0);
    }
    return fingers;
}

namespace {

// What the query asks of the generator: its options with the fret window, inversions for a
// set of notes (whose lowest may be any of them).
VoicingGenerator::Options generatorOptions(const VoicingFinder::Query& query) {
    VoicingGenerator::Options options = query.options;
    if (query.notes)
        options.inversions = true;
    if (query.lowFret) {
        options.lowFret = std::max(1, *query.lowFret);
        options.openStrings = options.openStrings && *query.lowFret == 0;
    }
    if (query.highFret)
        options.highFret = *query.highFret;
    return options;
}

// The catalogue's voicings of the query, each set of frets once (`taken` collects them).
QList<VoicingFinder::Row> catalogueRows(const VoicingFinder::Query& query, const ChordTones& tones,
                                        const VoicingGenerator::Options& options,
                                        const VoicingRanker& ranker, QSet<QList<qint16>>& taken) {
    ChordFinder::Query q;
    q.chord = query.catalogueChord;
    q.notes = query.notes;
    q.lowFret = query.lowFret;
    q.highFret = query.highFret;
    q.strings = query.strings;
    q.top = query.top;
    q.rootless = options.rootless;
    q.near = query.near;
    QList<ChordFinder::Found> found = ChordFinder::find(q);
    // With inversions, also the chord over each of its other tones.
    if (options.inversions && q.chord && q.chord->bass < 0) {
        for (qint16 interval = 1; interval < PitchClass::count; ++interval) {
            if (!(tones.chordTones() & intervalBit(interval)))
                continue;
            ChordFinder::Query over = q;
            over.chord->bass = PitchClass::mod12(q.chord->root + interval);
            found += ChordFinder::find(over);
        }
    }
    QList<VoicingFinder::Row> rows;
    for (const ChordFinder::Found& f : found) {
        const ChordFinder::Voicing& v = *f.voicing;
        const QList<qint16> frets(v.frets.begin(), v.frets.end());
        if (taken.contains(frets) || !withinSpan(frets, options.span))
            continue;
        taken.insert(frets);
        VoicingFinder::Row row;
        row.voicing = Voicing::of(
            query.board, frets,
            VoicingFinder::fingersOf(QString::fromLatin1(ChordCatalogue::entry(v.entry).fingering)),
            tones.root);
        ranker.rank(row.voicing);
        row.entry = v.entry;
        row.pitch = v.pitch;
        row.name = ChordFinder::windowName(v);
        row.distance = f.distance;
        row.namedAsAsked = f.namedAsAsked || !query.chord;
        rows << row;
    }
    return rows;
}

// The generator's voicings of the query that the catalogue did not give (`taken`).
QList<VoicingFinder::Row> generatedRows(const VoicingFinder::Query& query, const ChordTones& tones,
                                        const VoicingGenerator::Options& options,
                                        const QSet<QList<qint16>>& taken) {
    const Fretboard& board = query.board;
    std::vector<int> nearNotes;
    int nearPosition = 0;
    if (query.near) {
        const QList<qint16> frets(query.near->frets.begin(), query.near->frets.end());
        nearNotes = notesByString(Fretboard(), frets);
        nearPosition = Voicing::of(Fretboard(), frets, {}, 0).position;
    }
    QList<VoicingFinder::Row> rows;
    for (const Voicing& v : VoicingGenerator::generate(tones, board, options)) {
        if (taken.contains(v.frets))
            continue;
        if (query.strings && v.soundingStrings() != *query.strings)
            continue;
        if (query.top && topClass(v) != *query.top)
            continue;
        VoicingFinder::Row row;
        row.voicing = v;
        row.namedAsAsked = true;
        if (query.chord) {
            // The bass is named where it is one: always on a slash chord; on a re-entrant
            // tuning, whose lowest note falls on any string, only when inversions were asked
            // for.
            const bool named = tones.bass >= 0 || !board.tuning().reentrant() || options.inversions;
            row.name = tones.name(v.root, named ? v.bass : ChordTones::noBass);
        } else {
            const QList<ChordNamer::Reading> readings = ChordNamer::readings(v.notes, false);
            row.name = readings.isEmpty() ? QString() : readings.first().name;
        }
        if (query.near)
            row.distance = ChordFinder::voiceLeadingDistance(
                nearNotes, nearPosition, notesByString(board, v.frets), v.position);
        rows << row;
    }
    return rows;
}

} // namespace

QList<VoicingFinder::Row> VoicingFinder::find(const Query& query) {
    QList<Row> rows;
    if (!query.chord && !query.notes)
        return rows;
    const ChordTones tones = query.chord ? *query.chord : tonesOfNotes(*query.notes);
    const VoicingGenerator::Options options = generatorOptions(query);
    QSet<QList<qint16>> taken;
    if (query.source != Source::Generated && catalogueApplies(query.board) &&
        (query.catalogueChord || query.notes)) {
        const VoicingRanker ranker(query.board, query.chord, options);
        rows += catalogueRows(query, tones, options, ranker, taken);
    }
    if (query.source != Source::Catalogue)
        rows += generatedRows(query, tones, options, taken);

    const auto key = [&](const Row& r) {
        return std::tuple(query.near ? r.distance : 0, r.voicing.score, !r.namedAsAsked,
                          -r.voicing.soundingStrings(), !r.voicing.rootPosition(),
                          r.voicing.position, !r.fromCatalogue());
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const Row& a, const Row& b) { return key(a) < key(b); });
    return rows;
}
