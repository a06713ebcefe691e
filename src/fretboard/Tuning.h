#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// The open strings of a fretted instrument, lowest string first (the string a player's thumb
// lies nearest, whatever it sounds: the ukulele's G4 comes before its C4), with the frets its
// neck has and, for the 5-string banjo, the fret where its short string starts.
//
// Presets: guitar E2 A2 D3 G3 B3 E4, drop-d, dadgad, open-g, open-d, open-e, half-step-down,
// 7-string B1 E2 A2 D3 G3 B3 E4, 8-string, bass E1 A1 D2 G2, ukulele G4 C4 E4 A4 (re-entrant),
// baritone-ukulele D3 G3 B3 E4, mandolin G3 D4 A4 E5, banjo g4 D3 G3 B3 D4 (short fifth
// string from fret 5) and cigar-box G2 D3 G3.
class Tuning {
public:
    static constexpr int minStrings = 3;
    static constexpr int maxStrings = 8;
    // The highest MIDI note a string may be tuned to.
    static constexpr int highestNote = 127;

    struct String {
        qint16 openNote = 0; // MIDI note of the open string, 0..127 (E2 = 40)
        // The first fret under the string: 0 for a full string, 5 for the banjo's short
        // string, which has no frets 1 to 5 of its own.
        qint16 startFret = 0;
    };

    // The guitar in standard tuning.
    Tuning();

    // `name`: the preset's name, or the notes as given for a tuning read from text.
    // `instrument`: the preset of the instrument it is a tuning of ("guitar" for "dadgad").
    Tuning(QString name, QString instrument, QList<String> strings, int fretCount,
           bool thumbOverLowest);

    const QString& name() const { return m_name; }
    const QString& instrument() const { return m_instrument; }
    int stringCount() const { return int(m_strings.size()); }
    const QList<String>& strings() const { return m_strings; }
    qint16 openNote(int string) const { return m_strings[string].openNote; }
    qint16 startFret(int string) const { return m_strings[string].startFret; }
    // Frets on the neck, 12 or more.
    int fretCount() const { return m_fretCount; }
    // Whether a player of the instrument may fret its lowest string with the thumb over the
    // neck (guitars), so that the four fingers are free for the other strings.
    bool thumbOverLowest() const { return m_thumbOverLowest; }
    // Whether some string sounds lower than the string below it (the ukulele's G4 C4 E4 A4,
    // the banjo's short string): the lowest string then does not carry the bass.
    bool reentrant() const;
    // The open notes in scientific pitch, "E2 A2 D3 G3 B3 E4".
    QString notesText() const;

    // A preset by name, in any case ("DADGAD", "ukulele"); nullopt for any other word.
    static std::optional<Tuning> preset(QStringView name);
    // Whether `name` is a preset that is an instrument's standard tuning ("guitar", "bass",
    // "banjo"; not "dadgad").
    static bool isInstrument(QStringView name);
    static QStringList presetNames();
    static QStringList instrumentNames();

    // A tuning from a user's text: a preset name; notes in scientific pitch separated by
    // blanks or commas, lowest string first ("D2 A2 D3 G3 A3 D4", "g4 D3 G3 B3 D4"); or
    // compact note names without octaves, in capitals but for a high string ("DADGAD",
    // "EbAbDbGbBbEb", "GCEA", "gDGBD"; "b" after a capital is a flat), which take the
    // octave nearest to the matching string of `reference` when it has as many strings, else
    // of the standard instrument of that string count whose notes lie nearest. A tuning read
    // from notes keeps the fret count, short string and thumb rule of that instrument.
    // nullopt with a one-line `error` for 2 or 9 strings, a word that is not a note ("H2"),
    // a note outside MIDI 0..127.
    static std::optional<Tuning> parse(QStringView text, QString* error = nullptr,
                                       const Tuning* reference = nullptr);

    // A tuning of `instrument` (an instrument preset) from a user's text: as parse() reads
    // it with the instrument as reference, refusing a preset of another instrument and
    // another number of strings. Errors: parse()'s own, "tuning 'dadgad' is one of the
    // guitar, not of the ukulele", "tuning 'DADGAD' has 6 strings, the ukulele 4".
    static std::optional<Tuning> parseFor(const Tuning& instrument, QStringView text,
                                          QString* error = nullptr);

    // A note in scientific pitch: a letter A to G in either case, one optional sharp ("#",
    // "♯") or flat ("b", "♭") and an octave 0 to 9: "E2" gives 40, "g4" 67, "Bb1" 34, "C#5"
    // 73; nullopt for "H2", "E", "E10", "Cb-1".
    static std::optional<qint16> parseNote(QStringView text);
    // "E2" for 40, "Eb2" for 39 (the note names of ChordTheory::PitchNames).
    static QString noteName(qint16 midiNote);

    bool operator==(const Tuning& other) const;

private:
    QString m_name;
    QString m_instrument;
    QList<String> m_strings;
    int m_fretCount = 0;
    bool m_thumbOverLowest = false;
};
