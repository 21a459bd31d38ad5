#!/usr/bin/env python3
"""Times the comparison programs of this folder in Velmora and in the interpreters an
application would otherwise embed, after checking that every implementation prints the same
checksum line. Standard library only; run it through run.sh."""

import argparse
import datetime
import os
import platform
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
VELMORA_DEFAULTS = ("build/release-pgo/bin/velmora", "build/release/bin/velmora", "build/default/bin/velmora")


class Impl:
    """One language implementation: how to find its interpreter and start a program."""

    def __init__(self, key, title, ext, candidates, env_var, velmora=False):
        self.key, self.title, self.ext = key, title, ext
        self.candidates, self.env_var, self.velmora = candidates, env_var, velmora
        self.command = None   # interpreter path once found
        self.version = None
        self.missing_note = None

    def argv(self, program):
        return [self.command, program]


IMPLS = [
    Impl("pascal", "Velmora Pascal", "pas", (), "VELMORA", velmora=True),
    Impl("vbscript", "Velmora VBScript", "vbs", (), "VELMORA", velmora=True),
    Impl("lua", "Lua", "lua", ("lua5.4", "lua"), "LUA"),
    Impl("python", "CPython", "py", ("python3",), "PYTHON"),
    Impl("perl", "Perl", "pl", ("perl",), "PERL"),
    Impl("tcl", "Tcl", "tcl", ("tclsh8.6", "tclsh"), "TCLSH"),
]
BY_KEY = {impl.key: impl for impl in IMPLS}
VELMORA_KEYS = ("pascal", "vbscript")
BASELINE_KEYS = ("lua", "python")


# ---------------------------------------------------------------- finding interpreters

def quiet_output(argv, stdin_text=None):
    """First non-empty line of a short command's output, or None when it fails."""
    try:
        done = subprocess.run(argv, input=stdin_text, capture_output=True, text=True,
                              timeout=20)
    except (OSError, subprocess.SubprocessError):
        return None
    if done.returncode != 0:
        return None
    for line in (done.stdout + "\n" + done.stderr).splitlines():
        if line.strip():
            return line.strip()
    return None


def find_velmora(explicit):
    if explicit:
        return os.path.abspath(explicit)
    if os.environ.get("VELMORA"):
        return os.path.abspath(os.environ["VELMORA"])
    for rel in VELMORA_DEFAULTS:
        path = os.path.join(REPO, rel)
        if os.path.isfile(path) and os.access(path, os.X_OK):
            return path
    return None


def velmora_version(path):
    line = quiet_output([path, "--version"])
    inside = path.startswith(REPO + os.sep)
    label = line or (os.path.relpath(path, REPO) if inside else path)
    # The checkout says which sources the binary was built from only when it was built here.
    commit = quiet_output(["git", "-C", REPO, "rev-parse", "--short", "HEAD"]) if inside else None
    return label + (" (built from checkout " + commit + ")" if commit else "")


def resolve_python(command):
    """The real interpreter behind a launcher (a version-manager shim costs start-up time)."""
    real = quiet_output([command, "-c", "import sys; print(sys.executable)"])
    return real if real and os.path.isfile(real) else command


def interpreter_version(impl):
    if impl.key == "lua":
        banner = quiet_output([impl.command, "-v"])   # "Lua 5.4.4  Copyright ..."
        return banner.split("  ")[0] if banner else None
    if impl.key == "python":
        return quiet_output([impl.command, "--version"])
    if impl.key == "perl":
        return quiet_output([impl.command, "-e", 'print "Perl $^V\\n"'])
    if impl.key == "tcl":
        level = quiet_output([impl.command], "puts [info patchlevel]\n")
        return "Tcl " + level if level else None
    return None


def locate_interpreter(impl):
    override = os.environ.get(impl.env_var)
    names = (override,) if override else impl.candidates
    found = next((path for path in map(shutil.which, names) if path), None)
    if not found and override:
        impl.missing_note = "%s=%s is not an executable" % (impl.env_var, override)
    elif not found:
        impl.missing_note = ("no %s interpreter (tried %s; install with "
                             "`bash scripts/install-deps.sh --bench`)"
                             % (impl.title, ", ".join(impl.candidates)))
    else:
        impl.command = resolve_python(found) if impl.key == "python" else found
        impl.version = interpreter_version(impl) or "unknown version"


