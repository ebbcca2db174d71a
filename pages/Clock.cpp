#include "pages/Clock.h"

namespace lisko {

namespace {
QDate fixedToday;
}

QDate Today() {
    return fixedToday.isValid() ? fixedToday : QDate::currentDate();
}

ScopedToday::ScopedToday(QDate date) : previous_(fixedToday) {
    fixedToday = date;
}

ScopedToday::~ScopedToday() {
    fixedToday = previous_;
}

}  // namespace lisko
