#pragma once

#include <QString>

#include <functional>
#include <variant>

// A list of texts the user keeps in a module's settings pane (the watched repositories), stored
// as a string list under `preferenceKey`. The module knows what an entry may be: `normalize`
// turns the user's input into the stored form, or into the short reason it is refused.
struct ModuleListSetting {
    struct Refusal {
        QString reason;
    };
    using Normalized = std::variant<QString, Refusal>;

    QString preferenceKey;
    QString heading; // the list's section title in the pane
    QString inputAccessibleName; // "Repository hinzufügen"
    int maximumCount = 0;
    std::function<Normalized(const QString &input)> normalize;
};
