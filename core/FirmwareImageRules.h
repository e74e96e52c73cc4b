// Which firmware files the Upgrade page accepts: the kind of image and the
// flash number come from the file's name, the limits from the frames that
// carry the image. Pure code, so the rules are tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <string>

namespace FirmwareImageRules {

enum class ImageKind { Mcu, Flash };

// An MCU block is numbered in one byte: 256 blocks of 1024 bytes at most.
constexpr std::size_t MCU_IMAGE_LIMIT = 262144;
// The flash image's buffer.
constexpr std::size_t FLASH_IMAGE_LIMIT = 500000;
// "FF" in the name: every flash at once.
constexpr int FLASH_NUMBER_ALL = 255;

struct NameVerdict {
    bool accepted;
    ImageKind kind;
    int flashNumber;   // 1..8 or FLASH_NUMBER_ALL for a flash image, else 0
};

// A name (without folder) opening with "Pelmora" (case counts) names a flash
// image whose number is the pair of characters 9 and 10: "01".."08" or "FF";
// any other pair, or a name too short to hold one, is refused. Every other
// name is an MCU image.
NameVerdict ClassifyName(const std::wstring& fileName);

// An empty file, or one longer than its kind's limit, is refused.
bool IsLengthAccepted(ImageKind kind, std::size_t length);

}  // namespace FirmwareImageRules
