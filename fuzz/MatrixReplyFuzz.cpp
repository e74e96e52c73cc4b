// The Matrix page's reply rows over any received frame: the frame is read
// from an exactly sized buffer, and only the bytes the rows name (b2, b3, b4,
// b6, b10) decide the row, never the sync pair, the check byte or the rest.
#include "core/MatrixReply.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

constexpr std::size_t FRAME_LENGTH = 13;
constexpr std::array<std::size_t, 7> UNREAD_BYTES = {0, 1, 5, 7, 8, 9, 11};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < FRAME_LENGTH) return 0;
    const auto frame = std::make_unique<std::uint8_t[]>(FRAME_LENGTH);
    std::copy(data, data + FRAME_LENGTH, frame.get());
    const MatrixReply reply = MatchMatrixReply(frame.get());
    for (std::size_t position : UNREAD_BYTES) frame[position] = static_cast<std::uint8_t>(~frame[position]);
    frame[FRAME_LENGTH - 1] = static_cast<std::uint8_t>(~frame[FRAME_LENGTH - 1]);
    FuzzCheck(MatchMatrixReply(frame.get()) == reply, "only the bytes the rows name decide the row");
    const bool arcAcknowledged = reply == MatrixReply::ArcOnAcknowledged || reply == MatrixReply::ArcOffAcknowledged;
    FuzzCheck(!arcAcknowledged || (frame[6] >= 1 && frame[6] <= 4), "an ARC acknowledgement names an output");
    return 0;
}
