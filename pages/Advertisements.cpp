#include "pages/Advertisements.h"

#include <stdexcept>

// The pictures are compiled into this static library; a reference keeps them from being dropped.
static void LoadAdvertisementResources() {
    [[maybe_unused]] static const bool loaded = [] {
        Q_INIT_RESOURCE(ads);
        return true;
    }();
}

namespace lisko {

namespace {

QImage LoadPicture(const QString& resource) {
    LoadAdvertisementResources();
    QImage picture(resource);
    if (picture.isNull()) throw std::runtime_error("missing picture " + resource.toStdString());
    return picture.convertToFormat(QImage::Format_BGR888);
}

}  // namespace

QImage PreviewAdvertisement() {
    return LoadPicture(QStringLiteral(":/ads/Image0.jpg"));
}

QImage PrintAdvertisement() {
    return LoadPicture(QStringLiteral(":/ads/Image1.jpg"));
}

}  // namespace lisko
