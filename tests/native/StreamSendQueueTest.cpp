#include "core/StreamSendQueue.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

// A socket that takes what each call's script allows and records it.
struct ScriptedSocket {
    std::deque<long> script;   // bytes per call; WRITE_WOULD_BLOCK or WRITE_FAILED
    std::vector<std::uint8_t> taken;

    StreamSendQueue::Writer Writer() {
        return [this](const std::uint8_t* data, std::size_t length) -> long {
            long allowed = static_cast<long>(length);
            if (!script.empty()) {
                allowed = std::min(script.front(), allowed);
                script.pop_front();
            }
            if (allowed > 0) taken.insert(taken.end(), data, data + allowed);
            return allowed;
        };
    }
};

std::vector<std::uint8_t> Frame(std::uint8_t tag, std::size_t length) { return std::vector<std::uint8_t>(length, tag); }

}  // namespace

TEST(StreamSendQueue, ShortWritesAndWaitsKeepWholeFramesInOrder) {
    StreamSendQueue queue;
    ScriptedSocket socket;
    socket.script = {600, StreamSendQueue::WRITE_WOULD_BLOCK};
    const auto first = Frame(1, 1029);
    const auto second = Frame(2, 13);
    queue.Send(first.data(), first.size(), socket.Writer());
    EXPECT_EQ(queue.WaitingBytes(), 429u);
    // A later frame goes behind the rest of the first, even when the socket
    // could take it now.
    socket.script = {StreamSendQueue::WRITE_WOULD_BLOCK};
    queue.Send(second.data(), second.size(), socket.Writer());
    EXPECT_EQ(queue.WaitingBytes(), 442u);
    socket.script = {100};
    queue.Drain(socket.Writer());
    EXPECT_EQ(queue.WaitingBytes(), 0u);

    std::vector<std::uint8_t> expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(socket.taken, expected);
}

TEST(StreamSendQueue, FailedSocketDropsWhatWaitsAndClearForgetsIt) {
    StreamSendQueue queue;
    ScriptedSocket socket;
    const auto frame = Frame(3, 262);
    socket.script = {10, StreamSendQueue::WRITE_WOULD_BLOCK};
    queue.Send(frame.data(), frame.size(), socket.Writer());
    socket.script = {StreamSendQueue::WRITE_FAILED};
    queue.Drain(socket.Writer());
    EXPECT_EQ(queue.WaitingBytes(), 0u);

    socket.script = {StreamSendQueue::WRITE_WOULD_BLOCK};
    queue.Send(frame.data(), frame.size(), socket.Writer());
    EXPECT_EQ(queue.WaitingBytes(), 262u);
    queue.Clear();
    socket.taken.clear();
    queue.Drain(socket.Writer());
    EXPECT_TRUE(socket.taken.empty());
}
