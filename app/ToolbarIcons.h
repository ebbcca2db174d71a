#pragma once

#include <QIcon>

namespace lisko {

enum class ToolbarPicture { AddFiles, Print, Recommend, Feedback, About, SaveJob, OpenJob };

// The toolbar's pictures, drawn by the program itself: 48 x 48, the recommend button's 48 x 41.
QIcon ToolbarIcon(ToolbarPicture picture);
QSize ToolbarIconSize(ToolbarPicture picture);

}  // namespace lisko
