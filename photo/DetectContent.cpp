#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "photo/Content.h"
#include "photo/OpenCvView.h"
#include "photo/PhotoSettings.h"

namespace lisko {

namespace {

// The search runs on a copy of about this longer side: two fifths of a working copy, where a pen
// stroke is still about two pixels wide. From 750 it went from 12.9 to 8.2 ms on a 1500 x 1125
// working copy.
constexpr int kSearchSide = 600;
// The paper's own brightness at a pixel is the brightest within this share of the longer side:
// wider than any pen stroke or punched hole, narrower than the light changes across a page.
constexpr double kPaperWindowShare = 0.03;
// Ink is darker than this share of the paper round it, and by at least kLeastInkStep levels.
constexpr double kInkShare = 0.78;
constexpr int kLeastInkStep = 24;
// Faint marks are darker than this share of the paper.
constexpr double kFaintShare = 0.9;
// Paper is at least this share as bright as the page's brightest paper; darker is desk.
constexpr double kLeastPaperShare = 0.5;
// A ruled, squared or margin line, or a straightened sheet's edge, runs this share of the side.
constexpr double kRuleShare = 0.10;
// Patches this share of the longer side across in every direction are solid, never a rule.
constexpr double kSolidShare = 0.01;
// A piece of a rule is at most this many pixels of the search copy thick.
constexpr int kThinnest = 4;
// Marks smaller than this share of the longer side are specks.
constexpr double kSpeckShare = 0.005;
// A punched hole: a solid round blob this wide (share of the shorter side) near an edge.
constexpr double kSmallestHole = 0.012;
constexpr double kLargestHole = 0.06;
constexpr double kHoleEdgeShare = 0.15;
// What is kept beyond the writing on each side, as a share of that side.
constexpr double kMarginShare = 0.01;

cv::Mat Rect(int width, int height) {
    return cv::getStructuringElement(cv::MORPH_RECT, cv::Size(width, height));
}

// Odd, at least 3: the side of a window that is a share of `side`.
int WindowOf(double share, int side) {
    return std::max(3, static_cast<int>(share * side) | 1);
}

// The darkest channel, so that coloured ink and highlighter stand out from white paper as
// strongly as black ink does.
cv::Mat Darkest(const cv::Mat& bgr) {
    std::vector<cv::Mat> channels;
    cv::split(bgr, channels);
    return cv::min(cv::min(channels[0], channels[1]), channels[2]);
}

// Ink is what is clearly darker than the paper round it, on paper rather than desk. Faint marks
// are what is a little darker: a thin ruled line breaks up between the two, so the rules are
// looked for among the faint marks.
struct Marks {
    cv::Mat ink;
    cv::Mat faint;
};

Marks MarksOnPaper(const cv::Mat& gray) {
    const int longer = std::max(gray.cols, gray.rows);
    const int window = WindowOf(kPaperWindowShare, longer);
    // Smoothed first: the brightest single pixels are a JPEG's ringing beside dark lines.
    cv::Mat paper;
    cv::blur(gray, paper, cv::Size(5, 5));
    cv::dilate(paper, paper, Rect(window, window));

    cv::Mat threshold;
    paper.convertTo(threshold, CV_8U, kInkShare);
    Marks marks;
    marks.ink = (gray < threshold) & (gray < paper - kLeastInkStep);
    paper.convertTo(threshold, CV_8U, kFaintShare);
    marks.faint = gray < threshold;

    // The page's paper is what most bright surroundings are; desk left beside the sheet is much
    // darker. Its edge, a window wide, looks like ink against the paper beside it, so the desk is
    // widened by two windows before it is left out.
    double darkest = 0;
    double brightest = 0;
    cv::minMaxLoc(paper, &darkest, &brightest);
    // A straightened sheet is mostly all paper: then there is no desk to look for.
    if (darkest >= kLeastPaperShare * brightest) return marks;
    cv::Mat onPaper = paper >= kLeastPaperShare * brightest;
    cv::erode(onPaper, onPaper, Rect(2 * window + 1, 2 * window + 1));
    marks.ink &= onPaper;
    return marks;
}

// Long straight runs along the rows and the columns: the paper's rules and squares, its margin
// line and a straightened sheet's edge. Thickened first across the run so that a line a little
// off the axis still runs straight, and the result thickened again so that no fringe is left.
// Solid patches, a highlighter's mark or a punched hole, have long runs too but are no rules.
struct Rules {
    cv::Mat horizontal;
    cv::Mat vertical;
};

Rules FindRules(const cv::Mat& faint) {
    const int across = WindowOf(kRuleShare, faint.cols);
    const int down = WindowOf(kRuleShare, faint.rows);
    Rules rules;
    cv::Mat thick;
    cv::dilate(faint, thick, Rect(1, 3));
    cv::morphologyEx(thick, rules.horizontal, cv::MORPH_OPEN, Rect(across, 1));
    cv::dilate(rules.horizontal, rules.horizontal, Rect(3, 3));
    cv::dilate(faint, thick, Rect(3, 1));
    cv::morphologyEx(thick, rules.vertical, cv::MORPH_OPEN, Rect(1, down));
    cv::dilate(rules.vertical, rules.vertical, Rect(3, 3));
    const int solidSide = WindowOf(kSolidShare, std::max(faint.cols, faint.rows));
    cv::Mat solid;
    cv::morphologyEx(faint, solid, cv::MORPH_OPEN, Rect(solidSide, solidSide));
    rules.horizontal &= ~solid;
    rules.vertical &= ~solid;
    return rules;
}

// What is left of a rule where writing or another rule crosses it: a thin sliver along a row
// or a column that holds a rule.
bool IsPieceOfRule(const cv::Rect& box, const cv::Mat& ruledRows, const cv::Mat& ruledColumns) {
    const bool flat = box.height <= kThinnest && box.width > box.height;
    const bool upright = box.width <= kThinnest && box.height > box.width;
    return (flat && ruledRows.at<std::uint8_t>(box.y + box.height / 2) != 0) ||
           (upright && ruledColumns.at<std::uint8_t>(box.x + box.width / 2) != 0);
}

bool IsPunchedHole(const cv::Rect& box, int area, cv::Size size) {
    const int shorter = std::min(size.width, size.height);
    const int wide = std::max(box.width, box.height);
    const bool round = std::min(box.width, box.height) * 4 >= wide * 3 && area >= 0.6 * box.area();
    const bool holeSized = wide >= kSmallestHole * shorter && wide <= kLargestHole * shorter;
    const int edge = static_cast<int>(kHoleEdgeShare * shorter);
    const bool nearEdge = box.x < edge || box.y < edge || size.width - box.br().x < edge ||
                          size.height - box.br().y < edge;
    return round && holeSized && nearEdge;
}

// The crop before `start`, a share of the side: a margin more, rounded down to a whole percent.
int CropBefore(double start) {
    const int percent = static_cast<int>(std::floor(100.0 * (start - kMarginShare)));
    return std::clamp(percent, 0, Describe(Setting::CropLeft).maximum);
}

}  // namespace

ContentCrops DetectContent(const TFastDIB& picture, Turn turn) {
    if (picture.BitsPerPixel() != 24 || picture.IsEmpty()) {
        throw RasterError("DetectContent", "needs a non-empty 24-bit picture");
    }
    const cv::Mat full = OpenCvView(picture);
    const double scale =
        std::min(1.0, static_cast<double>(kSearchSide) / std::max(full.cols, full.rows));
    cv::Mat small;
    cv::resize(full, small, cv::Size(), scale, scale, cv::INTER_LINEAR);
    cv::Mat gray = Darkest(small);
    // Turned here, on the small copy, rather than the picture: the crops are the turned photo's.
    switch (turn) {
        case Turn::Clockwise:
            cv::rotate(gray, gray, cv::ROTATE_90_CLOCKWISE);
            break;
        case Turn::Anticlockwise:
            cv::rotate(gray, gray, cv::ROTATE_90_COUNTERCLOCKWISE);
            break;
        case Turn::HalfTurn:
            cv::rotate(gray, gray, cv::ROTATE_180);
            break;
        case Turn::None:
            break;
    }

    Marks marks = MarksOnPaper(gray);
    const Rules rules = FindRules(marks.faint);
    cv::Mat& ink = marks.ink;
    ink &= ~(rules.horizontal | rules.vertical);
    cv::Mat ruledRows, ruledColumns;
    cv::reduce(rules.horizontal, ruledRows, 1, cv::REDUCE_MAX);
    cv::reduce(rules.vertical, ruledColumns, 0, cv::REDUCE_MAX);

    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_32S);
    const int speck = static_cast<int>(kSpeckShare * std::max(gray.cols, gray.rows));
    cv::Rect box;
    for (int i = 1; i < count; ++i) {
        const cv::Rect mark(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                            stats.at<int>(i, cv::CC_STAT_WIDTH),
                            stats.at<int>(i, cv::CC_STAT_HEIGHT));
        if (std::max(mark.width, mark.height) < speck) continue;
        if (IsPieceOfRule(mark, ruledRows, ruledColumns)) continue;
        if (IsPunchedHole(mark, stats.at<int>(i, cv::CC_STAT_AREA), gray.size())) continue;
        box = box.empty() ? mark : (box | mark);
    }
    if (box.empty()) return {};

    // A pixel of the small copy covers the same share of each side as the pixels it stands for.
    const double w = gray.cols;
    const double h = gray.rows;
    return {CropBefore(box.x / w), CropBefore(1.0 - box.br().x / w), CropBefore(box.y / h),
            CropBefore(1.0 - box.br().y / h)};
}

}  // namespace lisko
