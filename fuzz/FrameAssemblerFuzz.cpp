// The frame assembler against a simple model of the stream. The input plants
// whole frames between runs of noise; every frame the model finds must come
// out once, in order, holding exactly the 13 bytes from its sync pair, at the
// byte that ends it. A planted frame may only be missed where noise opened a
// frame over it or where its sync pair straddles the collect area's wrap.
#include "core/FrameAssembler.h"
#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t FRAME_LENGTH = FrameAssembler::FRAME_LENGTH;
constexpr std::size_t SYNC_LENGTH = 2;
// Bytes collected without a sync pair before the collect area starts over.
constexpr std::size_t COLLECT_ROOM = FrameAssembler::COLLECT_CAPACITY - FrameAssembler::COLLECT_START;
// Enough noise to reach the wrap from any point.
constexpr std::size_t LONGEST_NOISE = COLLECT_ROOM + FRAME_LENGTH;

struct Stream {
    Bytes bytes;
    std::vector<std::size_t> plantedStarts;
};

struct ModelResult {
    std::vector<std::size_t> frameStarts;
    std::vector<std::size_t> wrapPositions;  // the last byte collected before each wrap
};

bool IsSyncPair(std::uint8_t first, std::uint8_t second) {
    return (first == DeviceFrame::CommandSync[0] && second == DeviceFrame::CommandSync[1]) ||
           (first == DeviceFrame::DataSync[0] && second == DeviceFrame::DataSync[1]);
}

Stream BuildStream(FuzzedDataProvider& input) {
    Stream stream;
    while (input.remaining_bytes() > 0) {
        if (input.ConsumeBool()) {
            const std::uint8_t(&sync)[2] = input.ConsumeBool() ? DeviceFrame::CommandSync : DeviceFrame::DataSync;
            const Bytes body = input.ConsumeBytes<std::uint8_t>(FRAME_LENGTH - SYNC_LENGTH);
            if (body.size() == FRAME_LENGTH - SYNC_LENGTH) stream.plantedStarts.push_back(stream.bytes.size());
            stream.bytes.insert(stream.bytes.end(), std::begin(sync), std::end(sync));
            stream.bytes.insert(stream.bytes.end(), body.begin(), body.end());
        } else {
            const Bytes noise = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, LONGEST_NOISE));
            stream.bytes.insert(stream.bytes.end(), noise.begin(), noise.end());
        }
    }
    return stream;
}

// A frame is a sync pair among the bytes outside a frame and the 11 bytes
// after it. A pair is only seen within one fill of the collect area.
ModelResult RunModel(const Bytes& bytes) {
    ModelResult result;
    bool havePrevious = false;
    std::size_t collected = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (havePrevious && IsSyncPair(bytes[i - 1], bytes[i])) {
            const std::size_t start = i - 1;
            if (start + FRAME_LENGTH <= bytes.size()) result.frameStarts.push_back(start);
            i = start + FRAME_LENGTH;
            havePrevious = false;
            collected = 0;
            continue;
        }
        havePrevious = true;
        if (++collected == COLLECT_ROOM) {
            result.wrapPositions.push_back(i);
            havePrevious = false;
            collected = 0;
        }
        ++i;
    }
    return result;
}

bool Contains(const std::vector<std::size_t>& positions, std::size_t position) {
    return std::find(positions.begin(), positions.end(), position) != positions.end();
}

bool CoveredByFrame(const std::vector<std::size_t>& frameStarts, std::size_t position) {
    return std::any_of(frameStarts.begin(), frameStarts.end(), [position](std::size_t start) {
        return start < position && position < start + FRAME_LENGTH;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Stream stream = BuildStream(input);
    const ModelResult model = RunModel(stream.bytes);

    FrameAssemblyStorage storage;
    FrameAssembler assembler(storage.Bind());
    std::size_t emitted = 0;
    for (std::size_t i = 0; i < stream.bytes.size(); ++i) {
        FrameAssembler::Frame frame{};
        if (!assembler.Push(stream.bytes[i], frame)) continue;
        FuzzCheck(emitted < model.frameStarts.size(), "no frame beyond the model's");
        const std::size_t start = model.frameStarts[emitted++];
        FuzzCheck(i == start + FRAME_LENGTH - 1, "a frame comes out at its last byte");
        FuzzCheck(std::equal(frame.begin(), frame.end(), stream.bytes.begin() + static_cast<std::ptrdiff_t>(start)),
                  "a frame holds the 13 bytes from its sync pair");
    }
    FuzzCheck(emitted == model.frameStarts.size(), "every frame of the model comes out");

    for (const std::size_t start : stream.plantedStarts) {
        const bool missedForCause = CoveredByFrame(model.frameStarts, start) || Contains(model.wrapPositions, start);
        FuzzCheck(Contains(model.frameStarts, start) || missedForCause,
                  "a planted frame comes out unless noise overlaps it or the wrap splits its sync pair");
    }
    return 0;
}
