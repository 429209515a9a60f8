#include "platform/freedesktop/XkbKeys.h"

#include <QStringList>

#include <array>
#include <utility>

namespace {

struct Named {
    Qt::Key key;
    std::uint32_t keysym;
    const char *name;
};

// The keys outside the printable Latin-1 range, with their X keysyms.
constexpr std::array namedKeys { Named { Qt::Key_Escape, 0xff1b, "Escape" }, Named { Qt::Key_Tab, 0xff09, "Tab" },
    Named { Qt::Key_Backspace, 0xff08, "BackSpace" }, Named { Qt::Key_Return, 0xff0d, "Return" },
    Named { Qt::Key_Enter, 0xff8d, "KP_Enter" }, Named { Qt::Key_Insert, 0xff63, "Insert" },
    Named { Qt::Key_Delete, 0xffff, "Delete" }, Named { Qt::Key_Pause, 0xff13, "Pause" },
    Named { Qt::Key_Print, 0xff61, "Print" }, Named { Qt::Key_Home, 0xff50, "Home" },
    Named { Qt::Key_End, 0xff57, "End" }, Named { Qt::Key_Left, 0xff51, "Left" }, Named { Qt::Key_Up, 0xff52, "Up" },
    Named { Qt::Key_Right, 0xff53, "Right" }, Named { Qt::Key_Down, 0xff54, "Down" },
    Named { Qt::Key_PageUp, 0xff55, "Page_Up" }, Named { Qt::Key_PageDown, 0xff56, "Page_Down" },
    Named { Qt::Key_Menu, 0xff67, "Menu" }, Named { Qt::Key_Space, 0x20, "space" } };

// The names of the ASCII signs, in order from '!' to '~' without letters and digits.
constexpr std::array<std::pair<char, const char *>, 32> signNames { { { '!', "exclam" }, { '"', "quotedbl" },
    { '#', "numbersign" }, { '$', "dollar" }, { '%', "percent" }, { '&', "ampersand" }, { '\'', "apostrophe" },
    { '(', "parenleft" }, { ')', "parenright" }, { '*', "asterisk" }, { '+', "plus" }, { ',', "comma" },
    { '-', "minus" }, { '.', "period" }, { '/', "slash" }, { ':', "colon" }, { ';', "semicolon" }, { '<', "less" },
    { '=', "equal" }, { '>', "greater" }, { '?', "question" }, { '@', "at" }, { '[', "bracketleft" },
    { '\\', "backslash" }, { ']', "bracketright" }, { '^', "asciicircum" }, { '_', "underscore" }, { '`', "grave" },
    { '{', "braceleft" }, { '|', "bar" }, { '}', "braceright" }, { '~', "asciitilde" } } };

} // namespace

std::optional<XkbKeys::Key> XkbKeys::keyOf(Qt::Key key)
{
    for (const Named &named : namedKeys) {
        if (named.key == key)
            return Key { named.keysym, QString::fromLatin1(named.name) };
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        const int number = key - Qt::Key_F1 + 1;
        return Key { std::uint32_t(0xffbe + number - 1), QStringLiteral("F%1").arg(number) };
    }
    if (key > 0x20 && key < 0x7f) {
        // Qt names letters by their capital; the keysym of the key itself is the small one.
        const char sign = char(QChar::toLower(char32_t(key)));
        if (QChar::isLetterOrNumber(char32_t(sign)))
            return Key { std::uint32_t(sign), QString(QLatin1Char(sign)) };
        for (const auto &[ascii, name] : signNames) {
            if (ascii == sign)
                return Key { std::uint32_t(sign), QString::fromLatin1(name) };
        }
    }
    return std::nullopt;
}

QString XkbKeys::shortcutTrigger(QKeyCombination combination)
{
    const std::optional<Key> key = keyOf(combination.key());
    if (!key)
        return {};
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    parts << key->name;
    return parts.join(u'+');
}
