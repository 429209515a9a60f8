#include "integrations/github/GitHubServer.h"

#include <QCoreApplication>

QString GitHubForge::invalidAddressText()
{
    return QCoreApplication::translate("GitHubServer",
        "Ungültige Serveradresse: bitte nur https:// und den Namen des Servers angeben, etwa "
        "https://github.example.com.");
}
