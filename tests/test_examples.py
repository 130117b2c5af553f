"""The examples run and print what they promise."""

import json
import pathlib
import subprocess
import sys

EXAMPLES = pathlib.Path(__file__).resolve().parent.parent / "examples"


def run(script, *args, stdin=""):
    return subprocess.run(
        [sys.executable, str(EXAMPLES / script), *args],
        input=stdin, capture_output=True, text=True, check=True,
    ).stdout


def test_demo_prints_every_attribute_of_both_samples():
    out = run("demo.py")
    assert "== product query" in out and "== RFQ document" in out
    assert "is_rfq: False" in out and "is_rfq: True" in out
    for field in ["chunks", "qty_max", "ambiguous", "dims", "origin", "trade_payment"]:
        assert field in out
    assert "'áo thun'" in out
    assert "trade_lead_time: '30 days'" in out


def test_to_jsonl_one_text_per_line():
    out = run("to_jsonl.py", stdin="200 pcs polo shirt red\n\n1. Cap, 5 pcs\n")
    records = [json.loads(line) for line in out.splitlines()]
    assert [r["is_rfq"] for r in records] == [False, True]
    first = records[0]["items"][0]
    assert first["qty"] == 200.0 and first["uom"] == "pcs" and first["colors"] == ["red"]
    assert records[1]["items"][0]["chunks"] == "cap"


def test_to_jsonl_documents_separated_by_blank_lines():
    text = "1. Cap, 5 pcs\n2. Hat, 3 pcs\nPayment terms: T/T\n\nmàu đỏ 10 cái áo\n"
    out = run("to_jsonl.py", "--documents", stdin=text)
    records = [json.loads(line) for line in out.splitlines()]
    assert len(records) == 2
    assert [i["index"] for i in records[0]["items"]] == [1, 2]
    assert records[0]["trade_payment"] == "T/T"
    assert records[1]["items"][0]["uom"] == "cái"
