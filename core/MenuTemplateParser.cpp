#include "core/MenuTemplateParser.h"

namespace MenuTemplate {

namespace {

constexpr std::size_t WORD_SIZE = 2;
constexpr std::size_t HEADER_SIZE = 2 * WORD_SIZE;

class WordReader {
public:
    WordReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Seek(std::size_t offset) {
        if (offset > m_size) {
            return false;
        }
        m_offset = offset;
        return true;
    }

    bool Read(std::uint16_t& word) {
        if (m_size - m_offset < WORD_SIZE) {
            return false;
        }
        word = static_cast<std::uint16_t>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
        m_offset += WORD_SIZE;
        return true;
    }

    bool ReadText(std::u16string& text) {
        text.clear();
        std::uint16_t unit = 0;
        while (Read(unit)) {
            if (unit == 0) {
                return true;
            }
            text.push_back(static_cast<char16_t>(unit));
        }
        return false;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

// Reads one item; returns false when the resource ends inside it.
bool ReadItem(WordReader& reader, std::uint16_t& flags, Step& step) {
    if (!reader.Read(flags)) {
        return false;
    }
    step.id = 0;
    if ((flags & MF_POPUP_FLAG) == 0 && !reader.Read(step.id)) {
        return false;
    }
    step.flags = static_cast<std::uint16_t>(flags & ~MF_END_FLAG);
    step.kind = (flags & MF_POPUP_FLAG) != 0 ? StepKind::Popup : StepKind::Item;
    return reader.ReadText(step.text);
}

}  // namespace

std::optional<std::vector<Step>> Parse(const std::uint8_t* data, std::size_t size) {
    WordReader reader(data, size);
    std::uint16_t version = 0;
    std::uint16_t headerSize = 0;
    if (data == nullptr || !reader.Read(version) || !reader.Read(headerSize) ||
        !reader.Seek(HEADER_SIZE + headerSize)) {
        return std::nullopt;
    }
    std::vector<Step> steps;
    // One end flag per open level; the root level is open from the start.
    std::vector<bool> levelEnds{false};
    while (!levelEnds.empty()) {
        std::uint16_t flags = 0;
        Step step{};
        if (!ReadItem(reader, flags, step)) {
            return std::nullopt;
        }
        const bool lastOfLevel = (flags & MF_END_FLAG) != 0;
        if (lastOfLevel) {
            levelEnds.back() = true;
        }
        steps.push_back(step);
        if (step.kind == StepKind::Popup) {
            levelEnds.push_back(false);
            continue;
        }
        while (!levelEnds.empty() && levelEnds.back()) {
            steps.push_back(Step{StepKind::CloseLevel, 0, 0, {}});
            levelEnds.pop_back();
        }
    }
    return steps;
}

}  // namespace MenuTemplate
