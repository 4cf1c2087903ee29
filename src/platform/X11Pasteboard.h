#pragma once

#include "Pasteboard.h"

#include <QObject>

#include <memory>

class QClipboard;
class QMimeData;
class X11SelectionReader;

// The X11 CLIPBOARD selection as capture and copy-back see it, through
// QClipboard on the xcb platform.
//
// X11 has no change counter, so this one keeps its own: it moves on every
// ownership change Qt reports (`dataChanged`), Quillmark's own writes
// included. Reading the text is a round trip to the owning client, which may
// be slow or frozen (Qt then blocks for its timeout), so the text is only
// read when asked; the store asks only after the counter moved. On X11 the
// text itself is read on a connection of our own, so that a text above the
// capture limit is refused before it is fetched.
class X11Pasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    explicit X11Pasteboard(QClipboard *clipboard, QObject *parent = nullptr);
    ~X11Pasteboard() override;

    [[nodiscard]] qint64 changeCount() const override { return m_changeCount; }
    [[nodiscard]] std::optional<QString> stringForType() override;
    [[nodiscard]] qint64 refusedTextBytes() const override { return m_refusedTextBytes; }
    void clearContents() override;
    void setString(const QString &text) override;

    // What capture may record from an owner's offer: its plain text, or
    // nothing when it offers no text or marks the text as a secret (the
    // hint password managers set). Asks the owner for the hint before the
    // text, so a secret is never converted at all.
    [[nodiscard]] static std::optional<QString> recordableText(const QMimeData &offer);
    // The same decision without reading the text.
    [[nodiscard]] static bool offersRecordableText(const QMimeData &offer);

private:
    QClipboard *m_clipboard;
    qint64 m_changeCount = 0;
    qint64 m_refusedTextBytes = 0;
    std::unique_ptr<X11SelectionReader> m_reader; // null off X11
};
