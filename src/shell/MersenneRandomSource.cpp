#include "shell/MersenneRandomSource.h"

#include <QDateTime>

MersenneRandomSource::MersenneRandomSource()
    : MersenneRandomSource(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch())) {}

MersenneRandomSource::MersenneRandomSource(quint32 seed) : m_engine(seed) {}

void MersenneRandomSource::seed(quint32 value) {
    m_engine.seed(value);
}

double MersenneRandomSource::nextUniform() {
    // One 32-bit draw divided by 2^32 is exact in a double and can never reach 1, unlike
    // std::generate_canonical, which may round up to 1 on some libraries.
    return static_cast<double>(m_engine()) / 4294967296.0;
}
