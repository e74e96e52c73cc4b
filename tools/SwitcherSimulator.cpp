#include "tools/SwitcherSimulator.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <poll.h>
#include <sys/prctl.h>
#include <utility>

namespace {

constexpr std::size_t READ_CHUNK = 4096;
constexpr int IDLE_POLL_MS = 1000;
constexpr int DEVICE_TCP_PORT = 8000;
constexpr unsigned long PACED_TIMER_SLACK_NS = 1000;
// Asks the kernel for the thread's default slack back.
constexpr unsigned long DEFAULT_TIMER_SLACK = 0;

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int) { g_stopSignal = 1; }

bool IsReadable(const pollfd& entry) { return (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0; }

}  // namespace

SwitcherSimulator::SwitcherSimulator(SimulatorOptions options)
    : m_options(std::move(options)), m_interpreter(m_model, m_knobs) {}

int SwitcherSimulator::Run() {
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::string error;
    if (!Start(error)) {
        std::cerr << "switcher-sim: " << error << '\n';
        return 1;
    }
    while (!ShouldStop()) {
        std::vector<pollfd> descriptors;
        if (m_pty.IsOpen()) {
            // Not reading, or the line's pace holding the bytes back: the
            // descriptor is left out of the poll (-1), so that a hang-up or
            // the waiting bytes do not wake the loop either.
            descriptors.push_back({ReadsPty() && !m_pty.ReadHeldUntil() ? m_pty.Descriptor() : -1, POLLIN, 0});
        }
        if (m_options.controlPort >= 0) {
            m_control.AppendPollDescriptors(descriptors);
        }
        if (m_tcp.IsOpen()) {
            m_tcp.AppendPollDescriptors(descriptors);
        }
        if (m_lan.IsOpen()) {
            m_lan.AppendPollDescriptors(descriptors);
        }
        const timespec timeout = PollTimeout();
        ppoll(descriptors.data(), descriptors.size(), &timeout, nullptr);
        if (m_pty.IsOpen() && (IsReadable(descriptors.front()) || PacedReadDue())) {
            ReadFromPty();
        }
        if (m_tcp.IsOpen() && m_tcp.Service(descriptors)) {
            ReadFromTcp();
        }
        if (m_lan.IsOpen()) {
            m_lan.Service(descriptors, m_lanResponder, m_log);
        }
        if (m_options.controlPort >= 0) {
            m_control.Service(descriptors, [this](const std::string& line) { return Execute(line); });
        }
        WriteDueBytes();
    }
    m_pty.Close();
    return 0;
}

bool SwitcherSimulator::Start(std::string& error) {
    m_started = Clock::now();
    if (!m_options.logPath.empty() && !m_log.Open(m_options.logPath)) {
        error = "cannot open the log " + m_options.logPath;
        return false;
    }
    for (const std::string& command : m_options.startupCommands) {
        const std::string answer = Execute(command);
        if (answer.rfind("ok", 0) != 0) {
            error = "command \"" + command + "\": " + answer;
            return false;
        }
    }
    if (!m_pty.Open(m_options.ptyLink, error)) {
        return false;
    }
    std::cout << "pty " << m_pty.SlavePath() << " link " << m_options.ptyLink << std::endl;
    if (m_options.tcpPort >= 0) {
        if (!m_tcp.Open(m_options.tcpPort, error)) {
            return false;
        }
        std::cout << "tcp 127.0.0.1:" << m_options.tcpPort << std::endl;
    }
    if (!m_options.lanNetns.empty() && !StartLan(error)) {
        return false;
    }
    // The control port opens last: a client that gets through knows the
    // link is in place.
    if (m_options.controlPort >= 0) {
        if (!m_control.Open(m_options.controlPort, error)) {
            return false;
        }
        std::cout << "control 127.0.0.1:" << m_control.Port() << std::endl;
    }
    return true;
}

// The LAN's sockets are made inside its namespace and used from this one.
bool SwitcherSimulator::StartLan(std::string& error) {
    if (!m_lanNamespace.Open(m_options.lanNetns, error) ||
        !m_lanNamespace.Within([this](std::string& failure) {
            return m_lan.Open(failure) && m_tcp.OpenLan(DEVICE_TCP_PORT, failure);
        }, error)) {
        return false;
    }
    m_lanResponder.SetAddress(m_lan.LocalAddress());
    std::cout << "lan " << m_lanResponder.Describe() << std::endl;
    return true;
}

