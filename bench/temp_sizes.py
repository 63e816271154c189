#!/usr/bin/env python3
"""What the Windows folder's TEMP costs the user's requests, under Wine on
Xvfb: for each content of TEMP (no file, 2,000, 20,000 and 100,000 other
files, and 30,000 "*.tmp" files among 20,000 others) the start to ready, a
click right after it (during the first start's cleanup), and a second start,
each against its floor in the same TEMP, alternated run by run. The second
start is timed twice: launch to the shell's minimise-all (its stand-in
logs it on the system clock, which the probe reads at the launch) and launch
to the process's end; its floor makes the same calls (its window hidden as
quorvel.exe hides it, the keys as Windows' shell needs them), and the least
show-desktop command is beside it. Everything is started from inside Wine
by the probe, quorvel.exe and the floors alike.

  python3 bench/temp_sizes.py [--docs | --docs-from-last]

QUORVEL_BENCH_RUNS runs per content (default 5); --docs writes the table
into docs/performance.md between its "bench:temp-<arch>" markers, and
--docs-from-last writes there the table the last run left in
bench/results/temp-<arch>.md, measuring nothing. The prefix
is chosen as bench/run.py chooses it."""
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import run  # noqa: E402  (the prefix's choice, the probe's helpers)
from run import ARCH, BUILD, WineDesktop, fmt, launch, spread, tables, wait_for  # noqa: E402

CONTENTS = ((0, 0), (2_000, 0), (20_000, 0), (100_000, 0), (20_000, 30_000))  # (others, *.tmp)


def seed_others(temp, others):
    for i in range(others):
        with open(temp / f"o{i:06}.dat", "w") as f:
            f.write("x")


def seed_tmp(temp, count):
    for i in range(count):
        with open(temp / f"f{i:05}.tmp", "w") as f:
            f.write("x")


def tmp_left(temp):
    with os.scandir(temp) as entries:
        return sum(1 for e in entries if e.name.endswith(".tmp"))


def second_start(d, exe, *words):
    """Launch to the shell's minimise-all and launch to the process's end,
    in milliseconds; exactly one minimise-all."""
    before = d.reveals()
    lines = d.probe("launch-exit", d.windows_path(exe), *words)
    to_end = float(lines[0])
    launched = float(lines[1].split()[1])
    wait_for("the minimise-all", lambda: d.reveals() > before, timeout=5, interval=0.005)
    time.sleep(0.1)  # a late second one would show here
    assert d.reveals() == before + 1, f"{exe.name} did not show the desktop once"
    logged = float(d.shell_lines("minimise-all")[before].split()[1])
    return logged - launched, to_end


def click(d, hwnd):
    """A click on the window's taskbar button at once: the X click to the
    shell's minimise-all, on the system clock."""
    button = wait_for("the button", lambda: d.button_of(hwnd), interval=0.005)
    before = d.reveals()
    sent = time.time() * 1000
    subprocess.run(["xdotool", "mousemove", str(button.centre[0]), str(button.centre[1]),
                    "click", "1"], env=d.env, check=True)
    wait_for("the minimise-all", lambda: d.reveals() > before, timeout=10, interval=0.005)
    return float(d.shell_lines("minimise-all")[before].split()[1]) - sent


