#include "settings.h"

#include "platform/settings_store.h"

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kDirectories = u"Directories"_s;
const QString kFormSize = u"FormSize"_s;

float StoredNumber(const SettingsStore& store, const QString& key, float fallback)
{
    bool ok = false;
    const float value = store.Get(kFormSize, key).value_or(QString()).trimmed().toFloat(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

QString NumberText(float value)
{
    // Whole numbers as plain digits ("9375", never "1e+06"); others as the shortest text
    // that reads back as the same single-precision value.
    if (std::trunc(value) == value && std::fabs(value) < 1e15f)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// How far apart two rectangles lie (0 when they meet), squared.
qint64 DistanceSquared(const QRect& a, const QRect& b)
{
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

int PixelsOf(float twips)
{
    // Far beyond any screen, and still far inside int when positions are added up.
    constexpr double kLimit = 1 << 24;
    return static_cast<int>(std::lround(std::clamp(double(twips) / kTwipsPerPixel, -kLimit, kLimit)));
}

QRect PlacedWindow(const WindowPlacement& placement, const QList<QRect>& screens)
{
    QRect window(PixelsOf(placement.left), PixelsOf(placement.top), PixelsOf(kFixedWidthTwips),
                 PixelsOf(placement.height));
    const QRect titleBar(window.topLeft(), QSize(window.width(), kTitleBarPixels));
    if (screens.isEmpty() || std::any_of(screens.cbegin(), screens.cend(),
                                         [&](const QRect& s) { return s.intersects(titleBar); }))
        return window;
    const QRect screen = *std::min_element(screens.cbegin(), screens.cend(), [&](const QRect& a, const QRect& b) {
        return DistanceSquared(a, titleBar) < DistanceSquared(b, titleBar);
    });
    // The frame's title bar comes on top of the window's height.
    window.setHeight(std::min(window.height(), screen.height() - kTitleBarPixels));
    // A window wider than the screen keeps its left edge on it.
    window.moveLeft(std::max(screen.left(), std::min(window.left(), screen.right() + 1 - window.width())));
    window.moveTop(std::clamp(window.top(), screen.top(), screen.bottom() + 1 - kTitleBarPixels - window.height()));
    return window;
}

QString DefaultSiteDirectory()
{
    return QDir::homePath() + u'/';
}

QString DefaultInsteadDirectory()
{
    const QString underWine = QDir::homePath() + u"/.wine/drive_c/Program Files/Sentinel/config"_s;
    return QFileInfo(underWine).isDir() ? underWine : QDir::homePath();
}

DirectorySettings LoadDirectories(const SettingsStore& store)
{
    DirectorySettings d;
    d.filePath = store.Get(kDirectories, u"filePath"_s).value_or(DefaultSiteDirectory());
    d.cfPath = store.Get(kDirectories, u"cfPath"_s).value_or(DefaultSiteDirectory());
    d.insPath = store.Get(kDirectories, u"insPath"_s).value_or(DefaultInsteadDirectory());
    return d;
}

void SaveDirectories(SettingsStore& store, const DirectorySettings& directories)
{
    store.Save(kDirectories, u"filePath"_s, directories.filePath);
    store.Save(kDirectories, u"cfPath"_s, directories.cfPath);
    store.Save(kDirectories, u"insPath"_s, directories.insPath);
}

WindowPlacement LoadWindowPlacement(const SettingsStore& store)
{
    const WindowPlacement defaults;
    return {StoredNumber(store, u"top"_s, defaults.top), StoredNumber(store, u"left"_s, defaults.left),
            StoredNumber(store, u"height"_s, defaults.height)};
}

void SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement)
{
    store.Save(kFormSize, u"top"_s, NumberText(placement.top));
    store.Save(kFormSize, u"left"_s, NumberText(placement.left));
    store.Save(kFormSize, u"height"_s, NumberText(placement.height));
}

} // namespace mr640
