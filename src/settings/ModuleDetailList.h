#pragma once

#include "core/ModuleDetail.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;

// One line a module lists in its pane: a coloured dot, the title over the line under it (with
// the age), the message of a refused command and the command's button at the trailing end. A
// line with a page opens it when clicked (through the GitHub page gate); screen readers see it
// as a link named "<title>, <subtitle>", other lines as a named group.
class DetailRow final : public QAbstractButton {
    Q_OBJECT
public:
    DetailRow(bool linked, bool withCommand, QWidget *parent = nullptr);

    bool isLinked() const { return m_linked; }
    QPushButton *commandButton() const { return m_command; }
    void setDetail(const ModuleDetail &detail, const QDateTime &now);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    bool m_linked;
    ModuleDetail m_detail;
    QString m_subtitle;
    QLabel *m_message;
    QPushButton *m_command = nullptr;
};

// The lines of a module's pane grouped under their headings, each group a card, in the order
// the module lists them. Lines are updated in place while the groups and the kinds of line stay
// the same, so keyboard focus is not lost when a command's state or an age changes.
class ModuleDetailList final : public QWidget {
    Q_OBJECT
public:
    explicit ModuleDetailList(QWidget *parent = nullptr);

    void setDetails(const QList<ModuleDetail> &details, const QDateTime &now);
    const QList<DetailRow *> &rows() const { return m_rows; }

private:
    struct Shape {
        QString group;
        bool linked;
        bool withCommand;
        friend bool operator==(const Shape &, const Shape &) = default;
    };
    void rebuild(const QList<Shape> &shape);

    QVBoxLayout *m_layout;
    QList<Shape> m_shape;
    QList<DetailRow *> m_rows;
};
