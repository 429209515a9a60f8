#pragma once

#include <QLabel>
#include <QWidget>

class QVBoxLayout;
class ToggleSwitch;

// The small blocks every settings pane is made of, so that all panes share one look: a
// heading above a group, the rounded card around the group, one labelled row per control and
// the hairline between rows. Their labels show plain text: headings, titles and messages may come
// from outside (a repository, an engine's message).

// A group's heading: 13 px, medium, secondary colour, 4 px in from the leading edge.
class SettingsSectionTitle final : public QLabel {
    Q_OBJECT
public:
    explicit SettingsSectionTitle(const QString &text, QWidget *parent = nullptr);
};

// The rows of one group stacked without spacing on a translucent rounded face (radius 18) with
// a hairline border in the text colour at 8 %.
class SettingsCard final : public QWidget {
    Q_OBJECT
public:
    explicit SettingsCard(QWidget *parent = nullptr);

    void addWidget(QWidget *content);
    // Adds a row holding an on/off switch; the row's title is the switch's accessible name.
    ToggleSwitch *addToggleRow(const QString &title);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *m_layout;
};

// One line of a card: the title (15 px) at the leading end, the control at the trailing end,
// at least 12 px apart; padded 16 / 10, at least 44 high.
class SettingsRow final : public QWidget {
    Q_OBJECT
public:
    SettingsRow(const QString &title, QWidget *trailing, QWidget *parent = nullptr);

    // Never below the 44 px minimum, so a card of rows is exactly its rows' heights.
    QSize sizeHint() const override { return QWidget::sizeHint().expandedTo(minimumSize()); }

    QLabel *titleLabel() const { return m_title; }
    QWidget *trailing() const { return m_trailing; }

private:
    QLabel *m_title;
    QWidget *m_trailing;
};

// The 1 px line between two rows, starting where the row titles start (16 in). The window
// uses the same line, with other margins, between sidebar groups and beside the sidebar.
class SettingsDivider final : public QWidget {
    Q_OBJECT
public:
    explicit SettingsDivider(QWidget *parent = nullptr, Qt::Orientation orientation = Qt::Horizontal,
        const QMargins &margins = QMargins(16, 0, 0, 0));

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A heading and its card, 10 px apart: the unit a pane is built from. An empty heading shows
// only the card.
class SettingsSection final : public QWidget {
    Q_OBJECT
public:
    explicit SettingsSection(const QString &title, QWidget *parent = nullptr);

    SettingsCard *card() const { return m_card; }

private:
    SettingsCard *m_card;
};

// A short line inside a card that tells what went wrong (a refused input, a module's error), in
// red, or as a quieter note why something is not there, in grey; wrapped, padded like the rows;
// hidden while there is nothing to tell.
class SettingsMessage final : public QLabel {
    Q_OBJECT
public:
    enum class Tone { Warning, Note };
    explicit SettingsMessage(QWidget *parent = nullptr, Tone tone = Tone::Warning);

    void setMessage(const QString &text);
};
