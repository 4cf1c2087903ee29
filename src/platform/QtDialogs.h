// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Dialogs.h"

#include <functional>

// The dialogs as the user sees them: a compact question dialog of our own
// (bold question, wrapped explanation, Return on the default button and
// Escape on the cancel one) and Qt's own file dialog (which can show the
// panel's message) for backups. The views' look reaches them through the
// appearance hook, applied to every dialog before it shows; a button with a
// destructive role carries the property "destructive" for it.
class QtDialogs final : public Dialogs {
public:
    using Appearance = std::function<void(QWidget *dialog)>;

    void setAppearance(Appearance appearance) { m_appearance = std::move(appearance); }

    [[nodiscard]] std::optional<int> confirm(QWidget *parent,
                                             const Confirmation &confirmation) override;
    [[nodiscard]] std::optional<QString> saveFile(QWidget *parent,
                                                  const FileRequest &request) override;
    [[nodiscard]] std::optional<QString> openFile(QWidget *parent,
                                                  const FileRequest &request) override;

private:
    [[nodiscard]] std::optional<QString> runFileDialog(QWidget *parent, const FileRequest &request,
                                                       bool save) const;

    Appearance m_appearance;
};
