// The replaceable clock behind Now, Date and Time. By default it reads the system's
// local time; tests install a fixed clock through SetClock / TClockScope.
#include "platform/rtl/DateUtils.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace mv {

namespace {

struct TClockState {
    std::mutex Lock;
    TClockFunction Clock; // empty: the system clock
};

// Built on first use: another static's initialiser may already ask for the time.
TClockState& ClockState() {
    static TClockState state;
    return state;
}

TDateTime SystemNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    Int64 msec = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    if (msec < 0) msec += 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    // A leap second (tm_sec 60) has no TDateTime; it reads as the second before.
    const Word second = static_cast<Word>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return EncodeDateTime(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                          static_cast<Word>(local.tm_mday), static_cast<Word>(local.tm_hour),
                          static_cast<Word>(local.tm_min), second, static_cast<Word>(msec));
}

} // namespace

TDateTime Now() {
    TClockFunction clock;
    {
        // Copied out so a clock that itself calls SetClock cannot deadlock.
        TClockState& state = ClockState();
        std::lock_guard guard(state.Lock);
        clock = state.Clock;
    }
    return clock ? clock() : SystemNow();
}

TDateTime Date() {
    return DateOf(Now());
}
TDateTime Time() {
    return TimeOf(Now());
}

TClockFunction SetClock(TClockFunction clock) {
    TClockState& state = ClockState();
    std::lock_guard guard(state.Lock);
    std::swap(state.Clock, clock);
    return clock;
}

} // namespace mv
