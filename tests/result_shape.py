"""What every ParseResult looks like, whatever the input: helpers for the
hostile-input, thread and leak tests (also imported by their subprocesses)."""

import bidsift

NONE = type(None)
ITEM_TYPES = {
    "chunks": (str,),
    "index": (int,),
    "qty": (float, NONE),
    "qty_max": (float, NONE),
    "uom": (str, NONE),
    "colors": (list,),
    "sizes": (list,),
    "materials": (list,),
    "genders": (list,),
    "specs": (list,),
    "standards": (list,),
    "ambiguous": (list,),
    "price": (float, NONE),
    "currency": (str, NONE),
    "origin": (str, NONE),
    "dims": (list,),
}
TRADE_FIELDS = ["trade_currency", "trade_incoterm", "trade_destination", "trade_lead_time",
                "trade_payment"]
TERMS_FIELDS = ["currency", "incoterm", "destination", "lead_time", "payment"]


def check_shape(r):
    """Asserts the exact types of every attribute of `r`, the 1..n numbering
    of its items and the agreement of `trade_terms()` with the trade fields."""
    assert type(r) is bidsift.ParseResult
    assert type(r.is_rfq) is bool
    items = r.items
    assert type(items) is list
    for position, item in enumerate(items, start=1):
        assert type(item) is bidsift.ParsedItem
        for name, types in ITEM_TYPES.items():
            value = getattr(item, name)
            assert type(value) in types, (name, value)
            if type(value) is list:
                assert all(type(s) is str for s in value), (name, value)
        assert item.index == position
    trade = [getattr(r, name) for name in TRADE_FIELDS]
    assert all(type(v) in (str, NONE) for v in trade), trade
    terms = r.trade_terms()
    if all(v is None for v in trade):
        assert terms is None
    else:
        assert type(terms) is bidsift.TradeTerms
        assert [getattr(terms, name) for name in TERMS_FIELDS] == trade
    if not r.is_rfq:
        assert trade == [None] * 5


def snapshot(r):
    """Every attribute of `r` and of its items, as plain comparable values."""
    return (
        r.is_rfq,
        tuple(getattr(r, name) for name in TRADE_FIELDS),
        tuple(
            tuple(
                tuple(v) if type(v) is list else v
                for v in (getattr(item, name) for name in ITEM_TYPES)
            )
            for item in r.items
        ),
    )
