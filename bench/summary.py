# SPDX-License-Identifier: MIT
"""Short tables from one run of both benchmark programs.

Usage: summary.py bench-32f.json bench-64f.json [--doc docs/performance.md]

Prints the time per sample of each family at typical sizes in both builds
and, for the peers that were built in, the ratios measured in the same run.
With --doc it also rewrites the tables between the markers of that file,
with the machine they ran on. Every figure is the median over the run's
repetitions of the CPU time per sample (the machines are shared, so wall
time says more about the neighbours than about the code).
"""
import json
import platform
import re
import subprocess
import sys

# (family, benchmark name in the single spelling, case shown)
FAMILIES = [
    ("FIR", "BM_FirFilter/256", "N = 256, per sample"),
    ("FIR", "BM_FirBlockFilter64/256", "N = 256, blocks of 64"),
    ("LMS", "BM_Lms<lms32fFilterUpdate>/256", "N = 256"),
    ("LMS", "BM_Lms<lms32fFilterUpdate>/1024", "N = 1024"),
    ("LMS sign-sign", "BM_Lms<lms32fFilterUpdateSignSign>/256", "N = 256"),
    ("NLMS", "BM_NlmsFilterUpdate/256", "N = 256"),
    ("NLMS", "BM_NlmsFilterUpdate/1024", "N = 1024"),
    ("Block LMS", "BM_Blms/256", "N = 256, B = 64"),
    ("Block NLMS", "BM_Bnlms/256", "N = 256, B = 64"),
    ("Filtered-x LMS", "BM_Fxlms", "N = 256, paths of 64"),
    ("Adjoint LMS", "BM_Adjlms", "N = 256, paths of 64"),
    ("BFDAF", "BM_Bfdaf1024/constrain:1", "L = B = 1024, constrained"),
    ("BFDAF", "BM_Bfdaf1024/constrain:0", "L = B = 1024, unconstrained"),
    ("PBFDAF", "BM_Pbfdaf4096/constrain:1", "4096 taps, B = 128, constrained"),
    ("PBFDAF", "BM_Pbfdaf4096/constrain:0", "4096 taps, B = 128, unconstrained"),
    ("TDLMS", "BM_TdlmsFilterUpdate/64", "N = 64"),
    ("LMS lattice", "BM_LmsLatticeUpdate/32", "order 32"),
    ("Lattice BPEF", "BM_Predictor<quolmLbpef, lbpef32fInit, lbpef32fFilterUpdate, lbpef32fFree>/32/1", "order 32"),
    ("Lattice FPEF", "BM_Predictor<quolmLfpef, lfpef32fInit, lfpef32fFilterUpdate, lfpef32fFree>/32/1", "order 32"),
    ("RLS", "BM_RlsFilterUpdate/32", "N = 32"),
    ("RLS", "BM_RlsFilterUpdate/128", "N = 128"),
    ("RLS lattice", "BM_RlsLatticeFilterUpdate/32", "order 32"),
    ("RLS lattice BPEF", "BM_RlslbpefFilterUpdate/32/1", "order 32"),
    ("RLS lattice FPEF", "BM_RlslfpefFilterUpdate/32/1", "order 32"),
    ("Real FFT", "BM_RealFftForward/1024", "M = 1024, forward"),
    ("Real FFT", "BM_RealFftInverse/1024", "M = 1024, inverse"),
]


def medians(path, tag):
    """{name in the single spelling: (cpu ns per iteration, ns per sample)}"""
    with open(path) as f:
        data = json.load(f)
    out = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b["run_name"].replace(tag, "32f")
        out[name] = (b["cpu_time"], b.get("per_sample", 0.0) * 1e9)
    return out, data["context"]


def fmt(ns):
    if ns is None:
        return "-"
    if ns >= 1000:
        return f"{ns / 1000:.2f} us"
    return f"{ns:.1f} ns" if ns >= 10 else f"{ns:.2f} ns"


def family_table(r32, r64):
    lines = ["| family | case | 32f | 64f |", "|---|---|---:|---:|"]
    for fam, name, case in FAMILIES:
        a, b = r32.get(name), r64.get(name)
        if a is None and b is None:
            continue
        lines.append(f"| {fam} | {case} | {fmt(a and a[1])} | {fmt(b and b[1])} |")
    return lines


def ratio(q, p):
    return f"{q / p:.2g}x" if q and p and q < 0.1 * p else (
        f"{q / p:.2f}x" if q and p else "-")


