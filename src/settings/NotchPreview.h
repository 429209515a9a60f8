#pragma once

#include "notch/NotchPainter.h"

#include <QWidget>

// A fixed picture of the overlay showing a sample event, at the top of the notch pane: the
// collapsed overlay, drawn by the overlay's own painter, with an orange dot, "Deploy · staging"
// and "0:42" on a dark gradient. It never reflects the overlay's real state. Screen readers read
// it as one image with a description.
class NotchPreview final : public QWidget {
    Q_OBJECT
public:
    explicit NotchPreview(QWidget *parent = nullptr);

    QSize sizeHint() const override { return { 400, 150 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    NotchPainter m_notch;
};
