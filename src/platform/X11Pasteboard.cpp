#include "X11Pasteboard.h"

#include <QClipboard>
#include <QMimeData>

namespace {

// Password managers (KeePassXC, KDE's own) offer this target beside the text.
const QString passwordManagerHint = QStringLiteral("x-kde-passwordManagerHint");

} // namespace

X11Pasteboard::X11Pasteboard(QClipboard *clipboard, QObject *parent)
    : QObject(parent), m_clipboard(clipboard)
{
    // Qt emits this for every new owner (XFixes), for its own writes
    // synchronously inside the call, and when the owner exits.
    connect(m_clipboard, &QClipboard::dataChanged, this, [this] { ++m_changeCount; });
}

std::optional<QString> X11Pasteboard::stringForType()
{
    const QMimeData *offer = m_clipboard->mimeData(QClipboard::Clipboard);
    if (offer == nullptr)
        return std::nullopt;
    return recordableText(*offer);
}

std::optional<QString> X11Pasteboard::recordableText(const QMimeData &offer)
{
    // formats() is one TARGETS request; an owner that does not answer gives
    // an empty list after Qt's timeout, and nothing more is asked of it.
    const QStringList formats = offer.formats();
    if (formats.contains(passwordManagerHint) &&
        offer.data(passwordManagerHint).trimmed() == "secret")
        return std::nullopt;
    const bool offersText = formats.contains(QStringLiteral("text/plain")) ||
                            formats.contains(QStringLiteral("text/plain;charset=utf-8"));
    if (!offersText)
        return std::nullopt;
    return offer.text();
}

void X11Pasteboard::clearContents()
{
    m_clipboard->clear(QClipboard::Clipboard);
}

void X11Pasteboard::setString(const QString &text)
{
    m_clipboard->setText(text, QClipboard::Clipboard);
}
