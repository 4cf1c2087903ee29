#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// Whole-file replacement that never leaves a half-written or empty file:
// write aside, flush to disk, then rename over the target. Files are
// created with mode 0600 (they hold what the user copied).
class AtomicFile {
public:
    // Returns an empty string on success, otherwise a human description.
    [[nodiscard]] static QString write(const QString &path, const QByteArray &data);

    // Writes one piece of the content; false once writing has failed.
    using Put = std::function<bool(QByteArrayView)>;
    // The same, the content made piece by piece: `produce` hands each piece
    // to the function it is given and returns false to give up (the old
    // file then stays as it was).
    [[nodiscard]] static QString write(const QString &path,
                                       const std::function<bool(const Put &)> &produce);

    // Deletes the temporary files that writes to `path` cut short by a
    // crash or a kill left beside it (the file itself is always whole).
    static void removeLeftovers(const QString &path);
};