def locate_all(velmora_arg):
    velmora = find_velmora(velmora_arg)
    velmora_ok = velmora and os.path.isfile(velmora) and os.access(velmora, os.X_OK)
    for impl in IMPLS:
        if not impl.velmora:
            locate_interpreter(impl)
        elif velmora_ok:
            impl.command, impl.version = velmora, velmora_version(velmora)
        elif velmora:
            impl.missing_note = "%s is not an executable file" % velmora
        else:
            impl.missing_note = ("velmora is not built yet (looked for %s): Velmora results "
                                 "pending" % " and ".join(VELMORA_DEFAULTS))


# ---------------------------------------------------------------- running one program

class RunResult:
    def __init__(self, wall, cpu, peak_kb, status, stdout, stderr, timed_out):
        self.wall, self.cpu, self.peak_kb, self.status = wall, cpu, peak_kb, status
        self.stdout, self.stderr, self.timed_out = stdout, stderr, timed_out


START_LOAD = os.getloadavg()[0]
START_TIME = datetime.datetime.now(datetime.timezone.utc)
TIME_TOOL = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else None


def read_text(handle):
    handle.seek(0)
    return handle.read().decode("utf-8", "replace")


def peak_from_time_tool(path):
    try:
        with open(path) as handle:
            lines = [l.strip() for l in handle if l.strip()]
        return int(lines[-1])
    except (OSError, ValueError, IndexError):
        return None


