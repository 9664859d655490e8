#include "checks/label_fit.h"
#include "checks/site_check.h"
#include "editor/channel_ids.h"
#include "platform/settings_store.h"

#include <gtest/gtest.h>

namespace mr640 {

void PrintTo(const Problem& problem, std::ostream* out)
{
    *out << InfoOf(problem.rule).id.toString().toStdString() << ' '
         << ChannelsOf(problem).join(u' ').toStdString() << ": " << problem.text.toStdString();
}

namespace {

using namespace Qt::StringLiterals;

// A channel as a case names it; the rest of the site keeps its default spares.
struct Channel
{
    QString id;
    QString name;
    bool back = false;
    QString up = u"UP"_s;
    QString down = u"DN"_s;
};

int RowOf(const QString& id)
{
    return ChannelNumberFromId(id).value_or(0) - 1;
}

std::vector<ChannelRow> Site(int size, const std::vector<Channel>& channels)
{
    std::vector<ChannelRow> rows = DefaultRows(size);
    for (const Channel& c : channels)
        rows[static_cast<std::size_t>(RowOf(c.id))] = {c.id, c.name, c.back, c.up, c.down};
    return rows;
}

Problem Expect(Rule rule, const QStringList& ids, const QString& text)
{
    Problem problem{rule, {}, text};
    for (const QString& id : ids)
        problem.rows.push_back(RowOf(id));
    return problem;
}

struct RuleCase
{
    const char* what;
    int size;
    std::vector<Channel> channels;
    std::vector<Problem> problems;
};

TEST(SiteChecks, EachRuleFindsItsProblemsAndNoOthers)
{
    const Problem oneUnitOfSpares = Expect(Rule::SpareUnits, {u"BA01"_s, u"BH48"_s},
        u"Channels BA01 to BH48 are all spares: 1 unit would hold this site"_s);
    // clang-format off
    const std::vector<RuleCase> cases = {
        {"a named site with one relay on a front and a back channel", 384,
         {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"12 tpr"_s, true}, {u"AB03"_s, u"14TPR"_s}}, {}},
        {"one name and contact on two channels, written apart", 384,
         {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"12 tpr"_s}},
         {Expect(Rule::DuplicateName, {u"AA17"_s, u"AB02"_s},
                 u"AA17 and AB02 are both named \"12TPR\" with front contacts"_s)}},
        {"two back contacts", 384, {{u"AA17"_s, u"12TPR"_s, true}, {u"AB02"_s, u"12TPR"_s, true}},
         {Expect(Rule::DuplicateName, {u"AA17"_s, u"AB02"_s},
                 u"AA17 and AB02 are both named \"12TPR\" with back contacts"_s)}},
        {"three channels with one name", 384,
         {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"12TPR"_s, true}, {u"AC05"_s, u"12TPR"_s}},
         {Expect(Rule::DuplicateName, {u"AA17"_s, u"AB02"_s, u"AC05"_s},
                 u"AA17, AB02 and AC05 are all named \"12TPR\" with front and back contacts"_s)}},
        {"spares: a copied name, a back contact, and spare names that are no duplicates", 384,
         {{u"AB04"_s, u"spare  ab03"_s}, {u"AA05"_s, u"Spare HH01"_s}, {u"AA06"_s, u"SP"_s},
          {u"AA07"_s, u"sp"_s}, {u"AA09"_s, u"Spare AA09"_s, true, u""_s, u""_s},
          {u"AA10"_s, u""_s, true}},
         {Expect(Rule::CopiedSpare, {u"AA05"_s}, u"AA05 is named Spare HH01"_s),
          Expect(Rule::ContactOnSpare, {u"AA09"_s}, u"AA09 is a spare with a back contact"_s),
          Expect(Rule::ContactOnSpare, {u"AA10"_s}, u"AA10 is a spare with a back contact"_s),
          Expect(Rule::CopiedSpare, {u"AB04"_s, u"AB03"_s}, u"AB04 is named spare  ab03"_s),
          Expect(Rule::Spaces, {u"AB04"_s}, u"AB04 is named \"spare  ab03\" with two spaces together"_s)}},
        {"names that look alike, but not L and 1", 384,
         {{u"AA01"_s, u"T0 2"_s}, {u"AA02"_s, u"TO2"_s}, {u"AA17"_s, u"12TPR"_s},
          {u"AA18"_s, u"12TPR"_s, true}, {u"AB02"_s, u"I2TPR"_s}, {u"AB03"_s, u"L2TPR"_s}},
         {Expect(Rule::LookAlike, {u"AA01"_s, u"AA02"_s},
                 u"The names \"T0 2\" (AA01) and \"TO2\" (AA02) look alike"_s),
          Expect(Rule::LookAlike, {u"AA17"_s, u"AA18"_s, u"AB02"_s},
                 u"The names \"12TPR\" (AA17, AA18) and \"I2TPR\" (AB02) look alike"_s)}},
        {"one name as l and as L, only the l looking like 1", 384,
         {{u"AA01"_s, u"l2TPR"_s}, {u"AA02"_s, u"L2 TPR"_s}, {u"AA03"_s, u"12TPR"_s, true}},
         {Expect(Rule::DuplicateName, {u"AA01"_s, u"AA02"_s},
                 u"AA01 and AA02 are both named \"l2TPR\" with front contacts"_s),
          Expect(Rule::LookAlike, {u"AA01"_s, u"AA03"_s},
                 u"The names \"l2TPR\" (AA01) and \"12TPR\" (AA03) look alike"_s)}},
        {"names longer than the group key holds, alike in their first characters", 384,
         {{u"AA01"_s, u"1 2 3 4 5 6 7 8 9 A B C D E F G H X"_s}, {u"AA02"_s, u"123456789ABCDEFGHY"_s},
          {u"AA03"_s, u"123456789ABCDEFGHX"_s}},
         {Expect(Rule::DuplicateName, {u"AA01"_s, u"AA03"_s},
                 u"AA01 and AA03 are both named \"1 2 3 4 5 6 7 8 9 A B C D E F G H X\" with front "
                 u"contacts"_s),
          Expect(Rule::LabelFit, {u"AA01"_s},
                 u"AA01 is named \"1 2 3 4 5 6 7 8 9 A B C D E F G H X\", which does not fit the "
                 u"L7651 labels at 6 pt"_s)}},
        {"spaces", 384,
         {{u"AA01"_s, u" NORTH"_s}, {u"AA02"_s, u"SOUTH "_s}, {u"AA03"_s, u"EAST  1"_s},
          {u"AA04"_s, u"  WEST  2 "_s}},
         {Expect(Rule::Spaces, {u"AA01"_s}, u"AA01 is named \" NORTH\" with a space before it"_s),
          Expect(Rule::Spaces, {u"AA02"_s}, u"AA02 is named \"SOUTH \" with a space after it"_s),
          Expect(Rule::Spaces, {u"AA03"_s}, u"AA03 is named \"EAST  1\" with two spaces together"_s),
          Expect(Rule::Spaces, {u"AA04"_s},
                 u"AA04 is named \"  WEST  2 \" with a space before it, a space after it and two "
                 u"spaces together"_s)}},
        {"state texts of named channels, as a dip file fills them", 384,
         {{u"AA01"_s, u"A"_s, false, u"UP "_s, u"UP"_s}, {u"AA02"_s, u"B"_s, false, u""_s, u"DN "_s},
          {u"AA03"_s, u"C"_s, false, u"ON"_s, u"   "_s}, {u"AA04"_s, u"D"_s, false, u""_s, u""_s},
          {u"AA05"_s, u"E"_s, false, u"on"_s, u"ON"_s},
          {u"AA06"_s, u"F"_s, false, u"ON"_s, u"OFF"_s}},
         {Expect(Rule::StateTexts, {u"AA01"_s}, u"AA01 has the same up and down text \"UP\""_s),
          Expect(Rule::StateTexts, {u"AA02"_s}, u"AA02 has no up text"_s),
          Expect(Rule::StateTexts, {u"AA03"_s}, u"AA03 has no down text"_s),
          Expect(Rule::StateTexts, {u"AA04"_s}, u"AA04 has no up or down text"_s),
          Expect(Rule::StateTexts, {u"AA05"_s}, u"AA05 has the same up and down text \"on\""_s)}},
        {"a name too long for the last sheet's labels", 384,
         {{u"AA01"_s, u"WWWWWWWWWWWWWWWW"_s}, {u"AA02"_s, u"12TPR"_s}},
         {Expect(Rule::LabelFit, {u"AA01"_s},
                 u"AA01 is named \"WWWWWWWWWWWWWWWW\", which does not fit the L7651 labels at 6 pt"_s)}},
        {"a second unit of spares", 768, {{u"AH48"_s, u"12TPR"_s}}, {oneUnitOfSpares}},
        {"a site of spares only", 768, {}, {oneUnitOfSpares}},
        {"a second unit in use", 768, {{u"BA01"_s, u"12TPR"_s}}, {}},
        {"the largest site with two units in use", 3072, {{u"BH48"_s, u"12TPR"_s}},
         {Expect(Rule::SpareUnits, {u"CA01"_s, u"HH48"_s},
                 u"Channels CA01 to HH48 are all spares: 2 units would hold this site"_s)}},
    };
    // clang-format on
    SettingsStore settings; // the sheet the Print labels dialog chose last
    settings.Save(u"Labels"_s, u"sheet"_s, u"L7651"_s);
    const NameFit fit = LabelNameFit(LastLabelSheet(settings));
    for (const RuleCase& c : cases)
        EXPECT_EQ(CheckSite(Site(c.size, c.channels), fit), c.problems) << c.what;
}

