// The device's end of the serial line: the master side of a pseudo-terminal
// in raw mode, with a symlink to the slave side at a fixed path so that a
// Wine COM port mapping can point at it. With a pace set, bytes go each way no
// faster than a serial line at that baud rate carries them.
#pragma once

#include "tools/LinePacer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Opens the pty and (re)places the link; an error text on failure.
    bool Open(const std::string& linkPath, std::string& error);

    // Closes the device's side; the panel's reads then fail. The link is
    // removed so nothing opens the dead line again.
    void Close();

    bool IsOpen() const { return m_master >= 0; }
    int Descriptor() const { return m_master; }
    const std::string& SlavePath() const { return m_slavePath; }

    // Non-blocking; returns the bytes read or written, 0 when none could be
    // (the line's pace included), -1 on a lasting error.
    long Read(std::uint8_t* buffer, std::size_t capacity);
    long Write(const std::uint8_t* data, std::size_t length);

    // Busy: the line refuses to be opened, as a port that another program
    // holds does. A refused open leaves the line failed for whoever has it
    // open until the next open succeeds. False when the pty cannot be locked.
    bool SetBusy(bool busy);

    // 0: unpaced.
    void SetPace(long long baud);
    // While the pace holds waiting bytes back: when the next one may go.
    std::optional<LinePacer::Clock::time_point> ReadHeldUntil() const { return m_inbound.NextByteAt(); }
    std::optional<LinePacer::Clock::time_point> WriteHeldUntil() const { return m_outbound.NextByteAt(); }

private:
    void ClaimAsControllingTerminal() const;
    void RemoveLink();

    int m_master = -1;
    // Held open so the master never sees a hang-up while the panel has the
    // port closed (between tests, or before it connects).
    int m_slaveKeeper = -1;
    std::string m_slavePath;
    std::string m_linkPath;
    LinePacer m_inbound;
    LinePacer m_outbound;
};
