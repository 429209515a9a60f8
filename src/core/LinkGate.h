#pragma once

#include <QList>
#include <QUrl>

#include <functional>

// The pages Tarnlet may open in the user's browser: those some integration's rule lets through
// (a forge's: https pages of the configured server). Built by the application from each
// integration's rule and handed to whoever opens rows; nothing else opens a link.
class LinkGate final {
public:
    using Rule = std::function<bool(const QUrl &url)>;

    void addRule(Rule rule) { m_rules.append(std::move(rule)); }
    bool mayOpen(const QUrl &url) const;
    // Opens `url` through the desktop's URL handling when a rule lets it through; false otherwise.
    bool open(const QUrl &url) const;

private:
    QList<Rule> m_rules;
};