// The problems before a re-check, changed as the re-check says.
std::vector<Problem> Applied(std::vector<Problem> problems, const ProblemChanges& changes)
{
    for (const Problem& gone : changes.removed) {
        const auto it = std::find(problems.begin(), problems.end(), gone);
        EXPECT_NE(it, problems.end()) << gone.text.toStdString();
        if (it != problems.end())
            problems.erase(it);
    }
    problems.insert(problems.end(), changes.added.begin(), changes.added.end());
    std::sort(problems.begin(), problems.end(), ProblemBefore);
    return problems;
}

TEST(SiteChecks, ARecheckAfterEditsFindsWhatAFullCheckFinds)
{
    std::vector<ChannelRow> rows =
        Site(768, {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"I2TPR"_s}, {u"AB03"_s, u"14TPR"_s}});
    const NameFit fit = LabelNameFit(*FindSheet(u"L7651"_s));
    SiteCheck check(fit);
    check.Reset(rows);

    struct Edit
    {
        QString id;
        int field;
        CellContent content;
    };
    const std::vector<std::vector<Edit>> edits = {
        {{u"AB02"_s, FieldRelNam, u"12TPR"_s}},  // a duplicate, no longer a look-alike
        {{u"AB02"_s, FieldBack, true}},          // the lawful pair
        {{u"AC05"_s, FieldRelNam, u"12 TPR"_s}}, // three with one name
        {{u"AA17"_s, FieldBack, true}, {u"AC05"_s, FieldBack, true}}, // the three, all back
        {{u"AA17"_s, FieldRelNam, u"Spare AA17"_s}}, // a lawful pair; a spare with a back contact
        {{u"BA01"_s, FieldRelNam, u"l4TPR"_s},       // a paste: the second unit in use, a
         {u"BA02"_s, FieldRelNam, u"WWWWWWWWWWWWWWWW"_s}, // look-alike, a long name and no
         {u"BA02"_s, FieldStDn, u""_s}},                  // down text
        {{u"AB03"_s, FieldRelNam, u"Spare AB04"_s}},      // the look-alike unmade, a copied spare
        {{u"BA01"_s, FieldRelNam, u"Spare BA01"_s},       // the second unit of spares again
         {u"BA02"_s, FieldRelNam, u""_s}},
    };
    for (std::size_t i = 0; i < edits.size(); ++i) {
        std::vector<CellChange> changes;
        for (const Edit& edit : edits[i]) {
            ChannelRow& row = rows[static_cast<std::size_t>(RowOf(edit.id))];
            changes.push_back(
                {RowOf(edit.id), edit.field, ContentOf(row, edit.field), edit.content});
            SetCellContent(row, edit.field, edit.content);
        }
        const std::vector<Problem> before = check.Problems();
        const ProblemChanges made = check.Update(rows, changes);
        const std::vector<Problem> full = CheckSite(rows, fit);
        EXPECT_EQ(check.Problems(), full) << "after edit " << i;
        EXPECT_EQ(Applied(before, made), full) << "after edit " << i;
    }

    // An edit of half the table is checked afresh, and still says what changed.
    std::vector<int> half;
    for (int r = 0; r < 768; r += 2) {
        rows[static_cast<std::size_t>(r)].relNam = u"TR%1"_s.arg(r % 7);
        half.push_back(r);
    }
    std::vector<Problem> before = check.Problems();
    const ProblemChanges many = check.Update(rows, half);
    EXPECT_EQ(Applied(before, many), CheckSite(rows, fit));

    // A table of another size is checked afresh.
    rows.resize(384);
    before = check.Problems();
    const ProblemChanges changes = check.Update(rows, std::vector<int>{});
    EXPECT_EQ(Applied(before, changes), CheckSite(rows, fit));
}

} // namespace
} // namespace mr640
