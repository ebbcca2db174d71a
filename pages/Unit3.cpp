#include "pages/Unit3.h"

#include <stdexcept>

// The pictures are compiled into this static library; a reference keeps them from being dropped.
static void LoadAdvertisementResources() {
    Q_INIT_RESOURCE(ads);
}

namespace lisko {

namespace {

QImage LoadPicture(const QString& resource) {
    QImage picture(resource);
    if (picture.isNull()) throw std::runtime_error("missing picture " + resource.toStdString());
    return picture.convertToFormat(QImage::Format_BGR888);
}

}  // namespace

TForm3::TForm3()
    : Image0((LoadAdvertisementResources(), LoadPicture(QStringLiteral(":/ads/Image0.jpg")))),
      Image1(LoadPicture(QStringLiteral(":/ads/Image1.jpg"))) {
    setObjectName(QStringLiteral("Form3"));
}

}  // namespace lisko
