#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QStringList>

// A launch that speaks to the running program through its interface on the session bus
// (BusService) instead of starting one: `tarnlet --toggle`, `--pin`, `--settings [PANE]`,
// `--pause 1h|morning|indefinitely|resume`, and `--status [--json] [--follow]` for status bars.
// Needs no display: main() runs it with a QCoreApplication.
class RemoteCommand final {
    Q_DECLARE_TR_FUNCTIONS(RemoteCommand)
public:
    // Whether `arguments` (the program's path first) hold one of the options above, or ask for help
    // or the version. Other arguments (Qt's own, such as -platform) leave the program to start.
    static bool isRequested(const QStringList &arguments);
    // Carries the command out on `bus` and returns the exit code: 0 when done; 1, with one line on
    // standard error, when no Tarnlet runs or it refused; 2 for arguments it cannot read. --follow
    // prints the status line at once and again after each change, and runs until it is ended.
    static int run(const QStringList &arguments, const QDBusConnection &bus);
};
