// The floor for Tarnlet's job: the least a Qt Widgets program costs that does what Tarnlet's
// day rests on, once each: a frameless window with a line of text, a tray icon, one HTTPS request
// on a shared network manager and one read from the Secret Service through QtKeychain. Then it
// idles until it is ended.
//   tarnlet-floor URL CERTIFICATE    (the certificate the local server at URL presents)
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSystemTrayIcon>

#include <qt6keychain/keychain.h>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarnlet-floor URL CERTIFICATE\n");
        return 2;
    }
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::black);
    QSystemTrayIcon tray { QIcon(pixmap) };
    tray.show();
    QLabel window(QStringLiteral("Tests bestanden · main"), nullptr, Qt::FramelessWindowHint);
    window.resize(200, 32);
    window.show();

    QNetworkAccessManager network;
    QNetworkRequest request { QUrl(QString::fromLocal8Bit(argv[1])) };
    QFile certificate(QString::fromLocal8Bit(argv[2]));
    certificate.open(QIODevice::ReadOnly);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(QSslCertificate::fromData(certificate.readAll()));
    request.setSslConfiguration(tls);
    QNetworkReply *reply = network.get(request);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply] {
        std::fprintf(stderr, "tarnlet-floor: HTTPS %s\n", reply->error() == QNetworkReply::NoError ? "ok" : "failed");
        reply->deleteLater();
    });

    auto *secret = new QKeychain::ReadPasswordJob(QStringLiteral("com.tarnlet.app"));
    secret->setKey(QStringLiteral("github.pat"));
    QObject::connect(secret, &QKeychain::Job::finished, [](QKeychain::Job *job) {
        std::fprintf(stderr, "tarnlet-floor: secret %s\n",
            job->error() == QKeychain::NoError ? "read" : qPrintable(job->errorString()));
    });
    secret->start(); // deletes itself once finished
    return app.exec();
}
