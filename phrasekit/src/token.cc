#include "phrasekit/src/token.h"

#include <array>

namespace phrasekit {
namespace {

// clang-format off
// Indexed by the enumerator's value.
constexpr std::array<std::string_view, kUnitCount> kUnitTexts = {
    "kg",
    "g",
    "tonne",
    "pcs",
    "sets",
    "dozens",
    "rolls",
    "sheets",
    "đôi",
    "m²",
    "cm",
    "mm",
    "meters",
    "l",
    "ml",
    "cái",
    "bộ",
    "cuộn",
    "tấm",
    "drums",
    "pallets",
    "cartons",
    "box",
    "reels",
    "hundreds",
    "thousands",
    "FCL",
};

// clang-format on
static_assert(static_cast<int>(Unit::Fcl) + 1 == kUnitCount);

}  // namespace

std::string_view unit_text(Unit unit) { return kUnitTexts[static_cast<std::size_t>(unit)]; }

}  // namespace phrasekit
