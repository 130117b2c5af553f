"""Hostile input from Python: any str value gives a well-formed result (or the
interpreter's encoding error for lone surrogates), huge texts complete, and
canonically equivalent texts give identical results."""

import unicodedata

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st
from result_shape import check_shape, snapshot

import bidsift

# Pieces that steer the recognisers: quantities and units, connectors,
# markers, trade keywords, escapes, Vietnamese letters (precomposed and
# decomposed), combining marks, length-changing case mappings, controls.
PIECES = [
    "200 pcs ", "1,5 kg", "100-200", "đến", " và ", " or ", ", ", "/", "size m", "xl",
    "màu đỏ", "áo thun nam", "cotton", "iso 9001", "dn50", "from china", "1. ", "2) ", "- ",
    "• ", "· ", "* ", "\n", "\r\n", "\\n", "\\t", "\\\\n", "target 3 USD",
    "giá mục tiêu 50.000 VND", "Payment terms: T/T", "Lead time: 30 days.", "FOB Haiphong",
    "Deliver to Hanoi.",
    "xuất xứ Đức", "(China)", "**bold**", "5.5kW, 380V", "Product: ", "qty: TBD",
    "a\u0301", "e\u0302\u0301", "\u1ea1", "\u0301\u0301", "\u0130", "\u212a", "\u00df", "\u03a3",
    "\ufb01", "\u0000", "\u0007", "\u0085", "\u00a0", "\u2028", "\u200b", "\ufeff", "\ufffd",
    "\u0661. ", "\uff11\uff12", "\U0001f600", "\U000e0001", "\U0010ffff",
]

# A code point from a plane drawn uniformly, so that every plane is reached.
any_plane_char = st.integers(0, 16).flatmap(
    lambda plane: st.integers(plane << 16, (plane << 16) | 0xFFFF)
).map(chr)

# Every code point, surrogates included.
every_char = st.characters(exclude_categories=())

hostile_text = st.lists(
    st.one_of(st.sampled_from(PIECES), every_char, any_plane_char,
              st.text(every_char, max_size=8)),
    max_size=40,
).map("".join)

# As above without surrogates: texts that can be parsed.
encodable_text = st.lists(
    st.one_of(st.sampled_from(PIECES), st.characters(), any_plane_char.filter(
        lambda c: not 0xD800 <= ord(c) <= 0xDFFF)),
    max_size=40,
).map("".join)

HOSTILE = settings(max_examples=300, deadline=None, suppress_health_check=[HealthCheck.too_slow])


def has_lone_surrogate(text):
    return any(0xD800 <= ord(c) <= 0xDFFF for c in text)


@HOSTILE
@given(hostile_text)
def test_any_str_gives_a_well_formed_result_or_the_encoding_error(text):
    if has_lone_surrogate(text):
        with pytest.raises(UnicodeEncodeError):
            bidsift.parse(text)
    else:
        r = bidsift.parse(text)
        check_shape(r)
        assert snapshot(bidsift.parse(text)) == snapshot(r)


def test_surrogates_anywhere_raise_the_encoding_error():
    for text in ["\ud800", "\udfff", "a\ud83d\ude00b", "1. Polo\n\udc80", "\ud7ff\ud800"]:
        with pytest.raises(UnicodeEncodeError) as caught:
            bidsift.parse(text)
        assert type(caught.value) is UnicodeEncodeError


@HOSTILE
@given(st.one_of(st.binary(), st.integers(), st.floats(), st.none(), st.lists(st.text()),
                 st.binary().map(bytearray), st.tuples(st.text())))
def test_non_str_raises_exactly_type_error(value):
    with pytest.raises(TypeError) as caught:
        bidsift.parse(value)
    assert type(caught.value) is TypeError


MIB = 1 << 20


@pytest.mark.parametrize(
    "unit,check",
    [
        # One 16 MiB word: a single product phrase, lower-cased.
        ("Ab", lambda r, n: [i.chunks for i in r.items] == ["ab" * (n // 2)]),
        # The same group again and again: one group per repetition.
        ("200 pcs " + "polo shirt " * 90 + ", ",
         lambda r, n: len(r.items) == n // 1000
         and {(i.qty, i.uom, i.chunks) for i in r.items}
         == {(200.0, "pcs", " ".join(["polo shirt"] * 90))}),
    ],
    ids=["one_word", "repeated_groups"],
)
def test_a_16_mib_text_completes(unit, check):
    text = unit * (16 * MIB // len(unit))
    r = bidsift.parse(text)
    assert r.is_rfq is False
    assert check(r, len(text))


def forms(text):
    return {
        "as given": text,
        "NFC": unicodedata.normalize("NFC", text),
        "NFD": unicodedata.normalize("NFD", text),
    }


@HOSTILE
@given(encodable_text)
def test_canonically_equivalent_texts_give_identical_results(text):
    results = {name: snapshot(bidsift.parse(t)) for name, t in forms(text).items()}
    assert results["NFC"] == results["NFD"] == results["as given"]


@pytest.mark.parametrize(
    "text",
    [
        "Tôi cần mua 500 cái áo thun nam cotton màu đỏ size M đến XL",
        "1. Máy bơm, xuất xứ Đức, 5 bộ, giá mục tiêu 50.000 VND\n"
        "2. Ống thép 10 tấn\nThanh toán: L/C",
        "quần jean nữ size 28 đến 32, 1000 đôi",
        # An escape next to a letter that composes with a following mark.
        "5 pcs a\\n\u0303b",
    ],
)
def test_decomposed_vietnamese_reads_like_precomposed(text):
    nfc, nfd = (unicodedata.normalize(f, text) for f in ("NFC", "NFD"))
    assert nfc != nfd
    assert snapshot(bidsift.parse(nfd)) == snapshot(bidsift.parse(nfc))
    assert bidsift.parse(nfc).items
