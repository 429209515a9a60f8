#pragma once

#include "QtPrinters.h"
#include "SettingsFixture.h"
#include "TempPreferences.h"

#include "settings/SettingsSidebar.h"
#include "settings/SettingsView.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

#include <gtest/gtest.h>

// A shown settings window over a temporary store; helpers to find what a user would see.
class SettingsWindowTestBase : public ::testing::Test {
protected:
    SettingsWindowTestBase()
        : fixture(temp.reopen())
    {
        fixture.controller->show();
        QApplication::setActiveWindow(&view());
    }

    // Whether the window sits centred on its screen (to the pixel that halving rounds off).
    bool centred()
    {
        return (view().geometry().center() - view().screen()->availableGeometry().center()).manhattanLength() <= 1;
    }

    SettingsView &view() { return *fixture.controller->window(); }

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