std::string SwitcherSimulator::Execute(const std::string& line) {
    if (const auto lan = m_lanResponder.Execute(line)) {
        return ExecuteLan(*lan);
    }
    ControlOutcome outcome = m_interpreter.Execute(line);
    if (outcome.target) {
        m_sendTarget = *outcome.target;
    }
    if (outcome.pace) {
        m_pty.SetPace(*outcome.pace);
        // A byte takes under 100 microseconds at 115200 baud: the kernel's
        // default slack of 50 on every wake-up would stretch the line.
        prctl(PR_SET_TIMERSLACK, *outcome.pace > 0 ? PACED_TIMER_SLACK_NS : DEFAULT_TIMER_SLACK);
    }
    if (outcome.busy && !m_pty.SetBusy(*outcome.busy)) {
        return "error the pty cannot be locked";
    }
    for (Bytes& bytes : outcome.sends) {
        Queue(Clock::now(), std::move(bytes), "SEND", m_sendTarget);
    }
    if (outcome.closePort) {
        WriteDueBytes();
        m_pty.Close();
        m_pending.clear();
    }
    m_quit = m_quit || outcome.quit;
    return outcome.reply;
}

std::string SwitcherSimulator::ExecuteLan(const LanControlOutcome& outcome) {
    if (outcome.reply.rfind("ok", 0) != 0) {
        return outcome.reply;
    }
    for (const LanDatagram& stray : outcome.strays) {
        if (!m_lan.SendStray(stray, m_log)) {
            return "error no panel heard on the LAN yet, or not a LAN port";
        }
    }
    if (outcome.tcpClose) {
        m_tcp.CloseClient();
    }
    if (outcome.tcpStall) {
        m_tcp.SetStalled(*outcome.tcpStall);
    }
    std::string error;
    if (outcome.tcpRefuse == true) {
        m_tcp.CloseLan();
    } else if (outcome.tcpRefuse == false && m_lanNamespace.IsOpen() &&
               !m_lanNamespace.Within([this](std::string& failure) { return m_tcp.OpenLan(DEVICE_TCP_PORT, failure); },
                                      error)) {
        return "error " + error;
    }
    return outcome.reply;
}

void SwitcherSimulator::ReadFromPty() {
    std::uint8_t chunk[READ_CHUNK];
    const long count = m_pty.Read(chunk, sizeof chunk);
    ReadInto(m_reader, m_ptyFirstByteRead, chunk, count, SendTarget::Pty);
}

void SwitcherSimulator::ReadFromTcp() {
    std::uint8_t chunk[READ_CHUNK];
    const long count = m_tcp.Read(chunk, sizeof chunk);
    if (count > 0) {
        ReadInto(m_tcpReader, m_tcpFirstByteRead, chunk, count, SendTarget::Tcp);
    } else if (count < 0) {
        // A new connection starts with nothing half-read.
        m_tcpReader = InboundFrameReader{};
    }
}

void SwitcherSimulator::ReadInto(InboundFrameReader& reader, SystemTime& firstByteRead, const std::uint8_t* bytes,
                                 long count, SendTarget target) {
    if (count <= 0) {
        return;
    }
    if (reader.Pending() == 0) {
        firstByteRead = std::chrono::system_clock::now();
    }
    reader.Append(bytes, static_cast<std::size_t>(count));
    AnswerFrames(reader, firstByteRead, target);
}

// Replies go back the way the frame came.
void SwitcherSimulator::AnswerFrames(InboundFrameReader& reader, SystemTime& firstByteRead, SendTarget target) {
    const auto frameLength = [this](std::uint8_t first, std::uint8_t second) {
        return m_model.FrameLength(first, second);
    };
    while (auto frame = reader.Next(frameLength, m_model.RawBlockLength())) {
        if (frame->kind == InboundFrame::Kind::Skipped) {
            m_log.Record("SKIP", frame->bytes);
            continue;
        }
        m_log.Record("RX", frame->bytes, firstByteRead);
        // What is left of this read starts the next frame.
        firstByteRead = std::chrono::system_clock::now();
        const Clock::time_point now = Clock::now();
        for (const Bytes& reply : m_model.HandleFrame(frame->bytes)) {
            const std::vector<ScheduledWrite> writes = m_knobs.Plan(reply);
            if (writes.empty()) {
                m_log.Record("DROP", reply);
            }
            for (const ScheduledWrite& write : writes) {
                Queue(now + write.after, write.bytes, "TX", target);
            }
        }
    }
}

