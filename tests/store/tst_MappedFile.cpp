// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MappedFile.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray patterned(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 23);
    return bytes;
}

bool truncateFile(const QString &path, off_t size)
{
    return ::truncate(QFile::encodeName(path).constData(), size) == 0;
}

} // namespace

class TestMappedFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    // Page edges are where a mapping goes wrong.
    void givesTheWholeFile_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<qsizetype>("consumed");
        QTest::newRow("empty") << qsizetype(0) << qsizetype(0);
        QTest::newRow("a page and a byte") << qsizetype(4097) << qsizetype(4096);
        QTest::newRow("many pages, part consumed") << qsizetype(300'001) << qsizetype(200'000);
    }
    void givesTheWholeFile()
    {
        QFETCH(qsizetype, size);
        QFETCH(qsizetype, consumed);
        const QString path = m_dir.filePath(QStringLiteral("file"));
        const QByteArray content = patterned(size);
        QVERIFY(writeFileContents(path, content));

        MappedFile file;
        QCOMPARE(file.open(path), QString());
        QCOMPARE(file.bytes().toByteArray(), content);
        // What is given back before `consumed` leaves everything after it.
        file.releaseFront(consumed);
        QCOMPARE(file.bytes().size(), size);
        QCOMPARE(file.bytes().sliced(consumed).toByteArray(), content.sliced(consumed));
        QVERIFY(!file.wasCutShort());

        // The descriptor is the file that was read, whatever is at the path.
        const int fd = file.takeDescriptor();
        QVERIFY(fd >= 0);
        QVERIFY(writeFileContents(path + QStringLiteral(".new"), "replaced"));
        QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                         QFile::encodeName(path).constData()) == 0);
        QByteArray again(size, '\0');
        QCOMPARE(::pread(fd, again.data(), size_t(size), 0), ssize_t(size));
        ::close(fd);
        QCOMPARE(again, content);
    }

    // Another program truncating the file while it is mapped: reading past
    // the new end gives zeros and says so, instead of a bus error.
    void aFileCutShortReadsAsZerosAndSaysSo()
    {
        const QString path = m_dir.filePath(QStringLiteral("file"));
        const QByteArray content = patterned(5 * 4096);
        QVERIFY(writeFileContents(path, content));
        MappedFile file;
        QCOMPARE(file.open(path), QString());
        QVERIFY(truncateFile(path, 4096));

        const QByteArrayView bytes = file.bytes();
        QCOMPARE(bytes.first(4096).toByteArray(), content.first(4096));
        QCOMPARE(bytes.sliced(4096).toByteArray(), QByteArray(4 * 4096, '\0'));
        QVERIFY(file.wasCutShort());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestMappedFile)
#include "tst_MappedFile.moc"
