#pragma once

#include <QString>

class QWidget;

namespace lisko {

class TWebBrowser;

// Fills an empty tab page with its header strip and the panel that holds its browser.
TWebBrowser* BuildPartnerTab(QWidget* tab);
TWebBrowser* BuildProjectTab(QWidget* tab);

// Waits until the project tab's browser can take a navigation, then requests the project site
// with the program's version in the query and the partner page with the version in an extra
// request header. The pages load in the background. The wait processes pending events, so the
// window's handlers run meanwhile; it also ends when the browser's window is closed (the
// program is ending then, and nothing is requested).
void RequestWebPages(TWebBrowser& project, TWebBrowser& partner, const QString& programVersion);

}  // namespace lisko
