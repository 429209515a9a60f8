#pragma once

#include "services/ForgeServer.h"

// gitlab.com or a self-managed server, each with its API below /api/v4.
struct GitLabForge {
    static constexpr const char *preferenceKey = "gitlab.server";
    static constexpr const char *publicHost = "gitlab.com";
    static constexpr const char *publicApiRoot = "";
    static constexpr const char *apiPath = "api/v4/";
    static constexpr const char *tokenItem = "gitlab.pat";
    static bool isPublicHost(const QString &host) { return host == u"gitlab.com"; }
    static QString invalidAddressText();
};

using GitLabServer = ForgeServer<GitLabForge>;
