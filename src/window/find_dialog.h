#pragma once

#include "editor/find_replace.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace mr640 {

// The Find and replace window, over the main window and not modal. It only collects the
// texts and options and asks for the searches; the grid's Edit commands carry them out.
// From the keyboard: Enter finds the next match, Shift+Enter the previous one, Enter on a
// button presses it, Esc closes the window.
class FrmFind : public QDialog
{
    Q_OBJECT

public:
    explicit FrmFind(QWidget* parent);

    // Shows the window with the focus on the text to find (or the replacement).
    void ShowFind();
    void ShowReplace();

    QString Pattern() const;
    QString Replacement() const;
    FindOptions Options() const;
    // A note under the fields: "No match", the search went round, how many were replaced.
    void SetNote(const QString& note);
    QString Note() const;
    // Moves the window off area (in screen coordinates) when it covers it, below it where
    // the screen has room, else above it: the cell found must be seen.
    void KeepClearOf(const QRect& area);

signals:
    void FindRequested(bool backwards);
    void ReplaceRequested();
    void ReplaceAllRequested();
    // The text to find changed: the Find Next and Find Previous commands follow it.
    void PatternChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* find_;
    QLineEdit* replace_;
    QCheckBox* matchCase_;
    QCheckBox* wholeCell_;
    QLabel* note_;
};

} // namespace mr640
