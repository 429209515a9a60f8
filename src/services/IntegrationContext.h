#pragma once

#include <QList>
#include <QSslCertificate>
#include <QUrl>

class EventBus;
class PreferenceStore;
class ProcessRunner;
class QNetworkAccessManager;
class Scheduler;
class SecretStore;

// Where an integration's clients connect in the tests instead of the service's own server, and
// the certificate that server presents; empty in every build a user runs.
struct TestEndpoint {
    QUrl apiRoot;
    QList<QSslCertificate> trustedCertificates;
};

// What every integration is built from: the process-wide services it may use. The references must
// outlive the integration.
struct IntegrationContext {
    PreferenceStore &preferences;
    Scheduler &scheduler;
    SecretStore &secrets;
    QNetworkAccessManager &network;
    ProcessRunner &processes;
    EventBus &bus;
    TestEndpoint testEndpoint = {};
};
