#pragma once

#include "core/ListSuggestions.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <variant>

class PreferenceStore;

// A list of texts the user keeps in a module's settings pane (the watched repositories), stored
// as a list under `preferenceKey`. The module knows what an entry may be: `normalize` turns the
// user's input into the stored form, or into the short reason it is refused.
struct ModuleListSetting {
    struct Refusal {
        QString reason;
    };
    using Normalized = std::variant<QString, Refusal>;

    // One stored entry as the module reads it.
    struct Entry {
        QVariant stored; // as found in the preferences, written back untouched
        QString text; // the normalized name while used, else the stored value as text
        bool used = false;
    };

    QString preferenceKey;
    QString heading; // the list's section title in the pane
    QString inputAccessibleName; // "Repository hinzufügen"
    int maximumCount = 0;
    std::function<Normalized(const QString &input)> normalize;
    // Names offered beside the field to add with one click, where the module has any; owned by
    // the module.
    QPointer<ListSuggestions> suggestions = {};

    // The stored list entry by entry, in its order. A text that normalizes, does not repeat an
    // earlier used one in any letter case and fits within maximumCount is used; anything else (a
    // value of another type, a refused or repeated name) is kept and ignored. A single value that
    // is no list counts as a list of one.
    QList<Entry> entries(const PreferenceStore &preferences) const;
    // The names of the used entries: what the module works with.
    QStringList used(const PreferenceStore &preferences) const;
};
