#pragma once

#include <QObject>

class DesktopNotifier;
class LinkGate;
class ModuleRegistry;
class NewsGate;
class PreferenceStore;

// Sends the news the gate announces to the desktop's notification service while the user has it
// switched on ("notifications.desktop"): the module's title over the news, as urgent as the news
// is severe, and a click opens its page as the overlay's rows do. The references must outlive it.
class DesktopNews final : public QObject {
    Q_OBJECT
public:
    DesktopNews(NewsGate &news, const ModuleRegistry &registry, PreferenceStore &preferences, DesktopNotifier &notifier,
        const LinkGate &links, QObject *parent = nullptr);
};
