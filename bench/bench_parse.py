"""End-to-end timing of ``bidsift.parse`` from Python over the benchmark corpus.

Each case is measured with the harness of benchlib (warm-up, garbage
collector off, many repetitions of a calibrated loop) and reported as the
median time per call with the interquartile spread. Two variants of every
corpus case: ``parse`` alone, and ``parse`` followed by reading every
attribute of the result (every item attribute, the trade fields and
``trade_terms()``), which is what a real caller pays for.

    python bench/bench_parse.py            # markdown table on stdout
    python bench/bench_parse.py --json F   # also write the figures to F
"""

import argparse
import json
import operator
import sys

import benchlib

import bidsift

# Targets for the typical inputs, median time per call.
TYPICAL_QUERY_TARGET_S = 1.5e-6
TYPICAL_RFQ_TARGET_S = 20e-6

_item_attrs = operator.attrgetter(
    "chunks", "index", "qty", "qty_max", "uom", "colors", "sizes", "materials", "genders",
    "specs", "standards", "ambiguous", "price", "currency", "origin", "dims",
)
_result_attrs = operator.attrgetter(
    "is_rfq", "trade_currency", "trade_incoterm", "trade_destination", "trade_lead_time",
    "trade_payment",
)
_terms_attrs = operator.attrgetter("currency", "incoterm", "destination", "lead_time", "payment")


def read_all(result):
    """Reads every attribute of a ParseResult, its items and its trade terms
    (a query result has no trade terms: ``trade_terms()`` gives None)."""
    _result_attrs(result)
    terms = result.trade_terms()
    if terms is not None:
        _terms_attrs(terms)
    for item in result.items:
        _item_attrs(item)


def corpus_case(texts, read):
    parse = bidsift.parse
    if read:
        def run():
            for t in texts:
                read_all(parse(t))
    else:
        def run():
            for t in texts:
                parse(t)
    return run


def single_case(text, read):
    parse = bidsift.parse
    if read:
        return lambda: read_all(parse(text))
    return lambda: parse(text)


def cases():
    queries = benchlib.load_queries()
    rfqs = benchlib.load_rfqs()
    typical_query = benchlib.load_typical_query()
    typical_rfq = benchlib.load_typical_rfq()
    out = []
    for read in (False, True):
        suffix = " + read all" if read else ""
        out.append((f"queries corpus{suffix}", corpus_case(queries, read), len(queries),
                    benchlib.utf8_len(queries), None))
        out.append((f"RFQ corpus{suffix}", corpus_case(rfqs, read), len(rfqs),
                    benchlib.utf8_len(rfqs), None))
    for read in (False, True):
        suffix = " + read all" if read else ""
        out.append((f"typical query ({len(typical_query.encode())} B){suffix}",
                    single_case(typical_query, read), 1, len(typical_query.encode()),
                    TYPICAL_QUERY_TARGET_S))
        out.append((f"typical RFQ ({len(typical_rfq.encode())} B){suffix}",
                    single_case(typical_rfq, read), 1, len(typical_rfq.encode()),
                    TYPICAL_RFQ_TARGET_S))
    # The floor: argument binding, routing and an empty result.
    out.append(("empty text", single_case("", False), 1, 0, None))
    return out


def run(repetitions):
    rows = []
    for name, fn, calls, nbytes, target in cases():
        t = benchlib.measure(fn, calls=calls, repetitions=repetitions)
        row = {"case": name, "calls_per_pass": calls, "bytes_per_call": nbytes / calls,
               "target_s": target, **t.as_dict()}
        rows.append(row)
    return rows


def verdict(row):
    if row["target_s"] is None:
        return ""
    ok = row["median_s"] <= row["target_s"]
    return ("ok" if ok else "**SLOW**") + f" (≤ {benchlib.format_seconds(row['target_s'])})"


def markdown(rows):
    lines = ["| Python `bidsift.parse` | median / call | spread (IQR) | min | throughput | target |",
             "|---|---:|---:|---:|---:|---|"]
    for r in rows:
        rate = r["bytes_per_call"] / r["median_s"] if r["bytes_per_call"] else 0
        lines.append(
            f"| {r['case']} | {benchlib.format_seconds(r['median_s'])} | ±{r['spread'] * 50:.1f} % "
            f"| {benchlib.format_seconds(r['min_s'])} | {benchlib.format_rate(rate) if rate else '–'} "
            f"| {verdict(r)} |")
    return "\n".join(lines)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--json", help="write the figures to this file")
    ap.add_argument("--repetitions", type=int, default=25)
    args = ap.parse_args(argv)
    rows = run(args.repetitions)
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump(rows, f, indent=1)
    print(markdown(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main())