def run_once(argv, timeout):
    """Runs argv with stdout and stderr in files (a pipe could fill and stall the program),
    timing the wall clock and the processor time (user + system, the child's descendants
    included) and taking the peak resident set size."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            tempfile.NamedTemporaryFile(suffix=".mem") as mem:
        full = [TIME_TOOL, "-f", "%M", "-o", mem.name] + argv if TIME_TOOL else argv
        expired = threading.Event()
        start = time.perf_counter()
        proc = subprocess.Popen(full, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                start_new_session=True)
        timer = threading.Timer(timeout, lambda: (expired.set(), kill_group(proc.pid)))
        timer.start()
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - start
        timer.cancel()
        proc.returncode = os.waitstatus_to_exitcode(status)
        peak = peak_from_time_tool(mem.name) if TIME_TOOL else None
        if peak is None:
            peak = peak_from_rusage(usage)
        cpu = usage.ru_utime + usage.ru_stime
        return RunResult(wall, cpu, peak, proc.returncode, read_text(out), read_text(err),
                         expired.is_set())


def rusage_floor_kb():
    """A child's peak from getrusage counts the memory it had before exec, a copy of this
    runner's; peaks up to the runner's own are therefore unknown."""
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss


def peak_from_rusage(usage):
    return usage.ru_maxrss if usage.ru_maxrss > rusage_floor_kb() else None   # kilobytes


def kill_group(pid):
    try:
        os.killpg(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


# ---------------------------------------------------------------- checking and timing

def usage_error(message):
    print("run.sh: " + message, file=sys.stderr)
    sys.exit(2)


def benchmarks(only):
    names = sorted(d for d in os.listdir(HERE)
                   if os.path.isfile(os.path.join(HERE, d, "expected")))
    order = ["fib", "loops", "sieve", "strings", "split", "float", "calls", "method"]
    names.sort(key=lambda n: (order.index(n) if n in order else len(order), n))
    if only:
        unknown = [n for n in only if n not in names]
        if unknown:
            usage_error("unknown benchmark(s): %s (have: %s)"
                        % (", ".join(unknown), ", ".join(names)))
        names = [n for n in names if n in only]
    return names


def read_expected(bench):
    with open(os.path.join(HERE, bench, "expected")) as handle:
        return handle.read().strip()


def read_note(bench):
    path = os.path.join(HERE, bench, "NOTE")
    if not os.path.isfile(path):
        return None
    with open(path) as handle:
        return " ".join(handle.read().split())


def describe_status(status):
    """A crash shows as a negative status, or as 128 + signal when /usr/bin/time reports it."""
    signal_number = -status if status < 0 else (status - 128 if TIME_TOOL and status > 128
                                                else None)
    if signal_number:
        try:
            name = signal.Signals(signal_number).name
        except ValueError:
            name = "signal %d" % signal_number
        return "crashed (%s)" % name
    return "exit status %d" % status


def checksum_problem(result, expected):
    """Why a run does not count as correct, or None."""
    if result.timed_out:
        return "timed out"
    if result.status != 0:
        lines = [l for l in result.stderr.splitlines()
                 if l.strip() and not l.startswith("Command terminated by signal")]
        tail = " | ".join(lines[-3:]).replace(REPO + os.sep, "")
        return describe_status(result.status) + ((": " + tail) if tail else "")
    lines = [l.rstrip("\r") for l in result.stdout.splitlines() if l.strip()]
    if lines != [expected]:
        shown = " | ".join(lines[:3]) if lines else "nothing"
        return "printed %r, expected %r" % (shown, expected)
    return None


class Measurement:
    """The fastest of the timed runs (the warm-up alone when there are none). On a shared
    machine other work only ever adds time, so the minimum is the steadiest estimate of what a
    program costs; medians moved by a quarter between identical runs on the development box.

    Velmora's runs are made from several paths of different lengths (see PathSet); then each
    path keeps its fastest run, the figures are the median over the paths, and `spread` says
    how far the slowest path's time lies above the fastest's: a program whose speed depends on
    where the heap happens to place the interpreter's hot data shows a large spread."""

    def __init__(self, results, by_path=None):
        if by_path:
            bests = [Measurement(runs) for runs in by_path.values()]
            cpus = sorted(m.cpu for m in bests)
            self.cpu = median(cpus)
            self.wall = median(sorted(m.wall for m in bests))
            self.spread = (cpus[-1] - cpus[0]) / cpus[0] if cpus[0] > 0 else 0.0
        else:
            self.cpu = min(r.cpu for r in results)
            self.wall = min(r.wall for r in results)
            self.spread = None
        known = [r.peak_kb for r in results if r.peak_kb is not None]
        self.peak_kb = max(known) if known else None


def median(values):
    middle = len(values) // 2
    return values[middle] if len(values) % 2 else (values[middle - 1] + values[middle]) / 2.0


SPREAD_LIMIT = 0.10
LENGTHS = []   # the path lengths of this run (--path-lengths)


class PathSet:
    """Symbolic links to one program whose paths differ only in length. The path is the first
    thing the runner copies to the heap, so each length shifts everything allocated after it:
    timing every length exposes speed that depends on luck in memory layout."""

    def __init__(self, program, lengths, folder):
        ext = os.path.splitext(program)[1]
        self.paths = []
        for length in lengths:
            link = os.path.join(folder, "p" * length + ext)
            if not os.path.lexists(link):
                os.symlink(os.path.abspath(program), link)
            self.paths.append(link)


