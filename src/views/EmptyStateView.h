// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Symbols.h"

#include <QWidget>

class QLabel;
class Theme;

// The centred "nothing here" message: a large symbol, a title and a
// description, each wrapped to the width available and laid out whole.
class EmptyStateView : public QWidget {
    Q_OBJECT
public:
    explicit EmptyStateView(const Theme &theme, QWidget *parent = nullptr);

    void setContent(Symbol symbol, const QString &title, const QString &description);

    [[nodiscard]] Symbol symbol() const { return m_symbol; }
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString description() const;

private:
    void applyTheme();

    const Theme &m_theme;
    Symbol m_symbol = Symbol::starHexagonFill;
    QLabel *m_symbolLabel;
    QLabel *m_title;
    QLabel *m_description;
};
