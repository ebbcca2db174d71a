#include "list/PageSources.h"

namespace lisko {

PageSources SourcesOf(const PhotoList& list, const PageLayout& layout,
                      const QImage& previewAdvertisement, const QImage& printAdvertisement,
                      QDate today) {
    PageSources sources;
    sources.layout = layout;
    for (int i = 0; i < list.Count(); ++i)
        sources.photos.push_back(&list.Photo(i));
    sources.previewAdvertisement = previewAdvertisement;
    sources.printAdvertisement = printAdvertisement;
    sources.today = today;
    return sources;
}

}  // namespace lisko
