// switcher-sim: plays the switcher on a pseudo-terminal for the panel's tests.
#include "tools/SimulatorOptions.h"
#include "tools/SwitcherSimulator.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const auto options = SimulatorOptions::Parse(arguments, error);
    if (!options) {
        std::cerr << "switcher-sim: " << error << '\n' << SimulatorOptions::UsageText();
        return 2;
    }
    if (options->help) {
        std::cout << SimulatorOptions::UsageText();
        return 0;
    }
    return SwitcherSimulator(*options).Run();
}
