#include "core/system/Clock.h"

#include <chrono>

namespace tovi {
namespace {
std::function<double()>& source() {
    static std::function<double()> s;
    return s;
}
} // namespace

double tickCount() {
    if (source())
        return source()();
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setTickSource(std::function<double()> s) {
    source() = std::move(s);
}

} // namespace tovi
