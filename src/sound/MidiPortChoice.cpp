#include "sound/MidiPortChoice.h"

namespace {

const QString builtinRequest = QStringLiteral("builtin");
const QString noneRequest = QStringLiteral("none");

MidiPortChoice::Candidate port(int index, const QString& reason) {
    return {MidiPortChoice::Kind::Port, index, reason};
}

} // namespace

bool MidiPortChoice::isSynthesiserName(const QString& portName) {
    // FluidSynth's sequencer client is "FLUID Synth (PID)", TiMidity's "TiMidity"; hardware
    // and other software synthesisers mostly carry "Synth" in the name.
    for (const char* word : {"synth", "fluid", "timidity"}) {
        if (portName.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool MidiPortChoice::isThroughName(const QString& portName) {
    return portName.contains(QLatin1String("through"), Qt::CaseInsensitive);
}

QList<MidiPortChoice::Candidate> MidiPortChoice::candidates(const QStringList& portNames,
                                                            const QString& request) {
    const QString wanted = request.trimmed();
    QList<Candidate> result;
    if (!wanted.isEmpty()) {
        const QString shown = QStringLiteral("%1=%2").arg(QLatin1String(requestVariable), wanted);
        if (wanted.compare(noneRequest, Qt::CaseInsensitive) == 0)
            return {{Kind::Silent, -1, shown}};
        if (wanted.compare(builtinRequest, Qt::CaseInsensitive) == 0)
            return {{Kind::Builtin, -1, shown}};
        for (int i = 0; i < portNames.size(); ++i) {
            if (portNames[i].contains(wanted, Qt::CaseInsensitive))
                result << port(i, QStringLiteral("%1 matches its name").arg(shown));
        }
        return result;
    }

    for (int i = 0; i < portNames.size(); ++i) {
        if (isSynthesiserName(portNames[i]) && !isThroughName(portNames[i]))
            result << port(i, QStringLiteral("its name says it is a synthesiser"));
    }
    result << Candidate{Kind::Builtin, -1,
                        result.isEmpty() ? QStringLiteral("no synthesiser port")
                                         : QStringLiteral("no synthesiser port opened")};
    bool first = true;
    for (int i = 0; i < portNames.size(); ++i) {
        if (isSynthesiserName(portNames[i]) || isThroughName(portNames[i]))
            continue;
        result << port(i, first ? QStringLiteral("the first port that is not a Through port")
                                : QStringLiteral("the next port that is not a Through port"));
        first = false;
    }
    return result;
}

QString MidiPortChoice::requestFromEnvironment() {
    if (!qEnvironmentVariableIsSet(requestVariable))
        return {};
    return qEnvironmentVariable(requestVariable);
}
