#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <stdexcept>
#include <vector>

#include "photo/OpenCvView.h"
#include "photo/Sheet.h"

namespace lisko {

namespace {

// The search runs on a copy of about this longer side: enough for corners within a few pixels
// of the working copy, and it keeps detection cheaper than a rendering.
constexpr int kSearchSide = 400;
// A sheet covers at least this share of the photo; smaller bright patches are not the page.
constexpr double kSmallestShare = 0.10;
// Each edge of a sheet runs along found edges for at least this share of its length.
constexpr double kLeastEdgeSupport = 0.6;
// A region whose outline runs along the frame for more than this share is cut off by it.
constexpr double kMostOnFrame = 0.02;
// Paper is at least this much brighter, in its darkest channel, than the desk round it.
constexpr double kLeastContrast = 25.0;
// A region fills at least this share of the quadrilateral fitted round it.
constexpr double kLeastFill = 0.85;

struct Search {
    cv::Mat whiteness;  // the search copy's darkest channel, blurred
    cv::Mat edges;      // edge map of the search copy, thickened to close small gaps
    cv::Mat support;    // the edges thickened further: a fitted side lies within 3 pixels
    double area = 0;
    std::optional<std::vector<cv::Point2f>> best;
    double bestArea = 0;
};

double OnFrameShare(const std::vector<cv::Point>& contour, cv::Size size) {
    int onFrame = 0;
    for (const cv::Point& p : contour) {
        if (p.x <= 1 || p.y <= 1 || p.x >= size.width - 2 || p.y >= size.height - 2) ++onFrame;
    }
    return contour.empty() ? 1.0 : static_cast<double>(onFrame) / contour.size();
}

// The share of points along a to b (ends left out, where corners round off) on an edge pixel.
double EdgeSupport(const cv::Mat& edges, cv::Point2f a, cv::Point2f b) {
    constexpr int kSamples = 40;
    int hits = 0;
    for (int i = 0; i < kSamples; ++i) {
        const float t = 0.1f + 0.8f * static_cast<float>(i) / (kSamples - 1);
        const cv::Point2f p = a + t * (b - a);
        const int x = std::clamp(static_cast<int>(std::lround(p.x)), 0, edges.cols - 1);
        const int y = std::clamp(static_cast<int>(std::lround(p.y)), 0, edges.rows - 1);
        if (edges.at<std::uint8_t>(y, x) != 0) ++hits;
    }
    return static_cast<double>(hits) / kSamples;
}

// Paper is brighter than the band of desk round it. Outlines of wood grain or of ruled lines
// inside a sheet cut by the frame make quadrilaterals too, but with the same surface on both sides.
bool StandsOut(const Search& search, const std::vector<cv::Point2f>& corners) {
    std::vector<cv::Point> polygon;
    for (const cv::Point2f& p : corners)
        polygon.emplace_back(static_cast<int>(std::lround(p.x)),
                             static_cast<int>(std::lround(p.y)));
    cv::Mat quad = cv::Mat::zeros(search.whiteness.size(), CV_8U);
    cv::fillConvexPoly(quad, polygon, cv::Scalar(255));
    // Inside and a band outside, both kept a few pixels off the blurred edge itself.
    const auto disc = [](int d) { return cv::getStructuringElement(cv::MORPH_ELLIPSE, {d, d}); };
    cv::Mat inside, near, around;
    cv::erode(quad, inside, disc(7));
    cv::dilate(quad, near, disc(5));
    cv::dilate(quad, around, disc(15));
    around -= near;
    if (cv::countNonZero(around) == 0) return false;
    return cv::mean(search.whiteness, inside)[0] - cv::mean(search.whiteness, around)[0] >=
           kLeastContrast;
}

// A quadrilateral edge lying along one side of the frame: there the sheet may go on beyond.
bool AlongFrame(cv::Point2f a, cv::Point2f b, cv::Size size) {
    const float margin = 0.02f * static_cast<float>(std::max(size.width, size.height));
    const auto near = [margin](float v, float edge) { return std::abs(v - edge) < margin; };
    const float right = static_cast<float>(size.width - 1);
    const float bottom = static_cast<float>(size.height - 1);
    return (near(a.x, 0) && near(b.x, 0)) || (near(a.y, 0) && near(b.y, 0)) ||
           (near(a.x, right) && near(b.x, right)) || (near(a.y, bottom) && near(b.y, bottom));
}

// Corners in the order top-left, top-right, bottom-right, bottom-left: round the centre by
// angle, which on a y-down picture goes clockwise, starting from the corner nearest the origin.
std::vector<cv::Point2f> Ordered(std::vector<cv::Point2f> quad) {
    cv::Point2f centre(0, 0);
    for (const cv::Point2f& p : quad)
        centre += p * 0.25f;
    std::sort(quad.begin(), quad.end(), [centre](cv::Point2f a, cv::Point2f b) {
        return std::atan2(a.y - centre.y, a.x - centre.x) <
               std::atan2(b.y - centre.y, b.x - centre.x);
    });
    const auto first = std::min_element(quad.begin(), quad.end(), [](cv::Point2f a, cv::Point2f b) {
        return a.x + a.y < b.x + b.y;
    });
    std::rotate(quad.begin(), first, quad.end());
    return quad;
}

// Fits a quadrilateral round one region and keeps it when it beats the best so far.
void Consider(Search& search, const std::vector<cv::Point>& contour, bool filled) {
    const cv::Size size = search.edges.size();
    // Most outlines of a textured desk are small: their bounding box already rules them out.
    if (cv::boundingRect(contour).area() < kSmallestShare * search.area) return;
    if (OnFrameShare(contour, size) > kMostOnFrame) return;
    std::vector<cv::Point> hull;
    cv::convexHull(contour, hull);
    const double hullArea = cv::contourArea(hull);
    if (hullArea < kSmallestShare * search.area || hullArea <= search.bestArea) return;

    std::vector<cv::Point> quad;
    const double perimeter = cv::arcLength(hull, true);
    for (double share = 0.01; share <= 0.08 && quad.size() != 4; share += 0.005) {
        cv::approxPolyDP(hull, quad, share * perimeter, true);
        if (quad.size() < 4) return;
    }
    if (quad.size() != 4 || !cv::isContourConvex(quad)) return;
    const double quadArea = cv::contourArea(quad);
    if (filled && cv::contourArea(contour) < kLeastFill * quadArea) return;

    std::vector<cv::Point2f> corners(quad.begin(), quad.end());
    corners = Ordered(corners);
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2f a = corners[i];
        const cv::Point2f b = corners[(i + 1) % 4];
        if (AlongFrame(a, b, size) || EdgeSupport(search.support, a, b) < kLeastEdgeSupport) return;
    }
    if (!StandsOut(search, corners)) return;
    search.best = corners;
    search.bestArea = quadArea;
}

// Bright regions by Otsu's threshold, opened to cut thin bridges to bright desk texture and
// closed to fill the writing.
void SearchBrightRegions(Search& search, const cv::Mat& channel) {
    cv::Mat mask;
    cv::threshold(channel, mask, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(7, 7)));
    cv::morphologyEx(mask, mask, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(9, 9)));
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    for (const auto& contour : contours)
        Consider(search, contour, true);
}

