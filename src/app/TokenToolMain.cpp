// tarnlet-token: puts the GitHub token into the desktop's secret store, where Tarnlet reads it at
// launch, for github.com or, with --server, for a GitHub Enterprise Server; with --gitlab the
// GitLab token, for gitlab.com or a self-managed server. The token comes from
// standard input only (not from the arguments, which would leave it in the shell history and the
// process list) and is never printed.

#include "core/AppLanguage.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubServer.h"
#include "integrations/gitlab/GitLabAccount.h"
#include "integrations/gitlab/GitLabServer.h"
#include "services/ApiCredentials.h"
#include "services/KeychainStore.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

// The terminal as it was before echo went off, for a signal that ends the program meanwhile.
termios savedTerminal {};

extern "C" void restoreTerminalAndEnd(int signal)
{
    // Only async-signal-safe calls here; the handler is reset to the default on entry, so raising
    // the signal again ends the program the way the signal would have.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    raise(signal);
}

// Turns terminal echo off while it lives, when standard input is a terminal; Ctrl-C, a hang-up or
// a termination meanwhile give the terminal its echo back before the program ends.
class EchoOff {
public:
    EchoOff()
    {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
            return;
        struct sigaction restore { };
        restore.sa_handler = restoreTerminalAndEnd;
        restore.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < std::size(signals); ++i)
            sigaction(signals[i], &restore, &m_previous[i]);
        termios quiet = savedTerminal;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (!m_active)
            return;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        for (std::size_t i = 0; i < std::size(signals); ++i)
            sigaction(signals[i], &m_previous[i], nullptr);
        std::cerr << '\n';
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;

private:
    static constexpr int signals[] = { SIGINT, SIGTERM, SIGHUP, SIGQUIT };
    struct sigaction m_previous[std::size(signals)] {};
    bool m_active = false;
};

// The tool's messages, in the interface language.
std::string text(const char *source, int status = 0)
{
    QString line = QCoreApplication::translate("tarnlet-token", source);
    if (line.contains(u"%1"))
        line = line.arg(status);
    return line.toLocal8Bit().toStdString();
}

int usage()
{
    std::cerr << text(QT_TRANSLATE_NOOP("tarnlet-token",
        "Aufruf: tarnlet-token [--gitlab] [--server https://server.example.com] < datei-mit-token\n"
        "Liest das GitHub-Token (mit --gitlab das GitLab-Token) von der Standardeingabe und legt es im "
        "Schlüsselbund ab, für github.com (gitlab.com) oder den angegebenen eigenen Server.\n"));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    AppLanguage::install(AppLanguage::choose(
        PreferenceStore::openUserStore()->stringValue(AppPreferences::language), QLocale::system()));
    // Nothing but "--gitlab" and "--server URL" is taken: a token never has to go on the command line.
    QStringList arguments = app.arguments().mid(1);
    const bool gitLab = arguments.value(0) == u"--gitlab";
    if (gitLab)
        arguments.removeFirst();
    if (!arguments.isEmpty() && (arguments.size() != 2 || arguments[0] != u"--server"))
        return usage();
    const QString address = arguments.value(1);
    std::optional<QString> account;
    if (gitLab) {
        if (const std::optional<GitLabServer> server = GitLabServer::fromAddress(address))
            account = server->tokenAccount();
    } else if (const std::optional<GitHubServer> server = GitHubServer::fromAddress(address)) {
        account = server->tokenAccount();
    }
    if (!account) {
        const QString refusal = gitLab ? GitLabServer::invalidAddressText() : GitHubServer::invalidAddressText();
        std::cerr << refusal.toLocal8Bit().toStdString() << '\n';
        return 2;
    }

    std::string line;
    {
        if (isatty(STDIN_FILENO))
            std::cerr << text(gitLab ? QT_TRANSLATE_NOOP("tarnlet-token", "GitLab-Token: ")
                                     : QT_TRANSLATE_NOOP("tarnlet-token", "GitHub-Token: "))
                      << std::flush;
        EchoOff echoOff;
        std::getline(std::cin, line);
    }
    // A pasted token often brings blanks (or a Windows line end) along, which a server would refuse.
    const std::optional<QString> token = ApiCredentials::tokenFromInput(QString::fromStdString(line));
    if (!token) {
        std::cerr << text(QT_TRANSLATE_NOOP("tarnlet-token", "Kein Token gelesen; nichts gespeichert.\n"));
        return 1;
    }

    try {
        KeychainStore().save(*token, *account);
    } catch (const KeychainStore::KeychainError &error) {
        std::cerr << text(QT_TRANSLATE_NOOP("tarnlet-token",
                              "Das Token konnte nicht im Schlüsselbund gespeichert werden (Status %1).\n"),
            error.status());
        return 1;
    }
    // Tarnlet reads a GitLab token only while GitLab is in use: from its next launch on.
    if (gitLab)
        PreferenceStore::openUserStore()->setValue(GitLabAccount::inUseKey, true);
    std::cout << text(QT_TRANSLATE_NOOP("tarnlet-token", "Token im Schlüsselbund gespeichert.\n"));
    return 0;
}
