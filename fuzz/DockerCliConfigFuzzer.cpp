// What the docker CLI leaves for Tarnlet to read: its config.json, a context's meta.json, the
// addresses they hold, and an engine's /version answer.
#include "FuzzInput.h"

#include "integrations/docker/DockerCliConfig.h"
#include "integrations/docker/DockerClient.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QByteArray bytes = fuzzBytes(data, size);
    DockerClient::tooOld(bytes);
    DockerEndpoint::parse(QString::fromUtf8(bytes), std::nullopt);
    const QByteArray name = QCryptographicHash::hash("fuzz", QCryptographicHash::Sha256).toHex();
    write(folder.filePath(QStringLiteral("config.json")), bytes);
    write(folder.filePath(QStringLiteral("contexts/meta/") + QString::fromLatin1(name) + QStringLiteral("/meta.json")),
        bytes);
    const DockerCliConfig config({ folder.path() });
    config.current();
    config.context(QStringLiteral("fuzz"));
    config.contextNames();
    return 0;
}
