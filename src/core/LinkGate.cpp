#include "core/LinkGate.h"

#include <QDesktopServices>

#include <algorithm>

bool LinkGate::mayOpen(const QUrl &url) const
{
    return url.isValid() && std::any_of(m_rules.cbegin(), m_rules.cend(), [&](const Rule &rule) { return rule(url); });
}

bool LinkGate::open(const QUrl &url) const
{
    return mayOpen(url) && QDesktopServices::openUrl(url);
}
