#include "icons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <vector>

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
    {u"New", u"document-new", u"new"},          {u"Open", u"document-open", u"open"},
    {u"Import", u"document-import", u"import"}, {u"Save", u"document-save", u"save"},
    {u"Export", u"media-flash", u"export"},     {u"Labels", u"tag", u"labels"},
};

// Looked up once: each look-up searches every folder of the icon theme.
bool ThemeHasEveryPicture()
{
    static const bool every =
        std::all_of(std::begin(kPictures), std::end(kPictures),
                    [](const Picture& p) { return QIcon::hasThemeIcon(p.themeName.toString()); });
    return every;
}

// A picture in several sizes, one file a size, each file read when the picture is first
// drawn at a size it serves: a QIcon given a file reads it at once, and the start-up needs
// none of the pictures before the window is painted, and most sizes never. A toolbar
// picture is drawn from the icon theme instead when the theme has every toolbar picture,
// which is looked up on the first draw as well.
class PictureFilesEngine : public QIconEngine
{
public:
    // files: name pattern with %1 for the size in pixels; sizes: square, ascending.
    PictureFilesEngine(QString pattern, std::vector<int> sizes, QString themeName = {})
        : pattern_(std::move(pattern)), sizes_(std::move(sizes)), themeName_(std::move(themeName))
    {
    }

    QIconEngine* clone() const override { return new PictureFilesEngine(*this); }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (!theme_.isNull())
            return theme_.actualSize(size, mode, state);
        const int side = BestSize(size);
        return side > size.width() || side > size.height()
                   ? QSize(side, side).scaled(size, Qt::KeepAspectRatio)
                   : QSize(side, side);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Drawn(size).pixmap(size, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        Drawn(rect.size() * ratio).paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : sizes_)
            sizes.append(QSize(side, side));
        return sizes;
    }

private:
    // The file a size is drawn from, as a QIcon holding all of them picks it: the smallest
    // that covers the size, else the largest.
    int BestSize(const QSize& size) const
    {
        const auto covering = std::find_if(sizes_.begin(), sizes_.end(), [&](int side) {
            return side >= size.width() && side >= size.height();
        });
        return covering != sizes_.end() ? *covering : sizes_.back();
    }

    const QIcon& Drawn(const QSize& size)
    {
        if (!themeName_.isEmpty() && theme_.isNull() && ThemeHasEveryPicture())
            theme_ = QIcon::fromTheme(themeName_);
        return theme_.isNull() ? IconOfSize(BestSize(size)) : theme_;
    }

    const QIcon& IconOfSize(int side)
    {
        QIcon& icon = read_[side];
        if (icon.isNull())
            icon.addPixmap(PictureFile(pattern_.arg(side)));
        return icon;
    }

    // A picture file, read once for every window that shows it.
    static QPixmap PictureFile(const QString& path)
    {
        QPixmap picture;
        if (!QPixmapCache::find(path, &picture) && picture.load(path))
            QPixmapCache::insert(path, picture);
        return picture;
    }

    QString pattern_;
    std::vector<int> sizes_;
    QString themeName_;
    QIcon theme_;
    std::map<int, QIcon> read_;
};

// An icon made when it is first drawn or measured.
class DeferredIconEngine : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Made().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Made().pixmap(size, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Made().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Made().availableSizes(mode, state);
    }

private:
    const QIcon& Made()
    {
        if (!made_)
            made_ = make_();
        return *made_;
    }

    std::function<QIcon()> make_;
    std::optional<QIcon> made_;
};

class DeferredBarIconsStyle : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        if (which != SP_ToolBarHorizontalExtensionButton && which != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(which, option, widget);
        // The pictures differ only by direction, which is all that is kept of the request.
        QStyleOption direction;
        direction.direction = option ? option->direction
                              : widget ? widget->layoutDirection()
                                       : QGuiApplication::layoutDirection();
        const QStyle* base = baseStyle();
        return QIcon(new DeferredIconEngine(
            [base, which, direction] { return base->standardIcon(which, &direction, nullptr); }));
    }
};

} // namespace

QStyle* StyleWithDeferredBarIcons()
{
    return new DeferredBarIconsStyle;
}

QIcon ToolbarIcon(const QString& key)
{
    const auto picture = std::find_if(std::begin(kPictures), std::end(kPictures),
                                      [&](const Picture& p) { return p.key == key; });
    if (picture == std::end(kPictures))
        return {};
    return QIcon(new PictureFilesEngine(u":/toolbar/"_s + picture->file.toString() + u"-%1.png"_s,
                                        {24, 48}, picture->themeName.toString()));
}

QIcon ApplicationIcon()
{
    return QIcon(new PictureFilesEngine(u":/appicon/%1x%1/apps/mr640config.png"_s,
                                        {16, 24, 32, 48, 64, 128, 256}));
}

} // namespace mr640
