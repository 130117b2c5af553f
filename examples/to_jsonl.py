"""Turns texts into JSON Lines with every field of the parse, for data
pipelines.

    python examples/to_jsonl.py < texts.txt
    python examples/to_jsonl.py texts.txt --documents

By default every non-empty line is one text. With --documents, texts are
separated by blank lines, so an RFQ document can span several lines.
"""

import argparse
import json
import sys

import bidsift

ITEM_FIELDS = [
    "chunks", "index", "qty", "qty_max", "uom", "colors", "sizes", "materials", "genders",
    "specs", "standards", "ambiguous", "price", "currency", "origin", "dims",
]
RESULT_FIELDS = ["is_rfq", "trade_currency", "trade_incoterm", "trade_destination",
                 "trade_lead_time", "trade_payment"]


def to_record(text):
    """The parse of `text` as a plain dict of JSON-ready values."""
    result = bidsift.parse(text)
    record = {"text": text}
    record.update({field: getattr(result, field) for field in RESULT_FIELDS})
    record["items"] = [{f: getattr(item, f) for f in ITEM_FIELDS} for item in result.items]
    return record


def split_texts(stream, documents):
    if not documents:
        for line in stream:
            line = line.rstrip("\n")
            if line.strip():
                yield line
        return
    block = []
    for line in stream:
        if line.strip():
            block.append(line.rstrip("\n"))
        elif block:
            yield "\n".join(block)
            block = []
    if block:
        yield "\n".join(block)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file", nargs="?", help="input file (default: standard input)")
    parser.add_argument("--documents", action="store_true",
                        help="texts are separated by blank lines")
    args = parser.parse_args(argv)
    stream = open(args.file, encoding="utf-8") if args.file else sys.stdin
    with stream:
        for text in split_texts(stream, args.documents):
            sys.stdout.write(json.dumps(to_record(text), ensure_ascii=False) + "\n")


if __name__ == "__main__":
    main()
