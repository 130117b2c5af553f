"""Prints the markdown report of one benchmark run from its result files.

    python bench/report.py DIR

DIR holds ``stages.json`` (Google Benchmark JSON output of stages_benchmark,
with repetitions and aggregates), ``parse.json`` (bench_parse.py --json) and
``scaling.json`` (scaling.py --json); a missing file leaves its part out.
The report is one table of time per call (the C++ stages, then Python
``parse`` end to end), the scaling table with import time and memory, and
a list of everything that misses its target.
"""

import json
import os
import platform
import sys

import benchlib
import scaling

# Time budgets of the C++ stages on the typical inputs: the Python targets
# of the same inputs, which also cover binding and result objects.
STAGE_TARGETS_S = {
    "BM_parse_query_typical": 1.5e-6,
    "BM_parse_rfq_typical": 20e-6,
}

STAGE_INPUTS = {
    "queries": "queries corpus, per query",
    "items": "RFQ line items, per item",
    "rfqs": "RFQ corpus, per document",
    "typical": "typical input",
    "corpus": "queries + RFQs, per text",
}


def _load(directory, name):
    path = os.path.join(directory, name)
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def stage_rows(data):
    """(name, input, median per call, spread, bytes/s, target) per benchmark,
    from the median and cv aggregates (or the single run)."""
    by_name = {}
    for b in data["benchmarks"]:
        name = b.get("run_name", b["name"])
        kind = b.get("aggregate_name", "single")
        by_name.setdefault(name, {})[kind] = b
    rows = []
    for name, runs in by_name.items():
        med = runs.get("median") or runs.get("single") or runs.get("mean")
        cv = runs.get("cv")
        spread = cv["per_call"] if cv and "per_call" in cv else None
        stage, _, corpus = name[len("BM_"):].rpartition("_")
        wall = med["per_call"] * med["real_time"] / med["cpu_time"] if med.get("cpu_time") else None
        rows.append({
            "name": name, "stage": stage, "input": STAGE_INPUTS.get(corpus, corpus),
            "per_call_s": med["per_call"], "wall_per_call_s": wall, "spread": spread,
            "bytes_per_second": med.get("bytes_per_second"),
            "target_s": STAGE_TARGETS_S.get(name),
        })
    return rows


def verdict(value, target):
    if target is None:
        return ""
    mark = "ok" if value <= target else "**SLOW**"
    return f"{mark} (≤ {benchlib.format_seconds(target)})"


def main_table(stages, parse):
    lines = ["| Layer | Benchmark | Input | median / call | spread | throughput | wall / call | target |",
             "|---|---|---|---:|---:|---:|---:|---|"]
    for r in stages or []:
        spread = f"±{r['spread'] * 100:.1f} % (cv)" if r["spread"] is not None else ""
        rate = benchlib.format_rate(r["bytes_per_second"]) if r["bytes_per_second"] else ""
        wall = benchlib.format_seconds(r["wall_per_call_s"]) if r["wall_per_call_s"] else ""
        lines.append(f"| C++ | `{r['stage']}` | {r['input']} | {benchlib.format_seconds(r['per_call_s'])} "
                     f"| {spread} | {rate} | {wall} | {verdict(r['per_call_s'], r['target_s'])} |")
    for r in parse or []:
        rate = r["bytes_per_call"] / r["median_s"] if r["bytes_per_call"] else 0
        lines.append(f"| Python | `parse` | {r['case']} | {benchlib.format_seconds(r['median_s'])} "
                     f"| ±{r['spread'] * 50:.1f} % (IQR) | {benchlib.format_rate(rate) if rate else ''} "
                     f"| {benchlib.format_seconds(r['wall_median_s'])} "
                     f"| {verdict(r['median_s'], r['target_s'])} |")
    return "\n".join(lines)


def flags(stages, parse, scale):
    out = []
    for r in stages or []:
        if r["target_s"] is not None and r["per_call_s"] > r["target_s"]:
            out.append(f"C++ `{r['stage']}` on the {r['input']}: {benchlib.format_seconds(r['per_call_s'])} "
                       f"per call, target {benchlib.format_seconds(r['target_s'])} "
                       f"({r['per_call_s'] / r['target_s']:.1f}× over)")
    for r in parse or []:
        if r["target_s"] is not None and r["median_s"] > r["target_s"]:
            out.append(f"Python `parse`, {r['case']}: {benchlib.format_seconds(r['median_s'])}, target "
                       f"{benchlib.format_seconds(r['target_s'])} ({r['median_s'] / r['target_s']:.1f}× over)")
    if scale:
        for fam in scale["families"]:
            if not fam["complete"]:
                out.append(f"scaling, {fam['family']}: {fam['verdict']}")
            elif fam["flag"]:
                out.append(f"scaling, {fam['family']}: per-byte time grows {fam['ratio']:.2f}× "
                           f"from smallest to largest (target ≤ {scaling.SCALING_TARGET:g}×)")
        for m in scale["memory"]:
            if "peak_ratio" not in m:
                out.append(f"memory, {m['family']}: the measurement failed ({m.get('error')})")
            elif m["peak_ratio"] > scaling.MEMORY_TARGET:
                out.append(f"memory, {m['family']}: peak RSS {m['peak_ratio']:.0f}× the input "
                           f"(target ≤ {scaling.MEMORY_TARGET:g}×)")
    return out


def main(argv):
    directory = argv[1] if len(argv) > 1 else "build/bench/results"
    stages_json = _load(directory, "stages.json")
    parse = _load(directory, "parse.json")
    scale = _load(directory, "scaling.json")
    stages = stage_rows(stages_json) if stages_json else None

    print("# bidsift benchmarks\n")
    ctx = stages_json.get("context", {}) if stages_json else {}
    print(f"{platform.node()}, {ctx.get('num_cpus', os.cpu_count())} CPUs at "
          f"{ctx.get('mhz_per_cpu', '?')} MHz, load average at start "
          f"{', '.join(f'{x:.2f}' for x in ctx.get('load_avg', [])) or '?'}; "
          f"Python {platform.python_version()}. Times are CPU time of the measuring process (wall time beside them: it grows with the load of other processes).\n")
    print(main_table(stages, parse))
    if scale:
        print()
        print(scaling.markdown(scale["families"], scale["import"], scale["memory"], scale["sizes"]))
    found = flags(stages, parse, scale)
    print("\n## Missed targets\n")
    print("\n".join(f"- {f}" for f in found) if found else "None.")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
