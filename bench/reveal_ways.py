#!/usr/bin/env python3
"""The reveal under each kind of stand-in shell, against another build of
quorvel.exe alternated with it in one run: click to the shell's Alt+M (the
stand-in's minimise-all, on the system clock) under the shells whose one
window takes Tab and Alt+M (harsh, and Windows' minimising rule) and under
Windows' layout (desktop and taskbar on two threads); and launch to
minimise-all of a second start under the shell whose taskbar ignores Alt+M;
and, alternated with the least command that works there (Windows key + M and
end: bench_show_desktop.exe winm), the second start once the running instance
has learnt that the taskbar ignores Alt+M.

    bench/reveal_ways.py [--docs] [OTHER_EXE] [CLICKS]    (OTHER_EXE "" for none)
    bench/reveal_ways.py [--docs] --learnt [RUNS]    that last figure alone

Prints Markdown tables (median, min-max) and writes them to
bench/results/reveal-ways-<arch>.md; with --docs also into
docs/performance.md, between its "bench:reveal-ways" and "bench:learnt"
markers. The other build's column is named by the path given."""
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests/e2e"))
import make_prefix  # noqa: E402
from wine import ARCH, BITS, BUILD, WINE, WineDesktop, process_ended, wait_for  # noqa: E402

sys.path.insert(0, str(ROOT / "bench"))
import tables  # noqa: E402

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
    _, taskbar_form = d.start_quorvel(exe)
    button = wait_for("the button", lambda: d.button_of(taskbar_form.hwnd))
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


def restore(d, window):
    if d.window(window.hwnd).iconic:
        d.click(*wait_for("the window's button", lambda: d.button_of(window.hwnd)).centre)
        wait_for("the window restored", lambda: not d.window(window.hwnd).iconic)


def launch_to_minimise_all(d, command):
    """Launch to the stand-in's minimise-all of one process that ends; inf
    when it brings none."""
    before = d.reveals()
    sent = time.time() * 1000
    process = d.start(*command)
    wait_for("the process to end", lambda: process_ended(process), timeout=30)
    try:
        wait_for("the minimise-all", lambda: d.reveals() > before, timeout=3, interval=0.005)
    except AssertionError:
        return float("inf")  # never: the keys alone show nothing here
    return logged_ms(d, before) - sent


def second_starts(d, exe, count):
    """Launch to minimise-all of `count` second starts of a fresh instance,
    the taskbar ignoring Alt+M, a window to minimise each time."""
    d.reset("2")
    d.start_shell("--no-alt-m")
    notepad = d.start_notepad()
    d.start_quorvel(exe)
    latencies = []
    for _ in range(count):
        restore(d, notepad)
        latencies.append(launch_to_minimise_all(d, [exe]))
    return latencies


def learnt_second_starts(d, exe, count):
    """The second start once the running instance has learnt (from a first
    second start) that the taskbar ignores Alt+M, alternated with Windows
    key + M and end."""
    floor = [BUILD / "bench_show_desktop.exe", "winm"]
    d.reset("2")
    d.start_shell("--no-alt-m")
    notepad = d.start_notepad()
    d.start_quorvel(exe)
    restore(d, notepad)
    launch_to_minimise_all(d, [exe])
    ours, least = [], []
    for _ in range(count):
        for values, command in ((ours, [exe]), (least, floor)):
            restore(d, notepad)
            values.append(launch_to_minimise_all(d, command))
    return ours, least


def rss_anon_kib(pid):
    status = Path(f"/proc/{pid}/status").read_text()
    return next(int(l.split()[1]) for l in status.splitlines() if l.startswith("RssAnon:"))


def memory_of_the_other_way(d, clicks=5):
    """The running instance's idle RssAnon before and after it asked the shell
    the other way itself (COM entered and kept), clicks on its button under
    the taskbar that ignores Alt+M."""
    d.reset("2")
    d.start_shell("--no-alt-m")
    notepad = d.start_notepad()
    proc, taskbar_form = d.start_quorvel()
    time.sleep(2)
    before = rss_anon_kib(proc.pid)
    button = wait_for("the button", lambda: d.button_of(taskbar_form.hwnd))
    for _ in range(clicks):
        restore(d, notepad)
        count = d.reveals()
        subprocess.run(["xdotool", "mousemove", str(button.centre[0]), str(button.centre[1]),
                        "click", "1"], env=d.env, check=True)
        wait_for("the minimise-all", lambda: d.reveals() > count, timeout=3, interval=0.005)
        time.sleep(0.5)
    time.sleep(2)
    return before, rss_anon_kib(proc.pid)


