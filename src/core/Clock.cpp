#include "core/Clock.h"

namespace im::core {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

}  // namespace im::core
