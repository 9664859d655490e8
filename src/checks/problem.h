#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <span>
#include <vector>

namespace mr640 {

// How much a problem matters before a site goes to the field.
enum class Level
{
    Error,
    Warning,
    Information
};

// The rules, in the order the rule table lists them; problems on one channel are listed in
// this order too.
enum class Rule
{
    DuplicateName,
    LookAlike,
    CopiedSpare,
    ContactOnSpare,
    Spaces,
    StateTexts,
    LabelFit,
    SpareUnits
};

// One row of the rule table.
struct RuleInfo
{
    Rule rule;
    QStringView id; // "duplicate-name", as the ignore file and the command line name it
    Level level;
    QStringView text;        // the problem's text, its parts %1, %2... filled by the rule
    QStringView description; // one line for a list of the rules, with an example
};

// Every rule, in the order of Rule.
std::span<const RuleInfo> Rules();
const RuleInfo& InfoOf(Rule rule);
// The rule an id names, exactly as the table spells it; std::nullopt for any other text.
std::optional<Rule> RuleFromId(QStringView id);
// "error", "warning", "information".
QString LevelName(Level level);

// One problem found in a site.
struct Problem
{
    Rule rule = Rule::DuplicateName;
    std::vector<int> rows; // the channels' rows, never empty; the first is where it points
    QString text;

    friend bool operator==(const Problem&, const Problem&) = default;
};

// The ids of a problem's channels, in its order ("AA17", "AB02").
QStringList ChannelsOf(const Problem& problem);

// The order problems are listed in: by the row they point at, then by rule. No two problems
// of a site have the same row and rule, so this orders a site's problems completely.
bool ProblemBefore(const Problem& a, const Problem& b);

} // namespace mr640
