#pragma once

#include <QString>

// "White space and newlines" as Quillmark trims them, for blank copies and
// search fields alike: Unicode general category Z (spaces, line and
// paragraph separators), the controls U+0009 to U+000D, and U+0085.
[[nodiscard]] bool isSpaceOrNewline(char32_t codePoint);

// `text` without white space and newlines at either end.
[[nodiscard]] QString trimmedSpaceAndNewlines(const QString &text);

// True when nothing would be left after trimming (an empty text included).
// Does not allocate.
[[nodiscard]] bool isBlankText(const QString &text);
