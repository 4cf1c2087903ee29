// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// Redirects the process's standard output into a temporary file for the
// lifetime of the object, so a test can check the lines printed by design.
class StdoutCapture {
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        m_file.open();
        m_saved = ::dup(STDOUT_FILENO);
        ::dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    // Everything printed so far.
    [[nodiscard]] QByteArray text()
    {
        std::fflush(stdout);
        m_file.seek(0);
        return m_file.readAll();
    }

    // The lines printed so far, without QTest's own log lines (under QTest,
    // qDebug/qWarning messages go to standard output too).
    [[nodiscard]] QStringList lines()
    {
        QStringList lines = QString::fromUtf8(text()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        static const QRegularExpression testLog(QStringLiteral("^Q(WARN|DEBUG|INFO|SYSTEM) "));
        lines.removeIf([](const QString &line) { return line.contains(testLog); });
        return lines;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};
