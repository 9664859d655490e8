#include "clean_text.h"

#include "platform/windows1252.h"

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

bool IsControlCharacter(char32_t c)
{
    return c < 0x20 || c == 0x7F;
}

CleanText CleanedText(QStringView text, Unheld unheld, qsizetype limit)
{
    CleanText clean;
    clean.text.reserve(text.size());
    qsizetype made = 0;
    for (qsizetype i = 0; i < text.size() && made < limit; ++i, ++made) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (IsControlCharacter(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            clean.text += u' ';
        } else if (!Windows1252Holds(c)) {
            if (unheld == Unheld::Question)
                clean.text += u'?';
            else
                --made;
            ++clean.unheld;
        } else {
            clean.text += QChar(static_cast<char16_t>(c));
        }
    }
    return clean;
}

bool IsClean(QStringView text)
{
    // A surrogate pair makes a character beyond Windows-1252.
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        if (c.unicode() >= u' ' && c.unicode() < 0x7F) // printable ASCII, the common case
            return true;
        return !IsControlCharacter(c.unicode()) && !c.isSurrogate() && Windows1252Holds(c.unicode());
    });
}

QString UnheldReport(int count)
{
    if (count <= 0)
        return {};
    return count == 1 ? u"1 character the site file cannot hold was replaced by ?"_s
                      : u"%1 characters the site file cannot hold were replaced by ?"_s.arg(count);
}

} // namespace mr640
