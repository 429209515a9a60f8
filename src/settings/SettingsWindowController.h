#pragma once

#include <QList>
#include <QMargins>
#include <QObject>

#include <memory>

class DesktopNotifier;
class GitHubAccount;
class ModuleRegistry;
class NewsHistory;
class PreferenceStore;
class SettingsView;
class UpdateController;

// Owns the settings window: made by the first show() and kept (hidden when closed) for the
// rest of the process, so that selection and search text survive. Every show() centres the
// window, frame included, on its screen and brings it to the front with focus.
class SettingsWindowController final : public QObject {
    Q_OBJECT
public:
    SettingsWindowController(ModuleRegistry &registry, UpdateController &updates, PreferenceStore &preferences,
        GitHubAccount &account, const NewsHistory &history, const DesktopNotifier &notifier, QObject *parent = nullptr);
    ~SettingsWindowController() override;

    // Opens the window; on the pane named `pane` where one is named (SettingsPane::name).
    void show(const QString &pane = {});

    // Set where a compositor blends translucent windows; the background is opaque otherwise.
    void setTranslucentBackground(bool translucent);

    // The window, once show() has made it.
    SettingsView *window() const { return m_window.get(); }

    static constexpr int contentWidth = 880;
    static constexpr int contentHeight = 600;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centre();

    ModuleRegistry &m_registry;
    UpdateController &m_updates;
    PreferenceStore &m_preferences;
    GitHubAccount &m_account;
    const NewsHistory &m_history;
    const DesktopNotifier &m_notifier;
    bool m_translucent = false;
    std::unique_ptr<SettingsView> m_window;
    QMargins m_frameCentred; // the frame the window was last centred with
};
