"""Size scaling of ``bidsift.parse``, import time and peak memory.

All times are CPU time of the measuring process (see benchlib.Timing).

Scaling: inputs of 1 KiB to 16 MiB in families that each stress one pattern
or recogniser (long runs of one character, repeated markers and phrases, a
realistic RFQ repeated). For every size it reports the time per input byte;
a linear-time pipeline keeps that figure flat, so the ratio of the largest
size's figure to the smallest one's is the scaling verdict (target: within
2x). Each family runs in a child process with a time limit; a size whose
time, projected from the smaller sizes, would blow the budget is skipped and
the family is flagged.

Import time: ``import bidsift`` timed in many fresh interpreters.

Peak memory: the peak resident set (ru_maxrss) of a child that parses one
16 MiB input, relative to the input's UTF-8 size (target: at most 10x).

    python bench/scaling.py                  # markdown tables on stdout
    python bench/scaling.py --json F         # also write the figures to F
    python bench/scaling.py --quick          # sizes up to 1 MiB only
"""

import argparse
import json
import math
import os
import resource
import statistics
import subprocess
import sys
import tempfile

import benchlib

KIB = 1024
MIB = 1024 * KIB
SIZES = [1 * KIB, 16 * KIB, 256 * KIB, 1 * MIB, 4 * MIB, 16 * MIB]
SCALING_TARGET = 2.0
MEMORY_TARGET = 10.0

# A single call projected to take longer than this is not run.
MAX_CALL_SECONDS = 40.0
# Wall-clock limit of one family's child process.
FAMILY_TIMEOUT_SECONDS = 120.0
# Address-space limit of the memory child, so that a runaway parse fails
# with MemoryError instead of exhausting the machine.
MEMORY_CHILD_LIMIT = 12 * 1024 * MIB


