#pragma once

// The parts the small dialogs of site versions and of the team are built of, each control
// named for tests and given its Alt letter.

#include <QString>

class QBoxLayout;
class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QLineEdit;

namespace mr640 {

// The dialog's explanation above its fields, plain text.
void AddHint(QBoxLayout& layout, const QString& text, const QString& objectName);

// OK and Cancel, named "Cmd" + prefix + "Ok" and "Cmd" + prefix + "Cancel", their letters the
// dialog's own whatever the platform's theme gives them.
QDialogButtonBox* AddButtons(QDialog& dialog, QBoxLayout& layout, const QString& prefix);

// A text field named "Txt" + name, its caption (with its Alt letter) "Lbl" + name.
QLineEdit* AddField(QFormLayout& form, const QString& name, const QString& caption,
                    const QString& text);

} // namespace mr640
