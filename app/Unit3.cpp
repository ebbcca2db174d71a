#include "app/Unit3.h"

#include "pages/Advertisements.h"

namespace lisko {

TForm3::TForm3() : Image0(PreviewAdvertisement()), Image1(PrintAdvertisement()) {
    setObjectName(QStringLiteral("Form3"));
}

}  // namespace lisko
