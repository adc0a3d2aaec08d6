// The Access 97 (Jet 3) file format's numbers: every decoder and encoder takes
// them from here, so that one number means one thing everywhere.
//
// The file is a run of pages of kPageSize bytes; page 0 is the header, page 1 the global
// usage map, page 2 the catalog's (MSysObjects') definition. All numbers are
// little-endian unless said otherwise.
//
//   page type (byte 0)  layout
//   0x00 header         magic "Standard Jet DB", then an RC4-masked block (header.h)
//   0x01 data           01 01 | free space u16 @2 | owner u32 @4 (TDEF page, "LVAL",
//                       0 for map hosts) | row count u16 @8 | slot table u16[count] @10;
//                       rows packed downward from the page end in slot order, so
//                       slot i ends where slot i-1 starts
//   0x02 table def      02 01 | next TDEF page u32 @4 | definition (tdef_page.h)
//   0x03 index node     like a leaf, entries pointing at child pages
//   0x04 index leaf     04 01 | free space u16 @2 | parent u32 @4 | entry-end bitmap
//                       @0x16 | entries from @0xF8 (keys big-endian, sign flipped)
//   0x05 usage bitmap   05 01 00 00 | one bit a page
//
//   slot entry (u16)    offset of the row's first byte in the low 13 bits; the top
//                       two bits: 00 live, 11 deleted, 01 a forwarding stub (the
//                       row moved; the stub holds its new RowPointer), 10 the moved
//                       row itself
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace jet {

inline constexpr std::size_t kPageSize = 2048;
using Page = std::array<std::uint8_t, kPageSize>;

// An Access 97 file is at most 1 GiB: this many pages.
inline constexpr std::uint32_t kMaxPages = 0x80000;
inline constexpr std::uint64_t kMaxFileSize = std::uint64_t{kMaxPages} * kPageSize;

inline constexpr std::uint32_t kHeaderPage = 0;
inline constexpr std::uint32_t kGlobalMapPage = 1;
inline constexpr std::uint32_t kCatalogPage = 2;  // MSysObjects' definition

inline constexpr std::uint8_t kPageTypeData = 0x01;
inline constexpr std::uint8_t kPageTypeTableDef = 0x02;
inline constexpr std::uint8_t kPageTypeIndexNode = 0x03;
inline constexpr std::uint8_t kPageTypeIndexLeaf = 0x04;
inline constexpr std::uint8_t kPageTypeUsageBitmap = 0x05;

// Data pages.
inline constexpr std::size_t kDataFreeSpace = 0x02;
inline constexpr std::size_t kDataOwner = 0x04;
inline constexpr std::size_t kDataRowCount = 0x08;
inline constexpr std::size_t kDataSlots = 0x0A;
inline constexpr std::size_t kDataHeaderSize = 0x0A;
inline constexpr std::uint32_t kOwnerLval = 0x4C41564C;  // "LVAL": the page holds long values

// Slot entries.
inline constexpr std::uint16_t kSlotOffsetMask = 0x1FFF;
inline constexpr std::uint16_t kSlotDeleted = 0xC000;    // both bits
inline constexpr std::uint16_t kSlotForwarded = 0x4000;  // alone: a stub pointing at the row
inline constexpr std::uint16_t kSlotMoved = 0x8000;      // alone: the target of a stub
// A slot number is one byte; a page that claims more slots than its slot table
// could hold is damaged. We write at most kMaxSlots.
inline constexpr std::size_t kMaxSlotsRead = 256;
inline constexpr std::size_t kMaxSlots = 255;

// Long values (memo and OLE): a 12-byte header in the row, its length's top byte
// saying where the bytes are: inline after the header, in one LVAL row, or in a
// chain of LVAL rows.
inline constexpr std::size_t kLongValueHeaderSize = 12;
inline constexpr std::uint32_t kLongValueLengthMask = 0x3FFFFFFF;
inline constexpr std::uint8_t kLongValueInline = 0x80;
inline constexpr std::uint8_t kLongValueSingle = 0x40;
inline constexpr std::uint8_t kLongValueChained = 0x00;
inline constexpr std::size_t kLongValueChainLink = 4;  // each chained piece starts with the next piece's pointer

// Index leaves.
inline constexpr std::size_t kLeafParent = 0x04;
inline constexpr std::size_t kLeafBitmap = 0x16;
inline constexpr std::size_t kLeafEntries = 0xF8;

}  // namespace jet