void SwitcherSimulator::Queue(Clock::time_point due, Bytes bytes, const char* tag, SendTarget target) {
    const auto after = std::upper_bound(m_pending.begin(), m_pending.end(), due,
                                        [](Clock::time_point time, const PendingWrite& write) { return time < write.due; });
    m_pending.insert(after, PendingWrite{due, std::move(bytes), tag, target});
}

// Each transport keeps its own order: a write that does not fit holds back
// the later writes to the same transport only. Writes for a TCP connection
// that is gone are dropped.
void SwitcherSimulator::WriteDueBytes() {
    bool blocked[] = {!m_pty.IsOpen(), false};
    for (auto write = m_pending.begin(); write != m_pending.end() && write->due <= Clock::now();) {
        bool& targetBlocked = blocked[write->target == SendTarget::Tcp ? 1 : 0];
        if (targetBlocked) {
            ++write;
            continue;
        }
        const long count = WriteTo(write->target, write->bytes);
        if (count < 0 && write->target == SendTarget::Tcp) {
            write = m_pending.erase(write);
            continue;
        }
        const auto written = static_cast<std::size_t>(count < 0 ? 0 : count);
        if (written > 0) {
            m_log.Record(write->tag, Bytes(write->bytes.begin(), write->bytes.begin() + static_cast<std::ptrdiff_t>(written)));
        }
        if (written < write->bytes.size()) {
            write->bytes.erase(write->bytes.begin(), write->bytes.begin() + static_cast<std::ptrdiff_t>(written));
            targetBlocked = true;   // full: try again on the next turn
            ++write;
            continue;
        }
        write = m_pending.erase(write);
    }
    m_lan.SendDue(m_log);
}

long SwitcherSimulator::WriteTo(SendTarget target, const Bytes& bytes) {
    if (target == SendTarget::Tcp) {
        return m_tcp.Write(bytes.data(), bytes.size());
    }
    return m_pty.Write(bytes.data(), bytes.size());
}

bool SwitcherSimulator::ReadsPty() const { return m_pty.IsOpen() && m_knobs.Reading(); }

bool SwitcherSimulator::PacedReadDue() const {
    const auto held = m_pty.ReadHeldUntil();
    return ReadsPty() && held && *held <= Clock::now();
}

// Until the next write, LAN datagram or paced byte is due, and no longer than
// IDLE_POLL_MS. A write to the pty waits for the line's pace as well.
timespec SwitcherSimulator::PollTimeout() const {
    std::optional<Clock::time_point> next = m_lan.NextDue();
    const auto consider = [&next](Clock::time_point due) {
        if (!next || due < *next) next = due;
    };
    if (ReadsPty() && m_pty.ReadHeldUntil()) {
        consider(*m_pty.ReadHeldUntil());
    }
    bool ptySeen = false;
    bool tcpSeen = false;
    for (const PendingWrite& write : m_pending) {
        bool& seen = write.target == SendTarget::Tcp ? tcpSeen : ptySeen;
        if (seen) continue;
        seen = true;
        const auto held = write.target == SendTarget::Pty ? m_pty.WriteHeldUntil() : std::nullopt;
        consider(held ? std::max(write.due, *held) : write.due);
    }
    auto wait = std::chrono::nanoseconds(std::chrono::milliseconds(IDLE_POLL_MS));
    if (next) {
        wait = std::clamp(std::chrono::duration_cast<std::chrono::nanoseconds>(*next - Clock::now()),
                          std::chrono::nanoseconds::zero(), wait);
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>((wait - seconds).count())};
}

bool SwitcherSimulator::ShouldStop() const {
    if (m_quit || g_stopSignal != 0) {
        return true;
    }
    if (m_options.exitWithControl && m_control.FirstClientGone()) {
        return true;
    }
    return m_options.maxLifetimeSeconds > 0 &&
           Clock::now() - m_started >= std::chrono::seconds(m_options.maxLifetimeSeconds);
}
