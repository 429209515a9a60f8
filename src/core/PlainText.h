#pragma once

#include <QString>

// Text from outside (servers, engines, the preferences file) made fit to show as plain
// text: the one place that decides which characters never reach the screen. Each decoder cleans
// what it reads, so a module's state holds only cleaned text.
namespace PlainText {

// `text` without control characters (C0, DEL, C1) and bidi embeddings, overrides and isolates
// (U+202A–U+202E, U+2066–U+2069), which could hide or reorder what is shown; a run of line
// breaks or tabs becomes one space, as every display of such a text is one line or wraps itself.
QString clean(const QString &text);

// A cleaned text for a button's label, with "&" doubled so that it never becomes a mnemonic.
QString buttonText(const QString &text);

} // namespace PlainText
