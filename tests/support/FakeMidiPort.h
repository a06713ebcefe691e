#pragma once

#include "sound/MidiPort.h"

#include <QList>

// A MIDI port that records every message; whether it opens is set by the test beforehand.
class FakeMidiPort : public MidiPort {
public:
    qint32 open() override {
        ++openCalls;
        isOpen = openResult == 0;
        return openResult;
    }
    void sendShortMessage(quint32 packed) override { messages << packed; }
    qint32 close() override {
        ++closeCalls;
        isOpen = false;
        return 0;
    }
    qint32 openResult = 0; // 0: a device opens; anything else: no device
    bool isOpen = false;
    int openCalls = 0;
    int closeCalls = 0;
    QList<quint32> messages; // every packed message sent, in order
};
