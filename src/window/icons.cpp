#include "icons.h"

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

struct Picture
{
    QStringView key;
    QStringView themeName;
    QStringView file; // in the program's own set
};

constexpr Picture kPictures[] = {
    {u"New", u"document-new", u"new"},       {u"Open", u"document-open", u"open"},
    {u"Import", u"document-import", u"import"}, {u"Save", u"document-save", u"save"},
    {u"Export", u"media-flash", u"export"},  {u"Labels", u"tag", u"labels"},
};

bool ThemeHasEveryPicture()
{
    return std::all_of(std::begin(kPictures), std::end(kPictures),
                       [](const Picture& p) { return QIcon::hasThemeIcon(p.themeName.toString()); });
}

} // namespace

QIcon ToolbarIcon(const QString& key)
{
    const auto picture = std::find_if(std::begin(kPictures), std::end(kPictures),
                                      [&](const Picture& p) { return p.key == key; });
    if (picture == std::end(kPictures))
        return {};
    if (ThemeHasEveryPicture())
        return QIcon::fromTheme(picture->themeName.toString());
    // Sizes given, so a picture is read only when it is first drawn.
    QIcon own;
    for (int size : {24, 48})
        own.addFile(u":/toolbar/%1-%2.png"_s.arg(picture->file).arg(size), QSize(size, size));
    return own;
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(u":/appicon/%1x%1/apps/mr640config.png"_s.arg(size), QSize(size, size));
    return icon;
}

} // namespace mr640
