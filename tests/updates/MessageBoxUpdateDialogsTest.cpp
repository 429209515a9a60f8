#include "UrlSink.h"

#include "updates/MessageBoxUpdateDialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxUpdateDialogs, OneBoxAtATimeWithoutBlockingOfferingTheReleasePage)
{
    UrlSink sink;
    MessageBoxUpdateDialogs dialogs;
    dialogs.showError(QStringLiteral("GitHub ist nicht erreichbar."));
    QPointer<QMessageBox> box = dialogs.currentBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->informativeText(), QStringLiteral("GitHub ist nicht erreichbar."));

    const QUrl page(QStringLiteral("https://github.com/teskarvo/Tarnlet/releases/tag/v0.2.0"));
    dialogs.showUpdateAvailable(QStringLiteral("0.2.0"), QStringLiteral("0.1.0"), page);
    EXPECT_TRUE(box.isNull()) << "a new answer replaces the box on screen";
    box = dialogs.currentBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(
        box->informativeText().contains(QStringLiteral("Tarnlet 0.2.0 ist erschienen, installiert ist Version 0.1.0")));
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == QStringLiteral("Release-Seite \u00F6ffnen"))
            button->click();
    }
    EXPECT_EQ(sink.opened, QList<QUrl> { page });

    dialogs.showUpToDate(QStringLiteral("0.1.0"));
    box = dialogs.currentBox();
    ASSERT_TRUE(box);
    box->close(); // closing the box frees it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
    EXPECT_EQ(dialogs.currentBox(), nullptr);
}

} // namespace
