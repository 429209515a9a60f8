#pragma once

#include "settings/SettingsPane.h"

#include <QWidget>

// The detail area's header: the pane's symbol (26 px) and its title (30 px, bold), 12 apart.
// Screen readers see one heading with the title.
class PaneHeader final : public QWidget {
    Q_OBJECT
public:
    explicit PaneHeader(QWidget *parent = nullptr);

    void setPane(const SettingsPane &pane);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SettingsPane m_pane;
};
