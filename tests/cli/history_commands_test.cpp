// The commands of site versions on a real library, made by the history core in a temporary
// folder and read back with the git program.

#include "files/csv_file.h"
#include "files/dip_file.h"
#include "files/file_format.h"
#include "history/version_summary.h"
#include "library_fixture.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
#include <QRegularExpression>

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

class HistoryCommands : public LibraryTest
{
protected:
    void SetUp() override
    {
        MakeRepository();
        site_ = library_ + u"/north.dip"_s;
        first_ = Save(site_, Site()).id;
        second_ = Save(site_, Site(u"North TPR"_s), kAnn, {u"Works order 4471"_s, {}}).id;
    }

    // The program in the library, its home and settings in a folder of their own.
    ProgramRun Run(const QStringList& arguments)
    {
        return RunProgram(library_, arguments, Path(u"home"_s));
    }

    // The channel lines git's diff adds and removes.
    static QStringList Changes(QString diff)
    {
        return diff.remove(u'\r').split(u'\n').filter(
            QRegularExpression(u"^[-+][A-H]{2}\\d\\d,"_s));
    }

    QString site_;
    QString first_;
    QString second_;
};

TEST_F(HistoryCommands, LogAgreesWithGitLog)
{
    SiteHistory::Open(site_).MarkIssued(u"HEAD"_s, u"Approved by J. Smith"_s, kAnn);
    Git({u"tag"_s, u"v1"_s, first_});
    Save(library_ + u"/south.dip"_s, Site()); // another site's version is not north's

    QStringList expected =
        Git({u"log"_s, u"--abbrev=7"_s, u"--date=format:%Y-%m-%d %H:%M"_s,
             u"--format=%h%x09%ad%x09%an <%ae>%x09%s%x09"_s, u"--"_s, u"north.dip"_s})
            .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(expected.size(), 2);
    expected[0] += u"Issued (issued/north/1): Approved by J. Smith"_s;
    expected[1] += u"Tag v1"_s;
    const ProgramRun log = Run({u"log"_s, u"north.dip"_s});
    EXPECT_EQ(log.status, 0);
    EXPECT_EQ(log.out, expected);
    EXPECT_EQ(Run({u"log"_s, u"--limit"_s, u"1"_s, u"north.dip"_s}).out, expected.first(1));
}

TEST_F(HistoryCommands, ReadVersionsWhereverASiteIsRead)
{
    const ProgramRun diff = Run({u"diff"_s, u"north.dip@HEAD~1"_s, u"north.dip"_s});
    EXPECT_EQ(diff.status, 1);
    EXPECT_EQ(diff.out, (QStringList{u"AA17 name: \"Spare AA17\" -> \"North TPR\""_s,
                                     u"1 channel differs in 1 field"_s}));

    Git({u"tag"_s, u"-a"_s, u"-m"_s, u"Before the works"_s, u"before"_s, first_});
    const ProgramRun convert = Run({u"convert"_s, u"north.dip@before"_s, u"-o"_s, u"old.csv"_s});
    EXPECT_EQ(convert.status, 0);
    EXPECT_EQ(convert.out, QStringList{u"north.dip@before -> old.csv"_s});
    EXPECT_EQ(ReadBytes(library_ + u"/old.csv"_s),
              EncodeCsv(*ReadSiteBytes(Site(), FileFormat::Dip)));

    // Never written into the site whose version it reads.
    const ProgramRun over = Run({u"convert"_s, u"north.dip@HEAD~1"_s, u"--to"_s, u"dip"_s});
    EXPECT_EQ(over.status, 2);
    EXPECT_EQ(over.err.value(0), u"mr640config convert: north.dip would be written over the "
                                 u"input north.dip@HEAD~1."_s);
    EXPECT_EQ(ReadBytes(site_), Site(u"North TPR"_s));

    EXPECT_EQ(Run({u"show"_s, u"north.dip@"_s + first_.left(7), u"-o"_s, u"old.dip"_s}).status, 0);
    EXPECT_EQ(ReadBytes(library_ + u"/old.dip"_s), Site());

    // A version's problems are the file's, named as the version.
    Save(site_, Site().first(kDipHeaderSize + 10 * kDipRecordSize));
    EXPECT_EQ(Run({u"check"_s, u"north.dip@HEAD"_s}).err,
              QStringList{u"north.dip@HEAD: north.dip@HEAD holds 10 of the 384 "
                          u"channels its header announces; channels AA11 to AH48 are "
                          u"shown as spares."_s});
}

