#include "ClipboardItem.h"

bool canonicallyEqual(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    // Only texts outside plain ASCII can have a second canonical spelling.
    auto isAscii = [](const QString &s) {
        for (QChar c : s)
            if (c.unicode() >= 0x80)
                return false;
        return true;
    };
    if (isAscii(a) && isAscii(b))
        return false;
    return a.normalized(QString::NormalizationForm_D) == b.normalized(QString::NormalizationForm_D);
}

bool operator==(const ClipboardItem &a, const ClipboardItem &b)
{
    return a.id == b.id && canonicallyEqual(a.content, b.content) && a.createdAt == b.createdAt;
}

size_t qHash(const ClipboardItem &item, size_t seed) noexcept
{
    // Hash the composed form so that canonically equal contents hash alike.
    return qHashMulti(seed, item.id, item.content.normalized(QString::NormalizationForm_C),
                      item.createdAt);
}
