"""A small typed client of bidsift, checked with `mypy --strict`."""

import bidsift


def quantities(text: str) -> list[tuple[int, float | None, str | None]]:
    result: bidsift.ParseResult = bidsift.parse(text)
    return [(item.index, item.qty, item.uom) for item in result.items]


def payment_terms(text: str) -> str | None:
    terms = bidsift.parse(text).trade_terms()
    return None if terms is None else terms.payment


if __name__ == "__main__":
    print(quantities("200 pcs polo shirt, 300 pcs cap"))
    print(payment_terms("1. Cap, 5 pcs\nPayment terms: T/T"))