def fill(size, unit, prefix="", suffix=""):
    """``prefix``, then ``unit`` repeated, then ``suffix``: ``size`` UTF-8
    bytes in all (the repeats are cut at a character boundary)."""
    head = prefix.encode()
    tail = suffix.encode()
    body_len = max(0, size - len(head) - len(tail))
    u = unit.encode()
    body = (u * (body_len // len(u) + 1))[:body_len]
    return (head + body + tail).decode("utf-8", errors="ignore")


def _typical_rfq_block():
    return benchlib.load_typical_rfq() + "\n"


def _typical_query_block():
    return benchlib.load_typical_query() + ", "


# name -> (what it stresses, builder of an input of n bytes). The prefix
# «1. » sends a text down the RFQ route and makes it one numbered item, so
# that the whole run reaches the item normalizer and then the query pipeline.
FAMILIES = {
    "spaces (query)": (
        "white space in the lexer", lambda n: fill(n, " ", "polo ", " shirt")),
    "spaces (RFQ item)": (
        "\\s runs in the item patterns", lambda n: fill(n, " ", "1. polo ", " shirt 5 pcs")),
    "line feeds (query)": (
        "^\\s* of the routing pattern at every line start", lambda n: fill(n, "\n", "polo\n", "shirt")),
    "line feeds (RFQ)": (
        "^\\s* of the marker patterns at every line start", lambda n: fill(n, "\n", "1. polo\n", "2. cap")),
    "digits (query)": (
        "number reading in the lexer", lambda n: fill(n, "1", "", "")),
    "digits (RFQ item)": (
        "\\d+ of the quantity, price and dimension patterns", lambda n: fill(n, "1", "1. ", "")),
    "commas (query)": (
        "separators in the lexer and grouping", lambda n: fill(n, ",", "polo", "")),
    "commas (RFQ item)": (
        "comma pieces of the description", lambda n: fill(n, ",", "1. polo", " 5 pcs")),
    "asterisks (RFQ item)": (
        "the markdown-bold pattern", lambda n: fill(n, "*", "1. polo ", "")),
    "asterisks (query)": (
        "one long word in the lexer", lambda n: fill(n, "*", "polo ", "")),
    "'(' (RFQ item)": (
        "parenthesis handling of the origin and empty-paren steps", lambda n: fill(n, "(", "1. polo ", "")),
    "'(' (query)": (
        "one long word in the lexer", lambda n: fill(n, "(", "polo ", "")),
    "«1. » repeated": (
        "numbered markers on one line", lambda n: fill(n, "1. ", "", "")),
    "«1. x» lines": (
        "many numbered items", lambda n: fill(n, "1. x\n", "", "")),
    "«- x» lines": (
        "many bulleted items", lambda n: fill(n, "- x\n", "", "")),
    "plain item lines": (
        "line mode of the segmenter", lambda n: fill(n, "Steel pipe 20 tons\n", "Dear supplier,\n", "")),
    "«target 1 » repeated": (
        "the price pattern", lambda n: fill(n, "target 1 ", "1. polo ", "")),
    "«xuất xứ » repeated": (
        "the Vietnamese origin pattern", lambda n: fill(n, "xuất xứ ", "1. máy bơm ", "")),
    "query repeated": (
        "a realistic query, many groups", lambda n: fill(n, _typical_query_block())),
    "RFQ repeated": (
        "a realistic RFQ document", lambda n: fill(n, _typical_rfq_block())),
}

MEMORY_FAMILIES = ["RFQ repeated", "query repeated", "«- x» lines"]


# Time one family may spend on one of the large sizes (the repetitions are
# cut to fit, down to a single call).
LARGE_SIZE_BUDGET_SECONDS = 10.0


def repetitions_for(size, projected):
    if size <= 16 * KIB:
        return 9
    if size <= 256 * KIB:
        return 5
    if projected is None:
        return 3
    return max(1, min(3, int(LARGE_SIZE_BUDGET_SECONDS / projected)))


def _time_calls(fn, reps):
    """CPU seconds of each of ``reps`` single calls."""
    return [benchlib.run_loops(fn, 1)[0] for _ in range(reps)]


def child_family(name, sizes, out_path):
    """Runs one family over ``sizes`` and appends one JSON line per size to
    ``out_path`` as soon as it is measured."""
    import bidsift

    build = FAMILIES[name][1]
    done = []  # (size, median per call)
    with open(out_path, "a", encoding="utf-8") as out:
        for size in sizes:
            text = build(size)
            nbytes = len(text.encode("utf-8"))
            projected, exponent = _project(done, nbytes)
            if projected is not None and projected > MAX_CALL_SECONDS:
                out.write(json.dumps({"size": size, "skipped": True, "projected_s": projected,
                                      "exponent": exponent}) + "\n")
                out.flush()
                continue
            reps = repetitions_for(size, projected)
            if size <= 256 * KIB:
                # Small inputs: the calibrated loop of benchlib.
                t = benchlib.measure(lambda text=text: bidsift.parse(text), repetitions=reps,
                                     min_rep_seconds=0.01, warmup_seconds=0.02)
                samples = t.samples
            else:
                samples = _time_calls(lambda text=text: bidsift.parse(text), reps)
            med = statistics.median(samples)
            done.append((nbytes, med))
            out.write(json.dumps({"size": size, "bytes": nbytes, "median_s": med,
                                  "min_s": min(samples), "repetitions": len(samples),
                                  "items": len(bidsift.parse(text).items) if size <= 256 * KIB else None}) + "\n")
            out.flush()


def _project(done, nbytes):
    """The time of one call on ``nbytes``, extrapolated from the measured
    sizes with their observed growth exponent (at least linear), and that
    exponent."""
    if not done:
        return None, None
    b1, t1 = done[-1]
    exponent = 1.0
    if len(done) >= 2:
        b0, t0 = done[-2]
        if t0 > 0 and b1 > b0:
            exponent = max(1.0, math.log(t1 / t0) / math.log(b1 / b0))
    return t1 * (nbytes / b1) ** exponent, exponent


def run_family(name, sizes):
    with tempfile.NamedTemporaryFile("w+", suffix=".jsonl", delete=False) as f:
        path = f.name
    try:
        proc = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--child-family", name,
                                 "--sizes", ",".join(map(str, sizes)), "--out", path])
        timed_out = False
        try:
            proc.wait(timeout=FAMILY_TIMEOUT_SECONDS)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            timed_out = True
        with open(path, encoding="utf-8") as f:
            rows = [json.loads(line) for line in f if line.strip()]
    finally:
        os.unlink(path)
    seen = {r["size"] for r in rows}
    for size in sizes:
        if size not in seen:
            rows.append({"size": size, "skipped": True,
                         "timeout": timed_out, "failed": not timed_out and proc.returncode != 0})
    return rows


