#include "phrasekit/src/ontology.h"

#include <iterator>

namespace phrasekit {
namespace {

using Text = MapEntry<std::string_view>;
using UnitEntry = MapEntry<Unit>;

// clang-format off
// Ordered: the lexer takes the first prefix that matches. The entries that
// end in a space need one after them in the query.
constexpr std::string_view kStandardPrefixes[] = {
    "astm",
    "iso",
    "din",
    "en ",
    "jis",
    "gb ",
    "bs ",
    "ansi",
    "asme",
    "haccp",
    "ce ",
    "ul ",
    "vde",
    "iec",
    "nf ",
    "api ",
    "aws ",
};

constexpr std::string_view kSizeKeywords[] = {
    "kích thước",
    "kích cỡ",
    "cỡ",
    "size",
    "taille",
};

constexpr std::string_view kColorKeywords[] = {
    "màu",
    "màu sắc",
    "color",
    "colours",
    "colors",
    "colour",
    "couleur",
};

constexpr std::string_view kMaterialKeywords[] = {
    "chất liệu",
    "vật liệu",
    "material",
    "matière",
};

constexpr std::string_view kSkipPhrases[] = {
    "tôi cần mua",
    "tôi cần",
    "tôi muốn mua",
    "tôi muốn",
    "muốn mua",
    "muốn",
    "cần mua",
    "cần",
    "mua",
    "khoảng",
    "từ",
    "i'm looking for",
    "i am looking for",
    "looking for",
    "i'd like",
    "i need",
    "i want",
    "need",
    "want",
    "sourcing",
};

constexpr std::string_view kProtectedPhrases[] = {
    "việt nam",
    "hồ chí minh",
    "hà nội",
    "đà nẵng",
    "hải phòng",
    "cần thơ",
    "quy nhơn",
    "nha trang",
    "vũng tàu",
    "cái mép",
    "hải dương",
    "bình dương",
    "đồng nai",
    "trà xanh",
    "dừa bến tre",
    "thanh long",
    "nước mắm",
    "bột mì",
    "đồng phục",
};

constexpr std::string_view kAndWords[] = {
    "và",
    "và/hoặc",
    "and",
    "&",
    "+",
};

constexpr std::string_view kOrWords[] = {
    "hoặc",
    "or",
};

constexpr std::string_view kRangeWords[] = {
    "đến",
};

constexpr Text kColorMap[] = {
    {"đỏ", "red"},
    {"xanh", "blue"},
    {"xanh lam", "blue"},
    {"xanh lá", "green"},
    {"đen", "black"},
    {"trắng", "white"},
    {"vàng", "yellow"},
    {"cam", "orange"},
    {"tím", "purple"},
    {"hồng", "pink"},
    {"xám", "gray"},
    {"nâu", "brown"},
    {"red", "red"},
    {"blue", "blue"},
    {"green", "green"},
    {"black", "black"},
    {"white", "white"},
    {"yellow", "yellow"},
    {"orange", "orange"},
    {"purple", "purple"},
    {"pink", "pink"},
    {"gray", "gray"},
    {"grey", "gray"},
    {"brown", "brown"},
    {"navy", "navy"},
    {"beige", "beige"},
    {"silver", "silver"},
    {"amber", "amber"},
    {"clear", "clear"},
    {"natural", "natural"},
    {"light grey", "light_gray"},
    {"light gray", "light_gray"},
    {"pale yellow", "pale_yellow"},
};

constexpr Text kSizeMap[] = {
    {"xxs", "XXS"},
    {"xs", "XS"},
    {"s", "S"},
    {"m", "M"},
    {"l", "L"},
    {"xl", "XL"},
    {"xxl", "XXL"},
    {"xxxl", "XXXL"},
    {"2xl", "2XL"},
    {"3xl", "3XL"},
    {"4xl", "4XL"},
    {"small", "small"},
    {"medium", "medium"},
    {"large", "large"},
    {"27", "27"},
    {"28", "28"},
    {"29", "29"},
    {"30", "30"},
    {"31", "31"},
    {"32", "32"},
    {"33", "33"},
    {"34", "34"},
    {"35", "35"},
    {"36", "36"},
    {"37", "37"},
    {"38", "38"},
    {"39", "39"},
    {"40", "40"},
    {"41", "41"},
    {"42", "42"},
    {"43", "43"},
    {"44", "44"},
    {"45", "45"},
    {"46", "46"},
    {"dn15", "DN15"},
    {"dn20", "DN20"},
    {"dn25", "DN25"},
    {"dn32", "DN32"},
    {"dn40", "DN40"},
    {"dn50", "DN50"},
    {"dn65", "DN65"},
    {"dn80", "DN80"},
    {"dn100", "DN100"},
    {"dn150", "DN150"},
    {"dn200", "DN200"},
    {"dn300", "DN300"},
    {"schedule 10", "SCH10"},
    {"schedule 40", "SCH40"},
    {"schedule 80", "SCH80"},
    {"sch 40", "SCH40"},
    {"sch 80", "SCH80"},
};

constexpr Text kMaterialMap[] = {
    {"cotton", "cotton"},
    {"polyester", "polyester"},
    {"linen", "linen"},
    {"silk", "silk"},
    {"wool", "wool"},
    {"nylon", "nylon"},
    {"spandex", "spandex"},
    {"lycra", "spandex"},
    {"vải bông", "cotton"},
    {"vải polyester", "polyester"},
    {"lụa", "silk"},
    {"len", "wool"},
    {"inox", "stainless_steel"},
    {"không gỉ", "stainless_steel"},
    {"thép", "steel"},
    {"nhôm", "aluminum"},
    {"đồng", "copper"},
    {"nhựa", "plastic"},
    {"cao su", "rubber"},
    {"activated carbon", "activated_carbon"},
    {"carbon", "carbon_steel"},
    {"nitrile", "nitrile"},
    {"steel", "steel"},
    {"stainless", "stainless_steel"},
    {"aluminum", "aluminum"},
    {"aluminium", "aluminum"},
    {"copper", "copper"},
    {"plastic", "plastic"},
    {"rubber", "rubber"},
    {"carbon steel", "carbon_steel"},
    {"cast iron", "cast_iron"},
};

constexpr Text kGenderMap[] = {
    {"nam", "male"},
    {"nữ", "female"},
    {"unisex", "unisex"},
    {"male", "male"},
    {"female", "female"},
    {"men", "male"},
    {"women", "female"},
    {"men's", "male"},
    {"women's", "female"},
};

constexpr Text kCountryMap[] = {
    {"china", "China"},
    {"india", "India"},
    {"japan", "Japan"},
    {"south korea", "South Korea"},
    {"taiwan", "Taiwan"},
    {"hong kong", "Hong Kong"},
    {"vietnam", "Vietnam"},
    {"thailand", "Thailand"},
    {"malaysia", "Malaysia"},
    {"indonesia", "Indonesia"},
    {"philippines", "Philippines"},
    {"singapore", "Singapore"},
    {"myanmar", "Myanmar"},
    {"cambodia", "Cambodia"},
    {"bangladesh", "Bangladesh"},
    {"pakistan", "Pakistan"},
    {"sri lanka", "Sri Lanka"},
    {"australia", "Australia"},
    {"new zealand", "New Zealand"},
    {"germany", "Germany"},
    {"france", "France"},
    {"italy", "Italy"},
    {"spain", "Spain"},
    {"portugal", "Portugal"},
    {"netherlands", "Netherlands"},
    {"belgium", "Belgium"},
    {"poland", "Poland"},
    {"czech republic", "Czech Republic"},
    {"austria", "Austria"},
    {"switzerland", "Switzerland"},
    {"sweden", "Sweden"},
    {"denmark", "Denmark"},
    {"finland", "Finland"},
    {"norway", "Norway"},
    {"uk", "UK"},
    {"united kingdom", "UK"},
    {"ukraine", "Ukraine"},
    {"turkey", "Turkey"},
    {"russia", "Russia"},
    {"greece", "Greece"},
    {"romania", "Romania"},
    {"hungary", "Hungary"},
    {"usa", "USA"},
    {"united states", "USA"},
    {"canada", "Canada"},
    {"mexico", "Mexico"},
    {"brazil", "Brazil"},
    {"argentina", "Argentina"},
    {"colombia", "Colombia"},
    {"chile", "Chile"},
    {"peru", "Peru"},
    {"ecuador", "Ecuador"},
    {"bolivia", "Bolivia"},
    {"saudi arabia", "Saudi Arabia"},
    {"uae", "UAE"},
    {"united arab emirates", "UAE"},
    {"israel", "Israel"},
    {"iran", "Iran"},
    {"egypt", "Egypt"},
    {"south africa", "South Africa"},
    {"nigeria", "Nigeria"},
    {"ethiopia", "Ethiopia"},
    {"kenya", "Kenya"},
    {"ghana", "Ghana"},
    {"morocco", "Morocco"},
    {"tanzania", "Tanzania"},
    {"ivory coast", "Ivory Coast"},
    {"kazakhstan", "Kazakhstan"},
    {"uzbekistan", "Uzbekistan"},
};

// "m²" is written with U+00B2 SUPERSCRIPT TWO.
constexpr UnitEntry kUnitMap[] = {
    {"kg", Unit::Kg},
    {"kgs", Unit::Kg},
    {"kilogram", Unit::Kg},
    {"g", Unit::Gram},
    {"gram", Unit::Gram},
    {"tonne", Unit::Tonne},
    {"ton", Unit::Tonne},
    {"tấn", Unit::Tonne},
    {"đôi", Unit::Doi},
    {"pcs", Unit::Pcs},
    {"pc", Unit::Pcs},
    {"pieces", Unit::Pcs},
    {"piece", Unit::Pcs},
    {"cái", Unit::Cai},
    {"chiếc", Unit::Cai},
    {"bộ", Unit::Bo},
    {"sets", Unit::Sets},
    {"set", Unit::Sets},
    {"cuộn", Unit::Cuon},
    {"rolls", Unit::Rolls},
    {"roll", Unit::Rolls},
    {"tấm", Unit::Tam},
    {"sheets", Unit::Sheets},
    {"sheet", Unit::Sheets},
    {"m²", Unit::SqMeter},
    {"m2", Unit::SqMeter},
    {"cm", Unit::Cm},
    {"mm", Unit::Mm},
    {"lít", Unit::Liter},
    {"liters", Unit::Liter},
    {"litres", Unit::Liter},
    {"ml", Unit::Ml},
    {"dozens", Unit::Dozens},
    {"dozen", Unit::Dozens},
    {"tons", Unit::Tonne},
    {"drums", Unit::Drums},
    {"drum", Unit::Drums},
    {"pallets", Unit::Pallets},
    {"pallet", Unit::Pallets},
    {"cartons", Unit::Cartons},
    {"carton", Unit::Cartons},
    {"boxes", Unit::Box},
    {"box", Unit::Box},
    {"reels", Unit::Reels},
    {"reel", Unit::Reels},
    {"hundreds", Unit::Hundreds},
    {"hundred", Unit::Hundreds},
    {"thousands", Unit::Thousands},
    {"thousand", Unit::Thousands},
    {"meters", Unit::Meters},
    {"meter", Unit::Meters},
    {"metres", Unit::Meters},
    {"metre", Unit::Meters},
    {"20ft fcl", Unit::Fcl},
    {"fcl", Unit::Fcl},
};

template <class T, std::size_t N>
std::vector<T> to_vector(const T (&table)[N]) {
  return std::vector<T>(std::begin(table), std::end(table));
}

template <class Value>
std::vector<std::string_view> keys_of(const Map<Value>& map) {
  std::vector<std::string_view> keys;
  keys.reserve(map.size());
  for (const MapEntry<Value>& e : map) keys.push_back(e.key);
  return keys;
}

// clang-format on
}  // namespace

Ontology::Ontology()
    : standard_prefixes(to_vector(kStandardPrefixes)),
      size_keywords(to_vector(kSizeKeywords)),
      color_keywords(to_vector(kColorKeywords)),
      material_keywords(to_vector(kMaterialKeywords)),
      skip_phrases(to_vector(kSkipPhrases)),
      protected_phrases(to_vector(kProtectedPhrases)),
      and_words(to_vector(kAndWords)),
      or_words(to_vector(kOrWords)),
      range_words(to_vector(kRangeWords)),
      color_map(to_vector(kColorMap)),
      size_map(to_vector(kSizeMap)),
      material_map(to_vector(kMaterialMap)),
      gender_map(to_vector(kGenderMap)),
      country_map(to_vector(kCountryMap)),
      unit_map(to_vector(kUnitMap)),
      index{
          .standard_prefixes = PrefixIndex(standard_prefixes, PrefixIndex::Order::AsListed),
          .size_map = PrefixIndex(keys_of(size_map), PrefixIndex::Order::LongestFirst),
          .unit_map = PrefixIndex(keys_of(unit_map), PrefixIndex::Order::LongestFirst),
          .cascade = PrefixIndexSet(std::vector<std::vector<std::string_view>>{
              skip_phrases,
              range_words,
              and_words,
              or_words,
              size_keywords,
              color_keywords,
              material_keywords,
              protected_phrases,
              keys_of(gender_map),
              keys_of(color_map),
              keys_of(size_map),
              keys_of(material_map),
              keys_of(country_map),
          }),
      } {
  static_assert(Cascade::kCount <= PrefixIndexSet::kMaxTables);
}

const Ontology& SharedOntology::get() const {
  // Built on the first call (the language makes concurrent first calls wait
  // for one construction) and deliberately never destroyed, so that it stays
  // valid for code that runs during process exit.
  static const Ontology* const instance = new Ontology();
  return *instance;
}

}  // namespace phrasekit
