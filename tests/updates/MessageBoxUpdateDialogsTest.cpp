#include "UrlSink.h"

#include "updates/MessageBoxUpdateDialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

QAbstractButton *buttonTitled(QMessageBox &box, const QString &title)
{
    for (QAbstractButton *button : box.buttons())
        if (button->text() == title)
            return button;
    return nullptr;
}

TEST(MessageBoxUpdateDialogs, OffersTheReleasePageWithoutBlocking)
{
    UrlSink sink;
    MessageBoxUpdateDialogs dialogs;
    const QUrl page(QStringLiteral("https://github.com/teskarvo/Tarnlet/releases/tag/v0.2.0"));
    dialogs.showUpdateAvailable(QStringLiteral("0.2.0"), QStringLiteral("0.1.0"), page);

    QMessageBox *box = dialogs.currentBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->text(), QStringLiteral("Eine neue Version von Tarnlet ist verfügbar."));
    EXPECT_TRUE(box->informativeText().contains(QStringLiteral("Tarnlet 0.2.0")));
    EXPECT_TRUE(box->informativeText().contains(QStringLiteral("Version 0.1.0")));
    ASSERT_NE(buttonTitled(*box, QStringLiteral("Später")), nullptr);
    QAbstractButton *open = buttonTitled(*box, QStringLiteral("Release-Seite öffnen"));
    ASSERT_NE(open, nullptr);
    open->click();
    EXPECT_EQ(sink.opened, QList<QUrl> { page });
}

TEST(MessageBoxUpdateDialogs, ANewAnswerReplacesTheBoxOnScreen)
{
    MessageBoxUpdateDialogs dialogs;
    dialogs.showError(QStringLiteral("GitHub ist nicht erreichbar."));
    QPointer<QMessageBox> first = dialogs.currentBox();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text(), QStringLiteral("Die Suche nach Updates ist fehlgeschlagen."));
    EXPECT_EQ(first->informativeText(), QStringLiteral("GitHub ist nicht erreichbar."));

    dialogs.showUpToDate(QStringLiteral("0.1.0"));
    EXPECT_TRUE(first.isNull());
    QPointer<QMessageBox> second = dialogs.currentBox();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->text(), QStringLiteral("Tarnlet ist auf dem neuesten Stand."));
    EXPECT_EQ(second->informativeText(), QStringLiteral("Version 0.1.0 ist die aktuelle Version."));

    // Closing the box frees it.
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(dialogs.currentBox(), nullptr);
}

} // namespace
