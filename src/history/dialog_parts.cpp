#include "dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mr640 {

using namespace Qt::StringLiterals;

void AddHint(QBoxLayout& layout, const QString& text, const QString& objectName)
{
    auto* hint = new QLabel(text);
    hint->setObjectName(objectName);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    layout.addWidget(hint);
}

QDialogButtonBox* AddButtons(QDialog& dialog, QBoxLayout& layout, const QString& prefix)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(prefix + u"Buttons"_s);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"Cmd"_s + prefix + u"Ok"_s);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"Cmd"_s + prefix + u"Cancel"_s);
    buttons->button(QDialogButtonBox::Ok)->setText(u"&OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"&Cancel"_s);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(buttons);
    return buttons;
}

QLineEdit* AddField(QFormLayout& form, const QString& name, const QString& caption,
                    const QString& text)
{
    auto* field = new QLineEdit(text);
    field->setObjectName(u"Txt"_s + name);
    auto* label = new QLabel(caption);
    label->setObjectName(u"Lbl"_s + name);
    label->setBuddy(field);
    form.addRow(label, field);
    return field;
}

} // namespace mr640
