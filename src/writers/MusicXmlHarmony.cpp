#include "writers/MusicXmlHarmony.h"

#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"

#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

using PitchClass::mod12;

// One tone of a chord as MusicXML counts it: a degree (1 to 13) and its semitones above the
// root.
struct Tone {
    int degree = 1;
    int semitones = 0;
};

// Scale steps of a degree, 0..6: the 9th is the 2nd an octave up.
int stepOf(int degree) {
    return (degree - 1) % 7;
}

// Semitones of a degree's major or perfect interval: what MusicXML alters a degree from.
int naturalSemitones(int degree) {
    static constexpr int majorScale[] = {0, 2, 4, 5, 7, 9, 11};
    return majorScale[stepOf(degree)];
}

constexpr int sixth = 6;
constexpr int seventh = 7;
constexpr int minorSeventh = 10;
constexpr int diminishedSeventhSemitones = 9;

// The alteration that takes `from` semitones to `to`, the shorter way round: -6..5.
int alterBetween(int from, int to) {
    const int up = mod12(to - from);
    return up > PitchClass::count / 2 ? up - PitchClass::count : up;
}

// The degree number of an interval name as chord books write it: "b9" 9, "#11" 11, "R" 1.
int degreeOf(const QString& name) {
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit())
        --digits;
    const int degree = name.mid(digits).toInt();
    return degree > 0 ? degree : 1;
}

// A degree named with its accidentals before it ("bb7", "#5", "9"), as the kind table below
// writes them.
Tone toneOf(const QString& name) {
    int alter = 0;
    for (const QChar c : name) {
        if (c == u'b')
            --alter;
        else if (c == u'#')
            ++alter;
    }
    const int degree = degreeOf(name);
    return {degree, mod12(naturalSemitones(degree) + alter)};
}

struct KindTones {
    const char* value;
    const char* tones;
};

// MusicXML's chord kinds with the tones each stands for, in MusicXML's own order. The
// functional sixths (Neapolitan, Italian, French, German) and Tristan name harmonic functions
// rather than chords a chart writes, and are left out.
const KindTones kinds[] = {
    {"major", "1 3 5"},
    {"minor", "1 b3 5"},
    {"augmented", "1 3 #5"},
    {"diminished", "1 b3 b5"},
    {"dominant", "1 3 5 b7"},
    {"major-seventh", "1 3 5 7"},
    {"minor-seventh", "1 b3 5 b7"},
    {"diminished-seventh", "1 b3 b5 bb7"},
    {"augmented-seventh", "1 3 #5 b7"},
    {"half-diminished", "1 b3 b5 b7"},
    {"major-minor", "1 b3 5 7"},
    {"major-sixth", "1 3 5 6"},
    {"minor-sixth", "1 b3 5 6"},
    {"dominant-ninth", "1 3 5 b7 9"},
    {"major-ninth", "1 3 5 7 9"},
    {"minor-ninth", "1 b3 5 b7 9"},
    {"dominant-11th", "1 3 5 b7 9 11"},
    {"major-11th", "1 3 5 7 9 11"},
    {"minor-11th", "1 b3 5 b7 9 11"},
    {"dominant-13th", "1 3 5 b7 9 11 13"},
    {"major-13th", "1 3 5 7 9 11 13"},
    {"minor-13th", "1 b3 5 b7 9 11 13"},
    {"suspended-second", "1 2 5"},
    {"suspended-fourth", "1 4 5"},
    {"power", "1 5"},
    {"pedal", "1"},
};

QList<Tone> tonesOfKind(const KindTones& kind) {
    QList<Tone> tones;
    for (const QString& name : QString::fromLatin1(kind.tones).split(u' '))
        tones << toneOf(name);
    return tones;
}

// Whether a tone of the kind is a tone of the chord: the same semitones on the same step, or
// the diminished seventh, which chord charts spell as a sixth (dim7: R b3 b5 6).
bool sameTone(const Tone& ofKind, const Tone& ofChord) {
    if (ofKind.semitones != ofChord.semitones)
        return false;
    const bool diminishedSeventhAsSixth = stepOf(ofKind.degree) == stepOf(seventh) &&
                                          ofKind.semitones == diminishedSeventhSemitones &&
                                          ofChord.degree == sixth;
    return stepOf(ofKind.degree) == stepOf(ofChord.degree) || diminishedSeventhAsSixth;
}