def measure(runs):
    resident = BUILD / "bench_resident.exe"
    show_desktop = BUILD / "bench_show_desktop.exe"
    click_floor = BUILD / "bench_click.exe"
    quorvel = BUILD / "quorvel.exe"
    results = []
    run.make_prefix.main()
    with WineDesktop("bench") as d:
        temp = d.windows_temp
        for index, (others, tmp) in enumerate(CONTENTS):
            f = {k: [] for k in ("ready", "ready0", "click", "click0", "reveal", "end",
                                 "reveal0", "end0", "least", "leftAtClick")}
            # The session's first round warms Wine up and is dropped: in it
            # every figure, the floors' too, came out 20 to 60 ms slower.
            warm_up = 1 if index == 0 else 0
            for _ in range(runs + warm_up):
                # quorvel.exe: start to ready, a click at once, then (its
                # cleanup over, TEMP as full again) a second start.
                d.reset("2")
                d.start_shell()
                seed_others(temp, others)
                seed_tmp(temp, tmp)
                f["ready"].append(launch(d, quorvel, "Desktop"))
                taskbar_form = wait_for("the taskbar form", lambda: d.find("Desktop"))
                f["click"].append(click(d, taskbar_form.hwnd))
                f["leftAtClick"].append(tmp_left(temp))
                wait_for("the cleanup's end", lambda: tmp_left(temp) == 0, timeout=300)
                seed_tmp(temp, tmp)
                reveal, end = second_start(d, quorvel)
                f["reveal"].append(reveal)
                f["end"].append(end)
                # Beside the same running instance, in the same TEMP: the
                # show-desktop command with the same calls, and the least one.
                reveal0, end0 = second_start(d, show_desktop, "hide", "wait")
                f["reveal0"].append(reveal0)
                f["end0"].append(end0)
                f["least"].append(second_start(d, show_desktop)[0])
                # The resident floor to ready and the click floor's click, in
                # the same TEMP.
                d.reset("2")
                d.start_shell()
                seed_others(temp, others)
                seed_tmp(temp, tmp)
                f["ready0"].append(launch(d, resident, "Resident floor"))
                d.reset("2")
                d.start_shell()
                seed_others(temp, others)
                seed_tmp(temp, tmp)
                d.start(click_floor, "ClickFloor", "wait")
                f["click0"].append(click(d, wait_for("the click floor",
                                                     lambda: d.find("ClickFloor")).hwnd))
            results.append(((others, tmp), {k: spread(v[warm_up:]) for k, v in f.items()}))
    return results


def table(results):
    lines = ["| TEMP | Start to ready | its floor | ratio | Click during the cleanup | its floor "
             "| ratio | *.tmp left at the click | Second start to minimise-all | its floor | "
             "ratio | least command | ratio | Second start to its end | its floor | ratio |",
             "|---" * 17 + "|"]
    for (others, tmp), s in results:
        what = f"{others:,} other files" + (f", {tmp:,} *.tmp" if tmp else "")

        def pair(k, k0):
            return f"{fmt(s[k])} | {fmt(s[k0])} | {s[k][0] / s[k0][0]:.2f}x"
        left = s["leftAtClick"]
        lines.append(f"| {what} | {pair('ready', 'ready0')} | {pair('click', 'click0')} | "
                     f"{left[0]:.0f} ({left[1]:.0f}-{left[2]:.0f}) | {pair('reveal', 'reveal0')} | "
                     f"{fmt(s['least'])} | {s['reveal'][0] / s['least'][0]:.2f}x | "
                     f"{pair('end', 'end0')} |")
    lines.append("")
    lines.append("Targets: the second start to minimise-all <= 1.10x its floor in every TEMP; "
                 "with 30,000 *.tmp files the button within 1.5 s and the click within 0.5 s.")
    return "\n".join(lines)


def main():
    if "--docs-from-last" in sys.argv[1:]:
        # The last run's table, as it wrote it, into the page (no measuring).
        text = (run.RESULTS / f"temp-{ARCH}.md").read_text().rstrip("\n")
        tables.write_between(tables.PERFORMANCE, f"temp-{ARCH}", "bench/temp_sizes.py", text)
        return 0
    runs = int(os.environ.get("QUORVEL_BENCH_RUNS", "5"))
    machine = tables.Machine(ARCH, 64 if BUILD.name == "windows64" else 32, run.wine.WINE)
    text = machine.caption(f"The requests against TEMP's size, median (min-max) of {runs} "
                           f"alternated runs") + "\n\n" + table(measure(runs))
    print(text)
    run.RESULTS.mkdir(parents=True, exist_ok=True)
    (run.RESULTS / f"temp-{ARCH}.md").write_text(text + "\n")
    if "--docs" in sys.argv[1:]:
        tables.write_between(tables.PERFORMANCE, f"temp-{ARCH}", "bench/temp_sizes.py", text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
