// What the simulated switcher keeps of EDID data beyond the values it
// reports: the bytes each input presents (an uploaded block as it arrived, or
// the sink EDID of the output it was copied from), each output's sink EDID as
// a test sets it, and the test knobs of the EDID operations.
#pragma once

#include "tools/Bytes.h"

#include <array>

class EdidStore {
public:
    static constexpr int PORT_COUNT = 4;
    // In place of an input number: every input.
    static constexpr int ALL_INPUTS = 0;

    // The bytes input 1..4 presents; empty while it presents a built-in EDID.
    const Bytes& Held(int input) const { return m_held[input - 1]; }
    // Input 1..4 or ALL_INPUTS now presents `bytes`.
    void Hold(int input, const Bytes& bytes);
    // Input 1..4 or ALL_INPUTS now presents the sink EDID of output 1..4.
    void CopySink(int output, int input) { Hold(input, m_sink[output - 1]); }
    void SetSink(int output, const Bytes& bytes) { m_sink[output - 1] = bytes; }

    // The next EDID operation answers failure (b4 = 0F) and changes nothing.
    void FailNextOperation() { m_failNext = true; }
    // True once after FailNextOperation.
    bool TakeFailure();

    // An upload's data request goes out in one write with its success result,
    // and no data is awaited.
    void SetEarlyResult(bool on) { m_earlyResult = on; }
    bool EarlyResult() const { return m_earlyResult; }

private:
    std::array<Bytes, PORT_COUNT> m_held{};
    std::array<Bytes, PORT_COUNT> m_sink{};
    bool m_failNext = false;
    bool m_earlyResult = false;
};
