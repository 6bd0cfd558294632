#pragma once
// The numbers a download writes into fixed-width fields, described once for the writer and for the
// check that comes before anything is sent. A number fits when the value the writer puts into its
// field (after its own arithmetic) lies in the field's signed or unsigned range; the writer keeps
// its low-order bytes, which for a number that fits are exactly its own.

#include "core/common/result.h"
#include "core/model/records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veltrane {

enum class Str : std::uint16_t;  // core/strings/strings.h; kept out of headers that moc reads

enum class FieldWidth { Byte = 1, Word = 2, Long = 4 };

struct CarriedNumber {
    std::size_t offset = 0;  // where the field starts in what the writer fills
    FieldWidth width = FieldWidth::Byte;
    std::int64_t value = 0;  // what goes into the field
    std::string text;        // the stored text it comes from, for the refusal
    Str row{};               // the grid row that shows it

    bool fits() const;
};

// A decimal text divided as the writer divides it (the output pulse goes in tenths).
CarriedNumber decimalNumber(std::size_t offset, FieldWidth width, const std::string& text, Str row,
                            std::int64_t divisor = 1);
// A hexadecimal text (the mapping address).
CarriedNumber hexNumber(std::size_t offset, FieldWidth width, const std::string& text, Str row);

// Writes the field big-endian at `base` + its offset.
void putNumber(std::span<std::uint8_t> out, std::size_t base, const CarriedNumber& number);

// A number with the tree item it belongs to ("Subnet 1", "Subnet 2 / Node-3 / 03 Read Holding
// Register (#2)", the command's position in its subnet last).
struct ItemNumber {
    std::string item;
    CarriedNumber number;
};

std::string subnetItemPath(int subnet);  // 0-based
std::string commandItemPath(const CONFIG& subnet, int subnetIndex, int position);

// Refused, naming the item, the row and the value, at the first number that does not fit.
Status numbersFit(const std::vector<ItemNumber>& numbers);

}  // namespace veltrane
