#include "tools/SwitcherModel.h"

#include "tools/ProtocolLayout.h"

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <utility>

namespace {

using namespace ProtocolLayout::Command;
namespace Group = ProtocolLayout::Group;

// Items of the query group.
constexpr std::uint8_t QUERY_DEVICE_TYPE = 0x01;
constexpr std::uint8_t QUERY_DEVICE_SIZE = 0x02;
constexpr std::uint8_t QUERY_VERSION = 0x03;
constexpr std::uint8_t QUERY_INPUT_LINK = 0x04;
constexpr std::uint8_t QUERY_OUTPUT_LINK = 0x05;
constexpr std::uint8_t QUERY_BEEP = 0x0B;
constexpr std::uint8_t QUERY_EDID_MODE = 0x0C;
constexpr std::uint8_t QUERY_AUTO_SWITCH = 0x0D;

// Items of the routing group.
constexpr std::uint8_t ROUTING_QUERY = 0x01;
constexpr std::uint8_t ROUTING_SET = 0x03;
constexpr std::uint8_t ROUTING_AUTO_SWITCH = 0x05;

// Items of the EDID group.
constexpr std::uint8_t EDID_SET_ALL = 0x01;
constexpr std::uint8_t EDID_SET_ONE = 0x02;
constexpr std::uint8_t EDID_COPY_ALL = 0x03;
constexpr std::uint8_t EDID_COPY_ONE = 0x04;
constexpr std::uint8_t EDID_WRITE_ALL = 0x06;
constexpr std::uint8_t EDID_WRITE_ONE = 0x07;
constexpr std::uint8_t EDID_PREPARE = 0x08;

// Items of the beep and system groups.
constexpr std::uint8_t BEEP_SET = 0x01;
constexpr std::uint8_t SYSTEM_MCU_ENTER = 0x07;
constexpr std::uint8_t SYSTEM_MCU_START = 0x08;
constexpr std::uint8_t SYSTEM_FACTORY_RESET = 0x0A;
constexpr std::uint8_t SYSTEM_POWER = 0x0B;
constexpr std::uint8_t SYSTEM_QUERY_POWER = 0x0C;
constexpr std::uint8_t SYSTEM_REBOOT = 0x0D;

// Items of the ARC, flash and label groups.
constexpr std::uint8_t ARC_SET = 0x01;
constexpr std::uint8_t ARC_QUERY = 0x02;
constexpr std::uint8_t FLASH_ENTER = 0x09;
constexpr std::uint8_t LABEL_WRITE_FIRST = 0x21;
constexpr std::uint8_t LABEL_WRITE_LAST = 0x24;
constexpr std::uint8_t LABEL_READ_FIRST = 0x25;
constexpr std::uint8_t LABEL_READ_LAST = 0x28;
constexpr std::size_t LABEL_CHUNK = 8;

// Parameter values.
constexpr std::uint8_t ON = 0x0F;
constexpr std::uint8_t OFF = 0xF0;
constexpr std::uint8_t ACK_OK = 0x00;
constexpr std::uint8_t ACK_FAILED = 0x0F;
constexpr std::uint8_t LINK_CONNECTED = 0x00;
constexpr std::uint8_t LINK_DISCONNECTED = 0x01;
constexpr std::uint8_t BEEP_REPORT_ON = 0x00;
constexpr std::uint8_t BEEP_REPORT_OFF = 0xF0;
constexpr std::uint8_t BEEP_ACK_ON = 0xDD;
constexpr std::uint8_t INFO_MARK = 0xCC;
constexpr std::uint8_t EDID_FILE_MARK = 0xF0;
constexpr std::uint8_t EDID_DATA_REQUEST = 0xAA;
constexpr std::uint8_t EDID_DATA_HEADER = 0x56;
constexpr std::uint8_t EDID_DATA_HEADER_B7 = 0x01;
constexpr int EDID_MODE_COUNT = 18;
constexpr int EDID_COPY_BASE = 17;          // copy from output o reported as 17 + o

// An uploaded EDID as it arrives: a 00 byte, then the file.
constexpr std::size_t EDID_FILE_START = ProtocolLayout::EdidBlock::FILE_START;
constexpr std::size_t EDID_BASE_BLOCK = 128;
constexpr std::uint8_t EDID_HEADER[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

using Field = std::pair<std::size_t, std::uint8_t>;

Bytes Reply(std::uint8_t group, std::uint8_t item, std::initializer_list<Field> fields = {}) {
    std::array<std::uint8_t, BODY_LENGTH> body{};
    body[0] = group;
    body[1] = item;
    for (const auto& [position, value] : fields) {
        body[position - GROUP] = value;
    }
    return SwitcherModel::MakeCommandFrame(body);
}

bool IsIndex(int value, int count) { return value >= 1 && value <= count; }

std::uint8_t OnOff(bool on) { return on ? ON : OFF; }

std::uint8_t LinkState(bool connected) { return connected ? LINK_CONNECTED : LINK_DISCONNECTED; }

bool IsValidEdidBlock(const Bytes& block) {
    return std::equal(std::begin(EDID_HEADER), std::end(EDID_HEADER), block.begin() + EDID_FILE_START) &&
           ProtocolLayout::Sum(block, EDID_FILE_START, EDID_BASE_BLOCK) == 0;
}

std::string OnOffText(bool on) { return on ? "on" : "off"; }

template <typename Array, typename Format>
std::string JoinFields(const Array& values, Format format) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += (i == 0 ? "" : ",") + format(values[i]);
    }
    return text;
}

