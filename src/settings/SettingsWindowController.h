#pragma once

#include "settings/SettingsSources.h"

#include <QList>
#include <QMargins>
#include <QObject>

#include <memory>

class SettingsView;

// Owns the settings window: made by the first show() and kept (hidden when closed) for the
// rest of the process, so that selection and search text survive. Every show() centres the
// window, frame included, on its screen and brings it to the front with focus.
class SettingsWindowController final : public QObject {
    Q_OBJECT
public:
    explicit SettingsWindowController(SettingsSources sources, QObject *parent = nullptr);
    ~SettingsWindowController() override;

    // Opens the window; on the pane named `pane` where one is named (SettingsPane::name).
    void show(const QString &pane = {});
    // Whether a pane is named `pane` (SettingsPane::name).
    bool hasPane(const QString &pane) const;

    // Set where a compositor blends translucent windows; the background is opaque otherwise.
    void setTranslucentBackground(bool translucent);

    // The window, once show() has made it.
    SettingsView *window() const { return m_window.get(); }

    static constexpr int contentWidth = 880;
    static constexpr int contentHeight = 600;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centre();

    const SettingsSources m_sources;
    bool m_translucent = false;
    std::unique_ptr<SettingsView> m_window;
    QMargins m_frameCentred; // the frame the window was last centred with
};
