#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Receives the https addresses the desktop would open in a browser, for as long as it lives.
class UrlSink final : public QObject {
    Q_OBJECT
public:
    UrlSink() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~UrlSink() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};
