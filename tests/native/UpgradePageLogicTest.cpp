#include "core/DeviceFrame.h"
#include "core/DeviceInfoText.h"
#include "core/FirmwareImageRules.h"
#include "core/FirmwareTransfer.h"
#include "core/LabelBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using FirmwareImageRules::ImageKind;
using Step = FirmwareTransfer::Step;
using Phase = FirmwareTransfer::Phase;

namespace {

using Frame = std::array<std::uint8_t, DeviceFrame::COMMAND_FRAME_LENGTH>;

Frame Reply(std::uint8_t group, std::uint8_t item, std::uint8_t b4 = 0, std::uint8_t b10 = 0) {
    Frame frame{DeviceFrame::CommandSync[0], DeviceFrame::CommandSync[1], group, item, b4};
    frame[10] = b10;
    DeviceFrame::SetCheckByte(frame.data(), frame.size());
    return frame;
}

Frame Ack(std::uint8_t doneFlag, std::uint8_t block, std::uint8_t mcuStatus, std::uint8_t flashStatus) {
    Frame frame{DeviceFrame::DataSync[0], DeviceFrame::DataSync[1], doneFlag, block, mcuStatus, flashStatus};
    DeviceFrame::SetCheckByte(frame.data(), frame.size());
    return frame;
}

const Frame MCU_ENTERED = Reply(0x08, 0x07);
const Frame MCU_STARTED = Reply(0x08, 0x08);
const Frame FLASH_STARTED = Reply(0xF8, 0x09);

}  // namespace

TEST(FirmwareImageRules, NamesGiveTheKindAndTheFlashNumber) {
    struct Case {
        const wchar_t* name;
        bool accepted;
        ImageKind kind;
        int flashNumber;
    };
    const Case cases[] = {
        {L"Pelmora_05.bin", true, ImageKind::Flash, 5},
        {L"Pelmora-01.bin", true, ImageKind::Flash, 1},
        {L"Pelmora_08.bin", true, ImageKind::Flash, 8},
        {L"Pelmora_FF.bin", true, ImageKind::Flash, 255},
        {L"Pelmora_09.bin", false, ImageKind::Flash, 0},
        {L"Pelmora_00.bin", false, ImageKind::Flash, 0},
        {L"Pelmora_ff.bin", false, ImageKind::Flash, 0},
        {L"Pelmora.bin", false, ImageKind::Flash, 0},
        {L"Pelmora_0", false, ImageKind::Flash, 0},
        {L"pelmora_01.bin", true, ImageKind::Mcu, 0},
        {L"Pelmor_01.bin", true, ImageKind::Mcu, 0},
        {L"mcu.bin", true, ImageKind::Mcu, 0},
    };
    for (const Case& c : cases) {
        const auto verdict = FirmwareImageRules::ClassifyName(c.name);
        EXPECT_EQ(verdict.accepted, c.accepted) << c.name;
        if (!c.accepted) continue;
        EXPECT_EQ(verdict.kind, c.kind) << c.name;
        EXPECT_EQ(verdict.flashNumber, c.flashNumber) << c.name;
    }
}

TEST(FirmwareImageRules, LengthsStayWithinWhatTheFramesCanCarry) {
    using FirmwareImageRules::IsLengthAccepted;
    EXPECT_FALSE(IsLengthAccepted(ImageKind::Mcu, 0));
    EXPECT_TRUE(IsLengthAccepted(ImageKind::Mcu, 1));
    EXPECT_TRUE(IsLengthAccepted(ImageKind::Mcu, 262144));
    EXPECT_FALSE(IsLengthAccepted(ImageKind::Mcu, 262145));
    EXPECT_FALSE(IsLengthAccepted(ImageKind::Flash, 0));
    EXPECT_TRUE(IsLengthAccepted(ImageKind::Flash, 262145));
    EXPECT_TRUE(IsLengthAccepted(ImageKind::Flash, 500000));
    EXPECT_FALSE(IsLengthAccepted(ImageKind::Flash, 500001));
}

TEST(FirmwareTransfer, McuRepliesActInTheirPhaseOnly) {
    FirmwareTransfer transfer;
    EXPECT_EQ(transfer.Decide(MCU_ENTERED.data()), Step::Ignore) << "nothing is under way";
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0, 0).data()), Step::Ignore);

    transfer.Begin(ImageKind::Mcu);
    EXPECT_EQ(transfer.Decide(MCU_STARTED.data()), Step::Ignore) << "08 08 before it was sent";
    EXPECT_EQ(transfer.Decide(MCU_ENTERED.data()), Step::StartMcuTransfer);
    transfer.McuStartSent();
    EXPECT_EQ(transfer.Decide(MCU_ENTERED.data()), Step::Ignore);
    EXPECT_EQ(transfer.Decide(MCU_STARTED.data()), Step::SendFirstMcuBlock);

    transfer.BlockSent(0, false);
    EXPECT_EQ(transfer.Decide(MCU_STARTED.data()), Step::Ignore) << "a late 08 08 00 restarts nothing";
    EXPECT_EQ(transfer.Decide(FLASH_STARTED.data()), Step::Ignore);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0x00, 0).data()), Step::SendNextBlock);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0x01, 0).data()), Step::ResendBlock);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0x02, 0).data()), Step::BlockFailed);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0x03, 0).data()), Step::Ignore);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0x01, 0x00).data()), Step::ResendBlock) << "MCU status is b4";
    EXPECT_EQ(transfer.Decide(Ack(0, 1, 0x00, 0).data()), Step::Ignore) << "another block's number";
    EXPECT_EQ(transfer.Decide(Ack(0x80, 0, 0x00, 0).data()), Step::TransferDone);
    EXPECT_EQ(transfer.Decide(Ack(0x80, 0, 0x01, 0).data()), Step::Ignore);

    transfer.BlockSent(1, true);
    EXPECT_EQ(transfer.Decide(Ack(0, 1, 0x00, 0).data()), Step::Ignore) << "nothing follows the last block";
    EXPECT_EQ(transfer.Decide(Ack(0, 1, 0x01, 0).data()), Step::ResendBlock);
    EXPECT_EQ(transfer.Decide(Ack(0x80, 1, 0x00, 0).data()), Step::TransferDone);

    transfer.End();
    EXPECT_EQ(transfer.Decide(Ack(0x80, 1, 0x00, 0).data()), Step::Ignore) << "after a time-out";
}

