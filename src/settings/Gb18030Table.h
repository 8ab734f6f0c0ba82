#pragma once

namespace Gb18030Table {

// 126 rows of 190 characters: the two-byte codes 0x81-0xFE x (0x40-0x7E, 0x80-0xFE).
extern const char16_t twoByte[126 * 190 + 1];

} // namespace Gb18030Table
