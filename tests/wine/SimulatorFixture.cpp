#include "tests/wine/SimulatorFixture.h"

#include "tests/wine/MessagePumping.h"
#include "tests/wine/TestTimings.h"
#include "tests/wine/WindowsPath.h"

#include <ws2tcpip.h>

#include <cstdlib>
#include <sstream>

namespace {

constexpr DWORD CONNECT_RETRY_MS = 50;
constexpr DWORD STOP_TIMEOUT_MS = 3000;
constexpr DWORD POLL_PERIOD_MS = 20;
// A simulator left behind by a crashed test ends by itself after this.
constexpr int SIMULATOR_LIFETIME_SECONDS = 600;
constexpr std::size_t RECEIVE_CHUNK = 512;

// One argument as the C runtime's argument parser reads it back.
std::wstring QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return Widen(argument);
    }
    std::wstring quoted = L"\"";
    for (const wchar_t c : Widen(argument)) {
        if (c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

std::string ReadWholeFile(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string content;
    char chunk[RECEIVE_CHUNK];
    DWORD count = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &count, nullptr) && count > 0) {
        content.append(chunk, count);
    }
    ::CloseHandle(file);
    return content;
}

SimulatorLogEntry ParseLogLine(const std::string& line) {
    std::istringstream stream(line);
    SimulatorLogEntry entry{};
    stream >> entry.time >> entry.tag;
    std::string pair;
    while (stream >> pair) {
        entry.bytes.push_back(static_cast<std::uint8_t>(std::strtoul(pair.c_str(), nullptr, 16)));
    }
    return entry;
}

}  // namespace

void SimulatorFixture::SetUp() {
    m_simulator = Environment("CORVANE_SIMULATOR");
    m_comLink = Environment("CORVANE_COM_LINK");
    m_sessionDir = Environment("CORVANE_SESSION_DIR");
    m_comPort = std::atoi(Environment("CORVANE_COM_PORT").c_str());
    ASSERT_FALSE(m_simulator.empty() || m_comLink.empty() || m_sessionDir.empty() || m_comPort <= 0)
        << "run the Windows tests inside scripts/wine-session.sh (simulator, COM link and port are not set)";
    if (UsesLan()) {
        m_lanNetns = Environment("CORVANE_LAN_NETNS");
        ASSERT_FALSE(m_lanNetns.empty()) << "the test session gives no LAN namespace (CORVANE_LAN_NETNS)";
    }

    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_logPath = m_sessionDir + "/sim-" + test->test_suite_name() + "." + test->name() + ".log";
    ::DeleteFileW(WindowsPath(m_logPath).c_str());

    WSADATA data{};
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
    m_winsockStarted = true;
    StartSimulator(SimulatorOptions());
}

void SimulatorFixture::TearDown() {
    StopSimulator();
    if (m_winsockStarted) {
        ::WSACleanup();
        m_winsockStarted = false;
    }
}

std::wstring SimulatorFixture::ComPortName() const { return L"\\\\.\\COM" + std::to_wstring(m_comPort); }