// Labels are bytes from the wire: anything that could break the one-line
// answer (a line end, a quote) or is not printable shows as \xHH.
template <std::size_t N>
std::string PrintableText(const std::array<std::uint8_t, N>& bytes) {
    constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte >= ' ' && byte <= '~' && byte != '"' && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            text += "\\x";
            text += HEX_DIGITS[byte >> 4];
            text += HEX_DIGITS[byte & 0x0F];
        }
    }
    return text;
}

}  // namespace

SwitcherModel::SwitcherModel() { Reset(); }

void SwitcherModel::Reset() {
    m_state = SwitcherState{};
    m_state.route.fill(1);
    m_state.inputConnected.fill(true);
    m_state.outputConnected.fill(true);
    m_state.labels.fill(' ');
    m_edids = EdidStore{};
    m_firmware.Reset();
    m_rawBlockLength = 0;
    m_edidWriteItem = 0;
    m_edidWriteInput = 0;
}

std::size_t SwitcherModel::FrameLength(std::uint8_t first, std::uint8_t second) const {
    using ProtocolLayout::COMMAND_SYNC;
    using ProtocolLayout::DATA_SYNC;
    if (first == COMMAND_SYNC[0] && second == COMMAND_SYNC[1]) {
        return ProtocolLayout::Command::LENGTH;
    }
    if (first == DATA_SYNC[0] && second == DATA_SYNC[1]) {
        switch (m_firmware.FramedKind()) {
            case FirmwareReceiver::Kind::Mcu: return ProtocolLayout::Block::MCU_LENGTH;
            case FirmwareReceiver::Kind::Flash: return ProtocolLayout::Block::FLASH_LENGTH;
            case FirmwareReceiver::Kind::None: return 0;
        }
    }
    return 0;
}

std::size_t SwitcherModel::RawBlockLength() const { return m_rawBlockLength; }

SwitcherModel::Upgrade SwitcherModel::PendingUpgrade() const {
    if (!m_firmware.AcceptingBlocks()) return Upgrade::None;
    switch (m_firmware.FramedKind()) {
        case FirmwareReceiver::Kind::Mcu: return Upgrade::Mcu;
        case FirmwareReceiver::Kind::Flash: return Upgrade::Flash;
        case FirmwareReceiver::Kind::None: break;
    }
    return Upgrade::None;
}

// A restarting device hears nothing.
std::vector<Bytes> SwitcherModel::HandleFrame(const Bytes& frame) {
    if (m_firmware.Restarting()) return {};
    if (m_rawBlockLength != 0 && frame.size() == m_rawBlockLength) {
        return HandleEdidBlock(frame);
    }
    switch (frame.size()) {
        case ProtocolLayout::Command::LENGTH:
            return ProtocolLayout::HasValidCheckByte(frame) ? HandleCommand(frame) : std::vector<Bytes>{};
        case ProtocolLayout::Block::MCU_LENGTH:
        case ProtocolLayout::Block::FLASH_LENGTH: return HandleDataBlock(frame);
        default: return {};
    }
}

std::vector<Bytes> SwitcherModel::HandleCommand(const Bytes& frame) {
    if (!ProtocolLayout::OpensWith(frame, ProtocolLayout::COMMAND_SYNC)) {
        return {};
    }
    switch (frame[GROUP]) {
        case Group::QUERY: return HandleQuery(frame);
        case Group::ROUTING: return HandleRouting(frame);
        case Group::EDID: return HandleEdid(frame);
        case Group::BEEP: return HandleBeep(frame);
        case Group::SYSTEM: return HandleSystem(frame);
        case Group::ARC: return HandleArc(frame);
        case Group::FLASH: return HandleFlashEnter(frame);
        case Group::LABELS: return HandleLabels(frame);
        default: return {};
    }
}

