#include "core/FirmwareImageRules.h"

namespace FirmwareImageRules {

namespace {

constexpr wchar_t FLASH_PREFIX[] = L"Pelmora";
constexpr std::size_t FLASH_PREFIX_LENGTH = sizeof FLASH_PREFIX / sizeof FLASH_PREFIX[0] - 1;
// Characters 9 and 10 of the name, counted from 1.
constexpr std::size_t FLASH_NUMBER_POSITION = 8;
constexpr std::size_t FLASH_NUMBER_LENGTH = 2;
constexpr int FLASH_NUMBER_FIRST = 1;
constexpr int FLASH_NUMBER_LAST = 8;

constexpr NameVerdict REFUSED = {false, ImageKind::Flash, 0};

int FlashNumber(const std::wstring& pair) {
    if (pair == L"FF") return FLASH_NUMBER_ALL;
    if (pair[0] != L'0') return 0;
    const int number = pair[1] - L'0';
    return number >= FLASH_NUMBER_FIRST && number <= FLASH_NUMBER_LAST ? number : 0;
}

}  // namespace

NameVerdict ClassifyName(const std::wstring& fileName) {
    if (fileName.compare(0, FLASH_PREFIX_LENGTH, FLASH_PREFIX) != 0) return {true, ImageKind::Mcu, 0};
    if (fileName.size() < FLASH_NUMBER_POSITION + FLASH_NUMBER_LENGTH) return REFUSED;
    const int number = FlashNumber(fileName.substr(FLASH_NUMBER_POSITION, FLASH_NUMBER_LENGTH));
    if (number == 0) return REFUSED;
    return {true, ImageKind::Flash, number};
}

bool IsLengthAccepted(ImageKind kind, std::size_t length) {
    const std::size_t limit = kind == ImageKind::Mcu ? MCU_IMAGE_LIMIT : FLASH_IMAGE_LIMIT;
    return length > 0 && length <= limit;
}

}  // namespace FirmwareImageRules
