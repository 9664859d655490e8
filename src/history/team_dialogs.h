#pragma once

#include "team_library.h"

#include <QDialog>

#include <functional>

class QLineEdit;

namespace mr640 {

class Ui;

// "Share this library": where the team keeps the library, a folder or a git server's
// address, starting from the place kept now. OK hands the place to share, which throws
// HistoryError when it cannot be kept; the reason is then said through ui and the dialog
// stays open.
class FrmShare : public QDialog
{
public:
    FrmShare(Ui& ui, const QString& library, const QString& place,
             std::function<void(const QString&)> share, QWidget* parent = nullptr);

    void accept() override;

private:
    Ui& ui_;
    std::function<void(const QString&)> share_;
    QLineEdit* place_;
};

// The user name and password an https server asks for. The password is handed to the one
// connection that asked and kept nowhere.
class FrmLogin : public QDialog
{
public:
    // url: the server that asks; user: the name the url holds, may be empty; refused: the
    // server refused the last ones.
    FrmLogin(const QString& url, const QString& user, bool refused, QWidget* parent = nullptr);

    Login Entered() const;

private:
    QLineEdit* user_;
    QLineEdit* password_;
};

} // namespace mr640