std::vector<Bytes> SwitcherModel::HandleQuery(const Bytes& frame) {
    const std::uint8_t item = frame[ITEM];
    const int index = frame[B4];
    const auto u8 = [](int value) { return static_cast<std::uint8_t>(value); };
    switch (item) {
        case QUERY_DEVICE_TYPE:
            return {Reply(Group::QUERY, item, {{B4, u8(m_state.deviceType)}, {B10, INFO_MARK}})};
        case QUERY_DEVICE_SIZE:
            return {Reply(Group::QUERY, item, {{B4, u8(m_state.inputs)}, {B6, u8(m_state.outputs)}, {B10, INFO_MARK}})};
        case QUERY_VERSION:
            return {Reply(Group::QUERY, item,
                          {{B4, u8(m_state.versionMajor)}, {B6, u8(m_state.versionMinor)}, {B10, INFO_MARK}})};
        case QUERY_INPUT_LINK:
            if (!IsIndex(index, SwitcherState::INPUT_COUNT)) return {};
            return {Reply(Group::QUERY, item, {{B4, frame[B4]}, {B6, LinkState(m_state.inputConnected[index - 1])}})};
        case QUERY_OUTPUT_LINK:
            if (!IsIndex(index, SwitcherState::OUTPUT_COUNT)) return {};
            return {Reply(Group::QUERY, item, {{B4, frame[B4]}, {B6, LinkState(m_state.outputConnected[index - 1])}})};
        case QUERY_BEEP:
            return {Reply(Group::QUERY, item, {{B4, ACK_OK}, {B6, m_state.beep ? BEEP_REPORT_ON : BEEP_REPORT_OFF}})};
        case QUERY_EDID_MODE:
            if (!IsIndex(index, SwitcherState::INPUT_COUNT)) return {};
            return {Reply(Group::QUERY, item, {{B4, frame[B4]}, {B6, u8(m_state.edid[index - 1])}})};
        case QUERY_AUTO_SWITCH:
            return {Reply(Group::QUERY, item, {{B4, OnOff(m_state.autoSwitch)}})};
        default:
            return {};
    }
}

// A device with fewer outputs (set size) stays silent about the ones it lacks.
std::vector<Bytes> SwitcherModel::HandleRouting(const Bytes& frame) {
    const std::uint8_t item = frame[ITEM];
    const auto hasOutput = [this](int output) {
        return IsIndex(output, SwitcherState::OUTPUT_COUNT) && output <= m_state.outputs;
    };
    if (item == ROUTING_QUERY) {
        const int output = frame[B4];
        if (!hasOutput(output)) return {};
        return {RouteReport(output)};
    }
    if (item == ROUTING_SET) {
        const int input = frame[B4];
        const int output = frame[B6];
        if (!IsIndex(input, SwitcherState::INPUT_COUNT) || !hasOutput(output)) return {};
        m_state.route[output - 1] = input;
        return {Reply(Group::ROUTING, item, {{B4, ACK_OK}, {B6, frame[B6]}})};
    }
    if (item == ROUTING_AUTO_SWITCH && (frame[B4] == ON || frame[B4] == OFF)) {
        m_state.autoSwitch = frame[B4] == ON;
        return {Reply(Group::ROUTING, item, {{B4, ACK_OK}})};
    }
    return {};
}

std::vector<Bytes> SwitcherModel::HandleEdid(const Bytes& frame) {
    switch (frame[ITEM]) {
        case EDID_SET_ALL:
        case EDID_SET_ONE:
        case EDID_COPY_ALL:
        case EDID_COPY_ONE:
            return HandleEdidSetting(frame);
        case EDID_WRITE_ALL:
        case EDID_WRITE_ONE:
            return HandleEdidWrite(frame);
        case EDID_PREPARE:
            return {Reply(Group::EDID, EDID_PREPARE, {{B4, ACK_OK}})};
        default:
            return {};
    }
}

