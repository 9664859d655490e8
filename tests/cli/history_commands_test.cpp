// The commands of site versions on a real library, made by the history core in a temporary
// folder and read back with the git program.

#include "files/csv_file.h"
#include "files/file_format.h"
#include "history/version_summary.h"
#include "library_fixture.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>

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
        QDir().mkpath(Path(u"home/.config/MR640Config"_s));
    }

    // The program in the library, its home and settings in a folder of their own.
    ProgramRun Run(const QStringList& arguments)
    {
        return RunProgram(library_, arguments, Path(u"home"_s));
    }

    // The lines git's diff adds and removes, without their file names.
    static QStringList Changes(const QString& diff)
    {
        QStringList changes;
        for (const QString& line : diff.split(u'\n')) {
            if ((line.startsWith(u'+') || line.startsWith(u'-')) && !line.startsWith(u"+++"_s) &&
                !line.startsWith(u"---"_s))
                changes.append(line.trimmed());
        }
        return changes;
    }

    QString site_;
    QString first_;
    QString second_;
};

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

    EXPECT_EQ(Run({u"show"_s, u"north.dip@"_s + first_.left(7), u"-o"_s, u"old.dip"_s}).out,
              QStringList{u"north.dip@"_s + first_.left(7) + u" -> old.dip"_s});
    EXPECT_EQ(ReadBytes(library_ + u"/old.dip"_s), Site());
}

TEST_F(HistoryCommands, ShowCsvIsGitsTextConverter)
{
    WriteBytes(library_ + u"/.gitattributes"_s, "*.dip diff=mr640config\n");
    Git({u"config"_s, u"diff.mr640config.textconv"_s,
         u"'%1' show --csv"_s.arg(QStringLiteral(MR640_PROGRAM))});

    const QStringList recorded{u"-AA17,Spare AA17,Front"_s, u"+AA17,North TPR,Front"_s};
    EXPECT_EQ(Changes(Git({u"diff"_s, u"HEAD~1"_s, u"HEAD"_s})), recorded);
    const QStringList log = Changes(Git({u"log"_s, u"-p"_s, u"--format="_s, u"north.dip"_s}));
    EXPECT_EQ(log.first(2), recorded);
    EXPECT_EQ(log.size(), 2 + 384) << "the first version, a line a channel";
    WriteBytes(site_, Site(u"North TPR2"_s)); // the work tree's file
    EXPECT_EQ(Changes(Git({u"diff"_s})),
              (QStringList{u"-AA17,North TPR,Front"_s, u"+AA17,North TPR2,Front"_s}));
}

TEST_F(HistoryCommands, EachBadInputIsNamedWithItsSiteAndVersion)
{
    const QString readme = Git({u"rev-parse"_s, u"--short=7"_s, u"HEAD~2"_s}).trimmed();
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
    };
    for (const auto& [arguments, error] : cases) {
        const ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, 2) << error.toStdString();
        EXPECT_EQ(run.out, QStringList());
        EXPECT_EQ(run.err, QStringList{error});
    }
}

} // namespace
} // namespace mr640::test
