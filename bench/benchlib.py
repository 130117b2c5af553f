"""Shared pieces of the Python benchmarks: the corpus and a timing harness.

The corpus files live in bench/corpus: ``queries.txt`` holds one product
query per line, ``rfqs.txt`` holds RFQ documents separated by lines that
contain only ``%%``, and ``typical_query.txt`` / ``typical_rfq.txt`` each hold
one input (their final line feed is not part of it).
"""

import gc
import itertools
import os
import statistics
import time

CORPUS_DIR = os.environ.get(
    "BIDSIFT_BENCH_CORPUS", os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
)


def _read(name):
    with open(os.path.join(CORPUS_DIR, name), encoding="utf-8") as f:
        return f.read()


def _strip_final_newline(text):
    return text[:-1] if text.endswith("\n") else text


def load_queries():
    return [line for line in _read("queries.txt").split("\n") if line]


def load_rfqs():
    docs, current = [], []
    for line in _read("rfqs.txt").split("\n"):
        if line == "%%":
            if current:
                docs.append("\n".join(current))
            current = []
        elif line or current:
            current.append(line)
    while current and not current[-1]:
        current.pop()
    if current:
        docs.append("\n".join(current))
    return docs


def load_typical_query():
    return _strip_final_newline(_read("typical_query.txt"))


def load_typical_rfq():
    return _strip_final_newline(_read("typical_rfq.txt"))


def utf8_len(texts):
    return sum(len(t.encode("utf-8")) for t in texts)


class Timing:
    """Per-call times in seconds of one measured case, one per repetition:
    CPU time of the process (``samples``) and, beside it, wall-clock time
    (``wall``). CPU time is the figure to compare: on a shared machine it
    does not grow with the load that other processes put on the cores."""

    def __init__(self, samples, wall=None):
        self.samples = sorted(samples)
        self.wall = sorted(wall) if wall is not None else None

    @property
    def median(self):
        return statistics.median(self.samples)

    @property
    def minimum(self):
        return self.samples[0]

    def quantile(self, q):
        """The q-quantile by linear interpolation between order statistics."""
        s = self.samples
        if len(s) == 1:
            return s[0]
        pos = q * (len(s) - 1)
        lo = int(pos)
        hi = min(lo + 1, len(s) - 1)
        return s[lo] + (s[hi] - s[lo]) * (pos - lo)

    @property
    def spread(self):
        """Interquartile range relative to the median (0.05 = ±2.5 %)."""
        med = self.median
        return (self.quantile(0.75) - self.quantile(0.25)) / med if med else 0.0

    def as_dict(self):
        return {
            "clock": "process CPU time",
            "wall_median_s": statistics.median(self.wall) if self.wall else None,
            "median_s": self.median,
            "min_s": self.minimum,
            "p25_s": self.quantile(0.25),
            "p75_s": self.quantile(0.75),
            "spread": self.spread,
            "repetitions": len(self.samples),
        }


def measure(fn, calls=1, repetitions=25, min_rep_seconds=0.02, warmup_seconds=0.1):
    """Times ``fn()``, which makes ``calls`` calls of the code under test.

    Like timeit: the garbage collector is off while timing, and each
    repetition runs ``fn`` in a tight loop often enough to last at least
    ``min_rep_seconds`` so that clock resolution and loop overhead do not
    matter. A warm-up of ``warmup_seconds`` first builds every lazily built
    global and settles caches and the allocator. Returns a Timing of the
    per-call time of each repetition.
    """
    return measure_loops(fn, calls, repetitions, min_rep_seconds, warmup_seconds)


def measure_loops(fn, calls, repetitions, min_rep_seconds, warmup_seconds):
    deadline = time.perf_counter() + warmup_seconds
    fn()
    while time.perf_counter() < deadline:
        fn()

    loops = 1
    while True:
        t, _ = run_loops(fn, loops)
        if t >= min_rep_seconds:
            break
        loops = max(loops * 2, int(loops * min_rep_seconds / max(t, 1e-9) * 1.2))

    cpu, wall = [], []
    for _ in range(repetitions):
        c, w = run_loops(fn, loops)
        cpu.append(c / (loops * calls))
        wall.append(w / (loops * calls))
    return Timing(cpu, wall)


def run_loops(fn, loops):
    """Runs ``fn`` ``loops`` times with the garbage collector off; returns
    the (CPU, wall-clock) seconds taken."""
    gc_was_enabled = gc.isenabled()
    gc.disable()
    try:
        repeat = itertools.repeat(None, loops)
        wall = time.perf_counter()
        cpu = time.process_time()
        for _ in repeat:
            fn()
        cpu = time.process_time() - cpu
        wall = time.perf_counter() - wall
        return cpu, wall
    finally:
        if gc_was_enabled:
            gc.enable()


def format_seconds(s):
    if s < 1e-6:
        return f"{s * 1e9:.0f} ns"
    if s < 1e-3:
        return f"{s * 1e6:.2f} µs"
    if s < 1:
        return f"{s * 1e3:.2f} ms"
    return f"{s:.2f} s"


def format_rate(bytes_per_second):
    return f"{bytes_per_second / 2**20:.1f} MiB/s"
