#include "library_fixture.h"

#include "files/dip_file.h"
#include "test_files.h"

#include <QDir>
#include <QProcess>
#include <git2.h>

namespace mr640::test {

using namespace Qt::StringLiterals;

namespace {

QString EmptyHome()
{
    static QTemporaryDir home;
    return home.path();
}

} // namespace

void IsolateGit()
{
    git_libgit2_init();
    for (const int level : {GIT_CONFIG_LEVEL_SYSTEM, GIT_CONFIG_LEVEL_XDG, GIT_CONFIG_LEVEL_GLOBAL,
                            GIT_CONFIG_LEVEL_PROGRAMDATA})
        git_libgit2_opts(GIT_OPT_SET_SEARCH_PATH, level, EmptyHome().toUtf8().constData());
}

QByteArray RunGit(const GitArguments& arguments, const QString& dir)
{
    QProcess git;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, EmptyHome());
    environment.insert(u"XDG_CONFIG_HOME"_s, EmptyHome());
    environment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
    git.setProcessEnvironment(environment);
    git.setWorkingDirectory(dir);
    git.setProcessChannelMode(QProcess::MergedChannels);
    git.start(u"git"_s, QStringList{u"-c"_s, u"user.name=Git User"_s, u"-c"_s,
                                    u"user.email=git@example.org"_s} +
                            arguments);
    EXPECT_TRUE(git.waitForFinished()) << "git did not run";
    const QByteArray output = git.readAll();
    EXPECT_TRUE(git.exitStatus() == QProcess::NormalExit && git.exitCode() == 0)
        << "git " << arguments.join(u' ').toStdString() << ": " << output.toStdString();
    return output;
}

void LibraryTest::SetUpTestSuite()
{
    IsolateGit();
}

QByteArray LibraryTest::GitBytes(const GitArguments& arguments, const QString& dir)
{
    return RunGit(arguments, dir.isEmpty() ? library_ : dir);
}

QString LibraryTest::Git(const GitArguments& arguments, const QString& dir)
{
    return QString::fromUtf8(GitBytes(arguments, dir));
}

void MakeLibrary(const QString& folder)
{
    QDir().mkpath(folder);
    RunGit("init -q -b main", folder);
    WriteBytes(folder + u"/readme.txt"_s, "Sites of the north line\n");
    RunGit("add readme.txt", folder);
    RunGit("commit -q -m Readme", folder);
}

void LibraryTest::MakeRepository()
{
    library_ = Path(u"lib"_s);
    MakeLibrary(library_);
}

QByteArray SiteNamed(const QString& name)
{
    std::vector<ChannelRow> rows = DefaultRows(384);
    rows[16].relNam = name;
    return EncodeDip(rows);
}

RecordOutcome LibraryTest::Save(const QString& site, const QByteArray& bytes, const Author& author,
                                const RecordOptions& options)
{
    WriteBytes(site, bytes);
    return SiteHistory::Open(site).Record(bytes, author, options);
}

} // namespace mr640::test
