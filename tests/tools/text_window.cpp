// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A window with one text field, for the suites that need an ordinary
// application in front (on Wayland: QT_QPA_PLATFORM=wayland). It prints
// "active" when it gets the keyboard, "inactive" when it loses it, and
// "text: ..." whenever what is typed into it changes.
#include <QApplication>
#include <QLineEdit>
#include <QWindow>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLineEdit field;
    field.setWindowTitle(QStringLiteral("Text window"));
    field.resize(400, 60);
    auto print = [](const QString &line) {
        std::printf("%s\n", line.toUtf8().constData());
        std::fflush(stdout);
    };
    QObject::connect(&field, &QLineEdit::textChanged,
                     [&](const QString &text) { print(QStringLiteral("text: ") + text); });
    QObject::connect(&app, &QGuiApplication::focusWindowChanged, [&](QWindow *window) {
        print(window ? QStringLiteral("active") : QStringLiteral("inactive"));
    });
    field.show();
    return QApplication::exec();
}
