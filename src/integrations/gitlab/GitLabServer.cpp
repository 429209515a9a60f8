#include "integrations/gitlab/GitLabServer.h"

#include <QCoreApplication>

QString GitLabForge::invalidAddressText()
{
    return QCoreApplication::translate("GitLabServer",
        "Ungültige Serveradresse: bitte nur https:// und den Namen des Servers angeben, etwa "
        "https://gitlab.example.com.");
}
