#include "settings/SettingsWindowController.h"

#include "settings/SettingsView.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

SettingsWindowController::SettingsWindowController(ModuleRegistry &registry, UpdateController &updates,
    PreferenceStore &preferences, GitHubAccount &account, QObject *parent)
    : QObject(parent)
    , m_registry(registry)
    , m_updates(updates)
    , m_preferences(preferences)
    , m_account(account)
{ }

SettingsWindowController::~SettingsWindowController() = default;

namespace {

QList<QAction *> liveActions(const QList<QPointer<QAction>> &actions)
{
    QList<QAction *> result;
    for (const auto &action : actions) {
        if (action)
            result.append(action);
    }
    return result;
}

} // namespace

void SettingsWindowController::setExtraActions(const QList<QAction *> &actions)
{
    m_extraActions = QList<QPointer<QAction>>(actions.cbegin(), actions.cend());
    if (m_window)
        m_window->setExtraActions(liveActions(m_extraActions));
}

void SettingsWindowController::setTranslucentBackground(bool translucent)
{
    m_translucent = translucent;
    if (m_window)
        m_window->setTranslucentBackground(translucent);
}

void SettingsWindowController::show()
{
    if (!m_window) {
        m_window = std::make_unique<SettingsView>(m_registry, m_updates, m_preferences, m_account);
        m_window->setWindowTitle(QStringLiteral("Tarnlet Einstellungen"));
        // Closing it only hides it, and never ends the program.
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
        // An alpha channel from the start, so the background can turn translucent later
        // without making the window anew; it paints opaque while no compositor blends it.
        m_window->setAttribute(Qt::WA_TranslucentBackground);
        m_window->setTranslucentBackground(m_translucent);
        m_window->setExtraActions(liveActions(m_extraActions));
        m_window->resize(contentWidth, contentHeight);
    }
    // Centred on the screen it is on (the primary one the first time), every time.
    QScreen *screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        m_window->setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, m_window->size(), screen->availableGeometry()));
    m_window->show();
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->raise();
    m_window->activateWindow();
}
