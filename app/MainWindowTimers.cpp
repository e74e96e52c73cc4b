#include "app/MainWindowTimers.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

struct TimerPeriod {
    UINT_PTR id;
    UINT milliseconds;
};

constexpr UINT RESEND_WAIT_MS = 3000;

constexpr TimerPeriod PERIODS[] = {
    {TIMER_PORT_POLL, 600},
    {TIMER_REPLY_TIMEOUT, 7000},
    {TIMER_SEARCH_DONE, 900},
    {TIMER_SEARCH_CLOSE, 900},
    {TIMER_CONFIG_TIMEOUT, 15000},
    {TIMER_STATUS_CHAIN_IN1, RESEND_WAIT_MS},
    {SecondWait(TIMER_STATUS_CHAIN_IN1), RESEND_WAIT_MS},
    {TIMER_STATUS_CHAIN_IN2, RESEND_WAIT_MS},
    {SecondWait(TIMER_STATUS_CHAIN_IN2), RESEND_WAIT_MS},
    {TIMER_STATUS_CHAIN_IN3, RESEND_WAIT_MS},
    {SecondWait(TIMER_STATUS_CHAIN_IN3), RESEND_WAIT_MS},
    {TIMER_STATUS_CHAIN_IN4, RESEND_WAIT_MS},
    {SecondWait(TIMER_STATUS_CHAIN_IN4), RESEND_WAIT_MS},
    {TIMER_STATUS_CHAIN_OUTA, RESEND_WAIT_MS},
    {SecondWait(TIMER_STATUS_CHAIN_OUTA), RESEND_WAIT_MS},
    {TIMER_RESET_ACK, RESEND_WAIT_MS},
    {SecondWait(TIMER_RESET_ACK), RESEND_WAIT_MS},
    {TIMER_RESET_DONE, 2500},
    {TIMER_RESET_CLOSE, 500},
    {TIMER_REBOOT_ACK, RESEND_WAIT_MS},
    {SecondWait(TIMER_REBOOT_ACK), RESEND_WAIT_MS},
    {TIMER_REBOOT_DONE, 18000},
    {TIMER_REBOOT_CLOSE, 16000},
    {TIMER_POWER_ACK, RESEND_WAIT_MS},
    {SecondWait(TIMER_POWER_ACK), 2000},
    {TIMER_POWER_DONE, 3000},
    {TIMER_POWER_CLOSE, 16000},
    {TIMER_STATUS_POLL, 5000},
};

// A timer is never armed with 0 ms, which Windows would treat as the shortest
// period anyway; a scaled period keeps at least this.
constexpr UINT SHORTEST_PERIOD_MS = 10;

double g_timerScale = 1.0;

}  // namespace

UINT RealPeriodOf(UINT_PTR id) {
    const auto* row = std::find_if(std::begin(PERIODS), std::end(PERIODS),
                                   [id](const TimerPeriod& period) { return period.id == id; });
    return row == std::end(PERIODS) ? 0 : row->milliseconds;
}

UINT PeriodOf(UINT_PTR id) { return ScaledPeriod(RealPeriodOf(id)); }

UINT ScaledPeriod(UINT milliseconds) {
    const double scaled = std::round(milliseconds * g_timerScale);
    return std::max(SHORTEST_PERIOD_MS, static_cast<UINT>(scaled));
}

void SetTimerScale(double scale) { g_timerScale = scale; }
