#pragma once

// The exit statuses of strumvane-charts, the same for every command.
namespace ExitStatus {

inline constexpr int ok = 0;
// A file, folder or standard output that could not be written, or no sound output that opened.
inline constexpr int failure = 1;
// A usage error: an unknown command or option, or an argument the command cannot read.
inline constexpr int usage = 2;
// Ended early by Ctrl-C (SIGINT) or SIGTERM: 128 + the signal's number, as shells report a
// process the signal ended (130 for SIGINT, 143 for SIGTERM).
inline constexpr int interruptedBase = 128;
inline constexpr int interruptedBy(int signalNumber) {
    return interruptedBase + signalNumber;
}

} // namespace ExitStatus
