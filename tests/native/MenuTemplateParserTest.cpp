#include "core/MenuTemplateParser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using MenuTemplate::Parse;
using MenuTemplate::Step;
using MenuTemplate::StepKind;

namespace {

constexpr std::uint16_t POPUP = 0x0010;
constexpr std::uint16_t END = 0x0080;
constexpr std::uint16_t GRAYED = 0x0001;
constexpr std::uint16_t CHECKED = 0x0008;

class TemplateBuilder {
public:
    explicit TemplateBuilder(std::uint16_t headerSize = 0) {
        Word(0);
        Word(headerSize);
        m_bytes.resize(m_bytes.size() + headerSize, 0xCC);
    }

    TemplateBuilder& Item(std::uint16_t flags, std::uint16_t id, const std::u16string& text) {
        Word(flags);
        Word(id);
        Text(text);
        return *this;
    }

    TemplateBuilder& Popup(std::uint16_t flags, const std::u16string& text) {
        Word(static_cast<std::uint16_t>(flags | POPUP));
        Text(text);
        return *this;
    }

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    void Word(std::uint16_t word) {
        m_bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }

    void Text(const std::u16string& text) {
        for (char16_t unit : text) {
            Word(unit);
        }
        Word(0);
    }

    std::vector<std::uint8_t> m_bytes;
};

std::vector<StepKind> KindsOf(const std::vector<Step>& steps) {
    std::vector<StepKind> kinds;
    for (const auto& step : steps) {
        kinds.push_back(step.kind);
    }
    return kinds;
}

// File / Open, Save, separator, Recent / (One, Two) as the last popup of File,
// which is itself the last popup of the root.
TemplateBuilder NestedTemplate() {
    TemplateBuilder builder;
    builder.Popup(END, u"&File")
        .Item(0, 101, u"&Open\tCtrl+O")
        .Item(GRAYED, 102, u"&Save")
        .Item(0, 0, u"")
        .Popup(END, u"Recent")
        .Item(CHECKED, 201, u"One")
        .Item(END, 202, u"Two");
    return builder;
}

}  // namespace

TEST(MenuTemplateParser, PlainRootLevelClosesOnItsLastItem) {
    TemplateBuilder builder;
    builder.Item(0, 1, u"A").Item(END, 2, u"B");
    const auto steps = Parse(builder.Bytes().data(), builder.Bytes().size());
    ASSERT_TRUE(steps);
    EXPECT_EQ(KindsOf(*steps), (std::vector<StepKind>{StepKind::Item, StepKind::Item, StepKind::CloseLevel}));
    EXPECT_EQ((*steps)[1].id, 2);
    EXPECT_EQ((*steps)[1].flags, 0) << "MF_END is not handed on";
    EXPECT_EQ((*steps)[1].text, u"B");
}

TEST(MenuTemplateParser, LastPopupsCloseTheirParentsInnermostFirst) {
    const auto builder = NestedTemplate();
    const auto steps = Parse(builder.Bytes().data(), builder.Bytes().size());
    ASSERT_TRUE(steps);
    EXPECT_EQ(KindsOf(*steps),
              (std::vector<StepKind>{StepKind::Popup, StepKind::Item, StepKind::Item, StepKind::Item,
                                     StepKind::Popup, StepKind::Item, StepKind::Item, StepKind::CloseLevel,
                                     StepKind::CloseLevel, StepKind::CloseLevel}));
    EXPECT_EQ((*steps)[0].flags, POPUP);
    EXPECT_EQ((*steps)[0].id, 0);
    EXPECT_EQ((*steps)[1].text, u"&Open\tCtrl+O");
    EXPECT_EQ((*steps)[2].flags, GRAYED);
    EXPECT_EQ((*steps)[3].id, 0);
    EXPECT_EQ((*steps)[5].flags, CHECKED);
}

TEST(MenuTemplateParser, ParseStopsWhenTheRootCloses) {
    auto builder = NestedTemplate();
    builder.Item(END, 999, u"beyond");
    const auto steps = Parse(builder.Bytes().data(), builder.Bytes().size());
    ASSERT_TRUE(steps);
    EXPECT_EQ(steps->size(), 10u);
}

TEST(MenuTemplateParser, HeaderSizeMovesTheFirstItem) {
    TemplateBuilder builder(6);
    builder.Item(END, 7, u"X");
    const auto steps = Parse(builder.Bytes().data(), builder.Bytes().size());
    ASSERT_TRUE(steps);
    EXPECT_EQ((*steps)[0].id, 7);
    EXPECT_EQ((*steps)[0].text, u"X");
}

TEST(MenuTemplateParser, EveryTruncationIsRefused) {
    const auto builder = NestedTemplate();
    const auto& bytes = builder.Bytes();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        // A copy of exactly `size` bytes lets the sanitizer catch any read past it.
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(Parse(cut.data(), cut.size())) << "size " << size;
    }
    EXPECT_TRUE(Parse(bytes.data(), bytes.size()));
}

TEST(MenuTemplateParser, HeaderSizeBeyondTheResourceIsRefused) {
    const std::vector<std::uint8_t> bytes{0, 0, 0x40, 0, 0, 0};
    EXPECT_FALSE(Parse(bytes.data(), bytes.size()));
    EXPECT_FALSE(Parse(nullptr, 0));
}

TEST(MenuTemplateParser, RootThatNeverClosesIsRefused) {
    TemplateBuilder builder;
    builder.Item(0, 1, u"A").Item(0, 2, u"B");
    EXPECT_FALSE(Parse(builder.Bytes().data(), builder.Bytes().size()));
}
