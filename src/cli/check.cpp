// mr640config check FILE...: every file read as Open reads it, every problem a person would
// be shown listed with its line, then every problem the site rules find; nothing is written.

#include "checks/ignore_file.h"
#include "checks/label_fit.h"
#include "checks/site_check.h"
#include "commands.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "platform/settings_store.h"
#include "site_files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <atomic>
#include <cstdio>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// How the files are checked, as the options ask.
struct CheckRun
{
    std::vector<bool> chosen = std::vector<bool>(Rules().size(), true); // by Rule
    bool strict = false;
    NameFit fit;

    bool Chosen(Rule rule) const { return chosen[static_cast<std::size_t>(rule)]; }
    bool AnyRule() const { return std::find(chosen.begin(), chosen.end(), true) != chosen.end(); }
    // The status a problem of the level earns: an error fails, a warning with --strict.
    int StatusOf(Level level) const
    {
        return level == Level::Error || (level == Level::Warning && strict) ? kFindings : kClean;
    }
};

struct Tally
{
    std::atomic<int> withProblems = 0;
    std::atomic<int> unreadable = 0;
    std::atomic<int> ignored = 0;
};

// The problems the chosen rules find in a site that was read, less those its ignore file
// ignores; lines holds the line each channel was read from.
void CheckRules(const QString& path, const ChannelTable& table, const std::vector<int>& lines,
                const CheckRun& run, FileReport& report, Tally& tally)
{
    const QString ignorePath = IgnoreFilePath(SiteFileOf(path));
    QString error;
    const IgnoreList ignore = ReadIgnoreFile(ignorePath, &error);
    if (!error.isEmpty())
        report.Problem(ignorePath, 0, u"not read, so nothing is ignored: "_s + error, kFailure);
    for (const Problem& problem : CheckSite(table.Rows(), run.fit)) {
        if (!run.Chosen(problem.rule))
            continue;
        if (ignore.Ignores(problem)) {
            ++tally.ignored;
            continue;
        }
        const auto row = static_cast<std::size_t>(problem.rows.front());
        report.Found(path, row < lines.size() ? lines[row] : 0, problem,
                     run.StatusOf(InfoOf(problem.rule).level));
    }
}

FileReport CheckFile(const QString& path, const CheckRun& run, Tally& tally)
{
    ChannelTable table;
    FileReport report;
    std::vector<int> lines;
    const bool read = !ReadSite(path, table, report, true, &lines);
    if (report.status == kFailure) {
        ++tally.unreadable;
        return report;
    }
    if (read && run.AnyRule())
        CheckRules(path, table, lines, run, report, tally);
    if (!report.problems.empty())
        ++tally.withProblems;
    return report;
}

// A problem as --format json writes it; a problem of no rule is the reader's ("read").
QJsonObject JsonOf(const ReportedProblem& problem)
{
    return {{u"file"_s, problem.file},
            {u"line"_s, problem.line},
            {u"level"_s, problem.rule ? LevelName(problem.rule->level) : u"error"_s},
            {u"rule"_s, problem.rule ? problem.rule->id.toString() : u"read"_s},
            {u"channels"_s, QJsonArray::fromStringList(problem.channels)},
            {u"text"_s, problem.text}};
}

// The rules, one a line: id, level, what it finds.
int ListRules()
{
    FileReport list;
    for (const RuleInfo& info : Rules()) {
        list.output.append(u"%1  %2  %3"_s.arg(info.id, -16)
                               .arg(LevelName(info.level), -11)
                               .arg(info.description));
    }
    PrintReport(list, false);
    return kClean;
}

// Chooses the rules --rules names; answers the usage error of a list that names no rule or
// a rule that is none.
std::optional<QString> ChooseRules(const QString& list, CheckRun& run)
{
    const QStringList ids = list.split(u',', Qt::SkipEmptyParts);
    if (ids.isEmpty())
        return u"--rules takes rule ids such as duplicate-name,spaces."_s;
    run.chosen.assign(Rules().size(), false);
    for (const QString& id : ids) {
        const std::optional<Rule> rule = RuleFromId(id.trimmed());
        if (!rule) {
            QStringList known;
            for (const RuleInfo& info : Rules())
                known.append(info.id.toString());
            return u"Unknown rule \"%1\". Rules: %2."_s.arg(id, known.join(u", "_s));
        }
        run.chosen[static_cast<std::size_t>(*rule)] = true;
    }
    return std::nullopt;
}

} // namespace

