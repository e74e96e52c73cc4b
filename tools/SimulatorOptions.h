// Command line of switcher-sim.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct SimulatorOptions {
    std::string ptyLink;                        // --pty-link PATH (required)
    std::string logPath;                        // --log PATH
    int controlPort = -1;                       // --control-port N (none when -1; 0 = any free port)
    int tcpPort = -1;                           // --tcp-port N: the device's TCP control port (none when -1)
    std::string lanNetns;                       // --lan-netns PATH: serve the LAN (UDP, TCP 8000) from there
    bool exitWithControl = false;               // --exit-with-control
    int maxLifetimeSeconds = 0;                 // --max-lifetime S (0 = no limit)
    std::vector<std::string> startupCommands;   // knobs and --command lines, in order
    bool help = false;

    // Fills the options from argv; an error text on a bad command line.
    static std::optional<SimulatorOptions> Parse(const std::vector<std::string>& arguments, std::string& error);

    static const char* UsageText();
};
