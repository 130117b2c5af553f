"""Queries and RFQ documents end to end through bidsift.parse."""

import unicodedata

import pytest

import bidsift

FIELDS = [
    "chunks", "index", "qty", "qty_max", "uom", "colors", "sizes", "materials", "genders",
    "specs", "standards", "ambiguous", "price", "currency", "origin", "dims",
]
EMPTY = {"qty": None, "qty_max": None, "uom": None, "colors": [], "sizes": [], "materials": [],
         "genders": [], "specs": [], "standards": [], "ambiguous": [], "price": None,
         "currency": None, "origin": None, "dims": [], "chunks": ""}


def items(text):
    return [{f: getattr(i, f) for f in FIELDS} for i in bidsift.parse(text).items]


def item(index, **fields):
    want = dict(EMPTY, index=index)
    want.update(fields)
    return want


QUERIES = [
    ("I need 200 pcs polo shirt, cotton, navy and 300 pcs t-shirt", [
        item(1, qty=200.0, uom="pcs", chunks="polo shirt", materials=["cotton"], colors=["navy"]),
        item(2, qty=300.0, uom="pcs", chunks="t-shirt"),
    ]),
    ("Tôi cần mua 500 cái áo thun nam cotton màu đỏ size M đến XL", [
        item(1, qty=500.0, uom="cái", chunks="áo thun", genders=["male"], materials=["cotton"],
             colors=["red"], sizes=["M", "L", "XL"]),
    ]),
    ("200 pcs polo shirt OR t-shirt, red, size M đến XL", [
        item(1, qty=200.0, uom="pcs", chunks="polo shirt OR t-shirt", colors=["red"],
             sizes=["M", "L", "XL"]),
    ]),
    ("polo shirt, 200", [
        item(1, chunks="polo shirt"),
        item(2, qty=200.0),
    ]),
    ("500 pcs bolt 2.37 mm", [item(1, qty=500.0, uom="pcs", chunks="bolt", specs=["2.4"])]),
    ("cotton shirt from china", [
        item(1, chunks="shirt from", materials=["cotton"], ambiguous=["China"]),
    ]),
    ("red cotton", []),
    # Numbers as buyers write them.
    ("1,000,000 pcs bolts", [item(1, qty=1000000.0, uom="pcs", chunks="bolts")]),
    ("1,5 kg coffee", [item(1, qty=1.5, uom="kg", chunks="coffee")]),
    ("2,000 pcs cap", [item(1, qty=2000.0, uom="pcs", chunks="cap")]),
    ("1.500 cái áo", [item(1, qty=1500.0, uom="cái", chunks="áo")]),
    ("2.000 đôi giày", [item(1, qty=2000.0, uom="đôi", chunks="giày")]),
    ("2.500 kg rice", [item(1, qty=2.5, uom="kg", chunks="rice")]),
    # Hyphen ranges.
    ("100-200 pcs áo", [item(1, qty=100.0, qty_max=200.0, uom="pcs", chunks="áo")]),
    ("500 - 1000 cái áo", [item(1, qty=500.0, qty_max=1000.0, uom="cái", chunks="áo")]),
    ("50 pcs shirt size S-XL", [
        item(1, qty=50.0, uom="pcs", chunks="shirt", sizes=["S", "M", "L", "XL"]),
    ]),
    ("100 đôi giày size 38-42", [
        item(1, qty=100.0, uom="đôi", chunks="giày", sizes=["38", "39", "40", "41", "42"]),
    ]),
    ("10 pcs t-shirt a4-b5", [item(1, qty=10.0, uom="pcs", chunks="t-shirt a4-b5")]),
    # Words that merely begin with a standard's prefix.
    ("500 pcs isolation gown", [item(1, qty=500.0, uom="pcs", chunks="isolation gown")]),
    ("20 pcs dining table", [item(1, qty=20.0, uom="pcs", chunks="dining table")]),
    ("bolt iso9001 din-933 5 pcs", [
        item(1, qty=5.0, uom="pcs", chunks="bolt", standards=["ISO9001", "DIN-933"]),
    ]),
]


@pytest.mark.parametrize("text,want", QUERIES)
def test_queries(text, want):
    assert items(text) == want
    assert bidsift.parse(text).is_rfq is False


