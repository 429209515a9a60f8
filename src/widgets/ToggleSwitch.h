#pragma once

#include <QAbstractButton>

// An on/off switch: a capsule track tinted blue while on, with a round knob that sits at the
// trailing end when on. Space toggles it; its accessible name is the label of the row it sits in.
class ToggleSwitch final : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleSwitch(const QString &accessibleName, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
