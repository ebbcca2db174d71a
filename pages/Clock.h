#pragma once

#include <QDate>

namespace lisko {

// Today's local date, the one clock of the program; tests put a fixed date in its place.
QDate Today();

class ScopedToday {
public:
    explicit ScopedToday(QDate date);
    ~ScopedToday();
    ScopedToday(const ScopedToday&) = delete;
    ScopedToday& operator=(const ScopedToday&) = delete;

private:
    QDate previous_;
};

}  // namespace lisko