def measure_bench(bench, impls, runs, timeout, table, failures, lengths):
    """Times one benchmark: a checked warm-up of every implementation, then the timed runs in
    rounds (each implementation once per round, Velmora once per path length), so that a
    change in the machine's speed while the benchmark runs touches every column alike and the
    ratios stay fair."""
    expected = read_expected(bench)
    active = []
    with tempfile.TemporaryDirectory(prefix="velmora-paths-") as folder:
        for impl in impls:
            program = os.path.join(HERE, bench, bench + "." + impl.ext)
            label = "%s/%s" % (bench, os.path.basename(program))
            if not os.path.isfile(program):
                failures.append("%s: program file missing" % label)
                continue
            warm = run_once(impl.argv(program), timeout)
            problem = checksum_problem(warm, expected)
            if problem:
                failures.append("%s: %s" % (label, problem))
                table[(bench, impl.key)] = None
                continue
            paths = PathSet(program, lengths, folder).paths if impl.velmora and lengths else [program]
            active.append((impl, paths, label, [warm], {p: [] for p in paths}))
        for _ in range(runs):
            for entry in list(active):
                impl, paths, label, results, by_path = entry
                for path in paths:
                    result = run_once(impl.argv(path), timeout)
                    problem = checksum_problem(result, expected)
                    if problem:
                        failures.append("%s: %s (on a timed run)" % (label, problem))
                        table[(bench, impl.key)] = None
                        active.remove(entry)
                        break
                    results.append(result)
                    by_path[path].append(result)
    for impl, paths, label, results, by_path in active:
        # The warm-up counts only when there are no timed runs.
        timed = results[1:]
        measurement = Measurement(timed or results, by_path if timed and len(paths) > 1 else None)
        table[(bench, impl.key)] = measurement
        print("  %-22s%s" % (label, describe(measurement)), flush=True)


def measure_all(names, impls, runs, timeout, lengths):
    table, failures = {}, []
    for bench in names:
        measure_bench(bench, impls, runs, timeout, table, failures, lengths)
    return table, failures


# ---------------------------------------------------------------- start-up

STARTUP = {}   # implementation key -> (fastest, median) wall milliseconds of an empty program


def spawn_wall_ms(argv):
    """Wall time of one start of argv, spawned directly (no shell, no pipes to drain), so
    that what is timed is the interpreter's own start and exit."""
    null = os.open(os.devnull, os.O_RDWR)
    try:
        begin = time.perf_counter()
        pid = os.posix_spawn(argv[0], argv, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, null, 0),
                                           (os.POSIX_SPAWN_DUP2, null, 1),
                                           (os.POSIX_SPAWN_DUP2, null, 2)])
        _, status = os.waitpid(pid, 0)
        elapsed = (time.perf_counter() - begin) * 1000.0
    finally:
        os.close(null)
    return elapsed if os.waitstatus_to_exitcode(status) == 0 else None


def measure_startup(impls, runs):
    """Starts every implementation on an empty program `runs` times, in rounds, and keeps the
    fastest and the median start. An implementation whose empty program fails is left out."""
    if runs <= 0:
        return
    with tempfile.TemporaryDirectory(prefix="velmora-startup-") as folder:
        argvs = {}
        for impl in impls:
            program = os.path.join(folder, "empty." + impl.ext)
            open(program, "w").close()
            argvs[impl.key] = impl.argv(program)
        times = {key: [] for key in argvs}
        for _ in range(runs):
            for key, argv in argvs.items():
                if times[key] is not None:
                    ms = spawn_wall_ms(argv)
                    times[key] = None if ms is None else times[key] + [ms]
    for key, values in times.items():
        if values:
            values.sort()
            STARTUP[key] = (values[0], median(values))
    print("  start-up: " + ", ".join("%s %.2f ms" % (key, STARTUP[key][0]) for key in STARTUP))


def startup_rows():
    header = ["", "fastest (ms)", "median (ms)", "fastest / Lua", "median / Lua"]
    lua = STARTUP.get("lua")
    rows = []
    for impl in IMPLS:
        if impl.key not in STARTUP:
            continue
        fastest, middle = STARTUP[impl.key]
        rows.append([impl.title, "%.3f" % fastest, "%.3f" % middle,
                     fmt_ratio(fastest / lua[0]) if lua else "-",
                     fmt_ratio(middle / lua[1]) if lua else "-"])
    return header, rows


def describe(result):
    if result is None:
        return "FAILED"
    text = "%8.3f s cpu %8.3f s wall %8s MB" % (result.cpu, result.wall,
                                                fmt_megabytes(result.peak_kb))
    if result.spread is not None:
        text += "  spread %5.1f %%%s" % (100 * result.spread, spread_mark(result))
    return text


def spread_mark(result):
    return "  LAYOUT-SENSITIVE" if result.spread is not None and result.spread > SPREAD_LIMIT else ""


