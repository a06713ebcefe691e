#pragma once

#include "shell/Clock.h"

// Clock on the system's local time (QTime::currentTime).
class SystemClock : public Clock {
public:
    double secondsSinceMidnight() const override;
};
