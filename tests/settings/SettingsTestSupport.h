#pragma once

#include "GitHubPages.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/DevModule.h"
#include "core/LinkGate.h"
#include "core/ModuleRegistry.h"
#include "core/NewsHistory.h"
#include "core/prefs/AppPreferences.h"
#include "platform/headless/HeadlessDesktop.h"
#include "settings/PaneHeader.h"
#include "settings/SettingsSidebar.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "updates/UpdateController.h"
#include "updates/Updater.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

// A module whose status, error, lines and list the test sets; change() announces a change after
// making it, as real modules do. The list is read when its pane is made.
class StatusModule final : public DevModule {
public:
    StatusModule(QString id, QString title)
        : m_id(std::move(id))
        , m_title(std::move(title))
    { }

    QString id() const override { return m_id; }
    QString title() const override { return m_title; }
    QString symbol() const override { return QStringLiteral("shippingbox"); }
    QString description() const override { return m_title + QStringLiteral(" beschrieben."); }
    std::optional<ModuleStatus> compactStatus() const override { return status; }
    void start() override { }
    void stop() override { }
    std::optional<QString> errorText() const override { return error; }
    QList<ModuleDetail> details() const override { return lines; }
    std::optional<ModuleListSetting> listSetting() const override { return list; }
    QList<ModuleNewsKind> newsKinds() const override { return kinds; }

    template<class Field, class Value> void change(Field &field, Value value)
    {
        field = std::move(value);
        Q_EMIT changed();
    }

    std::optional<ModuleStatus> status;
    std::optional<QString> error;
    QList<ModuleDetail> lines;
    std::optional<ModuleListSetting> list;
    QList<ModuleNewsKind> kinds;

private:
    QString m_id;
    QString m_title;
};

class IdleUpdater final : public Updater {
public:
    void startUpdater() override { }
    void checkForUpdates() override { }
    bool automaticallyChecksForUpdates() const override { return true; }
    void setAutomaticallyChecksForUpdates(bool) override { }
    bool canCheckForUpdates() const override { return true; }
};

// The shown settings window over a registry holding the Actions module (with a status and two
// kinds of news) and the pull-request one (without either), with the panes an integration brings;
// the Docker module is not registered. Pages of https://github.com may be opened.
class SettingsTest : public ::testing::Test {
protected:
    // An account pane as an integration brings one.
    static QList<IntegrationPane> accountPane()
    {
        return { { QStringLiteral("githubAccount"), QStringLiteral("GitHub-Konto"), QStringLiteral("person.badge.key"),
            [] { return new QWidget; } } };
    }

    explicit SettingsTest(QList<IntegrationPane> integrationPanes = accountPane())
        : controller(
            { registry, std::move(integrationPanes), links, updates, prefs, history, notifier, shortcut, doNotDisturb })
    {
        AppPreferences::registerDefaults(prefs);
        auto module
            = std::make_unique<StatusModule>(QStringLiteral("github.actions"), QStringLiteral("GitHub Actions"));
        module->status = ModuleStatus { QStringLiteral("CI · main · erfolgreich"), ModuleStatus::Severity::Fine };
        module->kinds = { { QStringLiteral("github.runFailed"), QStringLiteral("Run fehlgeschlagen") },
            { QStringLiteral("github.runFixed"), QStringLiteral("Run wieder erfolgreich"), false } };
        actions = module.get();
        registry.registerModule(std::move(module));
        add(QStringLiteral("github.pullRequests"), QStringLiteral("Pull Requests"));
        controller.show();
        QApplication::setActiveWindow(&view());
    }

    StatusModule *add(const QString &id, const QString &title)
    {
        auto module = std::make_unique<StatusModule>(id, title);
        StatusModule *raw = module.get();
        registry.registerModule(std::move(module));
        return raw;
    }
    SettingsView &view() { return *controller.window(); }
    // Runs the queued redraws (module and registry notices are handled after the current work).
    static void settle() { QCoreApplication::processEvents(); }
    QWidget &select(const QString &pane)
    {
        view().setSelection(pane);
        settle();
        return *view().currentPane();
    }
    template<class T = QWidget> static T *findNamed(QWidget &root, const QString &accessibleName)
    {
        for (T *candidate : root.findChildren<T *>()) {
            if (candidate->accessibleName() == accessibleName)
                return candidate;
        }
        return nullptr;
    }
    // The visible button with this accessible name or text, once queued redraws have run.
    static QPushButton *button(QWidget &root, const QString &name)
    {
        settle();
        for (QPushButton *candidate : root.findChildren<QPushButton *>()) {
            if (candidate->isVisibleTo(&root) && (candidate->accessibleName() == name || candidate->text() == name))
                return candidate;
        }
        return nullptr;
    }
    static QStringList visibleTexts(QWidget &root)
    {
        QStringList texts;
        for (QLabel *label : root.findChildren<QLabel *>()) {
            if (label->isVisibleTo(&root))
                texts << label->text();
        }
        return texts;
    }

    TempPreferences temp;
    PreferenceStore &prefs = *temp.store;
    ModuleRegistry registry { prefs };
    UpdateController updates { std::make_unique<IdleUpdater>() };
    LinkGate links = gitHubPages();
    StatusModule *actions = nullptr;
    NewsHistory history;
    HeadlessNotifier notifier;
    HeadlessGlobalShortcut shortcut;
    HeadlessDoNotDisturb doNotDisturb;
    SettingsWindowController controller;
};
