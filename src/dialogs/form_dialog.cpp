#include "form_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace mr640 {

FormDialog::FormDialog(const QString& objectName, QSize clientSize)
{
    setObjectName(objectName);
    setFixedSize(clientSize);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void FormDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && cancelButton_) {
        cancelButton_->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FormDialog::closeEvent(QCloseEvent* event)
{
    // QDialog would reject(); a frame close is neither of the dialog's buttons.
    hide();
    event->accept();
    if (onFrameClose)
        onFrameClose();
}

} // namespace mr640
