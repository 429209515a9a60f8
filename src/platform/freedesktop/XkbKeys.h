#pragma once

#include <QKeyCombination>
#include <QString>

#include <cstdint>
#include <optional>

// Qt's keys as the X keyboard extension names them: the keysym an X server maps to its keycodes,
// and the keysym's name, which the freedesktop shortcut format uses ("CTRL+ALT+t").
namespace XkbKeys {

struct Key {
    std::uint32_t keysym;
    QString name;
};

// Letters, digits, the Latin-1 signs, function and navigation keys; none for keys such as a
// modifier alone.
std::optional<Key> keyOf(Qt::Key key);

// "CTRL+SHIFT+F5": the combination's modifiers in the freedesktop shortcut format, then its key's
// name; empty when the key has no name here.
QString shortcutTrigger(QKeyCombination combination);

} // namespace XkbKeys
