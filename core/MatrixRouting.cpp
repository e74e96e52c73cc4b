#include "core/MatrixRouting.h"

namespace MatrixRouting {

namespace {
// Each output owns twelve ids: an even-odd pair per IN button, then the pair
// of its previous and of its next button.
constexpr unsigned TIMERS_PER_OUTPUT = 12;
constexpr unsigned TIMERS_PER_BUTTON = 2;
constexpr unsigned PREVIOUS_OFFSET = 8;
constexpr unsigned NEXT_OFFSET = 10;

constexpr int WRAP_ABOVE_LAST = PORT_COUNT + 1;
constexpr int WRAP_BELOW_FIRST = 0;

unsigned OutputBase(int output) { return FIRST_ROUTE_TIMER + TIMERS_PER_OUTPUT * static_cast<unsigned>(output - 1); }

bool IsRouteTimer(unsigned id) { return id >= FIRST_ROUTE_TIMER && id <= LAST_ROUTE_TIMER; }
}  // namespace

bool IsPort(int number) { return number >= 1 && number <= PORT_COUNT; }

unsigned InputButtonTimer(int output, int input) {
    return OutputBase(output) + TIMERS_PER_BUTTON * static_cast<unsigned>(input - 1);
}

unsigned PreviousButtonTimer(int output) { return OutputBase(output) + PREVIOUS_OFFSET; }

unsigned NextButtonTimer(int output) { return OutputBase(output) + NEXT_OFFSET; }

bool IsFirstRouteTimer(unsigned id) { return IsRouteTimer(id) && (id - FIRST_ROUTE_TIMER) % TIMERS_PER_BUTTON == 0; }

bool IsSecondRouteTimer(unsigned id) { return IsRouteTimer(id) && (id - FIRST_ROUTE_TIMER) % TIMERS_PER_BUTTON == 1; }

int StepToPreviousInput(int& current) {
    if (current == WRAP_BELOW_FIRST || current == 1) current = WRAP_ABOVE_LAST;
    return current - 1;
}

int StepToNextInput(int& current) {
    if (current == PORT_COUNT || current == WRAP_ABOVE_LAST) current = WRAP_BELOW_FIRST;
    return current + 1;
}

}  // namespace MatrixRouting
