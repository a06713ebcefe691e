// Which output the chord sound opens, over port lists as ALSA and JACK name them, with and
// without STRUMVANE_MIDI_PORT.
#include "sound/MidiPortChoice.h"

#include <gtest/gtest.h>

namespace {

const QString through = QStringLiteral("Midi Through:Midi Through Port-0 14:0");
const QString fluid = QStringLiteral("FLUID Synth (1234):Synth input port (1234:0) 128:0");
const QString timidity = QStringLiteral("TiMidity:TiMidity port 0 128:0");
const QString usb = QStringLiteral("USB MIDI Interface:USB MIDI Interface MIDI 1 20:0");
const QString jackSynth = QStringLiteral("qsynth:midi_00"); // a JACK client name

// The candidates in a short form: "port 1, builtin" or "silent"; "" when nothing may open.
QString order(const QList<MidiPortChoice::Candidate>& candidates) {
    QStringList parts;
    for (const MidiPortChoice::Candidate& c : candidates) {
        switch (c.kind) {
        case MidiPortChoice::Kind::Port:
            parts << QStringLiteral("port %1").arg(c.portIndex);
            break;
        case MidiPortChoice::Kind::Builtin:
            parts << QStringLiteral("builtin");
            break;
        case MidiPortChoice::Kind::Silent:
            parts << QStringLiteral("silent");
            break;
        }
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

TEST(MidiPortChoiceTests, Candidates_FollowTheOrderOfTheRequestAndThePortNames) {
    const struct {
        const char* name;
        QStringList ports;
        QString request; // null: the variable is not set
        const char* expected;
    } cases[] = {
        {"no ports at all", {}, {}, "builtin"},
        {"only the Through port", {through}, {}, "builtin"},
        {"FluidSynth running", {through, fluid}, {}, "port 1, builtin"},
        {"two synthesisers, in list order",
         {through, timidity, fluid},
         {},
         "port 1, port 2, builtin"},
        {"a JACK synthesiser client", {jackSynth}, {}, "port 0, builtin"},
        {"a USB device comes after the built-in", {through, usb}, {}, "builtin, port 1"},
        {"synthesiser before built-in before device",
         {through, usb, fluid},
         {},
         "port 2, builtin, port 1"},
        {"an empty variable counts as unset",
         {through, usb},
         QStringLiteral(""),
         "builtin, port 1"},
        {"a part of a name, any case", {through, usb, fluid}, QStringLiteral("usb midi"), "port 1"},
        {"Through only when asked for", {through, usb}, QStringLiteral("THROUGH"), "port 0"},
        {"every port that matches", {fluid, timidity}, QStringLiteral("port"), "port 0, port 1"},
        {"builtin even with a synthesiser port",
         {through, fluid},
         QStringLiteral("builtin"),
         "builtin"},
        {"builtin in any case", {}, QStringLiteral("BuiltIn"), "builtin"},
        {"none is silence by choice", {through, fluid}, QStringLiteral("none"), "silent"},
        {"a name that matches nothing", {through, usb}, QStringLiteral("keyboard"), ""},
        {"a name without ports", {}, QStringLiteral("fluid"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(order(MidiPortChoice::candidates(c.ports, c.request)).toStdString(), c.expected);
    }
}

TEST(MidiPortChoiceTests, Reasons_SayWhatMadeTheChoice) {
    const auto automatic = MidiPortChoice::candidates({through, usb, fluid}, {});
    ASSERT_EQ(automatic.size(), 3);
    EXPECT_TRUE(automatic[0].reason.contains(QLatin1String("synthesiser")));
    EXPECT_TRUE(automatic[2].reason.contains(QLatin1String("not a Through port")));
    const auto asked = MidiPortChoice::candidates({through, usb}, QStringLiteral("usb"));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].reason.contains(QLatin1String("STRUMVANE_MIDI_PORT=usb")));
}
