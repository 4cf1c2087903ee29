#include "X11Pasteboard.h"

#include "X11SelectionReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// Password managers (KeePassXC, KDE's own) offer this target beside the text.
const QString passwordManagerHint = QStringLiteral("x-kde-passwordManagerHint");

// As long as Qt waits for an owner.
constexpr int kOwnerTimeoutMs = 5000;

} // namespace

X11Pasteboard::X11Pasteboard(QClipboard *clipboard, QObject *parent)
    : QObject(parent), m_clipboard(clipboard)
{
    // Qt emits this for every new owner (XFixes), for its own writes
    // synchronously inside the call, and when the owner exits.
    connect(m_clipboard, &QClipboard::dataChanged, this, [this] { ++m_changeCount; });
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        m_reader = X11SelectionReader::open();
}

X11Pasteboard::~X11Pasteboard() = default;

std::optional<QString> X11Pasteboard::stringForType()
{
    m_refusedTextBytes = 0;
    const QMimeData *offer = m_clipboard->mimeData(QClipboard::Clipboard);
    if (offer == nullptr)
        return std::nullopt;
    // Our own text needs no round trip, and the reader would wait on us.
    if (!m_reader || m_clipboard->ownsClipboard())
        return recordableText(*offer);
    if (!offersRecordableText(*offer))
        return std::nullopt;
    const X11SelectionReader::Result read =
        m_reader->read({QByteArrayLiteral("UTF8_STRING"),
                        QByteArrayLiteral("text/plain;charset=utf-8"), QByteArrayLiteral("STRING")},
                       kMaximumCapturedTextBytes, kOwnerTimeoutMs);
    switch (read.outcome) {
    case X11SelectionReader::Outcome::text:
        return read.target == "STRING" ? QString::fromLatin1(read.bytes)
                                       : QString::fromUtf8(read.bytes);
    case X11SelectionReader::Outcome::tooLarge:
        m_refusedTextBytes = read.size;
        return std::nullopt;
    case X11SelectionReader::Outcome::refused:
        // An owner with only Qt's other text targets ("text/plain").
        return offer->text();
    case X11SelectionReader::Outcome::failed:
        break;
    }
    return std::nullopt;
}

std::optional<QString> X11Pasteboard::recordableText(const QMimeData &offer)
{
    if (!offersRecordableText(offer))
        return std::nullopt;
    return offer.text();
}

bool X11Pasteboard::offersRecordableText(const QMimeData &offer)
{
    // formats() is one TARGETS request; an owner that does not answer gives
    // an empty list after Qt's timeout, and nothing more is asked of it.
    const QStringList formats = offer.formats();
    if (formats.contains(passwordManagerHint) &&
        offer.data(passwordManagerHint).trimmed() == "secret")
        return false;
    return formats.contains(QStringLiteral("text/plain")) ||
           formats.contains(QStringLiteral("text/plain;charset=utf-8"));
}

void X11Pasteboard::clearContents()
{
    m_clipboard->clear(QClipboard::Clipboard);
}

void X11Pasteboard::setString(const QString &text)
{
    m_clipboard->setText(text, QClipboard::Clipboard);
}
