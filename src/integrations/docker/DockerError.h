#pragma once

#include <QString>

// Why reading the engine's container list failed. Besides the engine's own two cases (no socket
// found, curl ending with a non-zero status) it carries curl failing to launch and an answer that
// does not decode, each with the platform's or the decoder's words, and the two bounds on a curl
// run. Two errors are equal when kind, status and detail are.
struct DockerError {
    enum class Kind {
        SocketNotFound, // none of the candidate socket paths exists
        RequestFailed, // curl ended with a non-zero exit status (or was killed by a signal)
        LaunchFailed, // curl could not be started
        DecodingFailed, // the answer is not a list of containers
        TimedOut, // the engine took longer than the time bound
        OutputTooLarge, // the answer passed the size bound
        Refused, // the engine answered with an error status; detail holds its message
        // The engine's address is unusable, its way there is down or the engine is too old;
        // detail says why, in the user's language.
        Unusable,
    };

    Kind kind = Kind::SocketNotFound;
    int status = 0; // curl's exit status, for RequestFailed
    QString detail; // the platform's or the decoder's message

    static DockerError socketNotFound() { return { Kind::SocketNotFound, 0, {} }; }
    static DockerError requestFailed(int status) { return { Kind::RequestFailed, status, {} }; }
    static DockerError launchFailed(QString detail) { return { Kind::LaunchFailed, 0, std::move(detail) }; }
    static DockerError decodingFailed(QString detail) { return { Kind::DecodingFailed, 0, std::move(detail) }; }
    static DockerError timedOut() { return { Kind::TimedOut, 0, {} }; }
    static DockerError outputTooLarge() { return { Kind::OutputTooLarge, 0, {} }; }
    static DockerError refused(QString message) { return { Kind::Refused, 0, std::move(message) }; }
    static DockerError unusable(QString why) { return { Kind::Unusable, 0, std::move(why) }; }

    friend bool operator==(const DockerError &, const DockerError &) = default;
};
