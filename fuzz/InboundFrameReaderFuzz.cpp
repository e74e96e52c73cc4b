// The simulator's side of the wire: any bytes from the panel, arriving in
// any pieces, are cut into frames and skipped runs as the device's state asks
// and answered by the device model. Nothing is lost or taken twice: what
// comes out, in order, is what went in, up to what is still pending. A
// random check byte rarely fits, so on request the frames get a right one
// before the model sees them, and the model's handlers get fuzzed too.
#include "fuzz/FuzzCheck.h"
#include "tools/InboundFrameReader.h"
#include "tools/ProtocolLayout.h"
#include "tools/SwitcherModel.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t LONGEST_PIECE = 1100;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool mendCheckBytes = input.ConsumeBool();
    SwitcherModel model;
    InboundFrameReader reader;
    const auto frameLength = [&model](std::uint8_t first, std::uint8_t second) {
        return model.FrameLength(first, second);
    };
    Bytes received;
    Bytes taken;
    while (input.remaining_bytes() > 0) {
        const Bytes piece = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, LONGEST_PIECE));
        reader.Append(piece.data(), piece.size());
        received.insert(received.end(), piece.begin(), piece.end());
        while (true) {
            const std::size_t rawBlockLength = model.RawBlockLength();
            const auto frame = reader.Next(frameLength, rawBlockLength);
            if (!frame) break;
            FuzzCheck(!frame->bytes.empty(), "something is taken");
            taken.insert(taken.end(), frame->bytes.begin(), frame->bytes.end());
            if (frame->kind == InboundFrame::Kind::Skipped) continue;
            const std::size_t expected =
                rawBlockLength > 0 ? rawBlockLength : model.FrameLength(frame->bytes[0], frame->bytes[1]);
            FuzzCheck(frame->bytes.size() == expected, "a frame is as long as the device expects");
            Bytes handed = frame->bytes;
            if (mendCheckBytes && rawBlockLength == 0) ProtocolLayout::SetCheckByte(handed);
            model.HandleFrame(handed);
        }
    }
    FuzzCheck(taken.size() + reader.Pending() == received.size(), "every byte is taken once or pending");
    FuzzCheck(std::equal(taken.begin(), taken.end(), received.begin()), "bytes are taken in order");
    return 0;
}
