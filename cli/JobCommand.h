#pragma once

#include <QStringList>

namespace lisko::cli {

// `job PHOTO... -o FILE.lisko [options]`: writes a job file that opens in the program with these
// photos, settings and layout, and that `print --job` prints. Returns the process exit code.
int RunJob(const QStringList& arguments);

}  // namespace lisko::cli