def summarize(name, rows):
    measured = [r for r in rows if not r.get("skipped")]
    per_byte = {r["size"]: r["median_s"] / r["bytes"] for r in measured}
    ratio = None
    complete = len(measured) == len(rows)
    if len(measured) >= 2:
        ratio = per_byte[measured[-1]["size"]] / per_byte[measured[0]["size"]]
    flag = (not complete) or (ratio is not None and ratio > SCALING_TARGET)
    return {"family": name, "stresses": FAMILIES[name][0], "rows": rows, "ns_per_byte":
            {str(k): v * 1e9 for k, v in per_byte.items()}, "ratio": ratio,
            "complete": complete, "flag": flag, "verdict": _verdict(complete, ratio, rows)}


# Growth exponents up to this count as linear when a size is skipped: the
# projection then only says that the call is slow, not that it is superlinear.
LINEAR_EXPONENT = 1.3


def _verdict(complete, ratio, rows):
    if not complete:
        skipped = [r for r in rows if r.get("skipped")]
        if any(r.get("timeout") for r in skipped):
            return "timed out"
        if any(r.get("failed") for r in skipped):
            return "child process failed"
        if any((r.get("exponent") or 1) > LINEAR_EXPONENT for r in skipped):
            return "superlinear, largest sizes not run"
        return (f"too slow for the largest size (projected "
                f"{max(r['projected_s'] for r in skipped):.0f} s, over the {MAX_CALL_SECONDS:g} s cap)")
    if ratio is not None and ratio > SCALING_TARGET:
        return f"worse than {SCALING_TARGET:g}×"
    return "ok"


# --- import time and memory ------------------------------------------------

IMPORT_SNIPPET = ("import time; t = time.perf_counter(); import bidsift; "
                  "print(time.perf_counter() - t)")


def import_time(runs):
    samples = []
    for _ in range(runs):
        out = subprocess.run([sys.executable, "-c", IMPORT_SNIPPET], check=True,
                             capture_output=True, text=True).stdout
        samples.append(float(out.strip()))
    return benchlib.Timing(samples)


def child_memory(name, size):
    """Parses one input of ``size`` bytes of family ``name`` and prints the
    peak resident sets (KiB) before and after, and the input's size."""
    resource.setrlimit(resource.RLIMIT_AS, (MEMORY_CHILD_LIMIT, MEMORY_CHILD_LIMIT))
    import bidsift

    bidsift.parse("1. warm-up, 5 pcs\nPayment terms: T/T")
    text = FAMILIES[name][1](size)
    nbytes = len(text.encode("utf-8"))
    before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    error = None
    try:
        result = bidsift.parse(text)
        items = len(result.items)
    except MemoryError as e:
        error, items = f"MemoryError {e}", None
    after = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print(json.dumps({"family": name, "bytes": nbytes, "before_kib": before, "after_kib": after,
                      "items": items, "error": error}))


def memory(name, size):
    proc = subprocess.run([sys.executable, os.path.abspath(__file__), "--child-memory", name,
                           "--sizes", str(size)], capture_output=True, text=True, timeout=300)
    if proc.returncode != 0:
        return {"family": name, "bytes": size, "error": proc.stderr.strip().splitlines()[-1:]}
    r = json.loads(proc.stdout)
    r["peak_ratio"] = r["after_kib"] * KIB / r["bytes"]
    r["growth_ratio"] = (r["after_kib"] - r["before_kib"]) * KIB / r["bytes"]
    return r


# --- report ----------------------------------------------------------------

def size_label(size):
    return f"{size // MIB} MiB" if size >= MIB else f"{size // KIB} KiB"


