#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// Keeps one running program per user and display. The first instance holds a lock file in the
// user's runtime folder for as long as it runs and listens on a local socket beside it; a later
// launch finds it there, asks it to show its settings window and leaves. Only the holder of the
// lock touches the socket, so two launches after a crash cannot both clear a stale socket and
// listen. A peer that sends nothing within a few seconds is dropped.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // `key` tells displays apart (two X servers of one user each get their own overlay).
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);

    // How long a peer may stay connected without sending its request.
    static constexpr int requestTimeoutMs = 3000;

    // The socket path for `key` in `folder`; the lock file is the same path with ".lock" added.
    static QString socketPath(const QString &folder, const QString &key);

    enum class Claim {
        Owner, // this process is the first instance and now listens
        Forwarded, // another instance answered and was asked to show its settings window
        Taken, // another instance holds the name but did not answer in time (it is starting)
        Unguarded, // the socket cannot be made (no runtime folder, say): run without the guard
    };
    Claim claim();

Q_SIGNALS:
    // Another launch asked this instance to show its settings window.
    void showSettingsRequested();

private:
    Claim forward();

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};
