#include "core/MatrixReply.h"

#include "core/MatrixRouting.h"

namespace {

using namespace MatrixBytes;

constexpr std::uint8_t ACKNOWLEDGED = 0x00;
constexpr std::uint8_t OUTPUT_A = 1;
constexpr std::uint8_t OUTPUT_B = 2;
constexpr std::uint8_t OUTPUT_C = 3;
constexpr std::uint8_t OUTPUT_D = 4;

bool IsArcAcknowledged(const std::uint8_t* frame, std::uint8_t state) {
    return frame[B2] == GROUP_ARC && frame[B4] == ACKNOWLEDGED && frame[B10] == state &&
           MatrixRouting::IsPort(frame[B6]);
}

bool IsArcReport(const std::uint8_t* frame, std::uint8_t output) {
    return frame[B2] == GROUP_ARC && frame[B3] == ITEM_ARC && frame[B6] == output;
}

struct Row {
    bool (*matches)(const std::uint8_t* frame);
    MatrixReply reply;
};

constexpr Row ROWS[] = {
    {[](const std::uint8_t* f) { return IsArcAcknowledged(f, ARC_ON); }, MatrixReply::ArcOnAcknowledged},
    {[](const std::uint8_t* f) { return IsArcReport(f, OUTPUT_A); }, MatrixReply::ArcReportA},
    {[](const std::uint8_t* f) { return IsArcAcknowledged(f, ARC_OFF); }, MatrixReply::ArcOffAcknowledged},
    {[](const std::uint8_t* f) { return IsArcReport(f, OUTPUT_B); }, MatrixReply::ArcReportB},
    {[](const std::uint8_t* f) { return IsArcReport(f, OUTPUT_C); }, MatrixReply::ArcReportC},
    {[](const std::uint8_t* f) { return IsArcReport(f, OUTPUT_D); }, MatrixReply::ArcReportD},
    {[](const std::uint8_t* f) {
         return f[B2] == GROUP_ROUTING && f[B3] == ITEM_SET_ROUTE && f[B4] == ACKNOWLEDGED;
     },
     MatrixReply::RouteAcknowledged},
    {[](const std::uint8_t* f) { return f[B2] == GROUP_ROUTING && f[B3] == ITEM_ROUTE; },
     MatrixReply::RouteReport},
};

}  // namespace

MatrixReply MatchMatrixReply(const std::uint8_t* frame) {
    for (const Row& row : ROWS) {
        if (row.matches(frame)) return row.reply;
    }
    return MatrixReply::None;
}
