#pragma once

#include "core/prefs/PreferenceStore.h"

#include <QTemporaryDir>

#include <memory>

// A preference store on a file in a fresh temporary folder, removed with the object.
struct TempPreferences {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("prefs.json"));
    std::unique_ptr<PreferenceStore> store = PreferenceStore::openFile(path);

    // A second store on the same file, as the next launch would see it.
    std::unique_ptr<PreferenceStore> reopen() const { return PreferenceStore::openFile(path); }
};
