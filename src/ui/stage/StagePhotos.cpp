#include "StagePhotos.h"

#include "StageCardGrid.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <cmath>

using namespace Qt::StringLiterals;

namespace StagePhotos {

namespace {

// A card on a 4K screen needs less.
constexpr int photoHeight = 480;

int px(double value)
{
    return int(std::lround(value));
}

// A photo file name must stay inside the photo folder.
bool safeFileName(const QString &name)
{
    return !name.isEmpty() && name != u"."_s && name != u".."_s && !name.contains(u'/')
           && !name.contains(u'\\') && !name.contains(u':');
}

QImage cropped(const QImage &image, double aspect)
{
    if (image.isNull())
        return image;
    const double imageAspect = double(image.width()) / image.height();
    if (imageAspect > aspect) {
        const int w = px(image.height() * aspect);
        return image.copy((image.width() - w) / 2, 0, w, image.height());
    }
    const int h = px(image.width() / aspect);
    return image.copy(0, (image.height() - h) / 3, image.width(), h); // faces sit high
}

} // namespace

QImage load(const QString &folder, const QString &column1)
{
    if (folder.isEmpty() || !safeFileName(column1))
        return {};
    for (const QString &suffix : {u".jpg"_s, u".png"_s}) {
        const QString file = QDir(folder).filePath(column1 + suffix);
        if (!QFileInfo(file).isFile())
            continue;
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.height() > photoHeight)
            reader.setScaledSize(size.scaled(size.width(), photoHeight, Qt::KeepAspectRatio));
        // A file that does not decode is a card without a photo, nothing more.
        QImage image = reader.read();
        if (!image.isNull())
            return cropped(image, StageCardGrid::photoAspect);
    }
    return {};
}

} // namespace StagePhotos
