#pragma once

#include "core/LinkGate.h"

// A link gate that lets https pages of github.com through, as the GitHub integration's rule does
// for github.com.
inline LinkGate gitHubPages()
{
    LinkGate gate;
    gate.addRule([](const QUrl &url) { return url.scheme() == u"https" && url.host() == u"github.com"; });
    return gate;
}