# ---------------------------------------------------------------- reporting

def ratio(table, bench, num_key, den_key, metric):
    num, den = table.get((bench, num_key)), table.get((bench, den_key))
    if not num or not den or not getattr(den, metric):
        return None
    return getattr(num, metric) / getattr(den, metric)


def fmt_ratio(value):
    return "-" if value is None else "%.2f" % value


def geomean_ratio(table, names, num_key, den_key, metric):
    ratios = [ratio(table, bench, num_key, den_key, metric) for bench in names]
    if not ratios or None in ratios:
        return "-"
    product = 1.0
    for r in ratios:
        product *= r
    return fmt_ratio(product ** (1.0 / len(ratios)))


def ratio_columns():
    return [(v, b) for v in VELMORA_KEYS for b in BASELINE_KEYS]


def short(key):
    return {"pascal": "Pas", "vbscript": "VBS", "lua": "Lua", "python": "Py"}[key]


def cell(impl, table, bench, value):
    if impl.command is None:
        return "pending" if impl.velmora else "n/a"
    if (bench, impl.key) in table and table[(bench, impl.key)] is None:
        return "FAILED"
    return value(table.get((bench, impl.key)))


def footnotes(names):
    """Benchmark name -> footnote number, for benchmarks that carry a NOTE file."""
    marked = [bench for bench in names if read_note(bench)]
    return {bench: k + 1 for k, bench in enumerate(marked)}


def time_rows(table, names, metric):
    """One row per benchmark with the best of `metric` ("cpu" or "wall") per implementation
    and the Velmora ratios to the baselines, then the geometric means of the ratios."""
    header = ["benchmark"] + [i.title for i in IMPLS] + \
             ["%s/%s" % (short(v), short(b)) for v, b in ratio_columns()]
    seconds = lambda r: "%.3f" % getattr(r, metric) if r else "-"
    rows, marks = [], footnotes(names)
    for bench in names:
        row = [bench + (" [%d]" % marks[bench] if bench in marks else "")]
        row += [cell(i, table, bench, seconds) for i in IMPLS]
        row += [fmt_ratio(ratio(table, bench, v, b, metric)) for v, b in ratio_columns()]
        rows.append(row)
    mean = ["geometric mean"] + [""] * len(IMPLS) + \
           [geomean_ratio(table, names, v, b, metric) for v, b in ratio_columns()]
    rows.append(mean)
    return header, rows


def fmt_megabytes(kilobytes):
    if kilobytes is None:
        return "<%.0f" % (rusage_floor_kb() / 1024.0)
    return "%.1f" % (kilobytes / 1024.0)


def memory_rows(table, names):
    header = ["benchmark"] + [i.title for i in IMPLS]
    fmt = lambda r: fmt_megabytes(r.peak_kb) if r else "-"
    rows = [[bench] + [cell(i, table, bench, fmt) for i in IMPLS] for bench in names]
    return header, rows


def plain_table(header, rows):
    widths = [max(len(str(x)) for x in col) for col in zip(header, *rows)]
    line = lambda r: "  ".join(str(x).rjust(w) if k else str(x).ljust(w)
                               for k, (x, w) in enumerate(zip(r, widths)))
    return "\n".join([line(header), line(["-" * w for w in widths])] + [line(r) for r in rows])


def markdown_table(header, rows):
    out = ["| " + " | ".join(header) + " |",
           "|" + "|".join(["---"] + ["---:"] * (len(header) - 1)) + "|"]
    out += ["| " + " | ".join(str(x) for x in r) + " |" for r in rows]
    return "\n".join(out)


def missing_notes():
    """Why implementations are left out, once per interpreter (both Velmora dialects share one)."""
    out = []
    for impl in IMPLS:
        name = "Velmora" if impl.velmora else impl.title
        line = "%s: %s" % (name, impl.missing_note)
        if impl.missing_note and line not in out:
            out.append(line)
    return out


def notes(names, failures):
    out = ["[%d] %s: %s" % (k, bench, read_note(bench))
           for bench, k in footnotes(names).items()]
    return out + missing_notes() + ["FAILED " + failure for failure in failures]


