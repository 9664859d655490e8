#include "find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QPushButton* Button(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false); // Enter finds; it presses only the button that has the focus
    return button;
}

} // namespace

FrmFind::FrmFind(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"FrmFind"_s);
    setWindowTitle(u"Find and replace"_s);

    find_ = new QLineEdit(this);
    find_->setObjectName(u"TxtFind"_s);
    replace_ = new QLineEdit(this);
    replace_->setObjectName(u"TxtReplace"_s);
    auto* findLabel = new QLabel(u"F&ind:"_s, this);
    findLabel->setBuddy(find_);
    auto* replaceLabel = new QLabel(u"Re&place with:"_s, this);
    replaceLabel->setBuddy(replace_);
    matchCase_ = new QCheckBox(u"Match &case"_s, this);
    matchCase_->setObjectName(u"ChkMatchCase"_s);
    wholeCell_ = new QCheckBox(u"&Whole cell"_s, this);
    wholeCell_->setObjectName(u"ChkWholeCell"_s);
    note_ = new QLabel(this);
    note_->setObjectName(u"LblNote"_s);
    note_->setTextFormat(Qt::PlainText);

    QPushButton* next = Button("CmdFindNext", u"Find &Next"_s, this);
    QPushButton* previous = Button("CmdFindPrevious", u"Find Pre&vious"_s, this);
    QPushButton* replaceOne = Button("CmdReplace", u"&Replace"_s, this);
    QPushButton* replaceAll = Button("CmdReplaceAll", u"Replace &All"_s, this);
    QPushButton* close = Button("CmdClose", u"C&lose"_s, this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(find_, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(previous, 0, 3);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(replace_, 1, 1);
    grid->addWidget(replaceOne, 1, 2);
    grid->addWidget(replaceAll, 1, 3);
    auto* options = new QHBoxLayout;
    options->addWidget(matchCase_);
    options->addWidget(wholeCell_);
    options->addStretch();
    grid->addLayout(options, 2, 1, 1, 3);
    grid->addWidget(note_, 3, 0, 1, 3);
    grid->addWidget(close, 3, 3);

    connect(next, &QPushButton::clicked, this, [this] { emit FindRequested(false); });
    connect(previous, &QPushButton::clicked, this, [this] { emit FindRequested(true); });
    connect(replaceOne, &QPushButton::clicked, this, &FrmFind::ReplaceRequested);
    connect(replaceAll, &QPushButton::clicked, this, &FrmFind::ReplaceAllRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(find_, &QLineEdit::textChanged, this, [this] {
        note_->clear();
        emit PatternChanged();
    });
}

void FrmFind::ShowFind()
{
    show();
    raise();
    activateWindow();
    find_->setFocus();
    find_->selectAll();
}

void FrmFind::ShowReplace()
{
    ShowFind();
    if (!find_->text().isEmpty()) {
        replace_->setFocus();
        replace_->selectAll();
    }
}

QString FrmFind::Pattern() const
{
    return find_->text();
}

QString FrmFind::Replacement() const
{
    return replace_->text();
}

FindOptions FrmFind::Options() const
{
    return {matchCase_->isChecked(), wholeCell_->isChecked()};
}

void FrmFind::SetNote(const QString& note)
{
    note_->setText(note);
}

QString FrmFind::Note() const
{
    return note_->text();
}

void FrmFind::KeepClearOf(const QRect& area)
{
    const QRect frame = frameGeometry();
    if (!isVisible() || !frame.intersects(area))
        return;
    constexpr int kGap = 8;
    const QRect screenArea = screen()->availableGeometry();
    int top = area.bottom() + 1 + kGap;
    if (top + frame.height() > screenArea.bottom() + 1)
        top = area.top() - kGap - frame.height();
    move(frame.left(), std::max(top, screenArea.top()));
}

void FrmFind::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
        button->click();
    else
        emit FindRequested(event->modifiers() & Qt::ShiftModifier);
}

} // namespace mr640
