// A clipboard owner for the end-to-end tests: takes the X11 CLIPBOARD with
// the targets given on the command line, logs every request it serves (so a
// test knows when Quillmark has looked, without sleeping) and exits when
// another client takes the clipboard.
//
//   clipboard_owner [--text TEXT] [--secret] [--data MIME FILE]...
//
// --secret adds the target x-kde-passwordManagerHint with the value
// "secret", as password managers do. Standard output: "ready" once the
// clipboard is ours, then "asked <target>" per request.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>

#include <cstdio>

namespace {

void logLine(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class LoggingMimeData final : public QMimeData {
public:
    void startLogging() { m_logging = true; }

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
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    bool m_logging = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto *offer = new LoggingMimeData;
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
        } else {
            std::fprintf(stderr,
                         "usage: clipboard_owner [--text T] [--secret] [--data MIME FILE]\n");
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
    return QApplication::exec();
}