int RunCheck(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Reads each dip or CSV site file as Open does and prints every problem a person would be "
        u"shown, then every problem the site rules find (--list-rules lists them), one a line "
        u"on standard error as FILE:LINE: text, a rule's as FILE:LINE: LEVEL RULE: text, LINE "
        u"being where the problem's first channel was read from; then a summary. Every "
        u"question is answered OK, so the reading goes on to the end of each file. A problem "
        u"named in the ignore file beside a site (NAME.dip.ignore beside NAME.dip, one a line "
        u"as RULE CHANNEL...) is left out and counted in the summary. The label-fit rule fits "
        u"names to the label sheet last printed on."_s);
    parser.addPositionalArgument(u"FILE"_s, u"Site files, or versions of sites as SITE@REV."_s,
                                 u"FILE..."_s);
    const QCommandLineOption rules(u"rules"_s, u"Runs only the rules named, by id."_s,
                                   u"ID,..."_s);
    const QCommandLineOption noRules(u"no-rules"_s,
                                     u"Runs no rule: only what reading each file finds."_s);
    const QCommandLineOption strict(u"strict"_s, u"Fails on a warning as on an error."_s);
    const QCommandLineOption format(
        u"format"_s,
        u"text (default), or json: one JSON array on standard output and nothing else, an "
        u"object a problem with the keys file, line (0: the file as a whole), level, rule "
        u"(\"read\" for a problem reading the file), channels and text."_s,
        u"FORMAT"_s, u"text"_s);
    const QCommandLineOption listRules(u"list-rules"_s,
                                       u"Lists the rules: id, level and what each finds, and "
                                       u"ends."_s);
    parser.addOptions({rules, noRules, strict, format, listRules});
    CommandOptions options;
    const ExitMeanings exits{
        u"every file was read, and no rule found an error (nor a warning, with --strict)"_s,
        u"some file had problems: an error a rule found (or a warning, with --strict), or a "
        u"problem reading it; information never fails"_s,
        u"bad usage (an unknown rule included), or a file that could not be read or is no site "
        u"file"_s};
    const bool listing = arguments.contains(u"--list-rules"_s);
    if (const auto status = ParseCommand(parser, arguments, exits, options, listing ? 0 : 1,
                                         listing ? 0 : -1))
        return *status;
    if (listing)
        return ListRules();

    CheckRun run;
    run.strict = parser.isSet(strict);
    if (parser.isSet(rules) && parser.isSet(noRules))
        return UsageError(u"check", u"Give --rules or --no-rules, not both."_s);
    if (parser.isSet(noRules))
        run.chosen.assign(Rules().size(), false);
    if (parser.isSet(rules)) {
        if (const std::optional<QString> error = ChooseRules(parser.value(rules), run))
            return UsageError(u"check", *error);
    }
    const bool json = parser.value(format) == u"json"_s;
    if (!json && parser.value(format) != u"text"_s)
        return UsageError(u"check", u"--format takes text or json."_s);
    if (run.Chosen(Rule::LabelFit))
        run.fit = LabelNameFit(LastLabelSheet(SettingsStore()));

    const QStringList files = parser.positionalArguments();
    Tally tally;
    QJsonArray problems;
    const auto job = [&](const QString& path) { return CheckFile(path, run, tally); };
    if (json) {
        const int status = RunFileJobs(files, FileWork::Reads, job, true, [&](const FileReport& r) {
            for (const ReportedProblem& problem : r.problems)
                problems.append(JsonOf(problem));
        });
        const QByteArray bytes = QJsonDocument(problems).toJson();
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
        return status;
    }
    const int status = RunFileJobs(files, FileWork::Reads, job, options.quiet);
    if (!options.quiet) {
        QString summary = Counted(files.size(), u"file"_s, u"files"_s) +
                          u" checked, %1 with problems, %2 unreadable"_s.arg(
                              tally.withProblems.load())
                              .arg(tally.unreadable.load());
        if (tally.ignored > 0)
            summary += u", "_s + Counted(tally.ignored, u"problem"_s, u"problems"_s) +
                       u" ignored"_s;
        FileReport report;
        report.output.append(summary);
        PrintReport(report, false);
    }
    return status;
}

} // namespace mr640
