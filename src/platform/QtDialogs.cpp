// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Wide enough for every question and explanation Quillmark asks on one or
// two lines, and for the window title, which window managers cut short.
constexpr int kTextWidth = 340;

} // namespace

std::optional<int> QtDialogs::confirm(QWidget *parent, const Confirmation &confirmation)
{
    QDialog dialog(parent);
    // A fixed-size question: no minimise or maximise buttons.
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint);
    // The question names the window in the window list; the dialog is wide
    // enough for window managers to show it whole.
    dialog.setWindowTitle(confirmation.title);
    dialog.setObjectName(QStringLiteral("confirmation"));

    auto *question = new QLabel(confirmation.title, &dialog);
    question->setObjectName(QStringLiteral("question"));
    QFont bold = question->font();
    bold.setBold(true);
    bold.setPixelSize(15);
    question->setFont(bold);
    auto *message = new QLabel(confirmation.message, &dialog);
    message->setObjectName(QStringLiteral("message"));
    for (QLabel *label : {question, message}) {
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setFixedWidth(kTextWidth);
    }
    message->setVisible(!confirmation.message.isEmpty());

    auto *texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(question);
    texts->addWidget(message);
    auto *body = new QHBoxLayout;
    body->setSpacing(16);
    if (confirmation.icon == Icon::warning) {
        auto *icon = new QLabel(&dialog);
        const int side = 40;
        icon->setPixmap(dialog.style()
                            ->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, &dialog)
                            .pixmap(QSize(side, side), dialog.devicePixelRatioF()));
        body->addWidget(icon, 0, Qt::AlignTop);
    }
    body->addLayout(texts);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    std::optional<int> cancelIndex;
    std::optional<int> answer;
    QList<QPushButton *> buttons;
    for (qsizetype i = 0; i < confirmation.buttons.size(); ++i) {
        const Button &choice = confirmation.buttons[i];
        auto *button = new QPushButton(choice.title, &dialog);
        // Return presses the button with the focus, which starts on the
        // default one; Tab moves on to the others.
        button->setAutoDefault(true);
        button->setMinimumWidth(88);
        if (choice.role == ButtonRole::cancel && !cancelIndex)
            cancelIndex = int(i);
        // The appearance hook tints these red.
        button->setProperty("destructive", choice.role == ButtonRole::destructive);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &answer, i] {
            answer = int(i);
            dialog.done(QDialog::Accepted);
        });
        buttonRow->addWidget(button);
        buttons.append(button);
    }
    const std::optional<int> defaultIndex = confirmation.defaultButton &&
                                                    *confirmation.defaultButton >= 0 &&
                                                    *confirmation.defaultButton < buttons.size()
                                                ? confirmation.defaultButton
                                                : cancelIndex;
    if (defaultIndex) {
        buttons[*defaultIndex]->setDefault(true);
        buttons[*defaultIndex]->setFocus(Qt::OtherFocusReason);
    }

    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(18);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(body);
    layout->addLayout(buttonRow);
    if (m_appearance)
        m_appearance(&dialog);

    // Escape and the window's close button reject: no answer, which every
    // caller takes as its cancel button.
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return answer;
}

std::optional<QString> QtDialogs::saveFile(QWidget *parent, const FileRequest &request)
{
    return runFileDialog(parent, request, true);
}

std::optional<QString> QtDialogs::openFile(QWidget *parent, const FileRequest &request)
{
    return runFileDialog(parent, request, false);
}

std::optional<QString> QtDialogs::runFileDialog(QWidget *parent, const FileRequest &request,
                                                bool save) const
{
    // Qt's own dialog rather than a desktop portal: only it can carry the
    // panel's explanatory message, and it behaves the same everywhere.
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setNameFilter(QObject::tr("JSON files (*.json)"));
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (save) {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.selectFile(request.proposedName);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.message.isEmpty()) {
        if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
            auto *label = new QLabel(request.message, &dialog);
            label->setWordWrap(true);
            grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    if (m_appearance)
        m_appearance(&dialog);
    // Room for the title, the message and a useful list, within the screen.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    QSize size(760, 500);
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 80));
    dialog.resize(size);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}
