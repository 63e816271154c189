#!/usr/bin/env python3
"""The reveal under each kind of stand-in shell, against another build of
quorvel.exe alternated with it in one run: click to the shell's Alt+M (the
stand-in's minimise-all, on the system clock) under the shells whose one
window takes Tab and Alt+M (harsh, and Windows' minimising rule) and under
Windows' layout (desktop and taskbar on two threads); and launch to
minimise-all of a second start under the shell whose taskbar ignores Alt+M.

    bench/reveal_ways.py [OTHER_EXE] [CLICKS]    (OTHER_EXE "" for none)

Prints a Markdown table (median, min-max) and writes it to
bench/results/reveal-ways-<arch>.md."""
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests/e2e"))
import make_prefix  # noqa: E402
from wine import ARCH, BUILD, WineDesktop, process_ended, wait_for  # noqa: E402

SHELLS = (("one window, harsh", ()), ("one window, Windows' rule", ("--windows",)),
          ("Windows' layout", ("--layout",)))
# The simulated desktop's kind of shell for each stand-in (bench/reveal_clock_bench.cpp).
SIMULATED = {"one window, harsh": "Harsh", "one window, Windows' rule": "WindowsOwn",
             "Windows' layout": "WindowsLayout"}
CLOCK_BENCH = [ROOT / "build" / d / "bench_reveal_clock" for d in ("host-release", "host")]


def spread(values):
    values = sorted(values)
    return f"{statistics.median(values):.1f} ms ({values[0]:.1f}-{values[-1]:.1f})"


def logged_ms(d, index):
    return float(d.shell_lines("minimise-all")[index].split()[1])


def clicks(d, exe, options, count):
    """Click to minimise-all, `count` clicks on the taskbar button; a click
    that brings no minimise-all within 2 s is counted as lost."""
    d.reset("2")
    d.start_shell(*options)
    d.start_notepad()
    _, form1 = d.start_quorvel(exe)
    button = wait_for("the button", lambda: d.button_of(form1.hwnd))
    latencies, lost = [], 0
    for _ in range(count):
        before = d.reveals()
        sent = time.time() * 1000
        subprocess.run(["xdotool", "mousemove", str(button.centre[0]), str(button.centre[1]),
                        "click", "1"], env=d.env, check=True)
        try:
            wait_for("the minimise-all", lambda: d.reveals() > before, timeout=2, interval=0.005)
        except AssertionError:
            lost += 1
            continue
        latencies.append(logged_ms(d, before) - sent)
        time.sleep(0.3)
    return latencies, lost


def second_starts(d, exe, count):
    """Launch to minimise-all of a second start, the taskbar ignoring Alt+M,
    a window to minimise each time."""
    d.reset("2")
    d.start_shell("--no-alt-m")
    notepad = d.start_notepad()
    d.start_quorvel(exe)
    latencies = []
    for i in range(count):
        if d.window(notepad.hwnd).iconic:
            d.click(*wait_for("Notepad's button", lambda: d.button_of(notepad.hwnd)).centre)
            wait_for("Notepad restored", lambda: not d.window(notepad.hwnd).iconic)
        before = d.reveals()
        sent = time.time() * 1000
        second = d.start(exe)
        wait_for("the second start to end", lambda: process_ended(second), timeout=30)
        try:
            wait_for("the minimise-all", lambda: d.reveals() > before, timeout=3, interval=0.005)
        except AssertionError:
            latencies.append(float("inf"))  # never: the keys alone show nothing here
            continue
        latencies.append(logged_ms(d, before) - sent)
    return latencies


def clock_table(results):
    """The click to Alt+M of this build under Wine beside what the program's
    waits cost on the simulated desktop's clocks, by kind of shell."""
    bench = next((b for b in CLOCK_BENCH if b.exists()), None)
    if bench is None:
        return ["", "(no simulated figures: build the host target bench_reveal_clock)"]
    simulated = {}
    for line in subprocess.run([str(bench)], capture_output=True, text=True,
                               check=True).stdout.splitlines():
        kind, *figures = line.split()
        simulated[kind] = [float(f) for f in figures]
    lines = ["", "Click to Alt+M by kind of shell: this build under Wine (median), and the "
             "program's waits alone on the simulated desktop's clock (median, ms): Windows' "
             "15.625 ms tick with and without high-resolution timers (Windows 10 1803), and "
             "Wine's 1 ms", "",
             "| Shell | Wine | simulated, Windows | simulated, Windows before 1803 | "
             "simulated, 1 ms |", "|---|---|---|---|---|"]
    for name, _ in SHELLS:
        wine = statistics.median(results[(name, "this build")])
        sim = simulated[SIMULATED[name]]
        lines.append(f"| {name} | {wine:.1f} | {sim[0]:.1f} | {sim[2]:.1f} | {sim[4]:.1f} |")
    return lines


def main():
    other = Path(sys.argv[1]) if len(sys.argv) > 1 and sys.argv[1] else None
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    exes = [("this build", BUILD / "quorvel.exe")] + ([("other", other)] if other else [])
    make_prefix.main()
    results, lost = {}, {}
    with WineDesktop("bench-ways") as d:
        # Alternated: each shell, each exe in turn, in rounds of ten clicks.
        for name, options in SHELLS:
            for _ in range(max(1, count // 10)):
                for label, exe in exes:
                    latencies, missed = clicks(d, exe, options, 10)
                    results.setdefault((name, label), []).extend(latencies)
                    lost[(name, label)] = lost.get((name, label), 0) + missed
        for label, exe in exes:
            results[("second start, no Alt+M", label)] = second_starts(d, exe, max(3, count // 3))
    lines = [f"Reveal by kind of shell, {time.strftime('%Y-%m-%d %H:%M')}, Wine {ARCH} prefix, "
             f"{os.cpu_count()} cores; median (min-max)", "",
             "| Figure | " + " | ".join(label for label, _ in exes) + " |",
             "|---|" + "---|" * len(exes)]
    for name, _ in SHELLS:
        lines.append(f"| Click to Alt+M, {name} | " +
                     " | ".join(f"{spread(results[(name, label)])}, {lost[(name, label)]} lost"
                                for label, _ in exes) + " |")
    row = []
    for label, _ in exes:
        values = results[("second start, no Alt+M", label)]
        shown = [v for v in values if v != float("inf")]
        row.append((spread(shown) if shown else "none") + f", {len(shown)} of {len(values)}")
    lines.append("| Launch to minimise-all, second start, taskbar without Alt+M | " +
                 " | ".join(row) + " |")
    lines += clock_table(results)
    table = "\n".join(lines)
    print(table)
    out = ROOT / "bench" / "results"
    out.mkdir(parents=True, exist_ok=True)
    (out / f"reveal-ways-{ARCH}.md").write_text(table + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
