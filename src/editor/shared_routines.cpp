#include "shared_routines.h"

#include "platform/ui.h"

namespace mr640 {

using namespace Qt::StringLiterals;

void ShowInfo(Ui& ui, const QString& text)
{
    ui.ShowMessage({text, MessageIcon::Information, MessageButtons::Ok, QString(kAppTitle)});
}

void ShowWarning(Ui& ui, const QString& text)
{
    ui.ShowMessage({text, MessageIcon::Exclamation, MessageButtons::Ok, QString(kAppTitle)});
}

void ShowCount(Ui& ui, int count, const QString& text)
{
    ui.ShowCount({text, MessageIcon::Information, MessageButtons::Ok, QString(kAppTitle)}, count);
}

QString Counted(qsizetype n, const QString& one, const QString& many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

QString ErrorReport(const QString& sentence, const QString& description)
{
    return sentence + kCrLf + description;
}

QStringList SplitFields(QStringView line, QChar delimiter)
{
    QStringList fields{QString()};
    qsizetype start = 0;
    for (;;) {
        const qsizetype pos = line.indexOf(delimiter, start);
        if (pos < 0) {
            fields.append(line.mid(start).toString());
            return fields;
        }
        fields.append(line.mid(start, pos - start).toString());
        start = pos + 1;
    }
}

QString DriveOfPath(QStringView path)
{
    if (path.isEmpty())
        return {};
    const QChar c = path[0].toLower();
    if (c < u'a' || c > u'z')
        return {};
    return c + u":"_s;
}

QString TrimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

QString FileStem(const QString& fileName)
{
    const qsizetype dot = fileName.indexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

QString DirectoryOf(const QString& path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

qsizetype CharacterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QStringView LeftCharacters(QStringView text, qsizetype limit)
{
    qsizetype end = 0;
    for (qsizetype count = 0; count < limit && end < text.size(); ++count) {
        const bool pair = text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

} // namespace mr640
