#pragma once

#include <QFont>
#include <QString>

namespace lisko {

// A font of the family whose character cell is cellHeight pixels high (ascent plus descent), the
// way the window designs and the printed pages give font sizes.
QFont FontWithCellHeight(const QString& family, int cellHeight);

}  // namespace lisko