def machine_lines(runs):
    cpu = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as handle:
            for line in handle:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    date = START_TIME.strftime("%Y-%m-%d %H:%M UTC")
    lines = ["Machine: %s, %d logical CPUs (nproc), %s %s" %
             (cpu, os.cpu_count() or 0, platform.system(), platform.release()),
             "Started: %s (load average %.2f then)" % (date, START_LOAD),
             "Runs: one warm-up, then the fastest of %d timed runs; peak memory is the largest "
             "resident set size seen (%s)" % (runs, "/usr/bin/time -f %M" if TIME_TOOL else
                                              "getrusage of the child, blind below the "
                                              "runner's own size")]
    for impl in IMPLS:
        if impl.velmora and impl.key == "vbscript":
            continue
        name = "Velmora" if impl.velmora else impl.title
        missing = "pending (not built yet)" if impl.velmora else "not available"
        lines.append("%s: %s" % (name, impl.version or missing))
    return lines


SECTIONS = (
    ("cpu", "Processor time (user + system, seconds, fastest run)",
     "The main comparison: unlike wall time it hardly changes when other work shares the "
     "machine. Ratios are Velmora divided by Lua or CPython (above 1 = Velmora slower); the "
     "last row is their geometric mean."),
    ("wall", "Wall time (seconds, fastest run)",
     "Includes start-up; inflated when the machine is busy."),
)


def spread_rows(table, names):
    """Velmora's processor time per benchmark as the median over the path lengths, beside the
    spread between the fastest and the slowest path."""
    velmora = [i for i in IMPLS if i.velmora]
    header = ["benchmark"] + [h for i in velmora for h in (i.title + " median", "spread")]
    rows = []
    for bench in names:
        row = [bench]
        for impl in velmora:
            result = table.get((bench, impl.key))
            has_spread = result is not None and result.spread is not None
            row += ["%.3f" % result.cpu if has_spread else "-",
                    ("%.1f %%" % (100 * result.spread) + spread_mark(result)) if has_spread else "-"]
        rows.append(row)
    return header, rows


def spread_title(lengths):
    return ("Velmora across path lengths (processor time, seconds: median over paths of "
            "%s characters)" % ", ".join(str(n) for n in lengths),
            "Each program runs through symbolic links whose names differ only in length; the "
            "spread is the slowest path's time over the fastest's, minus one. Above %d %% the "
            "program's speed depends on memory-layout luck (LAYOUT-SENSITIVE)."
            % round(100 * SPREAD_LIMIT))


def report_sections(table, names, render):
    out = []
    for metric, title, text in SECTIONS:
        out += [title, text, render(*time_rows(table, names, metric))]
    if LENGTHS:
        out += list(spread_title(LENGTHS)) + [render(*spread_rows(table, names))]
    out += ["Peak resident memory (MB)", "", render(*memory_rows(table, names))]
    if STARTUP:
        out += ["Start-up (an empty program, wall time)",
                "Each implementation starts on an empty file and exits, many times in rounds.",
                render(*startup_rows())]
    return out


def report_text(table, names, runs, failures):
    out = machine_lines(runs)
    sections = report_sections(table, names, plain_table)
    for k in range(0, len(sections), 3):
        out += ["", sections[k] + ":"] + ([sections[k + 1]] if sections[k + 1] else []) + \
               ["", sections[k + 2]]
    return "\n".join(out + [""] + notes(names, failures))


def report_markdown(table, names, runs, failures):
    out = ["# Velmora against embeddable interpreters", "",
           "Made with `bash bench/compare/run.sh --markdown bench/compare/RESULTS.md`; "
           "README.md in this folder describes the programs.", ""]
    out += ["- " + l for l in machine_lines(runs)]
    sections = report_sections(table, names, markdown_table)
    for k in range(0, len(sections), 3):
        out += ["", "## " + sections[k], ""] + ([sections[k + 1], ""] if sections[k + 1]
                                                else []) + [sections[k + 2]]
    extra = notes(names, failures)
    if extra:
        out += ["", "## Notes", ""] + ["- " + n for n in extra]
    return "\n".join(out) + "\n"


