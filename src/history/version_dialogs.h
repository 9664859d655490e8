#pragma once

#include "author.h"

#include <QDialog>

class QLineEdit;

namespace mr640 {

class Ui;

// "Who records versions": the engineer's name and e-mail, asked once before the first
// version is recorded. OK accepts only a name and an e-mail that a version can carry (both
// given, neither holding "<" or ">"); otherwise it says why through ui and stays open.
class FrmAuthor : public QDialog
{
public:
    // Starts from the name and e-mail of start.
    FrmAuthor(Ui& ui, const Author& start, QWidget* parent = nullptr);

    Author Engineer() const;
    void accept() override;

private:
    Ui& ui_;
    QLineEdit* name_;
    QLineEdit* email_;
};

// One line of text that goes with a version: the description of "Save with a description"
// or the text of "Mark as issued". It may be left empty.
class FrmVersionText : public QDialog
{
public:
    // prompt names the field, with its Alt letter ("&Description:"); hint says what it is for.
    FrmVersionText(const QString& title, const QString& prompt, const QString& hint,
                   QWidget* parent = nullptr);

    QString Text() const;

private:
    QLineEdit* text_;
};

} // namespace mr640
