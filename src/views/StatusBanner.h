// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class QLabel;
class Theme;

// The message strip under the settings window's header: white text on a
// rounded red (error) or green (success) plate.
class StatusBanner : public QWidget {
    Q_OBJECT
public:
    explicit StatusBanner(const Theme &theme, QWidget *parent = nullptr);

    void setMessage(const QString &message, bool isError);
    [[nodiscard]] bool isError() const { return m_isError; }
    // A soft drop shadow, used under the aurora themes.
    void setShadowed(bool shadowed);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Theme &m_theme;
    QLabel *m_label;
    bool m_isError = false;
};
