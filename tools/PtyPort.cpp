#include "tools/PtyPort.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyPort::~PtyPort() { Close(); }

bool PtyPort::Open(const std::string& linkPath, std::string& error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* slave = ptsname(m_master);
    if (slave == nullptr) {
        error = "no slave name for the pseudo-terminal";
        return false;
    }
    m_slavePath = slave;
    m_slaveKeeper = open(slave, O_RDWR | O_NOCTTY);
    termios settings{};
    if (m_slaveKeeper < 0 || tcgetattr(m_slaveKeeper, &settings) != 0) {
        error = "cannot open " + m_slavePath;
        return false;
    }
    cfmakeraw(&settings);
    tcsetattr(m_slaveKeeper, TCSANOW, &settings);
    ClaimAsControllingTerminal();

    // Replace the link in one step, so a reader never sees it missing or
    // pointing at a pty of an earlier run.
    const std::string temporary = linkPath + ".new";
    unlink(temporary.c_str());
    if (symlink(m_slavePath.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), linkPath.c_str()) != 0) {
        error = "cannot link " + linkPath + " to " + m_slavePath + ": " + std::strerror(errno);
        return false;
    }
    m_linkPath = linkPath;
    return true;
}

// A session leader without a terminal that opens a tty takes it as its
// controlling terminal; the wineserver is one, and it opens the slave for
// the panel. It would then get a SIGHUP (and dump every object it holds to
// its log) whenever the device closes the line. Made the terminal of the
// simulator's own session first, the pty can be no one else's; closing the
// line must then not end the simulator itself. Where the simulator cannot
// lead a session, nothing changes.
void PtyPort::ClaimAsControllingTerminal() const {
    std::signal(SIGHUP, SIG_IGN);
    setsid();
    ioctl(m_slaveKeeper, TIOCSCTTY, 0);
}

void PtyPort::Close() {
    RemoveLink();
    if (m_master >= 0) {
        close(m_master);
        m_master = -1;
    }
    if (m_slaveKeeper >= 0) {
        close(m_slaveKeeper);
        m_slaveKeeper = -1;
    }
}

void PtyPort::RemoveLink() {
    if (m_linkPath.empty()) {
        return;
    }
    // Only our own link: a newer simulator may already have replaced it.
    char target[PATH_MAX] = {};
    const ssize_t length = readlink(m_linkPath.c_str(), target, sizeof target - 1);
    if (length > 0 && m_slavePath == std::string(target, static_cast<std::size_t>(length))) {
        unlink(m_linkPath.c_str());
    }
    m_linkPath.clear();
}

// A read that gets less than it asked for has emptied the line.
long PtyPort::Read(std::uint8_t* buffer, std::size_t capacity) {
    const std::size_t allowed = std::min(capacity, m_inbound.Allowance(LinePacer::Clock::now()));
    if (allowed == 0) {
        return 0;
    }
    const ssize_t count = read(m_master, buffer, allowed);
    const bool failed = count < 0 && errno != EAGAIN && errno != EINTR && errno != EIO;
    const auto taken = static_cast<std::size_t>(std::max<ssize_t>(count, 0));
    m_inbound.Passed(taken, taken < allowed);
    return failed ? -1 : static_cast<long>(taken);
}

long PtyPort::Write(const std::uint8_t* data, std::size_t length) {
    const std::size_t allowed = std::min(length, m_outbound.Allowance(LinePacer::Clock::now()));
    if (allowed == 0) {
        return 0;
    }
    const ssize_t count = write(m_master, data, allowed);
    const bool failed = count < 0 && errno != EAGAIN && errno != EINTR;
    const auto written = static_cast<std::size_t>(std::max<ssize_t>(count, 0));
    m_outbound.Passed(written, written == length);
    return failed ? -1 : static_cast<long>(written);
}

// A locked pty's slave side cannot be opened, not even by root.
bool PtyPort::SetBusy(bool busy) {
    int lock = busy ? 1 : 0;
    return m_master >= 0 && ioctl(m_master, TIOCSPTLCK, &lock) == 0;
}

void PtyPort::SetPace(long long baud) {
    m_inbound.SetBaud(baud);
    m_outbound.SetBaud(baud);
}
