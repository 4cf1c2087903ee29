// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <optional>
#include <variant>

// Answers the app's dialogs from a queue that the test fills beforehand, and
// keeps every question asked so the test can check titles and messages.
// An empty queue answers "closed without a choice" (Escape).
class FakeDialogs final : public Dialogs {
public:
    struct PressButton {
        QString title;
    };
    struct Dismiss {};
    struct ChooseFile {
        QString path;
    };
    using Answer = std::variant<PressButton, Dismiss, ChooseFile>;

    void pressButton(const QString &title) { m_answers.enqueue(PressButton{title}); }
    void dismiss() { m_answers.enqueue(Dismiss{}); }
    void chooseFile(const QString &path) { m_answers.enqueue(ChooseFile{path}); }

    [[nodiscard]] const QList<Confirmation> &confirmations() const { return m_confirmations; }
    [[nodiscard]] const QList<FileRequest> &saveRequests() const { return m_saveRequests; }
    [[nodiscard]] const QList<FileRequest> &openRequests() const { return m_openRequests; }

    [[nodiscard]] std::optional<int> confirm(QWidget *, const Confirmation &confirmation) override
    {
        m_confirmations.append(confirmation);
        const Answer answer = next();
        if (const auto *press = std::get_if<PressButton>(&answer)) {
            for (int i = 0; i < confirmation.buttons.size(); ++i)
                if (confirmation.buttons[i].title == press->title)
                    return i;
        }
        return std::nullopt;
    }
    [[nodiscard]] std::optional<QString> saveFile(QWidget *, const FileRequest &request) override
    {
        m_saveRequests.append(request);
        return chosenFile();
    }
    [[nodiscard]] std::optional<QString> openFile(QWidget *, const FileRequest &request) override
    {
        m_openRequests.append(request);
        return chosenFile();
    }

private:
    Answer next() { return m_answers.isEmpty() ? Answer{Dismiss{}} : m_answers.dequeue(); }
    std::optional<QString> chosenFile()
    {
        const Answer answer = next();
        if (const auto *file = std::get_if<ChooseFile>(&answer))
            return file->path;
        return std::nullopt;
    }

    QQueue<Answer> m_answers;
    QList<Confirmation> m_confirmations;
    QList<FileRequest> m_saveRequests;
    QList<FileRequest> m_openRequests;
};
