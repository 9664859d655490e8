#pragma once

#include "history/site_history.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640::test {

inline const Author kAnn{QStringLiteral("Ann Engineer"), QStringLiteral("ann@example.org")};

// Neither libgit2 nor the git program RunGit starts sees the machine's own configuration:
// each reads an empty home, so an author comes only from what a test sets.
void IsolateGit();

// git's arguments: a list, or one line of words when no argument holds a space.
struct GitArguments : QStringList
{
    GitArguments(const char* words) : QStringList(QString::fromUtf8(words).split(u' ')) {}
    GitArguments(std::initializer_list<QString> arguments) : QStringList(arguments) {}
    GitArguments(const QStringList& arguments) : QStringList(arguments) {}
};

// git ARGUMENTS in dir, as the author "Git User"; the test fails unless git exits 0.
// Answers its output (standard output and error).
QByteArray RunGit(const GitArguments& arguments, const QString& dir);

// A library in folder (made if need be) with a first commit by git of a file "readme.txt".
void MakeLibrary(const QString& folder);

// A dip site of 384 channels, channel 17 named name.
QByteArray SiteNamed(const QString& name = QStringLiteral("Spare AA17"));

// A temporary folder for libraries, and the git program to make them and to read back what
// the history core made, both isolated as IsolateGit says.
class LibraryTest : public ::testing::Test
{
public:
    // Saves bytes to the site file and records them, as Save does.
    static RecordOutcome Save(const QString& site, const QByteArray& bytes,
                              const Author& author = kAnn, const RecordOptions& options = {});

protected:
    static void SetUpTestSuite();

    // git ARGUMENTS in dir (the library folder by default); the test fails unless git
    // exits 0. Answers its output (standard output and error) as text, or as bytes.
    QString Git(const GitArguments& arguments, const QString& dir = {});
    QByteArray GitBytes(const GitArguments& arguments, const QString& dir = {});

    // MakeLibrary in the folder "lib".
    void MakeRepository();

    QString Path(const QString& name) const { return folder_.filePath(name); }

    static QByteArray Site(const QString& name = QStringLiteral("Spare AA17"))
    {
        return SiteNamed(name);
    }

    QString library_;

private:
    QTemporaryDir folder_;
};

// The error work throws; the test fails when it throws none.
template <typename Work> HistoryError ErrorOf(Work&& work)
{
    try {
        work();
    } catch (const HistoryError& error) {
        return error;
    }
    ADD_FAILURE() << "no error";
    return HistoryError({});
}

} // namespace mr640::test
