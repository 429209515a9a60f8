#pragma once

#include "core/Color.h"
#include "core/ModuleRow.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

// The overlay's observable state. The controller is its only writer; every assignment, also one
// that keeps the value, is announced through changed() so the view redraws. Texts from outside
// arrive cleaned where they entered the program (PlainText); the view, screen readers and the
// tray read them here.
class NotchModel final : public QObject {
    Q_OBJECT
public:
    explicit NotchModel(QObject *parent = nullptr);

    bool isExpanded() const { return m_expanded; }
    bool isPinned() const { return m_pinned; }
    // Why news is paused, if it is: the collapsed line carries a small mark that says so.
    enum class Pause { None, ByUser, ByDesktop };
    Pause pause() const { return m_pause; }
    bool isNewsPaused() const { return m_pause != Pause::None; }
    const QString &statusText() const { return m_statusText; }
    Color statusColor() const { return m_statusColor; }
    // What the expanded overlay lists, already cut to what fits.
    const QList<ModuleRow> &rows() const { return m_rows; }
    // The moment the rows' ages are shown for.
    const QDateTime &agesAt() const { return m_agesAt; }

    void setExpanded(bool expanded);
    void setPinned(bool pinned);
    void setPause(Pause pause);
    void setStatusText(const QString &text);
    void setStatusColor(Color color);
    void setRows(const QList<ModuleRow> &rows);
    void setAgesAt(const QDateTime &moment);

Q_SIGNALS:
    void changed();
    // Also after each assignment of the status text: every flash, even of the same text, is news.
    void statusAssigned();

private:
    bool m_expanded = false;
    bool m_pinned = false;
    Pause m_pause = Pause::None;
    QString m_statusText = QStringLiteral("Tarnlet");
    Color m_statusColor = Color::gray();
    QList<ModuleRow> m_rows;
    QDateTime m_agesAt = QDateTime::currentDateTimeUtc();
};
