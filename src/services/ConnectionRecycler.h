#pragma once

#include <QObject>

class QNetworkAccessManager;
class Scheduler;

// Drops the network manager's kept-alive connections now and then, while no transfer is under
// way. Each kept connection holds a TLS context whose client session cache keeps every session its
// handshakes made until OpenSSL expires them by wall-clock time (up to days), so a program that
// polls all day would otherwise grow by every reconnect. Runs only when a transfer finishes: no
// timer of its own.
class ConnectionRecycler final : public QObject {
    Q_OBJECT
public:
    static constexpr double interval = 15 * 60;

    ConnectionRecycler(QNetworkAccessManager &network, Scheduler &scheduler, QObject *parent = nullptr);

private:
    void recycleIfIdle();

    QNetworkAccessManager &m_network;
    Scheduler &m_scheduler;
    double m_lastRecycle;
};
