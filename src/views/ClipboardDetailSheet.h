// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"

#include <QDialog>

class CopyButton;
class ItemTextView;
class QLabel;
class QPushButton;
class Theme;

// One history item in full, as a sheet over the main window: its capture
// time, the whole text (selectable, search matches marked) and a "Copy"
// button that leaves the sheet open. "Close" dismisses it.
class ClipboardDetailSheet : public QDialog {
    Q_OBJECT
public:
    ClipboardDetailSheet(const Theme &theme, QWidget *parent);

    // Shows `item`; the text view, not the copy button, takes the keyboard.
    void setItem(const ClipboardItem &item, const QString &query);

Q_SIGNALS:
    // The copy button was clicked; the sheet stays open.
    void copyRequested(const ClipboardItem &item);

private:
    void applyTheme();

    const Theme &m_theme;
    ClipboardItem m_item;
    QLabel *m_timestamp;
    CopyButton *m_copyButton;
    ItemTextView *m_text;
    QPushButton *m_closeButton;
};
