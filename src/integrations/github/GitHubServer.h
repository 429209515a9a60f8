#pragma once

#include "services/ForgeServer.h"

// github.com, whose API has a host of its own, or a GitHub Enterprise Server with its API below
// /api/v3.
struct GitHubForge {
    static constexpr const char *preferenceKey = "github.server";
    static constexpr const char *publicHost = "github.com";
    static constexpr const char *publicApiRoot = "https://api.github.com/";
    static constexpr const char *apiPath = "api/v3/";
    static constexpr const char *tokenItem = "github.pat";
    static bool isPublicHost(const QString &host) { return host == u"github.com" || host == u"api.github.com"; }
    static QString invalidAddressText();
};

using GitHubServer = ForgeServer<GitHubForge>;
