#pragma once

#include "core/ModuleDetail.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QList>
#include <QWidget>

class LinkGate;
class ModuleDocumentView;
class QLabel;
class QPushButton;
class QVBoxLayout;

// One line a module lists in its pane: a coloured dot, the title over the line under it (with
// the age), the message of a refused command and the commands' buttons at the trailing end. A
// line with a page opens it when clicked (where the link gate lets it), one naming a pane asks
// for that pane; screen readers see either as a link named "<title>, <subtitle>", other lines as
// a named group.
class DetailRow final : public QAbstractButton {
    Q_OBJECT
public:
    DetailRow(const LinkGate &links, bool linked, int commandCount, QWidget *parent = nullptr);

    bool isLinked() const { return m_linked; }
    // The button of the line's command at `index`, or none.
    QPushButton *commandButton(int index = 0) const { return m_commands.value(index); }
    void setDetail(const ModuleDetail &detail, const QDateTime &now);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

Q_SIGNALS:
    void paneRequested(const QString &pane);

private:
    const LinkGate &m_links;
    bool m_linked;
    ModuleDetail m_detail;
    QString m_subtitle;
    QLabel *m_message;
    QList<QPushButton *> m_commands;
};

// The lines of a module's pane grouped under their headings, each group a card, in the order
// the module lists them; a line's open document sits right under it. Lines are updated in place while the groups and
// the kinds of line stay the same, so keyboard focus is not lost when a command's state or an age changes.
class ModuleDetailList final : public QWidget {
    Q_OBJECT
public:
    explicit ModuleDetailList(const LinkGate &links, QWidget *parent = nullptr);

    void setDetails(const QList<ModuleDetail> &details, const QDateTime &now);
    const QList<DetailRow *> &rows() const { return m_rows; }
    // The document view under the row at `index`, or none.
    ModuleDocumentView *document(qsizetype index) const { return m_documents.value(index); }

Q_SIGNALS:
    // A line naming the settings pane that resolves it was clicked.
    void paneRequested(const QString &pane);

private:
    struct Shape {
        QString group;
        bool linked;
        qsizetype commands;
        bool withDocument;
        friend bool operator==(const Shape &, const Shape &) = default;
    };
    void rebuild(const QList<Shape> &shape);

    const LinkGate &m_links;
    QVBoxLayout *m_layout;
    QList<Shape> m_shape;
    QList<DetailRow *> m_rows;
    QList<ModuleDocumentView *> m_documents; // beside m_rows
};
