#pragma once

// The JACK server of this user, as the program's sound outputs meet it. The program never
// starts one: libjack would start jackd for a client that finds none (dozens of lines on the
// terminal, and a server left to the user), and asking it without a server makes it print
// connection errors of its own, which no callback can silence.
class JackServer {
public:
    // Whether a server seems to run: its socket lies in /dev/shm (jack-UID/NAME/jack_0 for
    // JACK 1, jack_NAME_UID_0 for JACK 2), NAME from JACK_DEFAULT_SERVER or "default".
    static bool runs();

    // Keeps libjack in this process from starting a server when a client opens (sets
    // JACK_NO_START_SERVER, unless the user's environment has it already). Call before any
    // thread that may read the environment runs a JACK client.
    static void forbidStarting();
};
