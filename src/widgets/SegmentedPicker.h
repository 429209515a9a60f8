#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QButtonGroup;

// A row of mutually exclusive segments on one rounded track, the chosen one raised on a lighter
// face. Each segment is a radio button of its own, so screen readers announce "n of m" and the
// arrow keys move the choice; the picker itself is the named group around them.
class SegmentedPicker final : public QWidget {
    Q_OBJECT
public:
    struct Segment {
        QString title;
        QString value;
    };

    SegmentedPicker(const QString &accessibleName, const QList<Segment> &segments, QWidget *parent = nullptr);

    // The value of the chosen segment; empty when none is chosen.
    QString value() const;
    // Chooses the segment with this value, or none when no segment has it. Emits nothing.
    void setValue(const QString &value);

Q_SIGNALS:
    // The user chose another segment.
    void activated(const QString &value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<Segment> m_segments;
    QButtonGroup *m_group;
    bool m_settingValue = false;
};
