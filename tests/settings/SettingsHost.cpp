// Opens the settings window over fake modules on a real display, for the tests that look at
// it from outside: the accessibility test reads and operates it over AT-SPI, and with
// --screenshots DIR it saves every pane in the light and dark scheme, checks that the window
// opened at its content size centred on the screen, and exits (non-zero on a failed check).
//   tarnlet_settings_host [--prefs FILE] [--screenshots DIR]
// Screenshots go to $TARNLET_ARTIFACTS/settings when that is set.
#include "SettingsFixture.h"

#include "settings/SettingsView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return false;
}

bool checkPlacement(const SettingsView &window)
{
    const QRect frame = window.geometry();
    const QRect available = window.screen()->availableGeometry();
    if (frame.size() != QSize(SettingsWindowController::contentWidth, SettingsWindowController::contentHeight))
        return fail(QStringLiteral("content size %1x%2").arg(frame.width()).arg(frame.height()));
    if ((frame.center() - available.center()).manhattanLength() > 2)
        return fail(QStringLiteral("window centre %1,%2 but screen centre %3,%4")
                        .arg(frame.center().x())
                        .arg(frame.center().y())
                        .arg(available.center().x())
                        .arg(available.center().y()));
    return true;
}

bool saveScreenshots(SettingsFixture &fixture, SettingsView &window, const QString &directory)
{
    QDir().mkpath(directory);
    bool ok = true;
    for (const QString &scheme : { QStringLiteral("light"), QStringLiteral("dark") }) {
        fixture.preferences->setValue(AppPreferences::appearance, scheme);
        for (const SettingsPane pane : SettingsPanes::all()) {
            window.setSelection(pane);
            QTest::qWait(50);
            const QImage shot = window.screen()->grabWindow(window.winId()).toImage();
            const QString path = QDir(directory).filePath(
                QStringLiteral("settings-%1-%2.png").arg(SettingsPanes::rawValue(pane), scheme));
            if (shot.size() != window.size() || !shot.save(path))
                ok = fail(QStringLiteral("could not take %1").arg(path));
            // A dark window is dark at its sidebar's top corner, a light one light.
            const int lightness = shot.pixelColor(4, 4).lightness();
            if ((scheme == u"dark") != (lightness < 128))
                ok = fail(QStringLiteral("%1 has lightness %2").arg(path).arg(lightness));
        }
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tarnlet-settings-host"));
    QCommandLineParser parser;
    parser.addOption({ QStringLiteral("prefs"), QStringLiteral("preference file"), QStringLiteral("file") });
    parser.addOption({ QStringLiteral("screenshots"), QStringLiteral("save screenshots"), QStringLiteral("dir") });
    parser.process(app);

    // Without --prefs the window works on a fresh store that goes away with the host.
    QTemporaryDir scratch;
    const QString prefs = parser.isSet(QStringLiteral("prefs")) ? parser.value(QStringLiteral("prefs"))
                                                                : scratch.filePath(QStringLiteral("prefs.json"));
    SettingsFixture fixture(PreferenceStore::openFile(prefs));
    fixture.controller->show();
    SettingsView &window = *fixture.controller->window();
    if (!QTest::qWaitForWindowExposed(&window))
        return fail(QStringLiteral("window not exposed")), 1;

    if (parser.isSet(QStringLiteral("screenshots"))) {
        const bool placed = checkPlacement(window);
        const QString artifacts = qEnvironmentVariable("TARNLET_ARTIFACTS");
        const QString directory = artifacts.isEmpty() ? parser.value(QStringLiteral("screenshots"))
                                                      : QDir(artifacts).filePath(QStringLiteral("settings"));
        const bool shot = saveScreenshots(fixture, window, directory);
        return placed && shot ? 0 : 1;
    }
    return app.exec();
}
