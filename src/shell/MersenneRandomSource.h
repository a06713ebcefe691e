#pragma once

#include "shell/RandomSource.h"

#include <random>

// RandomSource on std::mt19937.
class MersenneRandomSource : public RandomSource {
public:
    // Seeded from the current time, so that each run differs.
    MersenneRandomSource();
    explicit MersenneRandomSource(quint32 seed);

    void seed(quint32 value) override;
    double nextUniform() override;

private:
    std::mt19937 m_engine;
};
