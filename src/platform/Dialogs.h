// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

#include <optional>

class QWidget;

// The modal questions Quillmark asks: confirmations and alerts, and the
// panels that pick a backup file. Behind one small interface so that the
// real ones come from Qt and widget tests answer them without a screen.
class Dialogs {
public:
    enum class ButtonRole { normal, destructive, cancel };
    enum class Icon { none, warning };

    struct Button {
        QString title;
        ButtonRole role = ButtonRole::normal;
    };

    struct Confirmation {
        // The question in bold, then the explanation below it.
        QString title;
        QString message;
        QList<Button> buttons;
        Icon icon = Icon::none;
        // Index into `buttons` of the button that Return presses; without
        // one, Return presses the cancel button, so that a keystroke never
        // confirms a destructive action. Escape always cancels.
        std::optional<int> defaultButton;
    };

    // A save or open panel that offers JSON files only.
    struct FileRequest {
        QString title;
        QString message;
        QString directory;
        // Save panels only: the file name proposed in the name field.
        QString proposedName;
    };

    virtual ~Dialogs() = default;

    // The index of the button pressed, or nothing when the dialog was
    // closed without one (Escape, the window's close button). Callers treat
    // nothing like their cancel button.
    [[nodiscard]] virtual std::optional<int> confirm(QWidget *parent,
                                                     const Confirmation &confirmation) = 0;
    // The chosen path, or nothing when the panel was cancelled.
    [[nodiscard]] virtual std::optional<QString> saveFile(QWidget *parent,
                                                          const FileRequest &request) = 0;
    [[nodiscard]] virtual std::optional<QString> openFile(QWidget *parent,
                                                          const FileRequest &request) = 0;
};
