#pragma once

#include <QWidget>

// A fixed picture of the overlay showing a sample event, at the top of the notch pane: a black
// notch shape on a dark gradient with an orange dot, "Deploy · staging" and "0:42". It never
// reflects the overlay's real state. Screen readers read it as one image with a description.
class NotchPreview final : public QWidget {
    Q_OBJECT
public:
    explicit NotchPreview(QWidget *parent = nullptr);

    QSize sizeHint() const override { return { 400, 150 }; }

protected:
    void paintEvent(QPaintEvent *event) override;
};