def learnt_table(d, count):
    ours, least = learnt_second_starts(d, BUILD / "quorvel.exe", count)
    ratio = statistics.median(ours) / statistics.median(least)
    return "\n".join([
        "| Figure | this build | Windows key + M and end | Ratio | Target |",
        "|---|---|---|---|---|",
        f"| Launch to minimise-all, second start after the instance learnt it, taskbar without "
        f"Alt+M | {spread(ours)} | {spread(least)} | {ratio:.2f}x | <= 1.2x |"])


def clock_table(results, this):
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
    lines = ["", "Click to Alt+M by kind of shell: this build under Wine (median, the run above), and the "
             "program's waits alone on the simulated desktop's clock (median, ms): Windows' "
             "15.625 ms tick with and without high-resolution timers (Windows 10 1803), and "
             "Wine's 1 ms", "",
             "| Shell | Wine | simulated, Windows | simulated, Windows before 1803 | "
             "simulated, 1 ms |", "|---|---|---|---|---|"]
    for name, _ in SHELLS:
        wine = statistics.median(results[(name, this)])
        sim = simulated[SIMULATED[name]]
        lines.append(f"| {name} | {wine:.1f} | {sim[0]:.1f} | {sim[2]:.1f} | {sim[4]:.1f} |")
    return lines


def ways_table(machine, count, exes, results, lost):
    """The run's table by kind of shell, a column a build, and the
    simulated clock's beside it."""
    other = len(exes) > 1
    lines = [machine.caption(f"The reveal by kind of shell, {count} clicks a shell and build"
                             + (", the builds alternated in rounds of ten clicks and of five second starts"
                if other else "")
                             + "; median (min-max)"), "",
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
    lines += clock_table(results, exes[0][0])
    return "\n".join(lines)


def this_build():
    """This build, named by its commit."""
    rev = subprocess.run(["git", "-C", str(ROOT), "describe", "--always", "--dirty"],
                         capture_output=True, text=True).stdout.strip()
    return f"this build ({rev})" if rev else "this build"


def learnt_caption(machine, count):
    return machine.caption(f"A second start once the running instance has learnt that the "
                           f"taskbar ignores Alt+M, against Windows key + M and end; median "
                           f"(min-max) of {count} alternated runs")


def main():
    args = sys.argv[1:]
    docs = "--docs" in args
    args = [a for a in args if a != "--docs"]
    machine = tables.Machine(ARCH, BITS, WINE)
    if args[:1] == ["--learnt"]:
        count = int(args[1]) if len(args) > 1 else 9
        make_prefix.main()
        with WineDesktop("bench-ways") as d:
            table = learnt_caption(machine, count) + "\n\n" + learnt_table(d, count)
            before, after = memory_of_the_other_way(d)
            table += (f"\n\n| Idle RssAnon of the running instance | before it asked the other way "
                      f"itself | after (COM kept) | Difference |\n|---|---|---|---|\n"
                      f"| | {before} KiB | {after} KiB | {after - before:+d} KiB |")
        print(table)
        if docs:
            tables.write_between(tables.PERFORMANCE, "learnt", "bench/reveal_ways.py", table)
        return 0
    other = Path(args[0]) if args and args[0] else None
    count = int(args[1]) if len(args) > 1 else 30
    exes = [(this_build(), BUILD / "quorvel.exe")] + ([(str(other), other)] if other else [])
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
        # Alternated too, in rounds of five: in one block a build, the first
        # to run went 1.5x slower than the same exe run after it.
        for _ in range(max(1, count // 15)):
            for label, exe in exes:
                results.setdefault(("second start, no Alt+M", label), []).extend(
                    second_starts(d, exe, 5))
        learnt_count = max(3, count // 3)
        learnt = learnt_table(d, learnt_count)
    ways = ways_table(machine, count, exes, results, lost)
    learnt = learnt_caption(machine, learnt_count) + "\n\n" + learnt
    print(ways + "\n\n" + learnt)
    out = ROOT / "bench" / "results"
    out.mkdir(parents=True, exist_ok=True)
    (out / f"reveal-ways-{ARCH}.md").write_text(ways + "\n\n" + learnt + "\n")
    if docs:
        tables.write_between(tables.PERFORMANCE, "reveal-ways", "bench/reveal_ways.py", ways)
        tables.write_between(tables.PERFORMANCE, "learnt", "bench/reveal_ways.py", learnt)
    return 0


if __name__ == "__main__":
    sys.exit(main())
