// Opens the settings window over fake modules on a real display, for the tests that look at
// it from outside: the accessibility test reads and operates it over AT-SPI, and with
// --screenshots DIR it saves every pane in the light and dark scheme, checks that the window
// opened at its content size with its frame centred on the screen, and exits (non-zero on a
// failed check).
//   tarnlet_settings_host [--prefs FILE] [--translucent] [--screenshots DIR]
// Screenshots go to $TARNLET_ARTIFACTS/<last part of DIR> when that is set. With --translucent
// (run it under a compositor) the check expects the desktop to show through the background.
#include "SettingsFixture.h"

#include "settings/SettingsView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
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

// The window, its frame included (a window manager's title bar and borders), is centred.
bool checkPlacement(const SettingsView &window)
{
    const QRect available = window.screen()->availableGeometry();
    const auto centred = [&] { return (window.frameGeometry().center() - available.center()).manhattanLength() <= 2; };
    // A window manager frames the window after it is shown.
    const bool frameCentred = QTest::qWaitFor(centred, 2000);
    const QRect frame = window.frameGeometry();
    if (window.size() != QSize(SettingsWindowController::contentWidth, SettingsWindowController::contentHeight))
        return fail(QStringLiteral("content size %1x%2").arg(window.width()).arg(window.height()));
    if (!frameCentred)
        return fail(QStringLiteral("window centre %1,%2 but screen centre %3,%4")
                        .arg(frame.center().x())
                        .arg(frame.center().y())
                        .arg(available.center().x())
                        .arg(available.center().y()));
    return true;
}

int distance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

QColor screenPixel(const SettingsView &window, QPoint at)
{
    return window.screen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
}

// With a compositor and a translucent background the desktop shows through: the screen inside
// the window is neither the window colour nor the desktop beside it. Opaque, it is the window
// colour.
bool checkBackground(const SettingsView &window, bool translucent)
{
    QTest::qWait(300); // the compositor draws the window after it is exposed
    const QColor inside = screenPixel(window, window.geometry().topLeft() + QPoint(4, 4));
    const QColor desktop = screenPixel(window, window.geometry().topLeft() - QPoint(4, 4));
    const QColor own = window.palette().color(QPalette::Window);
    const bool blended = distance(inside, own) > 6 && distance(inside, desktop) > 6;
    if (translucent ? !blended : distance(inside, own) > 6)
        return fail(QStringLiteral("screen shows %1 in a window of colour %2 on a desktop of %3")
                        .arg(inside.name(), own.name(), desktop.name()));
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

// What a module pane lists, so that the pictures and the accessibility test see every part: the
// Actions module's list and runs, a Docker container with its command and a refusal.
void addSampleLines(SettingsFixture &fixture)
{
    fixture.actions->list = ModuleListSetting { QStringLiteral("sample.entries"), QStringLiteral("Einträge"),
        QStringLiteral("Eintrag hinzufügen"), 5, [](const QString &input) -> ModuleListSetting::Normalized {
            if (input.trimmed().isEmpty())
                return ModuleListSetting::Refusal { QStringLiteral("Leer.") };
            return input.trimmed();
        } };
    fixture.preferences->setValue(QStringLiteral("sample.entries"), QStringList { QStringLiteral("octo/one") });
    const QDateTime now = QDateTime::currentDateTimeUtc();
    fixture.actions->setDetails({ { QStringLiteral("octo/one"),
        { QStringLiteral("CI"), QStringLiteral("main · erfolgreich"), now.addSecs(-300), Color::green(),
            QUrl(QStringLiteral("https://github.com/octo/one/actions/runs/1")) },
        {}, {} } });
    fixture.docker->setDetails(
        { { {}, { QStringLiteral("web"), QStringLiteral("nginx · läuft"), std::nullopt, Color::green(), {} },
            ModuleCommand { QStringLiteral("Stoppen"), QStringLiteral("web stoppen"), false, [] {} },
            QStringLiteral("Die Engine lehnt ab.") } });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tarnlet-settings-host"));
    QCommandLineParser parser;
    parser.addOption({ QStringLiteral("prefs"), QStringLiteral("preference file"), QStringLiteral("file") });
    parser.addOption({ QStringLiteral("screenshots"), QStringLiteral("save screenshots"), QStringLiteral("dir") });
    parser.addOption({ QStringLiteral("translucent"), QStringLiteral("translucent background (compositor)") });
    parser.process(app);

    // Without --prefs the window works on a fresh store that goes away with the host.
    QTemporaryDir scratch;
    const QString prefs = parser.isSet(QStringLiteral("prefs")) ? parser.value(QStringLiteral("prefs"))
                                                                : scratch.filePath(QStringLiteral("prefs.json"));
    SettingsFixture fixture(PreferenceStore::openFile(prefs));
    addSampleLines(fixture);
    fixture.controller->setTranslucentBackground(parser.isSet(QStringLiteral("translucent")));
    fixture.controller->show();
    SettingsView &window = *fixture.controller->window();
    if (!QTest::qWaitForWindowExposed(&window))
        return fail(QStringLiteral("window not exposed")), 1;

    if (parser.isSet(QStringLiteral("screenshots"))) {
        const bool placed = checkPlacement(window);
        const bool background = checkBackground(window, parser.isSet(QStringLiteral("translucent")));
        const QString artifacts = qEnvironmentVariable("TARNLET_ARTIFACTS");
        const QString screenshots = parser.value(QStringLiteral("screenshots"));
        const QString directory
            = artifacts.isEmpty() ? screenshots : QDir(artifacts).filePath(QFileInfo(screenshots).fileName());
        const bool shot = saveScreenshots(fixture, window, directory);
        return placed && background && shot ? 0 : 1;
    }
    return app.exec();
}
