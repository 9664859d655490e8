#pragma once

#include "history/team_library.h"

#include <QString>

#include <functional>
#include <optional>
#include <type_traits>

class QWidget;

namespace mr640 {

class Ui;

// The network work of a Get or a Send, on a thread of its own while the window waits and
// keeps drawing itself. Once the work takes longer than a moment, a progress dialog over the
// window shows how far it got and blocks the window's input, its Cancel stopping the work
// through TeamCallbacks::cancel. What the server asks of the person (a user name and
// password, or whether to trust an ssh server not yet known) is asked on the window's
// thread through ui, the work waiting for the answer.
class TeamTransfer
{
public:
    TeamTransfer(Ui& ui, QWidget& window) : ui_(ui), window_(window) {}

    // Runs work(callbacks) and answers what it returned; rethrows what it threw.
    template <typename Work> auto Run(const QString& title, Work work)
    {
        std::optional<std::invoke_result_t<Work, const TeamCallbacks&>> result;
        RunOnThread(title,
                    [&](const TeamCallbacks& callbacks) { result.emplace(work(callbacks)); });
        return std::move(*result);
    }

private:
    void RunOnThread(const QString& title, const std::function<void(const TeamCallbacks&)>& work);

    Ui& ui_;
    QWidget& window_;
};

} // namespace mr640
