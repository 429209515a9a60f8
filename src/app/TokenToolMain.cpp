// tarnlet-token: puts the GitHub token into the desktop's secret store, where Tarnlet reads it at
// launch. The token comes from standard input only (not from the arguments, which would leave it
// in the shell history and the process list) and is never printed.

#include "services/GitHubCredentials.h"
#include "services/KeychainStore.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

// Turns terminal echo off while it lives, when standard input is a terminal.
class EchoOff {
public:
    EchoOff()
    {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (m_active) {
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
            std::cerr << '\n';
        }
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;

private:
    termios m_saved {};
    bool m_active = false;
};

int usage()
{
    std::cerr << "Aufruf: tarnlet-token < datei-mit-token\n"
                 "Liest das GitHub-Token von der Standardeingabe und legt es im Schlüsselbund ab.\n";
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 1)
        return usage();

    std::string line;
    {
        if (isatty(STDIN_FILENO))
            std::cerr << "GitHub-Token: " << std::flush;
        EchoOff echoOff;
        std::getline(std::cin, line);
    }
    // A pasted token often brings blanks (or a Windows line end) along, which GitHub would refuse.
    const std::optional<QString> token = GitHubCredentials::tokenFromInput(QString::fromStdString(line));
    if (!token) {
        std::cerr << "Kein Token gelesen; nichts gespeichert.\n";
        return 1;
    }

    try {
        KeychainStore().save(*token, QString::fromLatin1(KeychainStore::gitHubTokenAccount));
    } catch (const KeychainStore::KeychainError &error) {
        std::cerr << "Das Token konnte nicht im Schlüsselbund gespeichert werden (Status " << error.status() << ").\n";
        return 1;
    }
    std::cout << "Token im Schlüsselbund gespeichert.\n";
    return 0;
}
