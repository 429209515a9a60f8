#include "notch/NotchAccessibility.h"

#include "notch/NotchModel.h"
#include "notch/NotchView.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>

#include <optional>
#include <vector>

namespace {

const QString headerText = QStringLiteral("Tarnlet");
// The name of a row's second action; screen readers say the row's own words for it.
const QString secondaryAction = QStringLiteral("secondary");
// The words a screen reader says for the row's press action.
QString openText()
{
    return QCoreApplication::translate("NotchAccessibility", "Öffnen");
}

// One child of the expanded overlay: index 0 is the header, then the rows in order. Reads the
// model on every query, so it never holds stale text. A row with a page or a pane offers the
// standard press action, spoken "Öffnen", which opens it as a click on the row does; a row with a
// second action offers it too, as a click on its check mark does.
class NotchItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    NotchItemAccessible(NotchView *view, int index)
        : m_view(view)
        , m_index(index)
    { }

    bool isValid() const override { return m_view && m_index <= m_view->model().rows().size(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override { }
    QAccessible::Role role() const override { return m_index == 0 ? QAccessible::Heading : QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !m_view || !m_view->model().isExpanded();
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return {};
        if (kind != QAccessible::Name)
            return {};
        if (m_index == 0)
            return headerText;
        const ModuleRow &row = m_view->model().rows().at(m_index - 1);
        const QString subtitle = row.subtitle(m_view->model().agesAt());
        return subtitle.isEmpty() ? row.title : row.title + QStringLiteral(", ") + subtitle;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        const std::optional<ModuleRow> shown = row();
        if (shown && shown->opensSomething(m_view->links()))
            names.append(pressAction());
        if (shown && shown->actions.hasSecondary())
            names.append(secondaryAction);
        return names;
    }
    QString localizedActionName(const QString &name) const override
    {
        if (name == pressAction())
            return openText();
        if (const std::optional<ModuleRow> shown = row(); shown && name == secondaryAction)
            return shown->actions.secondaryName;
        return QString();
    }
    QString localizedActionDescription(const QString &name) const override { return localizedActionName(name); }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &name) override
    {
        // A copy: the action may change what the model lists.
        const std::optional<ModuleRow> shown = row();
        if (!shown)
            return;
        if (name == pressAction())
            shown->open(m_view->links(), [view = m_view](const QString &pane) { Q_EMIT view->paneRequested(pane); });
        else if (name == secondaryAction && shown->actions.hasSecondary())
            shown->actions.secondary();
    }

    QRect rect() const override
    {
        if (!m_view)
            return {};
        const QRectF local = m_index == 0 ? m_view->headerRect() : m_view->rowRect(m_index - 1);
        return QRect(m_view->mapToGlobal(local.topLeft().toPoint()), local.size().toSize());
    }

private:
    // The row this child stands for; none for the header.
    std::optional<ModuleRow> row() const
    {
        if (!isValid() || m_index == 0)
            return std::nullopt;
        return m_view->model().rows().at(m_index - 1);
    }

    QPointer<NotchView> m_view;
    int m_index;
};

class NotchViewAccessible final : public QAccessibleWidget {
public:
    explicit NotchViewAccessible(NotchView *view)
        : QAccessibleWidget(view, QAccessible::StatusBar)
    { }

    ~NotchViewAccessible() override
    {
        for (QAccessible::Id id : m_children)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return view().model().statusText();
        return QAccessibleWidget::text(kind);
    }

    int childCount() const override { return view().model().isExpanded() ? 1 + int(view().model().rows().size()) : 0; }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (int(m_children.size()) <= index) {
            auto *item = new NotchItemAccessible(&view(), int(m_children.size()));
            m_children.push_back(QAccessible::registerAccessibleInterface(item));
        }
        return QAccessible::accessibleInterface(m_children[size_t(index)]);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < m_children.size() && int(i) < childCount(); ++i) {
            if (QAccessible::accessibleInterface(m_children[i]) == child)
                return int(i);
        }
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface *item = child(i);
            if (item && item->rect().contains(x, y))
                return item;
        }
        return nullptr;
    }

private:
    NotchView &view() const { return *static_cast<NotchView *>(widget()); }

    mutable std::vector<QAccessible::Id> m_children;
};

// The overlay's window. A menu of its own is a window apart, a popup, which the application's
// element does not list; while the menu is open it is the panel's last child, so that it and its
// entries (submenus included) are found below the overlay.
class NotchPanelAccessible final : public QAccessibleWidget {
public:
    explicit NotchPanelAccessible(QWidget *panel)
        : QAccessibleWidget(panel)
    { }

    int childCount() const override { return QAccessibleWidget::childCount() + int(openMenus().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const int own = QAccessibleWidget::childCount();
        const QList<QMenu *> menus = openMenus();
        if (index < own)
            return QAccessibleWidget::child(index);
        return index - own < menus.size() ? QAccessible::queryAccessibleInterface(menus.at(index - own)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const qsizetype menu = child ? openMenus().indexOf(qobject_cast<QMenu *>(child->object())) : -1;
        return menu >= 0 ? QAccessibleWidget::childCount() + int(menu) : QAccessibleWidget::indexOfChild(child);
    }

private:
    QList<QMenu *> openMenus() const
    {
        QList<QMenu *> menus = widget()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
        menus.removeIf([](const QMenu *menu) { return !menu->isVisible(); });
        return menus;
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("NotchView"))
        return new NotchViewAccessible(static_cast<NotchView *>(object));
    if (className == QLatin1String("NotchPanel"))
        return new NotchPanelAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void NotchAccessibility::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void NotchAccessibility::announceStatus(NotchView &view)
{
    QAccessibleEvent event(&view, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void NotchAccessibility::childrenChanged(NotchView &view)
{
    // Assistive tools re-read the element's subtree.
    QAccessibleEvent event(&view, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&event);
}
