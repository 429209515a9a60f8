#include "settings/SettingsView.h"

#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "settings/GeneralSettingsPane.h"
#include "settings/ModuleSettingsPane.h"
#include "settings/NotchSettingsPane.h"
#include "settings/NotificationsSettingsPane.h"
#include "settings/PaneHeader.h"
#include "settings/PreferenceBinding.h"
#include "settings/SettingsAccessibility.h"
#include "settings/SettingsSidebar.h"
#include "settings/UpdatesSettingsPane.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QWindow>

namespace {

QScrollArea *transparentScrollArea(QWidget *content, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidget(content);
    // Tab goes from control to control; the areas themselves are no stop of their own.
    area->setFocusPolicy(Qt::NoFocus);
    // The window's background shows through both the area and its viewport.
    area->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    return area;
}

} // namespace

SettingsView::SettingsView(const SettingsSources &sources, QWidget *parent)
    : QWidget(parent)
    , m_sources(sources)
    , m_registry(sources.registry)
    , m_preferences(sources.preferences)
{
    SettingsAccessibility::install();
    setMinimumSize(780, 540);

    auto *root = new QHBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    // Sidebar: the search field over the pane list.
    auto *sidebar = new QWidget(this);
    sidebar->setFixedWidth(250);
    auto *sidebarLayout = new QVBoxLayout(sidebar);
    sidebarLayout->setContentsMargins(0, 0, 0, 0);
    sidebarLayout->setSpacing(0);
    auto *searchBox = new QWidget(sidebar);
    m_searchLayout = new QVBoxLayout(searchBox);
    m_search = new SearchField(searchBox);
    m_searchLayout->addWidget(m_search);
    sidebarLayout->addWidget(searchBox);
    m_sidebar = new SettingsSidebar(m_registry, SettingsPanes::accountGroup(m_sources.integrationPanes), sidebar);
    sidebarLayout->addWidget(m_sidebar, 1);
    root->addWidget(sidebar);

    root->addWidget(new SettingsDivider(this, Qt::Vertical, QMargins()));

    // Detail area: a column at most 640 wide (plus padding), centred, holding header and pane.
    auto *detail = new QWidget;
    auto *detailLayout = new QHBoxLayout(detail);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    auto *column = new QWidget(detail);
    column->setMaximumWidth(640 + 2 * 32);
    m_column = new QVBoxLayout(column);
    m_column->setSpacing(22);
    m_header = new PaneHeader(column);
    m_column->addWidget(m_header);
    m_column->addStretch(1);
    detailLayout->addWidget(column);
    root->addWidget(transparentScrollArea(detail, this), 1);

    fitTopSpacing();

    connect(m_sidebar, &SettingsSidebar::paneSelected, this, &SettingsView::setSelection);
    connect(m_search, &QLineEdit::textChanged, m_sidebar, &SettingsSidebar::setSearch);
    PreferenceBinding::watch(m_preferences, AppPreferences::appearance, this, [this] { applyAppearance(); });
    showPane();
}

QLineEdit *SettingsView::searchEdit() const
{
    return m_search;
}

QString SettingsView::search() const
{
    return searchEdit()->text();
}

void SettingsView::setSearch(const QString &text)
{
    searchEdit()->setText(text);
}

void SettingsView::setSelection(const QString &name)
{
    if ((name == m_selection && m_pane) || !pane(name))
        return;
    m_selection = name;
    showPane();
}

void SettingsView::showPane()
{
    m_sidebar->setSelection(m_selection);
    m_header->setPane(pane(m_selection).value_or(SettingsPane()));
    if (m_pane)
        delete m_pane;
    m_pane = createPane(m_selection);
    m_column->insertWidget(1, m_pane);
}

std::optional<SettingsPane> SettingsView::pane(const QString &name) const
{
    return SettingsPanes::named(name, m_registry, m_sources.integrationPanes);
}

QWidget *SettingsView::createPane(const QString &name)
{
    if (name == SettingsPanes::general)
        return new GeneralSettingsPane(m_preferences);
    if (name == SettingsPanes::notch)
        return new NotchSettingsPane(m_preferences, m_sources.shortcut);
    if (name == SettingsPanes::notifications)
        return new NotificationsSettingsPane(m_preferences, m_registry, m_sources.notifier, m_sources.doNotDisturb);
    if (name == SettingsPanes::updates)
        return new UpdatesSettingsPane(m_sources.updates);
    for (const IntegrationPane &pane : m_sources.integrationPanes) {
        if (pane.name == name)
            return pane.create();
    }
    if (DevModule *module = m_registry.module(name)) {
        auto *pane = new ModuleSettingsPane(m_registry, m_preferences, m_sources.history, m_sources.links, *module);
        // Later: the pressed line goes with the pane it sits in.
        connect(pane, &ModuleSettingsPane::paneRequested, this, &SettingsView::setSelection, Qt::QueuedConnection);
        return pane;
    }
    return new QWidget;
}

void SettingsView::applyAppearance()
{
    switch (SettingsStyle::schemeFor(m_preferences.stringValue(AppPreferences::appearance))) {
    case SettingsStyle::Scheme::Light:
        setPalette(SettingsStyle::lightPalette());
        break;
    case SettingsStyle::Scheme::Dark:
        setPalette(SettingsStyle::darkPalette());
        break;
    case SettingsStyle::Scheme::System:
        // An empty palette hands the colours back to the desktop's.
        setPalette(QPalette());
        break;
    }
    update();
}

void SettingsView::setTranslucentBackground(bool translucent)
{
    m_translucent = translucent;
    update();
}

void SettingsView::showEvent(QShowEvent *event)
{
    fitTopSpacing();
    QWidget::showEvent(event);
}

void SettingsView::fitTopSpacing()
{
    // Under the window manager's title bar the content needs no band at its top. A window
    // without one keeps a taller band, where it can be grabbed to move it.
    const bool titleBar = !windowFlags().testFlag(Qt::FramelessWindowHint);
    m_searchLayout->setContentsMargins(14, titleBar ? 14 : untitledTopSpacing, 14, 14);
    m_column->setContentsMargins(32, titleBar ? 32 : untitledTopSpacing, 32, 32);
}

bool SettingsView::movesWindow(QPoint position) const
{
    // The pane list's free part below its rows is background; controls that let a press through
    // (disabled ones) are not.
    const QWidget *list = m_sidebar->viewport();
    if (childAt(position) == list && !m_sidebar->indexAt(list->mapFrom(this, position)).isValid())
        return true;
    for (const QWidget *widget = childAt(position); widget && widget != this; widget = widget->parentWidget()) {
        if (!widget->isEnabled() || widget->focusPolicy() & Qt::ClickFocus)
            return false;
    }
    return true;
}

void SettingsView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && movesWindow(event->position().toPoint()) && windowHandle()
        && windowHandle()->startSystemMove())
        return;
    QWidget::mousePressEvent(event);
}

void SettingsView::paintEvent(QPaintEvent *)
{
    // A veil of the window colour stands in for the desktop's translucent HUD material where a
    // compositor blends it; elsewhere the window is opaque.
    QPainter painter(this);
    QColor background = palette().color(QPalette::Window);
    if (m_translucent)
        background.setAlphaF(0.88f);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), background);
}
