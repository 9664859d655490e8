#include "ignore_file.h"

#include "platform/save_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// One form for a rule and its channels however they were written: "rule AA17 AB02".
QString KeyText(QString rule, QStringList channels)
{
    for (QString& id : channels)
        id = id.toUpper();
    channels.sort();
    channels.prepend(rule.toLower());
    return channels.join(u' ');
}

QString KeyOfLine(QStringView line)
{
    const QStringView content = line.left(line.indexOf(u'#'));
    QStringList words;
    for (qsizetype i = 0; i < content.size();) {
        if (content[i].isSpace()) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < content.size() && !content[i].isSpace())
            ++i;
        words.append(content.sliced(start, i - start).toString());
    }
    if (words.isEmpty())
        return {};
    const QString rule = words.takeFirst();
    return KeyText(rule, words);
}

} // namespace

QString IgnoreFilePath(const QString& sitePath)
{
    return sitePath + u".ignore"_s;
}

IgnoreList::IgnoreList(QStringView text)
{
    QList<QStringView> lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast(); // the last line's own line feed
    for (QStringView line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        Line read{line.toString(), KeyOfLine(line)};
        if (!read.key.isEmpty())
            keys_.insert(read.key);
        lines_.push_back(std::move(read));
    }
}

void IgnoreList::Add(const Problem& problem)
{
    const QString key = KeyOf(problem);
    if (keys_.contains(key))
        return;
    keys_.insert(key);
    lines_.push_back(
        {QStringList{InfoOf(problem.rule).id.toString(), ChannelsOf(problem).join(u' ')}.join(u' '),
         key});
}

void IgnoreList::Remove(const Problem& problem)
{
    const QString key = KeyOf(problem);
    if (keys_.remove(key))
        std::erase_if(lines_, [&](const Line& line) { return line.key == key; });
}

QString IgnoreList::Text() const
{
    QString text;
    for (const Line& line : lines_)
        text += line.text + u'\n';
    return text;
}

QString IgnoreList::KeyOf(const Problem& problem)
{
    return KeyText(InfoOf(problem.rule).id.toString(), ChannelsOf(problem));
}

IgnoreList ReadIgnoreFile(const QString& path, QString* error)
{
    if (!QFileInfo::exists(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return {};
    }
    return IgnoreList(QString::fromUtf8(bytes));
}

bool WriteIgnoreFile(const QString& path, const IgnoreList& list, QString* error)
{
    return SaveFileAtomically(path, list.Text().toUtf8(), error);
}

} // namespace mr640