MusicXmlHarmony::Degree added(const Tone& tone) {
    // An added degree alters the dominant chord's: its seventh is minor.
    const int from =
        stepOf(tone.degree) == stepOf(seventh) ? minorSeventh : naturalSemitones(tone.degree);
    return {tone.degree, alterBetween(from, tone.semitones), MusicXmlHarmony::DegreeType::Add};
}

// The degrees that turn `kind` into `chord`: its tones kept where the chord sounds them,
// altered by up to two semitones on the same step, else taken out; the chord's other tones
// added.
QList<MusicXmlHarmony::Degree> degreesFrom(const QList<Tone>& kind, QList<Tone> chord) {
    constexpr int widestAlteration = 2;
    QList<MusicXmlHarmony::Degree> degrees;
    QList<Tone> unmatched;
    for (const Tone& k : kind) {
        const auto same =
            std::find_if(chord.begin(), chord.end(), [&](const Tone& c) { return sameTone(k, c); });
        if (same != chord.end())
            chord.erase(same);
        else
            unmatched << k;
    }
    for (const Tone& k : unmatched) {
        const auto near = std::find_if(chord.begin(), chord.end(), [&](const Tone& c) {
            return stepOf(c.degree) == stepOf(k.degree) &&
                   std::abs(alterBetween(k.semitones, c.semitones)) <= widestAlteration;
        });
        if (near != chord.end()) {
            degrees << MusicXmlHarmony::Degree{k.degree, alterBetween(k.semitones, near->semitones),
                                               MusicXmlHarmony::DegreeType::Alter};
            chord.erase(near);
        } else {
            degrees << MusicXmlHarmony::Degree{k.degree, 0, MusicXmlHarmony::DegreeType::Subtract};
        }
    }
    // Added degrees from the lowest, as a chart names them ("add7 add9", not "add9 add7").
    std::sort(chord.begin(), chord.end(), [](const Tone& a, const Tone& b) {
        return std::pair(a.degree, a.semitones) < std::pair(b.degree, b.semitones);
    });
    for (const Tone& c : chord)
        degrees << added(c);
    return degrees;
}

// How far a kind lies from the chord: one for each degree, and two more for a seventh taken
// out, which makes a chord without one read as a seventh chord ("m(add9)" is a minor triad
// with a ninth, not a minor ninth without its seventh).
int distance(const QList<MusicXmlHarmony::Degree>& degrees) {
    constexpr int seventhTakenOut = 2;
    int d = int(degrees.size());
    for (const MusicXmlHarmony::Degree& degree : degrees) {
        if (degree.type == MusicXmlHarmony::DegreeType::Subtract &&
            stepOf(degree.value) == stepOf(seventh))
            d += seventhTakenOut;
    }
    return d;
}

} // namespace

MusicXmlHarmony MusicXmlHarmony::of(const ChordFormula& formula) {
    // The chord's tones by the degrees its own names give them ("2" in sus2, "9" in add9).
    QList<Tone> chord;
    for (int s = 0; s < PitchClass::count; ++s) {
        if (formula.tones() & intervalBit(s))
            chord << Tone{degreeOf(formula.intervalName(s)), s};
    }
    MusicXmlHarmony best;
    int bestDistance = std::numeric_limits<int>::max();
    for (const KindTones& kind : kinds) {
        const QList<Degree> degrees = degreesFrom(tonesOfKind(kind), chord);
        if (const int d = distance(degrees); d < bestDistance) {
            bestDistance = d;
            best = {QString::fromLatin1(kind.value), degrees};
        }
    }
    return best;
}

MusicXmlHarmony MusicXmlHarmony::ofTones(IntervalSet tones) {
    MusicXmlHarmony harmony{QStringLiteral("other"), {}};
    for (int s = 1; s < PitchClass::count; ++s) {
        if (tones & intervalBit(s))
            harmony.degrees << added({degreeOf(ChordTheory::plainIntervalName(s)), s});
    }
    return harmony;
}

QString MusicXmlHarmony::typeText(DegreeType type) {
    switch (type) {
    case DegreeType::Add:
        break;
    case DegreeType::Alter:
        return QStringLiteral("alter");
    case DegreeType::Subtract:
        return QStringLiteral("subtract");
    }
    return QStringLiteral("add");
}
