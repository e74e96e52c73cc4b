// The simulator program: the pty, the control channel, the frame log and the
// timed writes around the pure SwitcherModel, in one poll loop.
#pragma once

#include "tools/ControlInterpreter.h"
#include "tools/ControlServer.h"
#include "tools/FaultKnobs.h"
#include "tools/FrameLog.h"
#include "tools/InboundFrameReader.h"
#include "tools/LanPort.h"
#include "tools/LanResponder.h"
#include "tools/NetNamespace.h"
#include "tools/PtyPort.h"
#include "tools/SimulatorOptions.h"
#include "tools/SwitcherModel.h"
#include "tools/TcpDevicePort.h"

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

class SwitcherSimulator {
public:
    explicit SwitcherSimulator(SimulatorOptions options);

    // Runs until "quit", a signal, the end of the first control connection
    // (with --exit-with-control) or the lifetime; returns the exit status.
    int Run();

private:
    using Clock = std::chrono::steady_clock;
    using SystemTime = std::chrono::system_clock::time_point;

    struct PendingWrite {
        Clock::time_point due;
        Bytes bytes;
        const char* tag;
        SendTarget target;
    };

    bool Start(std::string& error);
    bool StartLan(std::string& error);
    std::string ExecuteLan(const LanControlOutcome& outcome);
    std::string Execute(const std::string& line);
    void ReadFromPty();
    void ReadFromTcp();
    void ReadInto(InboundFrameReader& reader, SystemTime& firstByteRead, const std::uint8_t* bytes, long count,
                  SendTarget target);
    void AnswerFrames(InboundFrameReader& reader, SystemTime& firstByteRead, SendTarget target);
    void Queue(Clock::time_point due, Bytes bytes, const char* tag, SendTarget target);
    void WriteDueBytes();
    long WriteTo(SendTarget target, const Bytes& bytes);
    bool ReadsPty() const;
    bool PacedReadDue() const;
    timespec PollTimeout() const;
    bool ShouldStop() const;

    SimulatorOptions m_options;
    SwitcherModel m_model;
    FaultKnobs m_knobs;
    ControlInterpreter m_interpreter;
    InboundFrameReader m_reader;
    InboundFrameReader m_tcpReader;
    // When the first byte of the frame each reader is assembling was read.
    SystemTime m_ptyFirstByteRead{};
    SystemTime m_tcpFirstByteRead{};
    FrameLog m_log;
    PtyPort m_pty;
    ControlServer m_control;
    TcpDevicePort m_tcp;
    NetNamespace m_lanNamespace;
    LanPort m_lan;
    LanResponder m_lanResponder;
    SendTarget m_sendTarget = SendTarget::Pty;
    std::vector<PendingWrite> m_pending;   // ordered by due time
    Clock::time_point m_started;
    bool m_quit = false;
};
