#pragma once

#include <QDialog>
#include <QRect>

#include <functional>

class QPushButton;

namespace mr640 {

// A rectangle given in twips (15 to the pixel), as the dialogs' layouts are.
inline QRect TwipRect(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

// A fixed-size dialog laid out by hand. Esc presses its cancel button, so Esc and Cancel
// are one path, while closing through the frame only hides it and runs onFrameClose:
// the dialogs tell the two apart.
class FormDialog : public QDialog
{
public:
    FormDialog(const QString& objectName, QSize clientSize);

    void SetCancelButton(QPushButton* button) { cancelButton_ = button; }
    std::function<void()> onFrameClose;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* cancelButton_ = nullptr;
};

} // namespace mr640