// A mode or a copy for one input or all; a failure (the test's knob)
// changes nothing.
std::vector<Bytes> SwitcherModel::HandleEdidSetting(const Bytes& frame) {
    const std::uint8_t item = frame[ITEM];
    const int value = frame[B4];
    const bool all = item == EDID_SET_ALL || item == EDID_COPY_ALL;
    const bool copy = item == EDID_COPY_ALL || item == EDID_COPY_ONE;
    const int input = all ? EdidStore::ALL_INPUTS : frame[B6];
    if (!IsIndex(value, copy ? SwitcherState::OUTPUT_COUNT : EDID_MODE_COUNT)) return {};
    if (!all && !IsIndex(input, SwitcherState::INPUT_COUNT)) return {};
    if (m_edids.TakeFailure()) return {Reply(Group::EDID, item, {{B4, ACK_FAILED}, {B6, frame[B6]}})};
    // The EDID page sends a mode 1..18 marked F0 in b5 (reported as its
    // index); the General page sends an audio mode 1..4 unmarked (reported
    // as it was sent).
    const int reported = copy ? EDID_COPY_BASE + value : frame[B5] == EDID_FILE_MARK ? value - 1 : value;
    for (int port = 1; port <= SwitcherState::INPUT_COUNT; ++port) {
        if (all || port == input) m_state.edid[port - 1] = reported;
    }
    if (copy) {
        m_edids.CopySink(value, input);
    } else {
        m_edids.Hold(input, {});
    }
    return {Reply(Group::EDID, item, {{B4, ACK_OK}, {B6, frame[B6]}})};
}

// WriteEdid announces the target and gets the data request; the header that
// follows makes the next 256 bytes the raw block. With the early result knob
// the success result goes out in the same write and no data is awaited.
std::vector<Bytes> SwitcherModel::HandleEdidWrite(const Bytes& frame) {
    const std::uint8_t item = frame[ITEM];
    if (frame[B4] == EDID_DATA_HEADER && frame[B7] == EDID_DATA_HEADER_B7 && m_edidWriteItem == item) {
        m_rawBlockLength = ProtocolLayout::EdidBlock::LENGTH;
        return {};
    }
    if (frame[B5] != EDID_FILE_MARK) return {};
    const int input = frame[B4];
    if (item == EDID_WRITE_ONE && !IsIndex(input, SwitcherState::INPUT_COUNT)) return {};
    m_edidWriteItem = item;
    m_edidWriteInput = item == EDID_WRITE_ONE ? input : EdidStore::ALL_INPUTS;
    Bytes request = Reply(Group::EDID, item, {{B4, EDID_DATA_REQUEST}});
    if (!m_edids.EarlyResult()) return {request};
    m_edidWriteItem = 0;
    const Bytes result = Reply(Group::EDID, item, {{B4, ACK_OK}, {B7, EDID_DATA_HEADER_B7}});
    request.insert(request.end(), result.begin(), result.end());
    return {request};
}

std::vector<Bytes> SwitcherModel::HandleEdidBlock(const Bytes& block) {
    m_rawBlockLength = 0;
    const std::uint8_t item = m_edidWriteItem;
    m_edidWriteItem = 0;
    const bool valid = !m_edids.TakeFailure() && IsValidEdidBlock(block);
    if (valid) m_edids.Hold(m_edidWriteInput, block);
    return {Reply(Group::EDID, item, {{B4, valid ? ACK_OK : ACK_FAILED}, {B7, EDID_DATA_HEADER_B7}})};
}

std::vector<Bytes> SwitcherModel::HandleBeep(const Bytes& frame) {
    if (frame[ITEM] != BEEP_SET || (frame[B4] != ON && frame[B4] != OFF)) return {};
    m_state.beep = frame[B4] == ON;
    return {Reply(Group::BEEP, BEEP_SET, {{B4, ACK_OK}, {B6, m_state.beep ? BEEP_ACK_ON : ACK_OK}})};
}

std::vector<Bytes> SwitcherModel::HandleSystem(const Bytes& frame) {
    const std::uint8_t item = frame[ITEM];
    switch (item) {
        case SYSTEM_MCU_ENTER:
            m_firmware.Enter(FirmwareReceiver::Kind::Mcu, 0);
            return {Reply(Group::SYSTEM, item, {{B4, ACK_OK}})};
        case SYSTEM_MCU_START:
            m_firmware.StartMcu();
            return {Reply(Group::SYSTEM, item, {{B4, ACK_OK}})};
        case SYSTEM_FACTORY_RESET:
            Reset();
            return {Reply(Group::SYSTEM, item, {{B4, ACK_OK}})};
        case SYSTEM_POWER:
            if (frame[B4] != ON && frame[B4] != OFF) return {};
            m_state.power = frame[B4] == ON;
            return {Reply(Group::SYSTEM, item, {{B4, ACK_OK}, {B6, OnOff(m_state.power)}})};
        case SYSTEM_QUERY_POWER:
            return {Reply(Group::SYSTEM, item, {{B4, OnOff(m_state.power)}})};
        case SYSTEM_REBOOT:
            m_state.power = true;
            return {Reply(Group::SYSTEM, item, {{B4, ACK_OK}})};
        default:
            return {};
    }
}

