"""Threads and leaks: racing first calls from many Python threads give the
single-threaded results; many calls, repeated imports and refused
sub-interpreters keep memory flat; returned objects carry exact reference
counts."""

import gc
import json
import os
import subprocess
import sys
import textwrap
import tracemalloc

from result_shape import ITEM_TYPES, TERMS_FIELDS, TRADE_FIELDS

import bidsift

TESTS_DIR = os.path.dirname(os.path.abspath(__file__))

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

# Runs in a fresh interpreter: `bidsift` is imported but not yet called, so
# the threads race the first call (and the first use of every global).
RACE = textwrap.dedent(
    """
    import json, sys, threading
    sys.path.insert(0, {tests_dir!r})
    sys.setswitchinterval(1e-6)
    import bidsift
    from result_shape import snapshot
    texts = json.loads(sys.argv[1])
    threads = int(sys.argv[2])
    barrier = threading.Barrier(max(threads, 1))
    results = [None] * threads

    def work(k):
        barrier.wait()
        # Each thread starts at its own text, so different routes go first.
        order = [(k + i) % len(texts) for i in range(len(texts))]
        out = [None] * len(texts)
        for i in order:
            out[i] = repr(snapshot(bidsift.parse(texts[i])))
        results[k] = out

    if threads:
        pool = [threading.Thread(target=work, args=(k,)) for k in range(threads)]
        for t in pool:
            t.start()
        for t in pool:
            t.join()
    else:
        results = [[repr(snapshot(bidsift.parse(t))) for t in texts]]
    print(json.dumps(results))
    """
).format(tests_dir=TESTS_DIR)


def run_fresh(script, *args):
    """Runs `script` in a new interpreter and returns what it printed as JSON."""
    out = subprocess.run([sys.executable, "-c", script, *args], capture_output=True, text=True,
                         timeout=300)
    assert out.returncode == 0, out.stderr
    return json.loads(out.stdout)


def test_sixteen_threads_racing_the_first_call_match_a_single_threaded_run():
    (single,) = run_fresh(RACE, json.dumps(TEXTS), "0")
    raced = run_fresh(RACE, json.dumps(TEXTS), "16")
    assert len(raced) == 16
    for per_thread in raced:
        assert per_thread == single


def rss_bytes():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def read_everything(r):
    """Reads every attribute of a result and of its items and trade terms."""
    values = [r.is_rfq, *(getattr(r, name) for name in TRADE_FIELDS)]
    terms = r.trade_terms()
    if terms is not None:
        values += [getattr(terms, name) for name in TERMS_FIELDS]
    for item in r.items:
        values += [getattr(item, name) for name in ITEM_TYPES]
    return values


UNDER_ASAN = "libasan" in os.environ.get("LD_PRELOAD", "")
CALLS = 100_000


