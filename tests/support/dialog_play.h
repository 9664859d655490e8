#pragma once

#include "scripted_ui.h"

#include <QAbstractItemModel>
#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace mr640::test {

// The control of a dialog by its object name; a missing one ends the test's play.
template <typename T>
T& Control(QDialog& dialog, const char* name)
{
    T* control = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        throw std::runtime_error(std::string("no control ") + name);
    return *control;
}

// The Alt letter a text gives, upper case; none without one ("&&" shows a plain '&').
inline QChar AltLetter(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&' && text[i + 1] != u'&')
            return text[i + 1].toUpper();
        if (text[i] == u'&')
            ++i;
    }
    return {};
}

// The rows of a list or table, each as its cells' texts joined by "|".
inline QStringList ModelLines(const QAbstractItemModel& model)
{
    QStringList lines;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells.append(model.index(row, column).data().toString());
        lines.append(cells.join(u'|'));
    }
    return lines;
}

// Plays the person at the next modal dialog with the dialog shown, as it is when the
// person meets it, so its buttons, keys and lists act as they do on screen.
inline void AtShown(ScriptedUi& ui, std::function<void(QDialog&)> play)
{
    ui.AtModal([play = std::move(play)](QDialog& dialog) {
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        play(dialog);
        return 0;
    });
}

} // namespace mr640::test
