#pragma once

// The time of day, as the program's occasional start-up choices need it.
class Clock {
public:
    virtual ~Clock() = default;

    // Seconds since local midnight, with fractions: 0 <= result < 86400 (13:30:00.250 -> 48600.25).
    virtual double secondsSinceMidnight() const = 0;
};
