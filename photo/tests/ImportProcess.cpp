// A program that imports one photo COUNT times into a scratch directory, as the window program
// does, prints each working copy's path, then "ready", and keeps the photos until its standard
// input ends; the photos then delete their working copies. Two of these at once show that
// programs sharing a scratch directory never take each other's copies.
//
// Usage: lisko_import_process SCRATCH PHOTO COUNT

#include <QString>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "photo/Lisko.h"

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: lisko_import_process SCRATCH PHOTO COUNT\n");
        return 2;
    }
    const QString scratch = QString::fromLocal8Bit(argv[1]);
    const QString photo = QString::fromLocal8Bit(argv[2]);
    const int count = std::stoi(argv[3]);
    std::vector<std::unique_ptr<lisko::TLisko>> photos;
    try {
        for (int i = 0; i < count; ++i) {
            photos.push_back(std::make_unique<lisko::TLisko>(photo, scratch));
            std::printf("%s\n", photos.back()->WorkFile.toLocal8Bit().constData());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lisko_import_process: %s\n", e.what());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
