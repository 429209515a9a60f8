#pragma once

#include "FakeGitHubApi.h"
#include "InMemorySecretStore.h"
#include "QtPrinters.h"
#include "TempPreferences.h"

#include "core/DevModule.h"
#include "core/ModuleRegistry.h"
#include "core/prefs/AppPreferences.h"
#include "services/GitHubCredentials.h"
#include "settings/GitHubAccount.h"
#include "settings/SettingsSidebar.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "updates/UpdateController.h"
#include "updates/Updater.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

#include <gtest/gtest.h>

// A module whose status, error, lines and list the test sets; each change is announced before it
// is made, as real modules do.
class StatusModule final : public DevModule {
public:
    StatusModule(QString id, QString title)
        : m_id(std::move(id))
        , m_title(std::move(title))
    { }

    QString id() const override { return m_id; }
    QString title() const override { return m_title; }
    QString symbol() const override { return QStringLiteral("shippingbox"); }
    std::optional<ModuleStatus> compactStatus() const override { return m_status; }
    void start() override { }
    void stop() override { }
    std::optional<QString> errorText() const override { return m_error; }
    QList<ModuleDetail> details() const override { return m_details; }
    std::optional<ModuleListSetting> listSetting() const override { return list; }

    void setStatus(std::optional<ModuleStatus> status) { change(m_status, std::move(status)); }
    void setError(std::optional<QString> error) { change(m_error, std::move(error)); }
    void setDetails(QList<ModuleDetail> details) { change(m_details, std::move(details)); }

    // Read when a pane first meets the module.
    std::optional<ModuleListSetting> list;

private:
    template<class T> void change(T &field, T value)
    {
        Q_EMIT willChange();
        field = std::move(value);
    }

    QString m_id;
    QString m_title;
    std::optional<ModuleStatus> m_status;
    std::optional<QString> m_error;
    QList<ModuleDetail> m_details;
};

// An updater that counts the checks it is asked for and whose "can check" flag the test sets.
class FakeUpdater final : public Updater {
public:
    void startUpdater() override { }
    void checkForUpdates() override { ++checks; }
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool enabled) override { automatic = enabled; }
    bool canCheckForUpdates() const override { return canCheck; }
    void setCanCheck(bool can)
    {
        canCheck = can;
        Q_EMIT canCheckForUpdatesChanged();
    }

    int checks = 0;
    bool automatic = true;
    bool canCheck = true;
};

// The settings window over a preference store, a registry holding the three modules (the Actions
// module with a status, the other two without), a fake updater, and the account over an
// in-memory secret store and a GitHub API the test answers.
struct SettingsFixture {
    explicit SettingsFixture(std::unique_ptr<PreferenceStore> store, bool withModules = true)
        : preferences(std::move(store))
        , registry(*preferences)
    {
        AppPreferences::registerDefaults(*preferences);
        if (withModules) {
            actions = add(QStringLiteral("github.actions"), QStringLiteral("GitHub Actions"));
            actions->setStatus(ModuleStatus { QStringLiteral("CI · main · erfolgreich"), Color::green() });
            add(QStringLiteral("github.pullRequests"), QStringLiteral("Pull Requests"));
            add(QStringLiteral("docker"), QStringLiteral("Docker"));
        }
    }

    StatusModule *add(const QString &id, const QString &title)
    {
        auto module = std::make_unique<StatusModule>(id, title);
        StatusModule *raw = module.get();
        registry.registerModule(std::move(module));
        return raw;
    }

    std::unique_ptr<PreferenceStore> preferences;
    ModuleRegistry registry;
    FakeUpdater *updater = new FakeUpdater;
    UpdateController updates { std::unique_ptr<Updater>(updater) };
    InMemorySecretStore secrets;
    GitHubCredentials credentials;
    FakeGitHubApi gitHub;
    GitHubAccount account { secrets, credentials, gitHub };
    StatusModule *actions = nullptr;
    SettingsWindowController controller { registry, updates, *preferences, account };
};

// A shown settings window over a temporary store; helpers to find what a user would see.
class SettingsWindowTestBase : public ::testing::Test {
protected:
    SettingsWindowTestBase()
        : fixture(temp.reopen())
    {
        fixture.controller.show();
        QApplication::setActiveWindow(&view());
    }

    SettingsView &view() { return *fixture.controller.window(); }

    // Runs the queued redraws (module and registry notices are handled after the current work).
    static void settle() { QCoreApplication::processEvents(); }

    QWidget &select(SettingsPane pane)
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

    // Texts of the visible labels under `root`, sorted.
    static QStringList visibleTexts(QWidget &root)
    {
        QStringList texts;
        for (QLabel *label : root.findChildren<QLabel *>()) {
            if (label->isVisibleTo(&root))
                texts << label->text();
        }
        texts.sort();
        return texts;
    }

    TempPreferences temp;
    SettingsFixture fixture;
};
