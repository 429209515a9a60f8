#include "settings/SettingsWindowController.h"

#include "settings/SettingsPane.h"
#include "settings/SettingsView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWindow>

SettingsWindowController::SettingsWindowController(SettingsSources sources, QObject *parent)
    : QObject(parent)
    , m_sources(std::move(sources))
{ }

SettingsWindowController::~SettingsWindowController() = default;

void SettingsWindowController::setTranslucentBackground(bool translucent)
{
    m_translucent = translucent;
    if (m_window)
        m_window->setTranslucentBackground(translucent);
}

void SettingsWindowController::show(const QString &pane)
{
    if (!m_window) {
        m_window = std::make_unique<SettingsView>(m_sources);
        m_window->setWindowTitle(tr("Tarnlet Einstellungen"));
        // Closing it only hides it, and never ends the program.
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
        // An alpha channel from the start, so the background can turn translucent later
        // without making the window anew; it paints opaque while no compositor blends it.
        m_window->setAttribute(Qt::WA_TranslucentBackground);
        m_window->setTranslucentBackground(m_translucent);
        m_window->resize(contentWidth, contentHeight);
        m_window->installEventFilter(this);
    }
    if (!pane.isEmpty())
        m_window->setSelection(pane);
    centre();
    m_window->show();
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->raise();
    m_window->activateWindow();
}

bool SettingsWindowController::hasPane(const QString &pane) const
{
    return SettingsPanes::named(pane, m_sources.registry, m_sources.integrationPanes).has_value();
}

void SettingsWindowController::centre()
{
    // The whole window, title bar and borders included, on the screen it is on (the primary one
    // the first time). The frame is known once the window manager has framed the window.
    QScreen *screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    m_frameCentred = m_window->windowHandle() ? m_window->windowHandle()->frameMargins() : QMargins();
    const QRect frame = QStyle::alignedRect(
        Qt::LeftToRight, Qt::AlignCenter, m_window->size().grownBy(m_frameCentred), screen->availableGeometry());
    m_window->setGeometry(frame.marginsRemoved(m_frameCentred));
}

bool SettingsWindowController::eventFilter(QObject *watched, QEvent *event)
{
    // The first show centres the content alone: the window manager frames the window later.
    // Once the frame is known, the window is centred again, frame included.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Move || type == QEvent::Paint || type == QEvent::WindowActivate) && watched == m_window.get()
        && m_window->windowHandle() && m_window->windowHandle()->frameMargins() != m_frameCentred) {
        m_window->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &SettingsWindowController::centre, Qt::QueuedConnection);
    }
    return false;
}
