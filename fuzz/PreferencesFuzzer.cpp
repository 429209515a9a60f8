// The preference file. What it holds must survive being written back unchanged, as every change
// of a setting rewrites the whole file.
#include "FuzzInput.h"

#include "core/prefs/PreferenceStore.h"

#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<QVariantMap> values = PreferenceStore::decodeFile(fuzzBytes(data, size));
    if (!values)
        return 0;
    const std::optional<QVariantMap> again = PreferenceStore::decodeFile(PreferenceStore::encodeFile(*values));
    fuzzCheck(again && QJsonObject::fromVariantMap(*again) == QJsonObject::fromVariantMap(*values),
        "a preference file reads the same after it is written back");
    return 0;
}
