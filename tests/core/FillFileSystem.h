#pragma once
// FillFileSystem: writes a file of its own at path until the file system holding it has no byte
// left, down to the last bytes of a partly used page.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

inline void FillFileSystem(const QString &path)
{
    QFile filler(path);
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    while (filler.write("x", 1) == 1) {
    }
}
