// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A clipboard owner for the end-to-end tests: takes the X11 CLIPBOARD with
// the targets given on the command line, logs every request it serves (so a
// test knows when Quillmark has looked, without sleeping) and exits when
// another client takes the clipboard.
//
//   clipboard_owner [--text TEXT] [--secret] [--data MIME FILE]... [--exit-after MS]
//                   [--stop-when-asked]
//
// --secret adds the target x-kde-passwordManagerHint with the value
// "secret", as password managers do. --exit-after ends it MS milliseconds
// after it took the clipboard, like an app that quits soon after a copy. Standard output: "ready"
// once the clipboard is ours, then "asked <target>" per request.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <utility>

namespace {

void logLine(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class LoggingMimeData final : public QMimeData {
public:
    void startLogging() { m_logging = true; }
    void stopWhenAsked() { m_stopWhenAsked = true; }

    QStringList formats() const override
    {
        if (m_logging)
            logLine(QStringLiteral("asked TARGETS"));
        return QMimeData::formats();
    }

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override
    {
        if (m_logging)
            logLine(QStringLiteral("asked ") + mimeType);
        if (m_logging && mimeType.startsWith(QLatin1String("text/")) &&
            std::exchange(m_stopWhenAsked, false))
            std::raise(SIGSTOP);
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    bool m_logging = false;
    mutable bool m_stopWhenAsked = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto *offer = new LoggingMimeData;
    int exitAfterMs = -1;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--text") && i + 1 < arguments.size()) {
            offer->setText(arguments.at(++i));
        } else if (argument == QLatin1String("--secret")) {
            offer->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
        } else if (argument == QLatin1String("--data") && i + 2 < arguments.size()) {
            const QString mimeType = arguments.at(++i);
            QFile file(arguments.at(++i));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
                return 2;
            }
            offer->setData(mimeType, file.readAll());
        } else if (argument == QLatin1String("--stop-when-asked")) {
            offer->stopWhenAsked();
        } else if (argument == QLatin1String("--exit-after") && i + 1 < arguments.size()) {
            exitAfterMs = arguments.at(++i).toInt();
        } else {
            std::fprintf(stderr, "usage: clipboard_owner [--text T] [--secret] [--data MIME FILE] "
                                 "[--exit-after MS] [--stop-when-asked]\n");
            return 2;
        }
    }

    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setMimeData(offer, QClipboard::Clipboard);
    if (!clipboard->ownsClipboard()) {
        std::fprintf(stderr, "could not take the clipboard\n");
        return 1;
    }
    QObject::connect(clipboard, &QClipboard::dataChanged, &app, [clipboard] {
        if (!clipboard->ownsClipboard())
            QApplication::quit();
    });
    offer->startLogging();
    logLine(QStringLiteral("ready"));
    if (exitAfterMs >= 0)
        QTimer::singleShot(exitAfterMs, &app, &QApplication::quit);
    return QApplication::exec();
}
