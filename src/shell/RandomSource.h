#pragma once

#include <QtGlobal>

// A source of uniformly distributed random numbers, e.g. for the occasional start-up action
// taken "once in about a hundred starts" (nextUniform() < 0.01).
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // Restarts the sequence; the same seed gives the same sequence.
    virtual void seed(quint32 value) = 0;
    // The next number, uniform in [0, 1): 0 is possible, 1 never.
    virtual double nextUniform() = 0;
};
