// The Matrix page's routing arithmetic: which inputs and outputs exist, the
// timer each routing control arms, and where the previous and next buttons
// step from the input an output shows.
#pragma once

namespace MatrixRouting {

constexpr int PORT_COUNT = 4;   // inputs IN1..IN4 and outputs A..D alike

constexpr unsigned FIRST_ROUTE_TIMER = 6000;
constexpr unsigned LAST_ROUTE_TIMER = 6047;

// True for an input or output number the switcher has (1..4).
bool IsPort(int number);

// The first timer of a routing request: IN button `input` of `output`, or
// the output's previous or next button. The second timer is the id after it.
unsigned InputButtonTimer(int output, int input);
unsigned PreviousButtonTimer(int output);
unsigned NextButtonTimer(int output);

bool IsFirstRouteTimer(unsigned id);
bool IsSecondRouteTimer(unsigned id);

// The input a previous or next click asks for. `current` is the output's
// stored input; the step wraps it first (to 5 or 0), and only an
// acknowledgement stores the new input, so the wrap value stays when none
// comes.
int StepToPreviousInput(int& current);
int StepToNextInput(int& current);

}  // namespace MatrixRouting
