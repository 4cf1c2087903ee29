#include "TextTrim.h"

#include <QChar>

bool isSpaceOrNewline(char32_t codePoint)
{
    if ((codePoint >= 0x09 && codePoint <= 0x0D) || codePoint == 0x85)
        return true;
    switch (QChar::category(codePoint)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

// Every such character lies in the Basic Multilingual Plane, so a surrogate
// is never white space and the scan can go code unit by code unit.
QString trimmedSpaceAndNewlines(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrNewline(text.at(begin).unicode()))
        ++begin;
    while (end > begin && isSpaceOrNewline(text.at(end - 1).unicode()))
        --end;
    return text.mid(begin, end - begin);
}

bool isBlankText(const QString &text)
{
    for (QChar c : text)
        if (!isSpaceOrNewline(c.unicode()))
            return false;
    return true;
}
