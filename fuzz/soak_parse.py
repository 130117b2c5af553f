"""Soak test of bidsift.parse: a large number of calls (a million by default),
every attribute of every result read, with RSS and traced Python memory
printed at checkpoints. Exits non-zero if either grew past its bound after
the warm-up.

    python fuzz/soak_parse.py [calls]
"""

import gc
import os
import sys
import time
import tracemalloc

import bidsift

TEXTS = [
    "200 pcs polo shirt OR t-shirt, red, size M đến XL",
    "Tôi cần mua 500 cái áo thun nam cotton màu đỏ size M đến XL",
    "I need 200 pcs polo shirt, cotton, navy and 300 pcs t-shirt",
    "100-200 pcs stainless steel bolt iso 9001, pipe dn50 đến dn100, from china",
    "Dear supplier,\n1. **Cotton T-shirt**, white, 500 pcs, target 3 USD\n2. Cap, 200 pcs\n"
    "Payment terms: T/T",
    "- Polo shirt 500 pcs\n• Cap 200 pcs\nLead time: 30 days",
    "1. Máy bơm, xuất xứ Đức, 5 bộ, giá mục tiêu 50.000 VND\\n2. Ống thép 10 tấn\nThanh toán: L/C",
    "Terms: FOB, CIF Hamburg\nDeliver to Hanoi.\n1. Motor 5.5kW, 380V, 50Hz, 20 sets",
    "",
]
ITEM_FIELDS = ["chunks", "index", "qty", "qty_max", "uom", "colors", "sizes", "materials",
               "genders", "specs", "standards", "ambiguous", "price", "currency", "origin", "dims"]
RESULT_FIELDS = ["is_rfq", "trade_currency", "trade_incoterm", "trade_destination",
                 "trade_lead_time", "trade_payment"]
TERMS_FIELDS = ["currency", "incoterm", "destination", "lead_time", "payment"]

RSS_BOUND = 4 * 1024 * 1024
TRACED_BOUND = 64 * 1024


def rss():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def read_everything(r):
    values = [getattr(r, name) for name in RESULT_FIELDS]
    terms = r.trade_terms()
    if terms is not None:
        values += [getattr(terms, name) for name in TERMS_FIELDS]
    for item in r.items:
        values += [getattr(item, name) for name in ITEM_FIELDS]
    return len(values)


def main():
    calls = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
    warmup = 10_000
    for i in range(warmup):
        read_everything(bidsift.parse(TEXTS[i % len(TEXTS)]))
    gc.collect()
    tracemalloc.start()
    rss0, traced0 = rss(), tracemalloc.get_traced_memory()[0]
    start = time.perf_counter()
    reads = 0
    checkpoint = max(calls // 10, 1)
    for i in range(1, calls + 1):
        reads += read_everything(bidsift.parse(TEXTS[i % len(TEXTS)]))
        if i % checkpoint == 0:
            gc.collect()
            print(f"{i:>9} calls  rss {rss() - rss0:+9d} B  traced "
                  f"{tracemalloc.get_traced_memory()[0] - traced0:+8d} B  "
                  f"{time.perf_counter() - start:6.1f} s", flush=True)
    gc.collect()
    rss_growth = rss() - rss0
    traced_growth = tracemalloc.get_traced_memory()[0] - traced0
    print(f"{calls} calls, {reads} attribute reads: rss {rss_growth:+d} B, "
          f"traced {traced_growth:+d} B")
    ok = rss_growth < RSS_BOUND and traced_growth < TRACED_BOUND
    print("flat" if ok else "GREW")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
