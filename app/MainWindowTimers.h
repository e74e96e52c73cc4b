// The main window's timers: their ids, grouped by family (an even id is the
// first wait, the next odd id the second), and their periods. Every timer of
// the main window is armed with PeriodOf, the one place tests shorten the
// long waits (reboot, power on) through SetTimerScale.
#pragma once

#include "app/PanelMessages.h"

#include <windows.h>

constexpr UINT_PTR TIMER_PORT_POLL = 1;
// TIMER_REPLY_TIMEOUT (1000) is in PanelMessages.h: the pages stop it.
constexpr UINT_PTR TIMER_SEARCH_DONE = 1005;
constexpr UINT_PTR TIMER_SEARCH_CLOSE = 1006;
constexpr UINT_PTR TIMER_CONFIG_TIMEOUT = 1009;
// The Status chain: input 1 to 4, then output A.
constexpr UINT_PTR TIMER_STATUS_CHAIN_IN1 = 2000;
constexpr UINT_PTR TIMER_STATUS_CHAIN_IN2 = 2002;
constexpr UINT_PTR TIMER_STATUS_CHAIN_IN3 = 2004;
constexpr UINT_PTR TIMER_STATUS_CHAIN_IN4 = 2006;
constexpr UINT_PTR TIMER_STATUS_CHAIN_OUTA = 2100;
constexpr UINT_PTR TIMER_RESET_ACK = 7019;
constexpr UINT_PTR TIMER_RESET_DONE = 7021;
constexpr UINT_PTR TIMER_RESET_CLOSE = 7022;
constexpr UINT_PTR TIMER_REBOOT_ACK = 7023;
constexpr UINT_PTR TIMER_REBOOT_DONE = 7025;
constexpr UINT_PTR TIMER_REBOOT_CLOSE = 7026;
constexpr UINT_PTR TIMER_POWER_ACK = 7028;
constexpr UINT_PTR TIMER_POWER_DONE = 7030;
constexpr UINT_PTR TIMER_POWER_CLOSE = 7031;
constexpr UINT_PTR TIMER_STATUS_POLL = 7034;

// The second timer of a resend pair.
constexpr UINT_PTR SecondWait(UINT_PTR firstWait) { return firstWait + 1; }

// The real period of a main-window timer in milliseconds; 0 for an id that is
// not the main window's.
UINT RealPeriodOf(UINT_PTR id);
// The period the timer is armed with: the real one times the timer scale.
UINT PeriodOf(UINT_PTR id);
// Tests run the long waits faster: 1.0 (the default) keeps the real periods.
void SetTimerScale(double scale);
// Any period scaled the same way: the pages arm their own timers with it.
UINT ScaledPeriod(UINT milliseconds);
