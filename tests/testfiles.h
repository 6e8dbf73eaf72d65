#pragma once
// Reading and writing whole files in tests.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace cm::test {

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace cm::test