TEST_F(HistoryCommands, ShowCsvIsGitsTextConverter)
{
    WriteBytes(library_ + u"/.gitattributes"_s, "*.dip diff=mr640config\n");
    Git({u"config"_s, u"diff.mr640config.textconv"_s,
         u"'%1' show --csv"_s.arg(QStringLiteral(MR640_PROGRAM))});

    const QStringList recorded{u"-AA17,Spare AA17,Front"_s, u"+AA17,North TPR,Front"_s};
    EXPECT_EQ(Changes(Git("diff HEAD~1 HEAD")), recorded);
    const QStringList log = Changes(Git("log -p --format= north.dip"));
    EXPECT_EQ(log.first(2), recorded);
    EXPECT_EQ(log.size(), 2 + 384) << "and the first version, a line a channel";
    WriteBytes(site_, Site(u"North TPR2"_s)); // the work tree's file
    EXPECT_EQ(Changes(Git("diff")),
              (QStringList{u"-AA17,North TPR,Front"_s, u"+AA17,North TPR2,Front"_s}));
}

TEST_F(HistoryCommands, RecordAFileAnotherProgramWrote)
{
    WriteBytes(site_, Site(u"North TPR2"_s));
    QDir().mkpath(Path(u"home/.config/MR640Config"_s));
    WriteBytes(Path(u"home/.config/MR640Config/MR640Config.ini"_s),
               "[Author]\nName=Bob Tester\nEmail=bob@example.org\n");
    const ProgramRun record = Run({u"record"_s, u"north.dip"_s, u"-m"_s, u"Works order 4502"_s});
    EXPECT_EQ(record.status, 0);
    const QString head = Git("rev-parse --short=7 HEAD").trimmed();
    EXPECT_EQ(record.out, QStringList{head + u" 1 channel changed: AA17 name"_s});
    EXPECT_EQ(Git("log -1 --format=%an|%ae|%s|%b"),
              u"Bob Tester|bob@example.org|1 channel changed: AA17 name|Works order 4502\n\n"_s);
    EXPECT_EQ(Run({u"record"_s, u"north.dip"_s}).out, QStringList{u"north.dip: nothing changed"_s});

    // Without an engineer in the settings, git's own.
    QFile::remove(Path(u"home/.config/MR640Config/MR640Config.ini"_s));
    Git({u"config"_s, u"user.name"_s, u"Carol Signal"_s});
    Git("config user.email carol@example.org");
    WriteBytes(site_, Site(u"North TPR3"_s));
    EXPECT_EQ(Run({u"record"_s, u"north.dip"_s}).status, 0);
    EXPECT_EQ(Git({u"log"_s, u"-1"_s, u"--format=%an <%ae>"_s}),
              u"Carol Signal <carol@example.org>\n"_s);
}

TEST_F(HistoryCommands, EachBadInputIsNamedWithItsSiteAndVersion)
{
    const QString readme = Git("rev-parse --short=7 HEAD~2").trimmed();
    const QString elsewhere = Path(u"north.dip"_s);
    WriteBytes(site_, Site(u"North TPR2"_s));
    const std::pair<QStringList, QString> cases[] = {
        {{u"show"_s, u"north.dip@nosuch"_s},
         u"north.dip@nosuch: the library has no version named \"nosuch\""_s},
        {{u"show"_s, u"--csv"_s, u"north.dip@HEAD~2"_s},
         u"north.dip@HEAD~2: the site did not exist in that version (%1)"_s.arg(readme)},
        {{u"show"_s, elsewhere + u"@HEAD"_s},
         elsewhere +
             u"@HEAD: the site is in no site library: no git repository holds its folder"_s},
        {{u"record"_s, u"north.dip"_s},
         u"north.dip: no author name and e-mail: give it in the settings or set git's "
         u"user.name and user.email"_s},
    };
    for (const auto& [arguments, error] : cases) {
        const ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, 2) << error.toStdString();
        EXPECT_EQ(run.err, QStringList{error});
    }
    EXPECT_EQ(Git("rev-parse HEAD").trimmed(), second_) << "nothing recorded";
}

} // namespace
} // namespace mr640::test
