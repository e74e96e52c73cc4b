// GoogleTest fixture that puts the switcher simulator on the session's COM
// port for one test: it starts the native simulator (a Linux program, started
// through Wine), waits until the port's pty link is in place, lets the test
// steer it over its control channel and read the frames it received, and
// stops it at the end of the test.
//
// The test session (scripts/wine-session.sh) provides the environment:
// CORVANE_SIMULATOR (the simulator program), CORVANE_COM_LINK (the link the
// COM port is mapped to), CORVANE_COM_PORT, CORVANE_SESSION_DIR and, for the
// tests that use the LAN, CORVANE_LAN_NETNS (the simulator's LAN namespace).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct SimulatorLogEntry {
    double time;                       // seconds, Unix epoch
    std::string tag;                   // RX, TX, SKIP, SEND or DROP
    std::vector<std::uint8_t> bytes;
};

class SimulatorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Command-line options for the simulator of this test (for example
    // {"--delay", "500"}); the control channel changes knobs later.
    virtual std::vector<std::string> SimulatorOptions() const { return {}; }
    // The simulated switcher also serves the LAN: the device search, the IP
    // configuration and TCP 8000 at its LAN address.
    virtual bool UsesLan() const { return false; }

    // The COM port the simulator sits on (5) and its device name ("\\.\COM5").
    int ComPort() const { return m_comPort; }
    std::wstring ComPortName() const;
    // The session's folder on the machine's side, where the simulator writes.
    const std::string& SessionDir() const { return m_sessionDir; }

    // The link the COM port is mapped to is in place.
    bool ComLinkExists() const;

    // Sends one control command and returns the simulator's answer line
    // ("ok ..." or "error ...").
    std::string Control(const std::string& command);
    // The simulated device writes these bytes to the panel; the control
    // channel's answer ("ok" when they went out).
    std::string DeviceSends(const std::vector<std::uint8_t>& bytes);
    // Each byte as a blank and two hex digits, for control commands.
    static std::string HexWords(const std::vector<std::uint8_t>& bytes);

    // Every line of the simulator's log so far, those tagged `tag`, and the
    // frames it received.
    std::vector<SimulatorLogEntry> LogEntries() const;
    std::vector<SimulatorLogEntry> Logged(const std::string& tag) const;
    std::vector<std::vector<std::uint8_t>> ReceivedFrames() const;
    // When (Unix seconds) each arrival of `frame` began.
    std::vector<double> ArrivalTimes(const std::vector<std::uint8_t>& frame) const;

    // Waits until the simulator has received at least `count` frames,
    // handling this thread's messages meanwhile.
    bool WaitForReceivedFrames(std::size_t count, DWORD timeoutMs) const;

    // Stops the simulator early (the test can then start another one with
    // StartSimulator).
    void StopSimulator();
    void StartSimulator(const std::vector<std::string>& options);

private:
    static std::string Environment(const char* name);
    static int FreeLoopbackPort();
    bool ConnectControl(int port, DWORD timeoutMs);
    std::string ReadControlLine();

    std::string m_simulator;
    std::string m_comLink;
    std::string m_sessionDir;
    std::string m_logPath;
    std::string m_lanNetns;
    int m_comPort = 0;
    PROCESS_INFORMATION m_process{};
    SOCKET m_control = INVALID_SOCKET;
    std::string m_controlPending;
    bool m_winsockStarted = false;
};
