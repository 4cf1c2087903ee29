#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <memory>

struct xcb_connection_t;

// Reads the text of the X11 CLIPBOARD on a connection of its own, with a
// size limit. QClipboard reads whatever the owner sends and then converts
// it; one copy of a gigabyte would hold several gigabytes at once. Here the
// size is known before the text is fetched (the property's length, or the
// INCR transfer's announced size), and the pieces of a transfer that grows
// past the limit are only counted, so an oversized text never enters memory.
class X11SelectionReader {
public:
    enum class Outcome {
        text,     // `bytes` holds the text in the target's encoding
        refused,  // the owner offers none of the targets asked for
        tooLarge, // larger than the limit; `size` says how large
        failed,   // no owner, no answer in time, or the connection broke
    };
    struct Result {
        Outcome outcome = Outcome::failed;
        QByteArray bytes;
        QByteArray target; // the target that answered
        qint64 size = 0;
    };

    // A connection to the display in DISPLAY; null when there is none.
    [[nodiscard]] static std::unique_ptr<X11SelectionReader> open();
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    // Asks the CLIPBOARD owner for each target in turn (e.g. UTF8_STRING,
    // then STRING) until one answers; never holds more than `limit` bytes.
    [[nodiscard]] Result read(const QByteArrayList &targets, qint64 limit, int timeoutMs);

private:
    explicit X11SelectionReader(xcb_connection_t *connection);
    [[nodiscard]] Result readTarget(quint32 target, qint64 limit, int timeoutMs);
    [[nodiscard]] quint32 atom(const QByteArray &name) const;
    void makeWindow();

    xcb_connection_t *m_connection;
    quint32 m_window = 0;
    quint32 m_clipboard = 0;
    quint32 m_property = 0;
    quint32 m_incr = 0;
};