def test_many_calls_keep_memory_flat():
    def burst(n):
        for i in range(n):
            read_everything(bidsift.parse(TEXTS[i % len(TEXTS)]))

    burst(2_000)  # every global built, allocator warmed up
    gc.collect()
    rss_before = rss_bytes()
    burst(CALLS // 2)
    gc.collect()
    rss_after = rss_bytes()

    tracemalloc.start()
    try:
        burst(1_000)
        gc.collect()
        traced_before = tracemalloc.get_traced_memory()[0]
        burst(CALLS // 2)
        gc.collect()
        traced_after = tracemalloc.get_traced_memory()[0]
    finally:
        tracemalloc.stop()

    # A leak of even one small object per call would show as megabytes.
    assert traced_after - traced_before < 64 * 1024
    if not UNDER_ASAN:  # ASan's quarantine holds freed memory back
        assert rss_after - rss_before < 2 * 1024 * 1024


def refused(*args, **kwargs):
    """Whether `parse(*args, **kwargs)` raised an argument or encoding error;
    the exception is dropped before returning, so it holds nothing."""
    try:
        bidsift.parse(*args, **kwargs)
    except (TypeError, UnicodeEncodeError):
        return True
    return False


def check_fresh_references(text):
    """Parses `text` and asserts that every object read off the result is
    held by its reader alone."""
    r = bidsift.parse(text)
    # Held by `r` and by getrefcount's argument.
    assert sys.getrefcount(r) == 2
    items = r.items
    assert sys.getrefcount(items) == 2
    assert items
    for item in items:
        # The list, the loop variable and the argument.
        assert sys.getrefcount(item) == 3
        for name in ("chunks", "colors", "sizes", "dims", "specs", "qty"):
            value = getattr(item, name)
            # None and the interpreter's cached one-character strings are shared.
            if value is not None and not (type(value) is str and len(value) < 2):
                assert sys.getrefcount(value) == 2, name
            del value
    terms = r.trade_terms()
    if terms is not None:
        assert sys.getrefcount(terms) == 2
        payment = terms.payment
        assert sys.getrefcount(payment) == 2


def test_reference_counts_are_exact():
    texts = ["200 pcs polo shirt, red, size M đến XL", TEXTS[4]]
    shared = [None, True, False, bidsift.ParseResult, bidsift.ParsedItem, bidsift.TradeTerms,
              *texts]

    def calls(n):
        for _ in range(n):
            for text in texts:
                check_fresh_references(text)
            assert refused(query=b"bytes") and refused(query="x\ud800")

    calls(10)
    gc.collect()
    before = [sys.getrefcount(o) for o in shared]
    calls(2_000)
    gc.collect()
    # None, the booleans, the classes and the arguments end where they began.
    assert [sys.getrefcount(o) for o in shared] == before


def test_failing_calls_release_their_argument():
    values = [b"bytes" * 3, bytearray(b"abc"), 12345678901234567890, "ab\udc80cd" * 2]
    before = [sys.getrefcount(v) for v in values]
    for _ in range(1_000):
        for v in values:
            assert refused(v) and refused(query=v)
    del v
    gc.collect()
    assert [sys.getrefcount(v) for v in values] == before


# Measures the growth of RSS and of traced Python memory over `rounds`
# repetitions of `step`, after a warm-up; prints both as JSON. Tracing is
# optional: tracemalloc does not survive sub-interpreters being created.
GROWTH = textwrap.dedent(
    """
    import gc, json, os, sys, tracemalloc
    import bidsift

    def rss():
        with open("/proc/self/statm") as f:
            return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")

    {setup}

    def measure(rounds):
        for _ in range(20):
            step()
        gc.collect()
        if trace:
            tracemalloc.start()
        r0, t0 = rss(), tracemalloc.get_traced_memory()[0]
        for _ in range(rounds):
            step()
        gc.collect()
        r1, t1 = rss(), tracemalloc.get_traced_memory()[0]
        tracemalloc.stop()
        return r1 - r0, t1 - t0

    trace = sys.argv[2] == "trace"
    print(json.dumps(measure(int(sys.argv[1]))))
    """
)

REIMPORT = """
first = bidsift
first_refs = sys.getrefcount(first)

def step():
    sys.modules.pop("bidsift")
    import bidsift as again
    assert again is first
    again.parse("200 pcs shirt")
    del again
    assert sys.getrefcount(first) == first_refs
"""

SUBINTERPRETER = """
import _xxsubinterpreters as interpreters

def step():
    sub = interpreters.create()
    try:
        interpreters.run_string(sub, {code!r})
    except interpreters.RunFailedError as e:
        assert "ImportError" in str(e), e
    else:
        assert {code!r} == "pass", "the second interpreter imported bidsift"
    finally:
        interpreters.destroy(sub)
"""


def growth(setup, rounds, trace=True):
    return run_fresh(GROWTH.format(setup=setup), str(rounds), "trace" if trace else "rss")


def test_repeated_import_returns_the_same_module_and_leaks_nothing():
    rss, traced = growth(REIMPORT, 2_000)
    assert traced < 64 * 1024
    if not UNDER_ASAN:
        assert rss < 2 * 1024 * 1024


def test_refused_second_subinterpreter_leaks_nothing_beyond_an_empty_one():
    rounds = 100
    rss_empty, _ = growth(SUBINTERPRETER.format(code="pass"), rounds, trace=False)
    rss_refused, _ = growth(SUBINTERPRETER.format(code="import bidsift"), rounds, trace=False)
    # Creating interpreters costs what it costs; refusing bidsift adds nothing.
    if not UNDER_ASAN:
        assert rss_refused - rss_empty < 2 * 1024 * 1024
