#include "tools/SimulatorOptions.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr int MAX_PORT = 65535;

// Options that are control commands with one value: "--delay 500" is the
// command "delay 500".
constexpr const char* KNOB_OPTIONS[] = {"delay", "drop", "corrupt", "split", "garbage", "send", "burst", "pace"};

bool ParseInt(const std::string& text, int minimum, int maximum, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < minimum || parsed > maximum) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool IsKnobOption(const std::string& name) {
    for (const char* knob : KNOB_OPTIONS) {
        if (name == knob) return true;
    }
    return false;
}

}  // namespace

std::optional<SimulatorOptions> SimulatorOptions::Parse(const std::vector<std::string>& arguments,
                                                        std::string& error) {
    SimulatorOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return options;
        }
        if (option == "--exit-with-control") {
            options.exitWithControl = true;
            continue;
        }
        if (option.rfind("--", 0) != 0 || i + 1 >= arguments.size()) {
            error = "bad or incomplete option " + option;
            return std::nullopt;
        }
        const std::string name = option.substr(2);
        const std::string& value = arguments[++i];
        if (name == "pty-link") {
            options.ptyLink = value;
        } else if (name == "lan-netns") {
            options.lanNetns = value;
        } else if (name == "log") {
            options.logPath = value;
        } else if (name == "control-port") {
            if (!ParseInt(value, 0, MAX_PORT, options.controlPort)) {
                error = "bad control port " + value;
                return std::nullopt;
            }
        } else if (name == "tcp-port") {
            if (!ParseInt(value, 0, MAX_PORT, options.tcpPort)) {
                error = "bad TCP port " + value;
                return std::nullopt;
            }
        } else if (name == "max-lifetime") {
            if (!ParseInt(value, 0, std::numeric_limits<int>::max(), options.maxLifetimeSeconds)) {
                error = "bad lifetime " + value;
                return std::nullopt;
            }
        } else if (name == "command") {
            options.startupCommands.push_back(value);
        } else if (IsKnobOption(name)) {
            options.startupCommands.push_back(name + " " + value);
        } else {
            error = "unknown option " + option;
            return std::nullopt;
        }
    }
    if (options.ptyLink.empty()) {
        error = "--pty-link is required";
        return std::nullopt;
    }
    return options;
}

const char* SimulatorOptions::UsageText() {
    return "usage: switcher-sim --pty-link PATH [options]\n"
           "Plays the 4x4 HDMI matrix switcher on a pseudo-terminal; PATH becomes a\n"
           "symlink to the pty (map a Wine COM port to it).\n"
           "\n"
           "  --pty-link PATH        where to put the link to the pty (required)\n"
           "  --log PATH             append every frame received (RX) and written (TX),\n"
           "                         with a timestamp, to PATH\n"
           "  --control-port N       control channel on 127.0.0.1:N (0 = any free port;\n"
           "                         the port is printed on stdout)\n"
           "  --tcp-port N           also serve the panel over TCP on 127.0.0.1:N (the\n"
           "                         device's port is 8000), one connection at a time\n"
           "  --lan-netns PATH       serve the LAN from the network namespace PATH: the\n"
           "                         device search (UDP 30600), the IP configuration\n"
           "                         (UDP 30601) and TCP 8000 on every address there\n"
           "  --exit-with-control    end when the first control connection closes\n"
           "  --max-lifetime S       end after S seconds at the latest\n"
           "  --command LINE         run a control command at start (repeatable)\n"
           "  --delay MS, --drop N, --corrupt N, --split N, --garbage N, --send HEX,\n"
           "  --burst N, --pace BAUD the control commands of the same name\n"
           "\n"
           "Control commands (one per line; each answered by one line, ok... or error...):\n"
           "  ping | delay MS | drop N [B2 B3] | corrupt N | split N [GAP_MS] | garbage N |\n"
           "  send HEX... | frame HEX(b2..b11) | burst N [HEX...] | state | knobs |\n"
           "  set route OUT IN | set edid IN VALUE | set arc OUT on|off |\n"
           "  set autoswitch|beep|power on|off | set input-link IN on|off |\n"
           "  set output-link OUT on|off | set type N | set size IN OUT |\n"
           "  set version MAJOR MINOR | set sink-edid OUT HEX... | edid IN |\n"
           "  edid-fail | edid-early-result on|off | target pty|tcp | pace BAUD|off |\n"
           "  busy on|off | reset | close | quit\n"
           "  lan search normal|silent|short|nomarker|huge|empty |\n"
           "  lan config normal|silent|short|refused|huge|empty |\n"
           "  lan devices N [PACE_MS] | lan address A.B.C.D | lan auto-address A.B.C.D |\n"
           "  lan stray 30600|30601 [HEX...] | lan state |\n"
           "  tcp close | tcp stall on|off | tcp refuse on|off   (the LAN side)\n"
           "  upgrade report | upgrade save PATH | upgrade silent-from K |\n"
           "  upgrade status K 1|2 | upgrade drop-ack K | upgrade flash-junk on|off |\n"
           "  upgrade restart MS|forever\n"
           "\n"
           "Log lines: <unix seconds.microseconds> RX|TX|SKIP|SEND <hex bytes>; on the\n"
           "LAN also LAN-RX-<port> (every datagram received) and LAN-TX-<port>. An RX\n"
           "line is stamped when its first byte was read.\n"
           "\n"
           "With a pace (pace 115200: 10,473 bytes a second) the pty carries bytes each\n"
           "way no faster than a serial line at that rate, 8N2; a reply then goes out in\n"
           "several writes, each logged as a TX line of its own.\n";
}