# ---------------------------------------------------------------- main

def parse_args(argv):
    parser = argparse.ArgumentParser(
        prog="run.sh", description="Compare Velmora with Lua, CPython, Perl and Tcl.")
    parser.add_argument("velmora", nargs="?", help="path to the velmora binary "
                        "(default: $VELMORA, then %s)" % ", ".join(VELMORA_DEFAULTS))
    parser.add_argument("-n", "--runs", type=int, default=3,
                        help="timed runs after the warm-up (default 3)")
    parser.add_argument("--only", help="comma-separated benchmarks to run")
    parser.add_argument("--langs", help="comma-separated implementations: " +
                        ",".join(i.key for i in IMPLS))
    parser.add_argument("--check", action="store_true",
                        help="only verify the checksums (one run each, no timing table)")
    parser.add_argument("--timeout", type=float, default=600.0,
                        help="seconds before one run is killed (default 600)")
    parser.add_argument("--path-lengths", default="1,8,15,22,29,36",
                        help="comma-separated lengths of the file names Velmora runs each "
                        "program from, to expose layout-dependent speed (default "
                        "1,8,15,22,29,36; 0 runs the program from its own path only)")
    parser.add_argument("--startup-runs", type=int, default=300,
                        help="starts of an empty program per implementation for the start-up "
                        "table (default 300; 0 leaves it out)")
    parser.add_argument("--markdown", metavar="FILE",
                        help="also write the results as a Markdown document")
    args = parser.parse_args(argv)
    if args.runs < 0:
        parser.error("--runs must not be negative")
    try:
        args.lengths = [int(n) for n in args.path_lengths.split(",") if n.strip()]
    except ValueError:
        parser.error("--path-lengths takes numbers, for example 1,8,15")
    if any(n < 0 or n > 200 for n in args.lengths):
        parser.error("--path-lengths must be between 0 and 200")
    args.lengths = [n for n in args.lengths if n > 0]
    if len(args.lengths) == 1:
        parser.error("--path-lengths needs two lengths or more to measure a spread")
    return args


def chosen_impls(langs):
    if not langs:
        return IMPLS
    keys = [k.strip() for k in langs.split(",") if k.strip()]
    unknown = [k for k in keys if k not in BY_KEY]
    if unknown:
        usage_error("unknown implementation(s): %s (have: %s)"
                    % (", ".join(unknown), ", ".join(BY_KEY)))
    return [BY_KEY[k] for k in keys]


def main(argv):
    args = parse_args(argv)
    names = benchmarks([n.strip() for n in args.only.split(",")] if args.only else None)
    locate_all(args.velmora)
    impls = [i for i in chosen_impls(args.langs) if i.command]
    for line in missing_notes():
        print("note: skipping " + line)
    if not impls:
        print("Nothing to run: none of the chosen implementations is available.")
        return 0
    runs = 0 if args.check else args.runs
    print("%s %d benchmark(s) with: %s" % ("Checking" if args.check else "Timing",
                                          len(names), ", ".join(i.title for i in impls)))
    global LENGTHS
    LENGTHS = args.lengths
    table, failures = measure_all(names, impls, runs, args.timeout, LENGTHS)
    if not args.check:
        measure_startup(impls, args.startup_runs)
    if not args.check:
        print()
        print(report_text(table, names, runs, failures))
        if args.markdown:
            with open(args.markdown, "w") as handle:
                handle.write(report_markdown(table, names, runs, failures))
            print("\nwrote " + args.markdown)
    if failures:
        print("\n" + "!" * 72, file=sys.stderr)
        print("CHECKSUM MISMATCH OR FAILURE in %d run(s):" % len(failures), file=sys.stderr)
        for failure in failures:
            print("  " + failure, file=sys.stderr)
        print("!" * 72, file=sys.stderr)
        return 1
    print("\nAll checksums agree.")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except KeyboardInterrupt:
        sys.exit(130)
