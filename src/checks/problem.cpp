#include "problem.h"

#include "editor/channel_ids.h"

#include <array>
#include <tuple>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<RuleInfo, 8> kRules = {{
    {Rule::DuplicateName, u"duplicate-name", Level::Error, u"%1 are %2 named \"%3\" with %4",
     u"One relay name and contact on two channels, or one name on three or more (AA17 and AB02 "
     u"are both named \"12TPR\" with front contacts)"},
    {Rule::LookAlike, u"look-alike", Level::Warning, u"The names %1 look alike",
     u"Two different names that are one when O and 0, and I, l and 1, are taken as one "
     u"(\"12TPR\" and \"I2TPR\")"},
    {Rule::CopiedSpare, u"copied-spare", Level::Warning, u"%1 is named %2",
     u"A spare name that belongs to another channel (AB04 is named Spare AB03)"},
    {Rule::ContactOnSpare, u"contact-on-spare", Level::Warning,
     u"%1 is a spare with a back contact",
     u"A back contact on a spare channel (AB04 is a spare with a back contact)"},
    {Rule::Spaces, u"spaces", Level::Warning, u"%1 is named \"%2\" with %3",
     u"A relay name with a space at either end or two together (AA17 is named \"12TPR \" with "
     u"a space after it)"},
    {Rule::StateTexts, u"state-texts", Level::Warning, u"%1 has %2",
     u"A named channel whose up and down texts are the same or one is empty (AA17 has no down "
     u"text)"},
    {Rule::LabelFit, u"label-fit", Level::Warning, u"%1 is named \"%2\", which does not fit %3",
     u"A relay name too long for the label sheet last printed on, at the smallest size (AA17 is "
     u"named \"NORTH JUNCTION 1\", which does not fit the L7651 labels at 6 pt)"},
    {Rule::SpareUnits, u"spare-units", Level::Information,
     u"Channels %1 to %2 are all spares: %3 would hold this site",
     u"Whole units of spares at the end of the site (Channels CA01 to HH48 are all spares: 2 "
     u"units would hold this site)"},
}};

constexpr bool InRuleOrder()
{
    for (std::size_t i = 0; i < kRules.size(); ++i) {
        if (kRules[i].rule != static_cast<Rule>(i))
            return false;
    }
    return true;
}
static_assert(InRuleOrder(), "the rule table lists the rules in the order of Rule");

} // namespace

std::span<const RuleInfo> Rules()
{
    return kRules;
}

const RuleInfo& InfoOf(Rule rule)
{
    return kRules[static_cast<std::size_t>(rule)];
}

std::optional<Rule> RuleFromId(QStringView id)
{
    for (const RuleInfo& info : kRules) {
        if (info.id == id)
            return info.rule;
    }
    return std::nullopt;
}

QString LevelName(Level level)
{
    switch (level) {
    case Level::Error:
        return u"error"_s;
    case Level::Warning:
        return u"warning"_s;
    case Level::Information:
        break;
    }
    return u"information"_s;
}

QStringList ChannelsOf(const Problem& problem)
{
    QStringList ids;
    ids.reserve(static_cast<qsizetype>(problem.rows.size()));
    for (int row : problem.rows)
        ids.append(ChannelIdFromNumber(row + 1));
    return ids;
}

bool ProblemBefore(const Problem& a, const Problem& b)
{
    return std::tuple(a.rows.front(), a.rule) < std::tuple(b.rows.front(), b.rule);
}

} // namespace mr640
