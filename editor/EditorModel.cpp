#include "editor/EditorModel.h"

#include <algorithm>
#include <cmath>
#include <ranges>

#include "editor/EditorGeometry.h"
#include "editor/SheetHandles.h"

namespace lisko {

PictureMapping::PictureMapping(QSize picture, double zoom) : picture_(picture), zoom_(zoom) {}

QPoint PictureMapping::PixelAt(QPoint shown) const {
    return {static_cast<int>(std::floor(shown.x() / zoom_)),
            static_cast<int>(std::floor(shown.y() / zoom_))};
}

QPointF PictureMapping::PointAt(QPoint shown) const {
    return {std::clamp((shown.x() + 0.5) / zoom_, 0.0, static_cast<double>(picture_.width())),
            std::clamp((shown.y() + 0.5) / zoom_, 0.0, static_cast<double>(picture_.height()))};
}

QString EditorZoom::ToText() const {
    return fit ? QStringLiteral("fit") : QString::number(percent);
}

EditorZoom EditorZoom::FromText(const QString& text) {
    if (text == QStringLiteral("fit")) return {.fit = true};
    bool number = false;
    const int percent = text.toInt(&number);
    if (number && std::ranges::find(kZoomSteps, percent) != kZoomSteps.end())
        return {.percent = percent};
    return {};
}

EditorZoom EditorZoom::StepIn(double shown) {
    // A zoom a hair off a step, as a fitted one may be, counts as that step.
    const double percent = shown * 100 + 0.5;
    const auto next = std::ranges::find_if(kZoomSteps, [&](int step) { return step > percent; });
    return {.percent = next == kZoomSteps.end() ? kZoomSteps.back() : *next};
}

EditorZoom EditorZoom::StepOut(double shown) {
    const double percent = shown * 100 - 0.5;
    const auto next = std::ranges::find_if(kZoomSteps | std::views::reverse,
                                           [&](int step) { return step < percent; });
    return {.percent = next == std::ranges::rend(kZoomSteps) ? kZoomSteps.front() : *next};
}

double FitZoom(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty()) return 1.0;
    const double zoom = std::min(static_cast<double>(box.width()) / picture.width(),
                                 static_cast<double>(box.height()) / picture.height());
    return std::min(zoom, kZoomSteps.back() / 100.0);
}

QSize ShownSize(QSize picture, double zoom) {
    return {std::max(1, static_cast<int>(std::lround(picture.width() * zoom))),
            std::max(1, static_cast<int>(std::lround(picture.height() * zoom)))};
}

ControlValues ControlsOf(const TLiskoData& photo) {
    ControlValues values{};
    for (std::size_t i = 0; i < kPhotoSettings.size(); ++i)
        values[i] = photo.*kPhotoSettings[i].field;
    return values;
}

std::optional<TLiskoData> WithControls(const TLiskoData& photo, const ControlValues& values) {
    const auto value = [&](Setting setting) { return values[static_cast<std::size_t>(setting)]; };
    if (!CropsLeavePicture(value(Setting::CropLeft), value(Setting::CropRight)) ||
        !CropsLeavePicture(value(Setting::CropTop), value(Setting::CropBottom))) {
        return std::nullopt;
    }
    TLiskoData changed = photo;
    for (std::size_t i = 0; i < kPhotoSettings.size(); ++i)
        changed.*kPhotoSettings[i].field = values[i];
    return changed;
}

void CropAtClick(TLiskoData& photo, QPoint pixel, QSize picture) {
    if (const auto crop = CropFromClick(pixel.x(), pixel.y(), picture.width(), picture.height())) {
        ApplyEdgeCrop(photo, *crop);
    }
}

QRect KeptRect(const TLiskoData& photo, QSize picture) {
    const int w = picture.width();
    const int h = picture.height();
    const CropPixels crop = CropAmounts(photo, w, h);
    return {crop.left, crop.top, w - crop.left - crop.right, h - crop.top - crop.bottom};
}

void SheetHandleDrag::Show(const TLiskoData& photo, QSize working) {
    shown_ = TurnQuad(*photo.SheetCorners, photo.TurnOf(), working);
}

bool SheetHandleDrag::Grab(QPointF at, double zoom) {
    dragged_ = HandleAt(shown_, at, zoom);
    return dragged_.has_value();
}

void SheetHandleDrag::MoveTo(QPointF at) {
    if (dragged_) shown_[static_cast<std::size_t>(*dragged_)] = at;
}

SheetQuad SheetHandleDrag::Release(const TLiskoData& photo, QSize working) {
    dragged_.reset();
    return UnturnQuad(shown_, photo.TurnOf(), working);
}

}  // namespace lisko
