#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// Keeps one running program per user and display. The first instance listens on a local socket
// in the user's runtime folder; a later launch finds it there, asks it to show its settings
// window and leaves. A socket left behind by a crashed instance is cleared and taken over.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // `key` tells displays apart (two X servers of one user each get their own overlay).
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);

    // The socket path for `key` in `folder`.
    static QString socketPath(const QString &folder, const QString &key);

    enum class Claim {
        Owner, // this process is the first instance and now listens
        Forwarded, // another instance answered and was asked to show its settings window
        Unguarded, // the socket cannot be made (no runtime folder, say): run without the guard
    };
    Claim claim();

Q_SIGNALS:
    // Another launch asked this instance to show its settings window.
    void showSettingsRequested();

private:
    QString m_path;
    QLocalServer m_server;
};
