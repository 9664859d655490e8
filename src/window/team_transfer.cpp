#include "team_transfer.h"

#include "editor/shared_routines.h"
#include "history/team_dialogs.h"
#include "platform/ui.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <mutex>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// A transfer quicker than this shows no dialog; meanwhile the window takes no input.
constexpr int kQuietMs = 400;

// The newest progress of the work, handed to the window's thread once per redraw rather
// than once per object received.
class ProgressPost
{
public:
    explicit ProgressPost(QProgressDialog& dialog) : dialog_(dialog) {}

    // On the work's thread.
    void Post(const TransferProgress& progress)
    {
        const std::lock_guard lock(mutex_);
        latest_ = progress;
        if (std::exchange(posted_, true))
            return;
        // Dropped with the dialog, which goes only after the work ended.
        QMetaObject::invokeMethod(
            &dialog_, [this] { Show(); }, Qt::QueuedConnection);
    }

private:
    void Show()
    {
        TransferProgress progress;
        {
            const std::lock_guard lock(mutex_);
            progress = latest_;
            posted_ = false;
        }
        const auto total = static_cast<int>(std::min<qint64>(progress.total, INT_MAX));
        QString text = progress.step;
        if (total > 0)
            text += u": %1 of %2"_s.arg(progress.done).arg(progress.total);
        dialog_.setLabelText(text);
        dialog_.setRange(0, total); // 0 to 0: busy, the total not known yet
        dialog_.setValue(static_cast<int>(std::min<qint64>(progress.done, total)));
    }

    QProgressDialog& dialog_;
    std::mutex mutex_;
    TransferProgress latest_;
    bool posted_ = false;
};

} // namespace

void TeamTransfer::RunOnThread(const QString& title,
                               const std::function<void(const TeamCallbacks&)>& work)
{
    std::atomic<bool> cancel{false};
    QProgressDialog dialog(&window_);
    dialog.setObjectName(u"DlgTeamProgress"_s);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setLabelText(u"Connecting to the team library"_s);
    auto* cancelButton = new QPushButton(u"&Cancel"_s, &dialog);
    cancelButton->setObjectName(u"CmdTeamCancel"_s);
    dialog.setCancelButton(cancelButton);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // Shown by the wait below only, never over a question asked.
    dialog.setMinimumDuration(INT_MAX);
    dialog.setRange(0, 0);
    dialog.setMinimumWidth(360);
    ProgressPost progress(dialog);

    TeamCallbacks callbacks;
    callbacks.cancel = &cancel;
    callbacks.progress = [&progress](const TransferProgress& now) { progress.Post(now); };
    // Asked on the window's thread, where the dialogs live, with the progress out of the
    // way; the work waits for the answer.
    const auto ask = [&](const std::function<void()>& question) {
        QMetaObject::invokeMethod(
            &dialog,
            [&] {
                const bool shown = dialog.isVisible();
                dialog.hide();
                question();
                dialog.setVisible(shown);
            },
            Qt::BlockingQueuedConnection);
    };
    QString lastUser;
    callbacks.askLogin = [&](const QString& url, const QString& user,
                             bool refused) -> std::optional<Login> {
        std::optional<Login> login;
        ask([&] {
            // Asked again after a refusal, the name typed before is offered.
            FrmLogin asked(url, user.isEmpty() ? lastUser : user, refused, &window_);
            if (ui_.RunModal(asked) == QDialog::Accepted) {
                login = asked.Entered();
                lastUser = login->user;
            }
        });
        return login;
    };
    callbacks.trustHost = [&](const QString& host, const QString& fingerprint) {
        bool trusted = false;
        ask([&] {
            trusted =
                ui_.ShowMessage({u"The server %1 is not among the known hosts of this "
                                 u"computer. Its key's fingerprint is %2: connect to it "
                                 u"only when its administrator gave you this fingerprint. "
                                 u"Connect to it this time?"_s.arg(host, fingerprint),
                                 MessageIcon::Exclamation, MessageButtons::YesNo,
                                 QString(kAppTitle), MessageButton::No}) == MessageButton::Yes;
        });
        return trusted;
    };

    QEventLoop loop;
    bool finished = false;
    std::exception_ptr failure;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work(callbacks);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(thread.get(), &QThread::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        cancel = true;
        cancelButton->setEnabled(false);
        dialog.setLabelText(u"Stopping..."_s);
    });
    thread->start();
    // A quick transfer is over before the person could do anything else in the window.
    QTimer::singleShot(kQuietMs, &loop, [&] { loop.quit(); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished) {
        dialog.show();
        while (!finished)
            loop.exec();
    }
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace mr640
