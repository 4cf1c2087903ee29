#pragma once

#include "Dialogs.h"

// The dialogs as the user sees them: QMessageBox for questions and Qt's own
// file dialog (which can show the panel's message) for backups.
class QtDialogs final : public Dialogs {
public:
    [[nodiscard]] std::optional<int> confirm(QWidget *parent,
                                             const Confirmation &confirmation) override;
    [[nodiscard]] std::optional<QString> saveFile(QWidget *parent,
                                                  const FileRequest &request) override;
    [[nodiscard]] std::optional<QString> openFile(QWidget *parent,
                                                  const FileRequest &request) override;
};
