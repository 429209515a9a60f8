#include "UrlSink.h"

#include "updates/MessageBoxUpdateDialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxUpdateDialogs, AnUpdateBoxDoesNotBlockOffersTheReleasePageAndIsFreedOnceClosed)
{
    UrlSink sink;
    MessageBoxUpdateDialogs dialogs;
    const QUrl page(QStringLiteral("https://github.com/teskarvo/Tarnlet/releases/tag/v0.2.0"));
    dialogs.showUpdateAvailable(QStringLiteral("0.2.0"), QStringLiteral("0.1.0"), page);
    QMessageBox *box = dialogs.currentBox();
    ASSERT_TRUE(box && box->isVisible() && !box->isModal());
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == QStringLiteral("Release-Seite \u00F6ffnen"))
            button->click(); // which also closes the box
    }
    EXPECT_EQ(sink.opened, QList<QUrl> { page });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialogs.currentBox(), nullptr) << "a closed box is freed";
}

} // namespace
