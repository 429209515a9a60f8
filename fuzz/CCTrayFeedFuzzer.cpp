// A CI server's cctray feed (the XML document of its projects), and a build time read alone.
#include "FuzzInput.h"

#include "integrations/cctray/CCTrayProject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    if (const std::optional<QDateTime> time = CCTrayFeed::parseTime(QString::fromUtf8(bytes)))
        fuzzCheck(time->isValid(), "a build time read is a valid moment");
    try {
        for (const CCTrayProject &project : CCTrayFeed::decode(bytes)) {
            fuzzCheck(!project.name.isEmpty(), "every project has a name");
            fuzzCheck(
                project.webUrl.isEmpty() || project.webUrl.scheme() == u"https" || project.webUrl.scheme() == u"http",
                "a project's page is an http or https address");
            fuzzCheck(!project.lastBuildTime || project.lastBuildTime->isValid(), "a build time is valid");
        }
    } catch (const CCTrayDecodeError &) { }
    return 0;
}
