"""Parses a sample product query and a sample RFQ document and prints every
attribute of the results."""

import sys

import bidsift

SAMPLE_QUERY = "Tôi cần mua 500 cái áo thun nam cotton màu đỏ size M đến XL"

SAMPLE_RFQ = """Dear supplier,
Please quote for the following:
1. **Cotton T-shirt**, white, size M, 500 pcs, target 3 USD
2. Steel pipe DN50 schedule 40, 2,000 meters (China)
3. Máy bơm 5.5kW, 380V, 20 cái, xuất xứ Đức
Delivery: FOB Haiphong, Vietnam
Lead time: 30 days
Payment terms: 30% T/T in advance, 70% before shipment.
"""

ITEM_FIELDS = [
    "chunks", "index", "qty", "qty_max", "uom", "colors", "sizes", "materials", "genders",
    "specs", "standards", "ambiguous", "price", "currency", "origin", "dims",
]
TRADE_FIELDS = ["trade_currency", "trade_incoterm", "trade_destination", "trade_lead_time",
                "trade_payment"]


def show(title, text, out=sys.stdout):
    result = bidsift.parse(text)
    print(f"== {title}", file=out)
    for line in text.strip().splitlines():
        print(f"   | {line}", file=out)
    print(f"is_rfq: {result.is_rfq}", file=out)
    for field in TRADE_FIELDS:
        print(f"{field}: {getattr(result, field)!r}", file=out)
    print(f"trade_terms(): {'None' if result.trade_terms() is None else 'TradeTerms'}", file=out)
    print(f"items: {len(result.items)}", file=out)
    for item in result.items:
        print(f"  item {item.index}", file=out)
        for field in ITEM_FIELDS:
            print(f"    {field:<10} {getattr(item, field)!r}", file=out)
    print(file=out)


def main():
    show("product query", SAMPLE_QUERY)
    show("RFQ document", SAMPLE_RFQ)


if __name__ == "__main__":
    main()
