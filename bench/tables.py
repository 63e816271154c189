"""What the benchmark scripts share about their tables: the caption that says
on which machine, under what load and when a run was made, and the writing
of a table into a document between its markers, where a later run replaces
it. Nothing here measures; `python3 bench/tables.py` checks both on made-up
figures in a scratch folder."""
import os
import platform
import subprocess
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
README = ROOT / "README.md"
PERFORMANCE = ROOT / "docs" / "performance.md"


def cpu_model(cpuinfo=Path("/proc/cpuinfo")):
    """The processor's model name as the kernel reports it."""
    try:
        for line in cpuinfo.read_text().splitlines():
            key, _, value = line.partition(":")
            if key.strip() in ("model name", "Processor", "cpu model"):
                return " ".join(value.split())
    except OSError:
        pass
    return platform.processor() or platform.machine()


def wine_version(wine="wine"):
    try:
        out = subprocess.run([wine, "--version"], capture_output=True, text=True, timeout=30)
        return out.stdout.strip() or "wine (version unknown)"
    except (OSError, subprocess.TimeoutExpired):
        return "wine (version unknown)"


class Machine:
    """Read when a run starts: the date, the processor, Wine, the load."""

    def __init__(self, prefix_arch, exe_bits, wine="wine"):
        self.date = time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())
        self.cores = os.cpu_count()
        self.model = cpu_model()
        self.wine = wine_version(wine)
        self.prefix_bits = 64 if prefix_arch == "win64" else 32
        self.exe_bits = exe_bits
        self.load = os.getloadavg()[0]

    def caption(self, what):
        """`what`, then where and when it was measured: the one place a table
        gives its machine and date."""
        return (f"{what}. Run of {self.date} on {self.cores} cores ({self.model}), "
                f"{self.wine}, the {self.exe_bits}-bit exe in a {self.prefix_bits}-bit prefix "
                f"on Xvfb, load average {self.load:.2f} at the start.")


def start_marker(name, writer):
    return f"<!-- bench:{name}: written by {writer}; its next run replaces all up to /bench:{name} -->"


def end_marker(name):
    return f"<!-- /bench:{name} -->"


def write_between(path, name, writer, text):
    """Puts `text` into `path` between the markers `name`, in place of what
    a run wrote there before. Markers missing: an error, never a table
    appended somewhere."""
    document = Path(path).read_text()
    start, end = start_marker(name, writer), end_marker(name)
    if start not in document or end not in document:
        raise SystemExit(f"{path}: no markers {start!r} ... {end!r}")
    head, rest = document.split(start, 1)
    _, tail = rest.split(end, 1)
    Path(path).write_text(f"{head}{start}\n\n{text.strip()}\n\n{end}{tail}")


def _self_test():
    import tempfile

    with tempfile.TemporaryDirectory() as folder:
        doc = Path(folder) / "doc.md"
        doc.write_text("# Doc\n\nbefore\n\n" + start_marker("t", "x.py") + "\nold table\n"
                       + end_marker("t") + "\n\nafter\n")
        machine = Machine("win64", 32)
        for figure in ("1.0", "2.0"):
            write_between(doc, "t", "x.py", machine.caption("Fake") + f"\n\n| a |\n|---|\n| {figure} |")
        text = doc.read_text()
        assert text.count(start_marker("t", "x.py")) == 1 and text.count(end_marker("t")) == 1
        assert "old table" not in text and "| 1.0 |" not in text and "| 2.0 |" in text, text
        assert text.startswith("# Doc\n\nbefore\n\n") and text.endswith("\n\nafter\n"), text
        assert "32-bit exe in a 64-bit prefix" in text and "load average" in text, text
        try:
            write_between(doc, "missing", "x.py", "table")
        except SystemExit:
            pass
        else:
            raise AssertionError("a table written without its markers")
        print(text)


if __name__ == "__main__":
    _self_test()
