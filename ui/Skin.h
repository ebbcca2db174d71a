#pragma once

class QApplication;

namespace lisko {

// The look of every window: Fusion with a muted palette and the Tahoma user-interface font
// (the metric-compatible font from Wine when installed, else the system sans).
void ApplySkin(QApplication& app);

}  // namespace lisko