// Closed outlines in the edge map, for sheets no brighter than their desk as a whole.
void SearchOutlines(Search& search) {
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(search.edges, contours, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
    for (const auto& contour : contours)
        Consider(search, contour, false);
}

}  // namespace

std::optional<SheetQuad> DetectSheet(const TFastDIB& picture) {
    if (picture.BitsPerPixel() != 24 || picture.IsEmpty()) {
        throw RasterError("DetectSheet", "needs a non-empty 24-bit picture");
    }
    const cv::Mat full = OpenCvView(picture);
    const double scale =
        std::min(1.0, static_cast<double>(kSearchSide) / std::max(full.cols, full.rows));
    // Bilinear shrinking aliases fine detail, but the blur below smooths that away and the
    // sheet's edges are long straight lines; with it instead of an area average the whole search
    // on a 1500 x 1125 copy went from 7.8 to 3.5 ms.
    cv::Mat small;
    cv::resize(full, small, cv::Size(), scale, scale, cv::INTER_LINEAR);

    // Paper is bright in every channel; a wooden or coloured desk is dark in at least one.
    cv::Mat gray;
    cv::cvtColor(small, gray, cv::COLOR_BGR2GRAY);
    std::vector<cv::Mat> channels;
    cv::split(small, channels);
    cv::Mat whiteness = cv::min(cv::min(channels[0], channels[1]), channels[2]);
    cv::GaussianBlur(gray, gray, cv::Size(5, 5), 0);
    cv::GaussianBlur(whiteness, whiteness, cv::Size(5, 5), 0);

    Search search;
    search.whiteness = whiteness;
    search.area = static_cast<double>(small.cols) * small.rows;
    cv::Canny(whiteness, search.edges, 30, 90);
    cv::dilate(search.edges, search.edges,
               cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    cv::dilate(search.edges, search.support,
               cv::getStructuringElement(cv::MORPH_RECT, cv::Size(7, 7)));

    SearchBrightRegions(search, whiteness);
    SearchBrightRegions(search, gray);
    SearchOutlines(search);
    if (!search.best) return std::nullopt;

    // Back to the picture's continuous grid: a search pixel covers 1 / scale picture pixels.
    SheetQuad corners;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2f p = (*search.best)[i];
        const double x = (static_cast<double>(p.x) + 0.5) / scale;
        const double y = (static_cast<double>(p.y) + 0.5) / scale;
        corners[i] = QPointF(std::clamp(x, 0.0, static_cast<double>(full.cols)),
                             std::clamp(y, 0.0, static_cast<double>(full.rows)));
    }
    // What is found can always be straightened: a corner angle too flat to use is no sheet.
    try {
        CheckSheetQuad(corners, full.cols, full.rows);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
    return corners;
}

}  // namespace lisko