def peer_table(r32, r64):
    """Rows: (what, ratio 32f, ratio 64f, what is compared)."""
    rows = []
    fft = lambda r, m: (r.get(f"BM_RealFftForward/{m}"), r.get(f"BM_RealFftInverse/{m}"),
                        r.get(f"BM_FftwR2c/{m}"), r.get(f"BM_FftwC2r/{m}"))
    for m in (64, 256, 1024, 4096):
        cells = []
        for r in (r32, r64):
            f, i, a, b = fft(r, m)
            cells.append(ratio(f and i and f[0] + i[0], a and b and a[0] + b[0]))
        if cells != ["-", "-"]:
            rows.append((f"Real FFT, M = {m}", *cells,
                         "forward + inverse vs FFTW's r2c + c2r, same precision"))
    speex = r32.get("BM_PeerSpeexEcho/128/4096")
    for c, label in ((1, "constrained"), (0, "unconstrained")):
        q = [r.get(f"BM_Pbfdaf4096/constrain:{c}") for r in (r32, r64)]
        if speex:
            rows.append((f"PBFDAF 4096 taps, {label}", ratio(q[0] and q[0][1], speex[1]),
                         ratio(q[1] and q[1][1], speex[1]),
                         "per sample vs SpeexDSP's whole echo canceller, frame 128, "
                         "tail 4096"))
    for n in (256, 1024, 4096):
        liq = r32.get(f"BM_PeerLiquidLms/{n}")
        for fam, name in (("LMS", f"BM_Lms<lms32fFilterUpdate>/{n}"),
                          ("NLMS", f"BM_NlmsFilterUpdate/{n}")):
            q = [r.get(name) for r in (r32, r64)]
            if liq and (q[0] or q[1]):
                rows.append((f"{fam}, N = {n}", ratio(q[0] and q[0][1], liq[1]),
                             ratio(q[1] and q[1][1], liq[1]),
                             "per sample vs liquid-dsp's eqlms_rrrf (float, normalised "
                             "step)"))
    for n in (32, 128):
        liq = r32.get(f"BM_PeerLiquidRls/{n}")
        q = [r.get(f"BM_RlsFilterUpdate/{n}") for r in (r32, r64)]
        if liq and (q[0] or q[1]):
            rows.append((f"RLS, N = {n}", ratio(q[0] and q[0][1], liq[1]),
                         ratio(q[1] and q[1][1], liq[1]),
                         "per sample vs liquid-dsp's eqrls_rrrf (float)"))
    return rows


def bound_table(r32, r64):
    """Rows: (what, ratio 32f, ratio 64f, the yardstick it is measured against)."""
    rows = []
    cases = [(f"{fam}, N = {n}", name.format(n), f"BM_DotProduct/{n}",
              "the in-order sum alone: one double accumulator over N products")
             for n in (256, 1024, 4096)
             for fam, name in (("LMS", "BM_Lms<lms32fFilterUpdate>/{}"),
                               ("NLMS", "BM_NlmsFilterUpdate/{}"))]
    cases += [(f"RLS, N = {n}", f"BM_RlsFilterUpdate/{n}", f"BM_RlsYardstick/{n}",
               "two vectorised multiply-add passes over the N(N+1)/2 values of P")
              for n in (32, 128, 256)]
    for what, name, bound, against in cases:
        cells = [ratio(r.get(name) and r[name][1], r.get(bound) and r[bound][1])
                 for r in (r32, r64)]
        if cells != ["-", "-"]:
            rows.append((what, *cells, against))
    return rows


def peer_lines(rows):
    if not rows:
        return ["(no peer installed: FFTW, SpeexDSP and liquid-dsp are optional)"]
    lines = ["| case | 32f | 64f | what is compared |", "|---|---:|---:|---|"]
    lines += [f"| {a} | {b} | {c} | {d} |" for a, b, c, d in rows]
    return lines


def machine(ctx):
    cpu = platform.processor() or "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            cpu = re.search(r"model name\s*:\s*(.*)", f.read()).group(1)
    except (OSError, AttributeError):
        pass
    try:
        cc = subprocess.run(["c++", "--version"], capture_output=True, text=True).stdout
        cc = cc.splitlines()[0]
    except (OSError, IndexError):
        cc = "unknown compiler"
    load = ", ".join(f"{x:.1f}" for x in ctx.get("load_avg", []))
    return (f"{cpu}, {ctx.get('num_cpus')} CPUs, {cc}; load average {load} "
            f"at the start; {ctx.get('date')}")


def main(argv):
    doc = None
    if "--doc" in argv:
        i = argv.index("--doc")
        doc = argv[i + 1]
        argv = argv[:i] + argv[i + 2:]
    r32, ctx = medians(argv[0], "32f")
    r64, _ = medians(argv[1], "64f")
    body = ["Time per sample, median CPU time of the run (both builds):", ""]
    body += family_table(r32, r64)
    body += ["", "Against the library's own yardsticks, same run:", ""]
    body += ["| case | 32f | 64f | yardstick |", "|---|---:|---:|---|"]
    body += [f"| {a} | {b} | {c} | {d} |" for a, b, c, d in bound_table(r32, r64)]
    body += ["", "Against the peers, same run (below 1x: the library takes less time):", ""]
    body += peer_lines(peer_table(r32, r64))
    print("\n".join(body))
    if doc:
        with open(doc) as f:
            text = f.read()
        begin, end = "<!-- bench:begin -->", "<!-- bench:end -->"
        new = "\n".join([begin, "", f"Machine: {machine(ctx)}.", ""] + body + ["", end])
        text = re.sub(re.escape(begin) + ".*?" + re.escape(end), lambda _: new, text,
                      flags=re.S)
        with open(doc, "w") as f:
            f.write(text)


if __name__ == "__main__":
    main(sys.argv[1:])