std::vector<Bytes> SwitcherModel::HandleArc(const Bytes& frame) {
    const std::uint8_t item = frame[ITEM];
    const int output = frame[B6];
    if (!IsIndex(output, SwitcherState::OUTPUT_COUNT)) return {};
    if (item == ARC_SET && (frame[B4] == ON || frame[B4] == OFF)) {
        m_state.arc[output - 1] = frame[B4] == ON;
        return {Reply(Group::ARC, item, {{B4, ACK_OK}, {B6, frame[B6]}, {B10, frame[B4]}})};
    }
    if (item == ARC_QUERY) {
        return {Reply(Group::ARC, item, {{B4, OnOff(m_state.arc[output - 1])}, {B6, frame[B6]}})};
    }
    return {};
}

std::vector<Bytes> SwitcherModel::HandleFlashEnter(const Bytes& frame) {
    if (frame[ITEM] != FLASH_ENTER) return {};
    m_firmware.Enter(FirmwareReceiver::Kind::Flash, frame[B4]);
    return {Reply(Group::FLASH, FLASH_ENTER, {{B4, ACK_OK}})};
}

std::vector<Bytes> SwitcherModel::HandleLabels(const Bytes& frame) {
    const std::uint8_t item = frame[ITEM];
    if (item >= LABEL_WRITE_FIRST && item <= LABEL_WRITE_LAST) {
        const std::size_t offset = (item - LABEL_WRITE_FIRST) * LABEL_CHUNK;
        std::copy_n(frame.begin() + B4, LABEL_CHUNK, m_state.labels.begin() + offset);
        return {Reply(Group::LABELS, item, {{B4, ACK_OK}})};
    }
    if (item >= LABEL_READ_FIRST && item <= LABEL_READ_LAST) {
        const std::size_t offset = (item - LABEL_READ_FIRST) * LABEL_CHUNK;
        std::array<std::uint8_t, BODY_LENGTH> body{};
        body[0] = Group::LABELS;
        body[1] = item;
        std::copy_n(m_state.labels.begin() + offset, LABEL_CHUNK, body.begin() + (B4 - GROUP));
        return {MakeCommandFrame(body)};
    }
    return {};
}

// Only a block as long as the transfer under way frames it is read: a block
// of the other kind would be copied as if it were one of this kind.
std::vector<Bytes> SwitcherModel::HandleDataBlock(const Bytes& frame) {
    if (!ProtocolLayout::OpensWith(frame, ProtocolLayout::DATA_SYNC) || frame.size() != FrameLength(frame[0], frame[1])) {
        return {};
    }
    std::optional<Bytes> ack = m_firmware.Block(frame);
    if (!ack) return {};
    return {*ack};
}

Bytes SwitcherModel::RouteReport(int output) const {
    return Reply(Group::ROUTING, ROUTING_QUERY,
                 {{B4, static_cast<std::uint8_t>(output)},
                  {B6, static_cast<std::uint8_t>(m_state.route[output - 1])}});
}

Bytes SwitcherModel::MakeCommandFrame(const std::array<std::uint8_t, ProtocolLayout::Command::BODY_LENGTH>& body) {
    Bytes frame(ProtocolLayout::Command::LENGTH, 0);
    std::copy(std::begin(ProtocolLayout::COMMAND_SYNC), std::end(ProtocolLayout::COMMAND_SYNC), frame.begin());
    std::copy(body.begin(), body.end(), frame.begin() + ProtocolLayout::Command::GROUP);
    ProtocolLayout::SetCheckByte(frame);
    return frame;
}

std::string SwitcherModel::Describe() const {
    const auto number = [](int value) { return std::to_string(value); };
    const auto onOff = [](bool value) { return OnOffText(value); };
    std::ostringstream text;
    text << "route=" << JoinFields(m_state.route, number) << " edid=" << JoinFields(m_state.edid, number)
         << " arc=" << JoinFields(m_state.arc, onOff) << " autoswitch=" << OnOffText(m_state.autoSwitch)
         << " beep=" << OnOffText(m_state.beep) << " power=" << OnOffText(m_state.power)
         << " input-links=" << JoinFields(m_state.inputConnected, onOff)
         << " output-links=" << JoinFields(m_state.outputConnected, onOff) << " type=" << m_state.deviceType
         << " size=" << m_state.inputs << 'x' << m_state.outputs << " version=" << m_state.versionMajor << '.'
         << m_state.versionMinor << " labels=\"" << PrintableText(m_state.labels)
         << "\" upgrade="
         << (PendingUpgrade() == Upgrade::Mcu ? "mcu" : PendingUpgrade() == Upgrade::Flash ? "flash" : "none");
    return text.str();
}
