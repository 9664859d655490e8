#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace mr640 {

// Why something about a site's history could not be done: the one error every history
// function throws, libgit2's failures included (carrying its own message). It names the
// site and, where one is concerned, the version; the reason alone fits the sentence
// "NAME was saved, but its version could not be recorded: REASON."
class HistoryError : public std::exception
{
public:
    explicit HistoryError(QString reason);

    const QString& Reason() const { return reason_; }
    const QString& Site() const { return site_; }
    const QString& Version() const { return version_; }

    // "north.dip@HEAD~2: the site did not exist in that version", or without a version
    // "north.dip: REASON"; the reason alone when no site is named.
    QString Message() const;
    const char* what() const noexcept override { return what_.constData(); }

    // Names the site and the version the error concerns, unless already named.
    void About(const QString& site, const QString& version);

private:
    QString reason_;
    QString site_;
    QString version_;
    QByteArray what_;
};

// Runs work, naming site and version in any HistoryError it throws.
template <typename Work> auto AboutSite(const QString& site, const QString& version, Work&& work)
{
    try {
        return work();
    } catch (HistoryError& error) {
        error.About(site, version);
        throw;
    }
}

} // namespace mr640
