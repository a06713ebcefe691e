#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Which MIDI output the chord sound uses, worked out from the names of the output ports the
// system offers and the user's request (the environment variable STRUMVANE_MIDI_PORT). Pure:
// no device is asked, so every case can be tried over a list of names.
//
// Without a request the order is: every port whose name says it is a synthesiser ("FLUID
// Synth (1234)", "TiMidity port 0", any name with "synth"), then the built-in synthesiser,
// then every port that is not a "Through" port. A "Through" port passes messages on to
// nothing by itself, so it is chosen only by request.
//
// A request is "builtin" (the built-in synthesiser only), "none" (silence, by choice) or a
// part of a port name, compared without case ("usb" picks "USB Midi Keyboard:0"); a request
// that matches no port leaves nothing to open. An empty request counts as none given.
class MidiPortChoice {
public:
    enum class Kind {
        Port,    // the port at `portIndex` of the names handed in
        Builtin, // the built-in General MIDI synthesiser
        Silent,  // no output at all, as the user asked
    };

    struct Candidate {
        Kind kind = Kind::Builtin;
        int portIndex = -1; // index into the port names; -1 unless kind is Port
        QString reason;     // why it is chosen, for --verbose: "its name says synthesiser"
        bool operator==(const Candidate&) const = default;
    };

    // The outputs to try, in order; the first that opens is used. Empty: nothing may be
    // opened (a request that matches no port).
    static QList<Candidate> candidates(const QStringList& portNames, const QString& request);

    // The environment variable that holds the request.
    static constexpr const char* requestVariable = "STRUMVANE_MIDI_PORT";
    // The request from the environment; a null text when the variable is not set.
    static QString requestFromEnvironment();

    // Whether a port name says it is a synthesiser or a pass-through port.
    static bool isSynthesiserName(const QString& portName);
    static bool isThroughName(const QString& portName);
};
