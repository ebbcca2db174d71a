#pragma once

#include <QDate>
#include <QImage>

#include "list/PhotoList.h"
#include "pages/PageComposer.h"

namespace lisko {

// What the pages of a list are composed from: its photos in list order, the layout, the two
// advertisement pictures and the date of the foot. The window and the command-line tool both
// read their pages through this one function.
PageSources SourcesOf(const PhotoList& list, const PageLayout& layout,
                      const QImage& previewAdvertisement, const QImage& printAdvertisement,
                      QDate today);

}  // namespace lisko
