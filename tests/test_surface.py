"""The module's surface: contents, argument binding, routing, result classes."""

import inspect
import subprocess
import sys
import textwrap

import pytest

import bidsift

PARSE_DOC = (
    "Parse a raw query or RFQ document.\n"
    "Routes automatically: simple product queries return one ParsedItem per group,\n"
    "RFQ documents return one ParsedItem per line item."
)
ITEM_FIELDS = [
    "chunks", "index", "qty", "qty_max", "uom", "colors", "sizes", "materials", "genders",
    "specs", "standards", "ambiguous", "price", "currency", "origin", "dims",
]
TERMS_FIELDS = ["currency", "incoterm", "destination", "lead_time", "payment"]
RESULT_FIELDS = [
    "items", "is_rfq", "trade_currency", "trade_incoterm", "trade_destination",
    "trade_lead_time", "trade_payment",
]


def test_module_holds_exactly_the_four_public_names_in_order():
    public = [k for k in vars(bidsift) if not k.startswith("__")]
    assert public == ["ParsedItem", "TradeTerms", "ParseResult", "parse"]
    assert bidsift.__doc__ == ""


def test_parse_signature_and_docstring():
    assert str(inspect.signature(bidsift.parse)) == "(query)"
    assert bidsift.parse.__doc__ == PARSE_DOC
    assert bidsift.parse.__text_signature__ == "(query)"


def test_repeated_initialisation_returns_the_same_module():
    first = sys.modules.pop("bidsift")
    try:
        import bidsift as again

        assert again is first
    finally:
        sys.modules["bidsift"] = first


def test_second_subinterpreter_is_refused():
    code = textwrap.dedent(
        """
        import bidsift, _xxsubinterpreters as interpreters
        sub = interpreters.create()
        try:
            interpreters.run_string(sub, "import bidsift")
        except Exception as e:
            print(type(e).__name__, e)
        else:
            print("imported")
        """
    )
    out = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True)
    assert "ImportError" in out.stdout


@pytest.mark.parametrize(
    "call",
    [
        lambda: bidsift.parse(),
        lambda: bidsift.parse("a", "b"),
        lambda: bidsift.parse(text="a"),
        lambda: bidsift.parse("a", query="b"),
        lambda: bidsift.parse(query="a", other="b"),
        lambda: bidsift.parse(b"bytes"),
        lambda: bidsift.parse(5),
        lambda: bidsift.parse(None),
        lambda: bidsift.parse(query=b"x"),
    ],
)
def test_argument_errors_raise_type_error(call):
    with pytest.raises(TypeError):
        call()


def test_type_error_names_the_argument_and_the_type():
    with pytest.raises(TypeError, match=r"'query'.*'bytes'.*cannot be converted"):
        bidsift.parse(b"x")


def test_keyword_and_str_subclass_are_accepted():
    class Text(str):
        pass

    assert bidsift.parse(query="1. nuts").is_rfq is True
    assert bidsift.parse(Text("1. nuts")).is_rfq is True


def test_lone_surrogate_raises_the_interpreters_encoding_error():
    with pytest.raises(UnicodeEncodeError):
        bidsift.parse("ab\ud800")


DETECTION = [
    ("", False),
    ("   ", False),
    ("bolts\\n1. nuts", True),
    ("1.5 kg copper wire", False),
    ("1. copper wire", True),
    ("1) copper wire", True),
    ("  - copper wire", True),
    ("• copper wire", True),
    ("· copper wire", True),
    ("* copper wire", True),
    ("t-shirt - red", False),
    ("Target 500 USD/ton", True),
    ("PAYMENT TERMS: T/T", True),
    ("payment term net 30", True),
    ("targets 5", False),
    ("target  5", True),
    ("leadtime", True),
    ("Lead-time", True),
    ("lead time", True),
    ("misleadtime", False),
    ("\u0661. x", True),
    ("payment terminal", False),
    ("lead  time", False),
    ("red shirt", False),
    ("x\n\n  2) y", True),
    ("x\\t1. y", False),
]


@pytest.mark.parametrize("text,is_rfq", DETECTION)
def test_detection(text, is_rfq):
    assert bidsift.parse(text).is_rfq is is_rfq


def test_empty_and_blank_texts_give_an_empty_query_result():
    for text in ["", "   ", "\n\t"]:
        r = bidsift.parse(text)
        assert r.is_rfq is False
        assert r.items == []
        assert r.trade_terms() is None


@pytest.mark.parametrize(
    "text,expected_chunks",
    [
        # A literal backslash-t becomes a tab, which separates words like a space.
        ("red\\tshirt", "shirt"),
        # Backslash-r is left alone.
        ("pipe\\rvalve", "pipe\\rvalve"),
    ],
)
def test_unescaping_of_queries(text, expected_chunks):
    items = bidsift.parse("5 pcs " + text).items
    assert items[0].chunks == expected_chunks


