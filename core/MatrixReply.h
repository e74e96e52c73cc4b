// Which row of the Matrix page's reply table a received frame falls under.
// The rows are tried in their order and the first that matches wins, so a
// frame of group 10 with b4 = 00 and b10 = 0F is an ARC acknowledgement even
// when its b3 says report.
#pragma once

#include "core/CommandFrameBytes.h"

#include <cstdint>

// The ARC states of the Matrix page's commands and answers, beside the
// frame bytes every command shares.
namespace MatrixBytes {
using namespace CommandFrameBytes;
constexpr std::uint8_t ARC_ON = 0x0F;
constexpr std::uint8_t ARC_OFF = 0xF0;
}  // namespace MatrixBytes

enum class MatrixReply {
    None,
    ArcOnAcknowledged,    // 10 .. 00, b10 = 0F, b6 = output 1..4
    ArcReportA,           // 10 02, b6 = 1, b4 = state
    ArcOffAcknowledged,   // 10 .. 00, b10 = F0, b6 = output 1..4
    ArcReportB,           // 10 02, b6 = 2
    ArcReportC,           // 10 02, b6 = 3
    ArcReportD,           // 10 02, b6 = 4
    RouteAcknowledged,    // 02 03 00
    RouteReport,          // 02 01, b4 = output, b6 = its input
};

// Only the bytes a row names are examined; the sync pair never is.
MatrixReply MatchMatrixReply(const std::uint8_t* frame);
