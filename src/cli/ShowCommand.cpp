#include "cli/ShowCommand.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"
#include "catalogue/Playability.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"

#include <QList>

ShowCommand::ShowCommand()
    : Command({.name = QStringLiteral("show"),
               .synopsis = QStringLiteral("show ENTRY [PITCH]"),
               .summary = {QStringLiteral("name, notes, frets, fingering and MIDI notes of an"),
                           QStringLiteral("entry at one Pitch, or at all twelve")},
               .description = QStringLiteral(
                   "Prints the chord name, note names, fret numbers, fingering, MIDI notes and\n"
                   "playability of an entry at one Pitch, or at all twelve in Pitch order.")}) {
    addArgument(QStringLiteral("ENTRY"), Arguments::entryHelp());
    addArgument(QStringLiteral("PITCH"),
                Arguments::pitchHelp() + QStringLiteral(" Without it, all twelve."),
                QStringLiteral("[PITCH]"));
}

int ShowCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.isEmpty() || args.size() > 2)
        return context.usageError(QStringLiteral("show takes ENTRY and an optional PITCH"));
    QString error;
    const std::optional<int> entryNumber = Arguments::entry(args[0], &error);
    if (!entryNumber)
        return context.usageError(error);

    QList<qint16> pitches;
    if (args.size() == 2) {
        const std::optional<qint16> pitch = Arguments::pitch(args[1], &error);
        if (!pitch)
            return context.usageError(error);
        pitches << *pitch;
    } else {
        for (qint16 p = 0; p < PitchClass::count; ++p)
            pitches << p;
    }

    const ChordEntry& entry = ChordCatalogue::entry(*entryNumber);
    for (qsizetype i = 0; i < pitches.size(); ++i) {
        if (i > 0)
            context.out() << '\n';
        print(context.out(), entry, pitches[i]);
    }
    return ExitStatus::ok;
}

void ShowCommand::print(QTextStream& out, const ChordEntry& entry, qint16 pitch) {
    const ChordTheory::PlacedChord chord = ChordTheory::placeChord(
        QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), pitch);
    QStringList notes;
    for (const qint16 note : chord.notes)
        notes << QString::number(note);
    out << "Chord Name: "
        << ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), pitch,
                                         chord.rootShift)
        << '\n'
        << "Chord Spelling: " << chord.noteNames << '\n'
        << "Fret Numbers: " << chord.fretNumbers << '\n'
        << "Fingering: " << entry.fingering << '\n'
        << "MIDI Notes: " << notes.join(QLatin1Char(' ')) << '\n'
        << "Playability: "
        << Playability::of(QString::fromLatin1(entry.fretPattern),
                           QString::fromLatin1(entry.fingering))
               .description()
        << '\n';
}
