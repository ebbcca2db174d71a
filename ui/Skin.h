#pragma once

#include <QFont>
#include <QString>

class QApplication;

namespace lisko {

// The look of every window: Fusion with a muted palette and the Tahoma user-interface font
// (the metric-compatible font from Wine when installed, else the system sans).
void ApplySkin(QApplication& app);

// A font of the family whose character cell is cellHeight pixels high (ascent plus descent), the
// way the window designs give font sizes.
QFont FontWithCellHeight(const QString& family, int cellHeight);

}  // namespace lisko
