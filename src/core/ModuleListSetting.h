#pragma once

#include "core/ListSuggestions.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <variant>

class PreferenceStore;

// A list of texts the user keeps in a module's settings pane (the watched repositories), stored
// as a list under `preferenceKey`. The module knows what an entry may be: `normalize` turns the
// user's input into the stored form, or into the short reason it is refused. Each used entry may
// carry options (a switch, a text, a list of names) edited beside it and stored apart under
// `optionsKey` as {entry name: {option key: value}}, so the list itself reads as it always did.
struct ModuleListSetting {
    struct Refusal {
        QString reason;
    };
    using Normalized = std::variant<QString, Refusal>;

    // One stored entry as the module reads it.
    struct Entry {
        QVariant stored; // as found in the preferences, written back untouched
        // The normalized name while used, else the stored value as text; cleaned (PlainText::clean).
        QString text;
        bool used = false;
    };

    // One option of an entry; its label is also the control's accessible name after the entry's.
    struct Option {
        enum class Kind { Switch, Text, Names };
        QString key;
        QString label;
        Kind kind = Kind::Switch;
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

    QString optionsKey = {}; // empty while entries carry no options
    QList<Option> options = {};

    // The options stored for entry `name` (in any letter case); empty where none or malformed.
    QVariantMap optionsOf(const PreferenceStore &preferences, const QString &name) const;
    // Stores option `key` of entry `name`; a neutral value (false, empty) removes it, and an entry
    // left with no options goes from the stored object.
    void setOption(PreferenceStore &preferences, const QString &name, const QString &key, const QVariant &value) const;
    // Forgets every option of entry `name`.
    void dropOptions(PreferenceStore &preferences, const QString &name) const;

    // One option read from optionsOf(), neutral where it holds a value of another type. A names
    // option stored as one text is split as the user's input is.
    static bool switchOf(const QVariantMap &options, const QString &key);
    static QString textOf(const QVariantMap &options, const QString &key);
    static QStringList namesOf(const QVariantMap &options, const QString &key);
    // The user's list of names: split at commas and blanks, empty parts dropped.
    static QStringList splitNames(const QString &text);
};
