#include "core/MatrixReply.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using Frame = std::array<std::uint8_t, 13>;

// b2, b3, b4, b6, b10 of a frame; the rest stays 00 (the sync pair and the
// check byte are never read).
Frame Reply(std::uint8_t b2, std::uint8_t b3, std::uint8_t b4, std::uint8_t b6, std::uint8_t b10 = 0) {
    Frame frame{};
    frame[2] = b2;
    frame[3] = b3;
    frame[4] = b4;
    frame[6] = b6;
    frame[10] = b10;
    return frame;
}

TEST(MatrixReplyTest, RowsAreTriedInOrderAndTheFirstMatchWins) {
    struct Case {
        Frame frame;
        MatrixReply expected;
    };
    const std::vector<Case> cases = {
        {Reply(0x10, 0x01, 0x00, 1, 0x0F), MatrixReply::ArcOnAcknowledged},
        {Reply(0x10, 0x02, 0x00, 3, 0x0F), MatrixReply::ArcOnAcknowledged},   // b3 is not examined
        {Reply(0x10, 0x02, 0x00, 5, 0x0F), MatrixReply::None},                // b6 outside 1..4 goes on
        {Reply(0x10, 0x02, 0x0F, 1), MatrixReply::ArcReportA},
        {Reply(0x10, 0x02, 0x00, 1, 0xF0), MatrixReply::ArcReportA},          // row 2 before row 3
        {Reply(0x10, 0x01, 0x00, 4, 0xF0), MatrixReply::ArcOffAcknowledged},
        {Reply(0x10, 0x02, 0x00, 2, 0xF0), MatrixReply::ArcOffAcknowledged},  // row 3 before row 4
        {Reply(0x10, 0x01, 0x00, 0, 0xF0), MatrixReply::None},
        {Reply(0x10, 0x02, 0xF0, 2), MatrixReply::ArcReportB},
        {Reply(0x10, 0x02, 0x33, 3), MatrixReply::ArcReportC},
        {Reply(0x10, 0x02, 0x0F, 4), MatrixReply::ArcReportD},
        {Reply(0x10, 0x02, 0x0F, 5), MatrixReply::None},
        {Reply(0x02, 0x03, 0x00, 9), MatrixReply::RouteAcknowledged},         // b6 is not examined
        {Reply(0x02, 0x03, 0x01, 1), MatrixReply::None},
        {Reply(0x02, 0x01, 0x02, 7), MatrixReply::RouteReport},
        {Reply(0x02, 0x05, 0x00, 1), MatrixReply::None},
        {Reply(0x08, 0x0C, 0x0F, 0), MatrixReply::None},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(MatchMatrixReply(cases[i].frame.data()), cases[i].expected) << "case " << i;
    }
}

}  // namespace