def test_overview_document_end_to_end():
    doc = ("Dear supplier,\n1. **Cotton T-shirt**, white, 500 pcs, target 3 USD\n"
           "2. Cap, 200 pcs\nPayment terms: T/T")
    r = bidsift.parse(doc)
    assert r.is_rfq is True
    assert items(doc) == [
        item(1, qty=500.0, uom="pcs", chunks="t-shirt", materials=["cotton"], colors=["white"],
             price=3.0, currency="USD"),
        item(2, qty=200.0, uom="pcs", chunks="cap payment terms: t/t", currency="USD"),
    ]
    assert (r.trade_currency, r.trade_incoterm, r.trade_destination, r.trade_lead_time,
            r.trade_payment) == ("USD", None, None, None, "T/T")


RFQ_ITEMS = [
    ("1. Steel pipe, target 1,250.50 USD/pc", {"price": 1250.5, "currency": "USD",
                                                "chunks": "pipe"}),
    ("1. Gạo, giá mục tiêu 50.000 VND", {"price": 50000.0, "currency": "VND"}),
    ("1. Cable, target 1.200 VND", {"price": 1200.0, "currency": "VND"}),
    ("1. Cable, target 50.000 USD", {"price": 50.0, "currency": "USD"}),
    ("1. Cà phê, giá mục tiêu 7,5 USD", {"price": 7.5}),
    ("1. Coffee 1,5 kg", {"qty": 1.5, "uom": "kg"}),
    ("1. Thép 2,25 tấn", {"qty": 2.25, "uom": "tonnes"}),
    ("1. Giấy, số lượng 3.000 thùng", {"qty": 3000.0, "uom": "cartons"}),
    ("1. 3 bóng đèn", {"qty": None, "uom": None, "chunks": "bóng đèn"}),
    ("1. 10 tấn thép", {"qty": 10.0, "uom": "tonnes", "materials": ["steel"]}),
    ("1. Máy đúc, xuất xứ Pháp", {"origin": "Pháp", "chunks": "máy đúc"}),
    ("1. Máy bơm, xuất xứ Đức", {"origin": "Germany"}),
    ("1. Áo, xuất xứ hàng Trung Quốc", {"origin": "China"}),
    ("1. Steel pipe (China)", {"origin": "China", "chunks": "pipe"}),
    ("1. Máy bơm (Đức, bảo hành 12 tháng)", {"origin": "Germany"}),
    ("1. Motor 5.5kW, 380V, 50Hz", {"dims": ["5.5kw", "380v", "50hz"], "chunks": "motor"}),
    ("1. Tank 1,000,000 mm", {"dims": ["1,000,000 mm"], "chunks": "tank"}),
]


@pytest.mark.parametrize("doc,fields", RFQ_ITEMS)
def test_rfq_item_fields(doc, fields):
    (got,) = items(doc)
    for name, value in fields.items():
        assert got[name] == value, name


@pytest.mark.parametrize(
    "doc,lead_time,payment",
    [
        ("1. Cap\nLead time: 2.5 weeks", "2.5 weeks", None),
        ("1. Cap\nLead time: 30 days. Thanks", "30 days", None),
        ("1. Cap\nPayment: 30% deposit, 2.5% fee. Thanks", None, "30% deposit, 2.5% fee"),
        ("1. Cap\nThanh toán: L/C", None, "L/C"),
    ],
)
def test_trade_term_values(doc, lead_time, payment):
    r = bidsift.parse(doc)
    assert (r.trade_lead_time, r.trade_payment) == (lead_time, payment)


def test_item_without_group_keeps_its_place():
    # Trailing points are stripped, so the first item has no words and no group.
    r = bidsift.parse("1. ...\n2. Cap, 5 pcs")
    assert [(i.index, i.chunks, i.qty) for i in r.items] == [(1, "", None), (2, "cap", 5.0)]


def test_rfq_without_items_and_the_empty_document():
    r = bidsift.parse("Payment terms: T/T")
    assert r.is_rfq is True and r.items == [] and r.trade_payment == "T/T"


@pytest.mark.parametrize(
    "text",
    [
        "Tôi cần mua 500 cái áo thun nam cotton màu đỏ size M đến XL",
        "1. Máy bơm, xuất xứ Đức, 20 cái\n2. Áo thun màu đỏ, 300 bộ",
        "áo thun màu đỏ",
    ],
)
def test_decomposed_text_reads_like_its_composed_form(text):
    nfd = unicodedata.normalize("NFD", text)
    assert nfd != text
    assert items(nfd) == items(text)
