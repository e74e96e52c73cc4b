// The simulator's control language: one command per line, from the command
// line or the control port, answered with one line starting "ok" or "error".
//
//   ping                     -> ok pong
//   delay MS                 every reply waits MS milliseconds (0 = none)
//   drop N [B2 B3]           the next N replies (of command B2 B3 only,
//                            when given) are not sent
//   corrupt N                the next N replies carry a check byte off by one
//   split N [GAP_MS]         every reply goes out in N writes (1 = whole)
//   garbage N                the next reply is preceded by N noise bytes
//                            (N up to 10000)
//   read on|off              off: the device stops reading the pty, so that
//                            what the panel writes piles up and stalls
//   send HEX...              these bytes go out now, as they are
//   frame HEX...             b2..b11 (10 bytes) go out now as a command frame
//                            with sync pair and check byte
//   burst N [HEX...]         N copies of the bytes (default: the route report
//                            of output A) go out now in one write
//   set route OUT IN (IN: any byte) | edid IN VALUE | arc OUT on|off | autoswitch on|off |
//       beep on|off | power on|off | input-link IN on|off |
//       output-link OUT on|off | type N | size INPUTS OUTPUTS |
//       version MAJOR MINOR      changes the device state
//       sink-edid OUT HEX...     the sink EDID a copy from output OUT takes
//   edid IN                  -> ok <the EDID bytes input IN presents, hex>
//   edid-fail                the next EDID setting, copy or upload answers
//                            failure (b4 = 0F) and changes nothing
//   edid-early-result on|off an upload's data request goes out in one write
//                            with its success result (no data awaited)
//   upgrade ...              the firmware transfer's report, image and knobs
//                            (tools/FirmwareControl.h)
//   state                    -> ok <the device state on one line; label bytes
//                            that are not printable show as \xHH>
//   knobs                    -> ok <the fault knobs on one line>
//   reset                    knobs and device state back to their start
//   busy on|off              on: the pty refuses to be opened, as a port
//                            that another program holds
//   pace BAUD|off            the pty carries bytes each way no faster than
//                            a serial line at BAUD, 8N2 (11 bits a byte)
//   target pty|tcp           where send, frame and burst write from now on
//                            (the pty at start; tcp: the panel's TCP
//                            connection to the device's control port)
//   close                    closes the device's side of the pty
//   quit                     ends the simulator
#pragma once

#include "tools/Bytes.h"
#include "tools/FaultKnobs.h"
#include "tools/SwitcherModel.h"

#include <optional>
#include <string>
#include <vector>

enum class SendTarget { Pty, Tcp };

struct ControlOutcome {
    std::string reply;               // one line, without line end
    std::vector<Bytes> sends;        // to write now, past the fault knobs
    bool closePort = false;
    bool quit = false;
    std::optional<SendTarget> target;   // where sends go from now on
    std::optional<long long> pace;      // the pty's baud rate from now on (0: unpaced)
    std::optional<bool> busy;           // the pty refuses new openers from now on
};

class ControlInterpreter {
public:
    ControlInterpreter(SwitcherModel& model, FaultKnobs& knobs) : m_model(model), m_knobs(knobs) {}

    ControlOutcome Execute(const std::string& line);

private:
    ControlOutcome ExecuteSet(const std::vector<std::string>& words);
    ControlOutcome ExecuteEdid(const std::vector<std::string>& words);

    SwitcherModel& m_model;
    FaultKnobs& m_knobs;
};