def markdown(families, imports, memories, sizes):
    """The scaling table, then import time and memory (``imports`` is a
    Timing.as_dict(), or None)."""
    head = "| Scaling (ns per input byte) | " + " | ".join(size_label(s) for s in sizes) + \
           " | largest / smallest | verdict |"
    lines = [head, "|---|" + "---:|" * len(sizes) + "---:|---|"]
    for fam in families:
        cells = []
        by_size = {r["size"]: r for r in fam["rows"]}
        for s in sizes:
            r = by_size.get(s, {})
            if r.get("skipped"):
                if r.get("timeout"):
                    cells.append("timeout")
                elif r.get("failed"):
                    cells.append("failed")
                else:
                    cells.append(f"skip (~{r['projected_s']:.0f} s)")
            else:
                cells.append(f"{r['median_s'] / r['bytes'] * 1e9:.1f}")
        ratio = f"{fam['ratio']:.2f}×" if fam["ratio"] is not None else "–"
        verdict = fam["verdict"] if fam["verdict"] == "ok" else f"**{fam['verdict']}**"
        lines.append(f"| {fam['family']} | " + " | ".join(cells) + f" | {ratio} | {verdict} |")
    out = "\n".join(lines)
    if imports is not None or memories:
        out += "\n\n| Import and memory | value | target |\n|---|---:|---|\n"
        rows = []
        if imports is not None:
            rows.append(f"| `import bidsift` (median of {imports['repetitions']} fresh interpreters) "
                        f"| {benchlib.format_seconds(imports['median_s'])} ±{imports['spread'] * 50:.0f} % | |")
        for m in memories:
            if m.get("error") or "peak_ratio" not in m:
                rows.append(f"| peak RSS, {m['family']}, {size_label(m['bytes'])} | failed: "
                            f"{m.get('error')} | ≤ {MEMORY_TARGET:g}× |")
                continue
            ok = m["peak_ratio"] <= MEMORY_TARGET
            rows.append(
                f"| peak RSS, {m['family']}, {m['bytes'] / MIB:.0f} MiB ({m['items']} items) "
                f"| {m['after_kib'] / KIB:.0f} MiB = {m['peak_ratio']:.1f}× input "
                f"(parse added {m['growth_ratio']:.1f}×) "
                f"| ≤ {MEMORY_TARGET:g}× {'ok' if ok else '**OVER**'} |")
        out += "\n".join(rows)
    return out


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--json", help="write the figures to this file")
    ap.add_argument("--quick", action="store_true", help="sizes up to 1 MiB, fewer runs")
    ap.add_argument("--families", help="comma-separated subset of the families (names as in the table)")
    ap.add_argument("--import-runs", type=int, default=40)
    ap.add_argument("--no-memory", action="store_true")
    ap.add_argument("--child-family", help=argparse.SUPPRESS)
    ap.add_argument("--child-memory", help=argparse.SUPPRESS)
    ap.add_argument("--sizes", help=argparse.SUPPRESS)
    ap.add_argument("--out", help=argparse.SUPPRESS)
    args = ap.parse_args(argv)

    if args.child_family:
        child_family(args.child_family, [int(s) for s in args.sizes.split(",")], args.out)
        return 0
    if args.child_memory:
        child_memory(args.child_memory, int(args.sizes))
        return 0

    sizes = [s for s in SIZES if s <= MIB] if args.quick else SIZES
    names = args.families.split(",") if args.families else list(FAMILIES)
    families = []
    for name in names:
        families.append(summarize(name, run_family(name, sizes)))
        print(f"  scaling: {name} done", file=sys.stderr, flush=True)
    imports = import_time(10 if args.quick else args.import_runs).as_dict()
    memories = []
    if not args.no_memory:
        mem_size = MIB if args.quick else 16 * MIB
        memories = [memory(name, mem_size) for name in MEMORY_FAMILIES]
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump({"families": families, "import": imports, "memory": memories,
                       "sizes": sizes}, f, indent=1)
    print(markdown(families, imports, memories, sizes))
    return 0


if __name__ == "__main__":
    sys.exit(main())
