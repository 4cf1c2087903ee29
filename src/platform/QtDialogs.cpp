#include "QtDialogs.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::ButtonRole messageBoxRole(Dialogs::ButtonRole role)
{
    switch (role) {
    case Dialogs::ButtonRole::destructive:
        return QMessageBox::DestructiveRole;
    case Dialogs::ButtonRole::cancel:
        return QMessageBox::RejectRole;
    case Dialogs::ButtonRole::normal:
        break;
    }
    return QMessageBox::AcceptRole;
}

std::optional<QString> runFileDialog(QWidget *parent, const Dialogs::FileRequest &request,
                                     QFileDialog::AcceptMode mode)
{
    // Qt's own dialog rather than a desktop portal: only it can carry the
    // panel's explanatory message, and it behaves the same everywhere.
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setNameFilter(QObject::tr("JSON files (*.json)"));
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (mode == QFileDialog::AcceptSave) {
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
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

} // namespace

std::optional<int> QtDialogs::confirm(QWidget *parent, const Confirmation &confirmation)
{
    QMessageBox box(parent);
    box.setWindowTitle(confirmation.title);
    box.setText(confirmation.title);
    box.setInformativeText(confirmation.message);
    box.setIcon(confirmation.icon == Icon::warning ? QMessageBox::Warning : QMessageBox::NoIcon);

    QList<QAbstractButton *> buttons;
    for (const Button &button : confirmation.buttons) {
        QPushButton *added = box.addButton(button.title, messageBoxRole(button.role));
        buttons.append(added);
        if (button.role == ButtonRole::cancel)
            box.setEscapeButton(added);
    }
    if (confirmation.defaultButton && *confirmation.defaultButton >= 0 &&
        *confirmation.defaultButton < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons[*confirmation.defaultButton]));

    box.exec();
    const int index = static_cast<int>(buttons.indexOf(box.clickedButton()));
    if (index < 0)
        return std::nullopt;
    return index;
}

std::optional<QString> QtDialogs::saveFile(QWidget *parent, const FileRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtDialogs::openFile(QWidget *parent, const FileRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}