TEST(FirmwareTransfer, FlashAcksReadTheirStatusFromB5AndIgnoreTheBlockBytes) {
    FirmwareTransfer transfer;
    transfer.Begin(ImageKind::Flash);
    EXPECT_EQ(transfer.CurrentPhase(), Phase::FlashStarting);
    EXPECT_EQ(transfer.Decide(MCU_ENTERED.data()), Step::Ignore);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0, 0).data()), Step::Ignore) << "no block sent yet";
    EXPECT_EQ(transfer.Decide(FLASH_STARTED.data()), Step::SendFirstFlashBlock);

    transfer.BlockSent(0, false);
    EXPECT_EQ(transfer.Decide(FLASH_STARTED.data()), Step::Ignore) << "a late F8 09 00 restarts nothing";
    EXPECT_EQ(transfer.Decide(Ack(0, 0x5A, 0xA5, 0x00).data()), Step::SendNextBlock);
    EXPECT_EQ(transfer.Decide(Ack(0, 0x5A, 0x00, 0x01).data()), Step::ResendBlock);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0x00, 0x02).data()), Step::BlockFailed);
    EXPECT_EQ(transfer.Decide(Ack(0x80, 0x33, 0x01, 0x00).data()), Step::TransferDone);

    transfer.BlockSent(1, true);
    EXPECT_EQ(transfer.Decide(Ack(0, 0, 0, 0x00).data()), Step::Ignore);
}

TEST(FirmwareTransfer, LabelAndDeviceRepliesComeFirstInAnyPhase) {
    FirmwareTransfer transfer;
    EXPECT_EQ(transfer.Decide(Reply(0xFA, 0x22, 0x01).data()), Step::Labels);
    EXPECT_EQ(transfer.Decide(Reply(0x01, 0x01, 2, 0xCC).data()), Step::DeviceInfo);
    EXPECT_EQ(transfer.Decide(Reply(0x01, 0x03, 1, 0xCC).data()), Step::DeviceInfo);
    EXPECT_EQ(transfer.Decide(Reply(0x01, 0x04, 1, 0xCC).data()), Step::Ignore);
    EXPECT_EQ(transfer.Decide(Reply(0x01, 0x01, 2, 0x00).data()), Step::Ignore);
    transfer.Begin(ImageKind::Mcu);
    transfer.BlockSent(0, false);
    EXPECT_EQ(transfer.Decide(Reply(0x01, 0x02, 4, 0xCC).data()), Step::DeviceInfo);
}

TEST(DeviceInfoText, ThreeReportsMakeTheLineAndUnknownTypesAreQuillon) {
    std::wstring line;
    DeviceInfoText::AppendType(line, 2);
    DeviceInfoText::AddSize(line, 4, 4);
    DeviceInfoText::AppendVersion(line, 1, 3);
    EXPECT_EQ(line, L"Device: Marrowick 4x4     Version:1.3");

    EXPECT_STREQ(DeviceInfoText::DeviceTypeName(1), L"Corvane");
    EXPECT_STREQ(DeviceInfoText::DeviceTypeName(3), L"Sandelux");
    EXPECT_STREQ(DeviceInfoText::DeviceTypeName(7), L"Quillon");
    EXPECT_STREQ(DeviceInfoText::DeviceTypeName(0), L"Quillon");

    std::wstring twoTypes;
    DeviceInfoText::AppendType(twoTypes, 7);
    DeviceInfoText::AppendType(twoTypes, 1);
    DeviceInfoText::AddSize(twoTypes, 8, 2);
    EXPECT_EQ(twoTypes, L"Device: QuillonCorvane 8x2");
}

TEST(LabelBytes, PackPadsWithBlanksTakesLowBytesAndCutsAtSixteen) {
    std::uint8_t bytes[LabelBytes::LABELS_LENGTH];
    LabelBytes::Pack(L"AB", L"", bytes);
    std::vector<std::uint8_t> expected(LabelBytes::LABELS_LENGTH, 0x20);
    expected[0] = 0x41;
    expected[1] = 0x42;
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + LabelBytes::LABELS_LENGTH), expected);

    LabelBytes::Pack(L"\x0141", L"0123456789abcdefXYZ", bytes);
    EXPECT_EQ(bytes[0], 0x41) << "U+0141 goes out as its low byte";
    EXPECT_EQ(bytes[1], 0x20);
    EXPECT_EQ(std::wstring(bytes + 16, bytes + 32), L"0123456789abcdef");

    const std::uint8_t chunk[] = {'L', 'a', 'b', 0xE9, ' ', ' ', ' ', ' '};
    EXPECT_EQ(LabelBytes::ChunkText(chunk), L"Lab\x00E9    ");
}
