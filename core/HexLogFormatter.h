// The text of the two hexadecimal frame logs: each byte as two upper-case hex
// digits and a blank, 13 bytes to a line, a blank line after a long frame;
// a log is emptied when its 60th frame arrives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class HexLogFormatter {
public:
    static constexpr std::size_t BYTES_PER_LINE = 13;
    static constexpr int FRAMES_BEFORE_CLEARING = 60;

    // Text appended to the "Send" log for one frame. `lineByteCount` is the
    // number of bytes already on the log's current line and is carried on.
    static std::wstring FormatSent(const std::uint8_t* data, std::size_t length, int& lineByteCount);

    // Text appended to the "Receive" log for one 13-byte frame.
    static std::wstring FormatReceived(const std::uint8_t* frame);

    // Text appended to the "Receive" log for a datagram of the device
    // search: the bytes as in a frame line, a line end after every 13th.
    static std::wstring FormatDatagram(const std::uint8_t* data, std::size_t length);

    // One byte as two upper-case hex digits.
    static std::wstring HexPair(std::uint8_t byte);

    // Counts one more frame of a log. True when this frame empties the log;
    // the count then starts again from 0.
    static bool CountFrame(int& frameCount);

private:
    static void AppendByte(std::wstring& text, std::uint8_t byte);
};