bool SimulatorFixture::ComLinkExists() const {
    return ::GetFileAttributesW(WindowsPath(m_comLink).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SimulatorFixture::StartSimulator(const std::vector<std::string>& options) {
    const int port = FreeLoopbackPort();
    ASSERT_GT(port, 0) << "no free loopback port for the control channel";
    std::vector<std::string> arguments = {"--pty-link", m_comLink, "--log", m_logPath,
                                          "--control-port", std::to_string(port), "--exit-with-control",
                                          "--max-lifetime", std::to_string(SIMULATOR_LIFETIME_SECONDS)};
    if (!m_lanNetns.empty()) {
        arguments.insert(arguments.end(), {"--lan-netns", m_lanNetns});
    }
    arguments.insert(arguments.end(), options.begin(), options.end());

    const std::wstring program = WindowsPath(m_simulator);
    std::wstring commandLine = QuoteArgument(m_simulator);
    for (const std::string& argument : arguments) {
        commandLine += L' ' + QuoteArgument(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &m_process))
        << "cannot start the simulator, error " << ::GetLastError();
    // The simulator opens its control port only once the pty link is in
    // place, so a connection means the COM port is ready.
    ASSERT_TRUE(ConnectControl(port, ARRIVAL_TIMEOUT_MS)) << "the simulator did not come up";
    ASSERT_EQ(Control("ping"), "ok pong");
}

void SimulatorFixture::StopSimulator() {
    if (m_control != INVALID_SOCKET) {
        Control("quit");
        ::closesocket(m_control);
        m_control = INVALID_SOCKET;
    }
    if (m_process.hProcess != nullptr) {
        // The simulator removes its link when it ends; wait for that so the
        // next test cannot open the port of this one.
        const std::wstring link = WindowsPath(m_comLink);
        const ULONGLONG deadline = ::GetTickCount64() + STOP_TIMEOUT_MS;
        while (::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES && ::GetTickCount64() < deadline) {
            ::Sleep(POLL_PERIOD_MS);
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
        m_process = PROCESS_INFORMATION{};
    }
    m_controlPending.clear();
}

std::string SimulatorFixture::Control(const std::string& command) {
    if (m_control == INVALID_SOCKET) return "error no control connection";
    const std::string line = command + "\n";
    if (::send(m_control, line.data(), static_cast<int>(line.size()), 0) != static_cast<int>(line.size())) {
        return "error send failed";
    }
    return ReadControlLine();
}

std::string SimulatorFixture::ReadControlLine() {
    std::size_t end;
    while ((end = m_controlPending.find('\n')) == std::string::npos) {
        char chunk[RECEIVE_CHUNK];
        const int count = ::recv(m_control, chunk, sizeof chunk, 0);
        if (count <= 0) return "error connection closed";
        m_controlPending.append(chunk, static_cast<std::size_t>(count));
    }
    std::string line = m_controlPending.substr(0, end);
    m_controlPending.erase(0, end + 1);
    return line;
}

std::vector<SimulatorLogEntry> SimulatorFixture::LogEntries() const {
    std::vector<SimulatorLogEntry> entries;
    std::istringstream content(ReadWholeFile(WindowsPath(m_logPath)));
    std::string line;
    while (std::getline(content, line)) {
        if (!line.empty()) entries.push_back(ParseLogLine(line));
    }
    return entries;
}

std::vector<SimulatorLogEntry> SimulatorFixture::Logged(const std::string& tag) const {
    std::vector<SimulatorLogEntry> entries;
    for (SimulatorLogEntry& entry : LogEntries()) {
        if (entry.tag == tag) entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::vector<std::uint8_t>> SimulatorFixture::ReceivedFrames() const {
    std::vector<std::vector<std::uint8_t>> frames;
    for (SimulatorLogEntry& entry : Logged("RX")) frames.push_back(std::move(entry.bytes));
    return frames;
}

std::vector<double> SimulatorFixture::ArrivalTimes(const std::vector<std::uint8_t>& frame) const {
    std::vector<double> times;
    for (const SimulatorLogEntry& entry : Logged("RX")) {
        if (entry.bytes == frame) times.push_back(entry.time);
    }
    return times;
}

// Messages keep being handled meanwhile, as the panel's own loop does: the
// serial worker hands what it has read over to this thread before it writes.
bool SimulatorFixture::WaitForReceivedFrames(std::size_t count, DWORD timeoutMs) const {
    return PumpUntil([this, count] { return ReceivedFrames().size() >= count; }, timeoutMs);
}

std::string SimulatorFixture::Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

int SimulatorFixture::FreeLoopbackPort() {
    const SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (probe == INVALID_SOCKET) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    int port = 0;
    if (::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ::ntohs(address.sin_port);
    }
    ::closesocket(probe);
    return port;
}

bool SimulatorFixture::ConnectControl(int port, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    address.sin_port = ::htons(static_cast<u_short>(port));
    while (::GetTickCount64() < deadline) {
        const SOCKET candidate = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (candidate != INVALID_SOCKET &&
            ::connect(candidate, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            m_control = candidate;
            return true;
        }
        if (candidate != INVALID_SOCKET) ::closesocket(candidate);
        ::Sleep(CONNECT_RETRY_MS);
    }
    return false;
}

std::string SimulatorFixture::DeviceSends(const std::vector<std::uint8_t>& bytes) {
    return Control("send" + HexWords(bytes));
}

std::string SimulatorFixture::HexWords(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string words;
    for (std::uint8_t byte : bytes) {
        words += ' ';
        words += digits[byte >> 4];
        words += digits[byte & 0x0F];
    }
    return words;
}
