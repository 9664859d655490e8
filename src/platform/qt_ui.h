#pragma once

#include "ui.h"

class QWidget;

namespace mr640 {

// The program's own answers: Qt message boxes and Qt's file dialog.
class QtUi : public Ui
{
public:
    // Boxes and dialogs are shown over parent (may be null).
    explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}

    void SetParent(QWidget* parent) { parent_ = parent; }

    MessageButton ShowMessage(const MessageRequest& request) override;
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;

private:
    QWidget* parent_;
    QString lastFileName_; // offered again when a request sets no name
};

// The Qt name filters of a "description|pattern|..." filter text.
QStringList NameFiltersOf(const QString& filter);

// The default suffix ("dip") a name filter such as "MR640 dip files (*.dip)" implies.
QString SuffixOfNameFilter(const QString& nameFilter);

} // namespace mr640
