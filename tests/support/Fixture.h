#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

// The bytes of a test data file under `folder`; a missing file fails the calling test.
inline QByteArray readFixture(const char *folder, const char *name)
{
    QFile file(QString::fromLocal8Bit(folder) + u'/' + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}
