// The vocabulary that flows from the lexer to the parser: units of measure
// with their canonical texts, connector kinds, and the token `Tag`.
//
// A `Tag` is a plain value: copying it copies its text, and a token list is
// an ordinary owned vector.
#ifndef BIDSIFT_PHRASEKIT_TOKEN_H_
#define BIDSIFT_PHRASEKIT_TOKEN_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phrasekit {

// A unit of measure. Each has one canonical text (see `unit_text`); the
// Vietnamese units are units of their own, never folded into English ones.
enum class Unit : uint8_t {
  Kg,
  Gram,
  Tonne,
  Pcs,
  Sets,
  Dozens,
  Rolls,
  Sheets,
  Doi,
  SqMeter,
  Cm,
  Mm,
  Meters,
  Liter,
  Ml,
  Cai,
  Bo,
  Cuon,
  Tam,
  Drums,
  Pallets,
  Cartons,
  Box,
  Reels,
  Hundreds,
  Thousands,
  Fcl,
};
inline constexpr int kUnitCount = 27;

// The canonical text of a unit ("pcs", "m²", "cuộn", "FCL"): a constant.
std::string_view unit_text(Unit unit);

// What joins two phrases or values. `NoConnector` is never produced by the
// lexer; it marks a chunk that no connector follows.
enum class ConnectorKind : uint8_t { And, Or, Separator, To, NoConnector };

// One token. The kind order is significant: the parser compares kinds.
struct Tag {
  enum class Kind : uint8_t {
    Qty,
    Connector,
    ColorKeyword,
    SizeKeyword,
    MaterialKeyword,
    Color,
    Size,
    Material,
    Gender,
    Standard,
    Ambiguous,
    Word,
  };

  // The one-byte fields come first, so that they share one word.
  Kind kind = Kind::Word;
  ConnectorKind connector = ConnectorKind::NoConnector;  // Connector
  std::optional<Unit> unit;                              // Qty: its unit, if any
  double value = 0;                                      // Qty: the number, strictly positive
  std::string text;                                      // Color .. Word: canonical value or words

  static Tag qty(double value, std::optional<Unit> unit) {
    Tag t;
    t.kind = Kind::Qty;
    t.value = value;
    t.unit = unit;
    return t;
  }
  static Tag connector_of(ConnectorKind k) {
    Tag t;
    t.kind = Kind::Connector;
    t.connector = k;
    return t;
  }
  static Tag bare(Kind kind) {
    Tag t;
    t.kind = kind;
    return t;
  }
  static Tag with_text(Kind kind, std::string text) {
    Tag t;
    t.kind = kind;
    t.text = std::move(text);
    return t;
  }
  bool is(Kind k) const { return kind == k; }
  bool operator==(const Tag&) const = default;
};

using Tokens = std::vector<Tag>;

}  // namespace phrasekit

#endif  // BIDSIFT_PHRASEKIT_TOKEN_H_
