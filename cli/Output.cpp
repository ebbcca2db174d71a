#include "cli/Output.h"

#include <cstdio>

#include "raster/Jpeg.h"

namespace lisko::cli {

void PrintError(const QString& message) {
    std::fprintf(stderr, "liskoprinter-cli: %s\n", message.toLocal8Bit().constData());
}

QString DescribeError(const std::exception& error) {
    if (const auto* jpeg = dynamic_cast<const JpegError*>(&error)) {
        return QStringLiteral("%1 (%2)").arg(QString::fromStdString(jpeg->what()),
                                             QString::fromStdString(jpeg->Detail()));
    }
    return QString::fromStdString(error.what());
}

int Code(Exit exit) {
    return static_cast<int>(exit);
}

}  // namespace lisko::cli