def _one_item(text):
    """The one RFQ item of a document whose first line is a numbered marker."""
    items = bidsift.parse(text).items
    assert len(items) == 1
    return items[0]


@pytest.mark.parametrize(
    "document,chunks",
    [
        # Two backslashes and "n": one backslash stays, the "\n" is a line break.
        ("1. a\\\\nb", "a\\ b"),
        # Two backslashes and "t": one backslash and a tab.
        ("1. a\\\\tb", "a\\ b"),
    ],
)
def test_escaped_backslash_before_n_or_t_still_unescapes(document, chunks):
    assert _one_item(document).chunks == chunks


def _result_with_items():
    return bidsift.parse("1. Polo shirt, red, 500 pcs\n2. Cap\nPayment terms: T/T")


@pytest.mark.parametrize(
    "cls,fields",
    [
        (bidsift.ParsedItem, ITEM_FIELDS),
        (bidsift.TradeTerms, TERMS_FIELDS),
        (bidsift.ParseResult, RESULT_FIELDS),
    ],
)
def test_class_shape(cls, fields):
    declared = [k for k, v in vars(cls).items() if inspect.isgetsetdescriptor(v)]
    assert declared == fields
    for name in fields:
        assert vars(cls)[name].__doc__ is None
    assert cls.__name__ == cls.__qualname__
    assert cls.__module__ == "builtins"
    assert repr(cls) == f"<class '{cls.__name__}'>"
    with pytest.raises(TypeError, match="No constructor defined"):
        cls()
    with pytest.raises(TypeError):

        class Sub(cls):  # noqa: F841
            pass

    with pytest.raises((TypeError, AttributeError)):
        cls.extra = 1


def test_class_docstrings():
    assert bidsift.ParsedItem.__doc__ == (
        "One parsed item \u2014 either a group from a simple query or a line item from an RFQ.\n"
        "chunks  = C1 : product noun phrases joined with connectors (\"polo shirt OR t-shirt\")\n"
        "all other fields = S1 : ontology-matched and normalised specs (trusted, no SLM needed)"
    )
    assert bidsift.TradeTerms.__doc__ == (
        "Trade terms extracted from an RFQ document (None fields = not found)."
    )
    assert bidsift.ParseResult.__doc__ == (
        "Top-level result returned by parse().\n"
        "is_rfq = true when the input was routed through the RFQ pipeline."
    )
    method = bidsift.ParseResult.trade_terms
    assert method.__doc__ == "Convenience: returns a TradeTerms object if any trade term was found."
    assert method.__text_signature__ == "($self)"


def test_instances_are_immutable_and_slotless():
    r = _result_with_items()
    item = r.items[0]
    terms = r.trade_terms()
    for obj, name in [(item, "qty"), (r, "is_rfq"), (terms, "payment")]:
        with pytest.raises(AttributeError):
            setattr(obj, name, 2)
        with pytest.raises(AttributeError):
            delattr(obj, name)
        with pytest.raises(AttributeError):
            obj.extra = 1
        assert not hasattr(obj, "__dict__")
        with pytest.raises(TypeError):
            import weakref

            weakref.ref(obj)


def test_reads_give_fresh_objects():
    r = _result_with_items()
    first, second = r.items, r.items
    assert first is not second
    assert first[0] is not second[0]
    assert [i.chunks for i in first] == [i.chunks for i in second]
    colors = first[0].colors
    colors.append("mutated")
    assert "mutated" not in r.items[0].colors
    assert first[0] != second[0]  # equality is identity


def test_attribute_types():
    r = _result_with_items()
    item = r.items[0]
    assert type(item.qty) is float and item.qty == 500.0
    assert type(item.index) is int and item.index == 1
    assert item.qty_max is None
    assert isinstance(item.chunks, str)
    assert r.items[1].chunks == "cap payment terms: t/t"
    assert type(r.is_rfq) is bool


def test_trade_terms_view():
    r = _result_with_items()
    terms = r.trade_terms()
    assert isinstance(terms, bidsift.TradeTerms)
    assert (terms.currency, terms.incoterm, terms.destination, terms.lead_time, terms.payment) == (
        None, None, None, None, "T/T",
    )
    assert r.trade_terms() is not terms
    # A present empty text counts as found.
    empty = bidsift.parse("1. Bolts\nPayment: .")
    assert empty.trade_payment == ""
    assert empty.trade_terms().payment == ""
    assert bidsift.parse("1. Bolts").trade_terms() is None
    with pytest.raises(TypeError):
        bidsift.ParseResult.trade_terms(r.items[0])
