#!/usr/bin/env python3
"""Helper of tools/run-bench.sh: the summary of the probe's per-run figures as a Markdown
table with medians, ranges, ratios and targets, the change of track read from the saver's
MCI traces, and the settings dialog's time to open.

    bench.py summarize <results folder> <results.md> <README.md> [--load-before ...] ...
    bench.py tracks <results folder> <results.md> [--baseline ...] ...
    bench.py dialog <results folder> <results.md> <README.md> [--load-before ...] ...
"""
import argparse
import glob
import math
import os
import platform
import re
import statistics
import subprocess
import sys
import textwrap

README_START = "<!-- bench:start -->"
README_END = "<!-- bench:end -->"
TRACKS_START = "<!-- tracks:start -->"
TRACKS_END = "<!-- tracks:end -->"
DIALOG_START = "<!-- dialog:start -->"
DIALOG_END = "<!-- dialog:end -->"
# The settings dialog's rows of the table, known by how their names start.
DIALOG_ROWS = ("| Settings dialog", "| The line under the playlist's path")
# What opening the dialog may add for the line at most: below what a user notices as a wait.
DIALOG_LINE_TARGET_MS = 100
# Prose in results.md is wrapped to this width; tables and the README's block are not.
WRAP_WIDTH = 100
# A +timestamp,+mci trace line: seconds with milliseconds, the thread, the channel's message.
TRACE_LINE = re.compile(r"^(\d+\.\d+):[0-9a-f]+:trace:mci:(.*)$")


def read_run(path):
    figures = {}
    with open(path, encoding="ascii") as run:
        for line in run:
            parts = line.split()
            if len(parts) == 2:
                figures.setdefault(parts[0], []).append(float(parts[1]))
    return {name: values if len(values) > 1 else values[0] for name, values in figures.items()}


def read_runs(folder):
    runs = {"minimal": [], "music": [], "resume": [], "fade": [], "quiet": []}
    for path in sorted(glob.glob(os.path.join(folder, "[0-9]*-*.txt"))):
        kind = os.path.basename(path)[3:-4]
        runs[kind].append(read_run(path))
    return runs


class Figure:
    """Median and range of one figure over the runs that produced it."""

    def __init__(self, values):
        self.values = [v for v in values if v is not None and v >= 0]
        self.missing = len(values) - len(self.values)

    @property
    def median(self):
        return statistics.median(self.values) if self.values else float("nan")

    def text(self, unit):
        if not self.values:
            return "no data" if self.missing else "—"
        low, high = min(self.values), max(self.values)
        return f"{unit(self.median)} ({unit(low)}–{unit(high)})"


def ms(value):
    return f"{value:.0f} ms" if value >= 10 else f"{value:.1f} ms"


def cpu(value):
    """CPU time over the stretch, and the share of one core it is."""
    return f"{value:.0f} ms"


def mib(kib):
    return f"{kib / 1024:.1f} MiB"


def per_stretch(run, measure_ms):
    """CPU milliseconds over exactly measure_ms: the probe's stretch is a few ms longer."""
    if "linux_cpu_ms" not in run or run.get("stretch_ms", 0) <= 0 or run["linux_cpu_ms"] < 0:
        return None
    return run["linux_cpu_ms"] * measure_ms / run["stretch_ms"]


def row(name, minimal, product, unit, target, verdict):
    ratio = product.median / minimal.median if minimal.values and minimal.median else float("nan")
    ratio_text = f"{ratio:.2f}×" if math.isfinite(ratio) else "—"
    return (f"| {name} | {minimal.text(unit)} | {product.text(unit)} | {ratio_text} "
            f"| {target} | {verdict} |")


def judge(ok, detail):
    return ("met" if ok else "**missed**") + f" ({detail})"


def paragraph(text):
    return textwrap.fill(text, WRAP_WIDTH, break_long_words=False, break_on_hyphens=False)


def bullet(text):
    """A list item of results.md, its text wrapped under its dash."""
    return textwrap.fill(text, WRAP_WIDTH, initial_indent="- ", subsequent_indent="  ",
                         break_long_words=False, break_on_hyphens=False)


def machine_lines(args):
    model = "unknown CPU"
    with open("/proc/cpuinfo", encoding="utf-8") as info:
        for line in info:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run([os.environ.get("WINE", "wine"), "--version"], capture_output=True,
                          text=True).stdout.strip()
    return [
        f"Machine: {model}, {os.cpu_count()} cores, Linux {platform.release()}, {wine}, "
        f"the {args.arch} build, "
        f"Xvfb 1024×768×24. Load average (1, 5, 15 min) {args.load_before} before the run, "
        f"{args.load_after} after. Commit {args.commit}, {args.date}.",
        f"{args.rounds} rounds of minimal, saver with music, saver with music in play order 1 "
        f"(continuing), saver with music at volume 50 fading in, minimal, saver without music: "
        f"{len(args.runs['minimal'])} minimal runs, {len(args.runs['music'])} + "
        f"{len(args.runs['resume'])} + {len(args.runs['fade'])} + {len(args.runs['quiet'])} "
        f"saver runs, after one unmeasured warm-up of each program.",
    ]


def table(args):
    runs, measure = args.runs, args.measure_ms

    def figure(kind, name):
        return Figure([r.get(name, -1) for r in runs[kind]])

    def cpu_figure(kind):
        return Figure([per_stretch(r, measure) for r in runs[kind]])

    lines = [
        "| Figure | Minimal saver, median (min–max) | velora_ss_launcher, median (min–max) "
        "| Ratio | Target | Result |",
        "|---|---|---|---|---|---|",
    ]
    start_m, start_p = figure("minimal", "start_ms"), figure("music", "start_ms")
    ratio = start_p.median / start_m.median
    lines.append(row("Start to first paint (saver: accessory and playlist configured)",
                     start_m, start_p, ms, "≤ 1.25× minimal", judge(ratio <= 1.25, f"{ratio:.2f}×")))

    one_percent = measure / 100
    cpu_m, cpu_q = cpu_figure("minimal"), cpu_figure("quiet")
    extra = cpu_q.median - cpu_m.median
    lines.append(row(f"CPU time over {measure / 1000:.0f} s, no music", cpu_m, cpu_q, cpu,
                     f"≤ minimal + {one_percent:.0f} ms (1 % of one core)",
                     judge(extra <= one_percent, f"{extra:+.0f} ms, {extra / one_percent:+.1f} %")))
    cpu_s = cpu_figure("music")
    extra = cpu_s.median - cpu_m.median
    lines.append(row(f"CPU time over {measure / 1000:.0f} s, music playing", cpu_m, cpu_s, cpu,
                     "— (what the sound costs)", f"{extra:+.0f} ms, {extra / one_percent:+.1f} % "
                     "of one core"))

    exit_m, exit_p = figure("minimal", "exit_ms"), figure("music", "exit_ms")
    extra = exit_p.median - exit_m.median
    lines.append(row("Key press to process exit (saver: IDM_EXIT to the accessory, music "
                     "stopped)", exit_m, exit_p, ms, "≤ minimal + 100 ms",
                     judge(extra <= 100, f"{extra:+.0f} ms")))
    # Play order 1 keeps its place on the way out; a step of Wine's sound buffers is about
    # 11 ms, so within that of order 0 is within the noise.
    exit_r = figure("resume", "exit_ms")
    extra = exit_r.median - exit_p.median
    lines.append(row("Key press to process exit, play order 1 (the same, and the place kept "
                     "in the settings file)", exit_m, exit_r, ms,
                     "≤ play order 0 + 11 ms (the row above)",
                     judge(extra <= 11, f"{extra:+.0f} ms over order 0")))
    # The volume and the gentle start put the audio session's level back on the way out: one
    # call, held to the same step of Wine's sound buffers.
    exit_f = figure("fade", "exit_ms")
    extra = exit_f.median - exit_p.median
    lines.append(row("Key press to process exit with volume and fade in set (the same, "
                     "`volume=50` and `fadein=1`: the session's level put back)", exit_m, exit_f,
                     ms, "≤ the row without them + 11 ms (order 0)",
                     judge(extra <= 11, f"{extra:+.0f} ms over the row without them")))

    for kind, label in (("quiet", "no music"), ("music", "music playing")):
        peak_m, peak_p = figure("minimal", "linux_peak_kib"), figure(kind, "linux_peak_kib")
        extra = (peak_p.median - peak_m.median) / 1024
        lines.append(row(f"Peak working set, {label}", peak_m, peak_p, mib, "—",
                         f"{extra:+.1f} MiB"))
        private_m = figure("minimal", "linux_private_kib")
        private_p = figure(kind, "linux_private_kib")
        extra = (private_p.median - private_m.median) / 1024
        if kind == "quiet":
            lines.append(row(f"Private bytes, {label}", private_m, private_p, mib,
                             "≤ minimal + 1 MiB", judge(extra <= 1, f"{extra:+.1f} MiB")))
        else:
            lines.append(row(f"Private bytes, {label}", private_m, private_p, mib, "—",
                             f"{extra:+.1f} MiB"))

    none = Figure([])
    load, add = Figure(args.playlist.get("load_ms", [])), Figure(args.playlist.get("add_entry_ms", []))
    lines.append(row("`Playlist::Load` of a 2048-line playlist", none, load, ms, "< 20 ms",
                     judge(load.median < 20, f"{load.median:.1f} ms")))
    utf8 = Figure(args.playlist.get("load_utf8_ms", []))
    lines.append(row("`Playlist::Load` of the same playlist in UTF-8", none, utf8, ms, "< 20 ms",
                     judge(utf8.median < 20, f"{utf8.median:.1f} ms")))
    lines.append(row("2048 `AddEntry` calls", none, add, ms, "—", "—"))
    return lines


def how_lines(args):
    """How each figure of the table is taken."""
    seconds = args.measure_ms / 1000
    quiet_exit = Figure([r.get("exit_ms", -1) for r in args.runs["quiet"]])
    rounds = len(args.playlist.get("load_ms", []))
    return [
        "## How the figures are taken",
        "",
        bullet("Start to first paint: from just before `CreateProcess` until five screen pixels "
               "(the corners and the centre) all show the fill colour, one under the accessory's "
               "window counting as filled."),
        bullet("CPU time: utime + stime of the Linux process behind the child "
               f"(`/proc/<pid>/stat`, every thread) over {seconds:.0f} s from 2.5 s after the "
               "first paint, with the accessory up and the music playing."),
        bullet("Key press to exit: from `SendInput` of a space key to the process's end, in the "
               "saver's runs with music, which it stops on the way out; without music it exits in "
               f"{quiet_exit.text(ms)}. Play order 1 also keeps its place (`[lastplay]`), which "
               "the next such run resumes; volume 50 with the gentle start (`volume=50`, "
               "`fadein=1`, the rise over long before the key) puts the session's level back."),
        bullet("Memory, at the stretch's end: VmHWM (`/proc/<pid>/status`) as peak working set, "
               "Private_Dirty (`/proc/<pid>/smaps_rollup`) as private bytes."),
        bullet(f"The playlist: `playlist_bench`, {rounds} rounds in one process, the music "
               "device a no-op."),
        bullet("The session: the tests' Wine session (Xvfb 1024×768×24, fresh prefix, "
               "ja_JP.UTF-8), windows unmanaged (notes.md), the sound sink paced (pace.c)."),
    ] + check_lines(args)


def limit_lines(args):
    """What the figures cannot say, with what this run showed of it."""
    every = [r for runs in args.runs.values() for r in runs]
    starts = {kind: Figure([r.get("start_ms", -1) for r in args.runs[kind]])
              for kind in ("minimal", "music")}
    spreads = {kind: max(f.values) - min(f.values) if f.values else float("nan")
               for kind, f in starts.items()}
    margin = starts["minimal"].median / 4
    probe_own = [r for r in every if r.get("probe_cpu_total_ms", -1) >= 0
                 and abs(r.get("win_cpu_total_ms", -1) - r["probe_cpu_total_ms"]) <= 20]
    peak_same = sum(1 for r in every if r.get("win_peak_ws_kib") == r.get("linux_peak_kib"))
    private_zero = sum(1 for r in every if r.get("win_private_kib") == 0)
    return [
        "## What limits them",
        "",
        bullet("Wine, not Windows: every figure is Wine's on Linux (its loader, its X11 "
               "driver on Xvfb, its sound stack over ALSA), not what the saver costs on "
               "Windows."),
        bullet("The machine: two cores, shared by both programs, the wineserver and Xvfb. Start "
               f"to first paint spread over {spreads['minimal']:.0f} ms in the minimal saver's "
               f"runs and {spreads['music']:.0f} ms in the saver's, where its target leaves "
               f"{margin:.0f} ms (a quarter of the minimal saver's median): its ratio moves with "
               "the machine from run to run."),
        bullet("The music's stop: with music, the key press to exit includes Wine's MCI wave "
               "driver playing out the buffer it has queued (about 58 ms in a trace) before "
               "\"stop bgm\" returns. Exits fall in steps of about 11 ms, Wine's sound buffers, "
               "so play order 1 is judged within one step of order 0."),
        bullet("Resolution: CPU time counts in 10 ms ticks (0 ms is under one tick); private "
               "bytes leave out Private_Clean, which moves with other programs mapping the same "
               "DLLs (0 to 2 MiB)."),
        bullet("Wine's answers about another process are not used: `GetProcessTimes` on the child "
               f"gave the probe's own times in {len(probe_own)} of {len(every)} runs, "
               f"`GetProcessMemoryInfo` a PrivateUsage of 0 in {private_zero} of {len(every)} "
               f"(its PeakWorkingSetSize matched VmHWM in {peak_same})."),
    ]


def check_lines(args):
    runs = args.runs
    every = [r for kind_runs in runs.values() for r in kind_runs]
    problems = []
    for kind, kind_runs in runs.items():
        for i, r in enumerate(kind_runs):
            where = f"{kind} run {i + 1}"
            if r.get("start_ms", -1) < 0:
                problems.append(f"{where}: the screen was never filled")
            if r.get("exit_ms", -1) < 0:
                problems.append(f"{where}: did not exit after the key")
            if r.get("exit_code", -1) != 0:
                problems.append(f"{where}: exit code {r.get('exit_code')}")
            if r.get("linux_pid", 0) == 0:
                problems.append(f"{where}: Linux process not found")
            if kind != "minimal" and r.get("accessory_running", 0) != 1:
                problems.append(f"{where}: the accessory was not running")
            if kind != "minimal" and r.get("accessory_left", 0) != 0:
                problems.append(f"{where}: the accessory stayed after the saver's exit")
            music = kind in ("music", "resume", "fade")
            if music and r.get("sound_bytes", 0) <= 0:
                problems.append(f"{where}: no sound during the stretch")
            if not music and r.get("sound_bytes", 0) > 0:
                problems.append(f"{where}: sound where none was configured")
            if kind == "resume" and r.get("place_kept", 0) != 1:
                problems.append(f"{where}: no place kept in the settings file")
    if args.playlist.get("failures", 1) != 0:
        problems.append("playlist micro-benchmark: a round did not store 2048 tracks, or the "
                        "UTF-8 playlist gave other tracks")
    sound = [r["sound_bytes"] / (r["stretch_ms"] / 1000)
             for r in runs["music"] + runs["resume"] + runs["fade"] if r.get("sound_bytes", 0) > 0]
    summary = ("Checks: every run filled the screen and exited with 0 on the key; the accessory "
               "ran in every saver run and left with it; music runs wrote "
               f"{statistics.median(sound) / 1024:.0f} KiB/s of sound (CD quality is 172), the "
               "others none; every run in play order 1 kept a place in the settings file."
               if not problems and sound else "Checks: " + "; ".join(problems or ["no sound"]))
    return [bullet(summary) if len(every) else bullet("Checks: no runs")]


def read_trace(path):
    """The music's events in a saver's MCI trace, in order, each (kind, milliseconds): "open" and
    "play" for the commands, "end" for a device's notice that a play ended successfully."""
    events = []
    if not os.path.exists(path):
        return events
    with open(path, encoding="utf-8", errors="replace") as trace:
        for line in trace:
            match = TRACE_LINE.match(line)
            if not match:
                continue
            at, message = float(match.group(1)) * 1000, match.group(2).rstrip()
            if message.startswith('mciSendStringW (L"open '):
                events.append(("open", at))
            elif message.startswith('mciSendStringW (L"play bgm'):
                events.append(("play", at))
            elif message.startswith("mciDriverNotify (") and message.endswith(", 0001)"):
                events.append(("end", at))
    return events


def track_figures(events):
    """Open to open of one track after another, and a track's end to the next play command."""
    opens = [at for kind, at in events if kind == "open"]
    intervals = [later - earlier for earlier, later in zip(opens, opens[1:])]
    end_to_play = []
    for index, (kind, at) in enumerate(events):
        if kind == "end":
            following = [later for later_kind, later in events[index + 1:] if later_kind == "play"]
            if following:
                end_to_play.append(following[0] - at)
    return intervals, end_to_play


def worst_text(values):
    if not values:
        return "no data"
    return f"{ms(statistics.median(values))} (worst {ms(max(values))}, {len(values)} changes)"


def tracks_section(args):
    """The change of track, now and in the baseline, between the section markers."""
    now_open, now_end = track_figures(read_trace(os.path.join(args.results, "tracks-now.trace")))
    before_open, before_end = track_figures(
        read_trace(os.path.join(args.results, "tracks-before.trace")))
    verdict = (judge(max(now_end) <= 10, f"worst {ms(max(now_end))}") if now_end
               else "**no data**")
    lines = [
        TRACKS_START,
        "## Change of track",
        "",
        paragraph(f"24 tones of 0.4 s at CD quality, played for {args.track_ms / 1000:.0f} s with "
                  f"the sound sink paced in real time, by the {args.arch} build of commit "
                  f"{args.commit} ({args.date}) and by {args.baseline}, the last build whose next "
                  f"track waited for the music tick. Medians, worst and number of changes:"),
        "",
        f"| Figure | Baseline {args.baseline} (next track at the tick) | Now (next track at the "
        f"device's notice) | Target | Result |",
        "|---|---|---|---|---|",
        f"| Open of a track to the open of the next | {worst_text(before_open)} | "
        f"{worst_text(now_open)} | — | — |",
        f"| A track's end (the device's notice) to the play command of the next | "
        f"{worst_text(before_end) if before_end else '— (no notice is asked for)'} | "
        f"{worst_text(now_end)} | ≤ 10 ms | {verdict} |",
        "",
        bullet("How: `WINEDEBUG=+timestamp,+mci` traces each MCI command and each successful "
               "`mciDriverNotify` with the time in milliseconds."),
        bullet("What it means: between the notice and the play command the saver takes the "
               "notice from its queue, closes the device and opens the next file: the silence it "
               "adds. Wine's own latency is in neither figure; [docs/real-windows.md]"
               "(../docs/real-windows.md) says how to hear the gap on Windows."),
        TRACKS_END,
    ]
    return lines


def replace_section(path, section, start, end, before=None):
    """Puts the section between its markers in results.md, or else before the text before
    (another section's marker), or else at the end."""
    text = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
    block = "\n".join(section)
    if start in text and end in text:
        text = re.sub(re.escape(start) + ".*?" + re.escape(end), lambda _: block, text,
                      flags=re.S)
    elif before and before in text:
        at = text.find(before)
        text = text[:at] + block + "\n\n" + text[at:]
    else:
        text = text.rstrip("\n") + "\n\n" + block + "\n"
    with open(path, "w", encoding="utf-8") as out:
        out.write(text)


def read_dialog_runs(folder):
    """The probe's dialog runs, by playlist: "none" and "2048"."""
    runs = {"none": [], "2048": []}
    for path in sorted(glob.glob(os.path.join(folder, "dialog-*.txt"))):
        runs[os.path.basename(path)[10:-4]].append(read_run(path))
    return runs


def dialog_rows(args):
    """The dialog's time to open with and without a playlist, and its line's own cost."""
    none, full = (Figure([r.get("dialog_ms", -1) for r in args.dialog[kind]])
                  for kind in ("none", "2048"))
    extra = full.median - none.median
    line = Figure(args.playlist.get("line_ms", []))
    missing = Figure(args.playlist.get("line_missing_ms", []))
    absent = Figure([])
    return [
        row("Settings dialog, start to shown, no playlist", absent, none, ms, "—", "—"),
        row("Settings dialog, start to shown, a 2048-track playlist (its line included)", absent,
            full, ms, f"≤ no playlist + {DIALOG_LINE_TARGET_MS} ms",
            judge(extra <= DIALOG_LINE_TARGET_MS, f"{extra:+.0f} ms")),
        row("The line under the playlist's path alone, 2048 tracks, every file there", absent,
            line, ms, f"< {DIALOG_LINE_TARGET_MS} ms",
            judge(line.median < DIALOG_LINE_TARGET_MS, ms(line.median))),
        row("The line under the playlist's path alone, 2048 tracks, every file missing", absent,
            missing, ms, f"< {DIALOG_LINE_TARGET_MS} ms",
            judge(missing.median < DIALOG_LINE_TARGET_MS, ms(missing.median))),
    ]


def dialog_section(args):
    """How the dialog's figures are taken, and what the runs showed, between their markers."""
    problems = []
    for kind, tracks in (("none", 0), ("2048", 2048)):
        for i, r in enumerate(args.dialog[kind]):
            where = f"dialog run {i + 1} with {'no playlist' if tracks == 0 else 'the playlist'}"
            if r.get("dialog_ms", -1) < 0:
                problems.append(f"{where}: no dialog shown")
            if r.get("line_tracks", -1) != tracks:
                problems.append(f"{where}: the line counted {r.get('line_tracks')} tracks")
            if r.get("exit_code", -1) != 0:
                problems.append(f"{where}: exit code {r.get('exit_code')} after Cancel")
    checks = ("every run showed the dialog, whose line counted 2048 tracks with the playlist and "
              "none without, and ended with exit code 0 on Cancel"
              if not problems else "; ".join(problems))
    runs = len(args.dialog["none"]) + len(args.dialog["2048"])
    return [
        DIALOG_START,
        "## Settings dialog",
        "",
        paragraph(f"The {args.arch} build, commit {args.commit}, {args.date}: {runs} runs of "
                  f"`/c`, with no playlist and with one of 2048 tracks alternately, after one "
                  f"unmeasured run of each; load average {args.load_before} before, "
                  f"{args.load_after} after."),
        "",
        bullet("Start to shown: from just before `CreateProcess` until the dialog is visible, "
               "after `WM_INITDIALOG` (settings loaded, controls filled, the playlist's line)."),
        bullet("The playlist: 2048 lines, each naming an empty file of its own; the line reads it "
               "with `Playlist::Load` and asks `GetFileAttributesA` once per track."),
        bullet("The line alone: `DescribePlaylist` in `playlist_bench`, for such a playlist and "
               "for the loading figures' one, whose files do not exist."),
        bullet(f"Checks: {checks}."),
        DIALOG_END,
    ]


def dialog_summary(args):
    """Only the dialog's figures: its rows in both tables and its section of results.md."""
    args.dialog = read_dialog_runs(args.results)
    args.playlist = read_playlist(args.results)
    rows = dialog_rows(args)
    print("\n".join(rows))
    for path, start, end in ((args.markdown, None, TRACKS_START),
                             (args.readme, README_START, README_END)):
        replace_rows(path, rows, start, end)
    replace_section(args.markdown, dialog_section(args), DIALOG_START, DIALOG_END, TRACKS_START)


def replace_rows(path, rows, start, end):
    """Puts the dialog's rows in place of those of the table between start (the file's start
    when None) and end, or after its last row."""
    text = open(path, encoding="utf-8").read()
    begin = text.find(start) if start else 0
    stop = text.find(end, begin)
    lines = text[begin:stop].split("\n")
    kept = [line for line in lines if not line.startswith(DIALOG_ROWS)]
    last = max(i for i, line in enumerate(kept) if line.startswith("|"))
    lines = kept[:last + 1] + rows + kept[last + 1:]
    with open(path, "w", encoding="utf-8") as out:
        out.write(text[:begin] + "\n".join(lines) + text[stop:])


def read_playlist(folder):
    """The playlist micro-benchmark's samples, each figure as a list."""
    path = os.path.join(folder, "playlist.txt")
    playlist = read_run(path) if os.path.exists(path) else {}
    for name in ("load_ms", "load_utf8_ms", "add_entry_ms", "line_ms", "line_missing_ms"):
        if name in playlist and not isinstance(playlist[name], list):
            playlist[name] = [playlist[name]]
    return playlist


def summarize(args):
    args.runs = read_runs(args.results)
    args.playlist = read_playlist(args.results)
    args.dialog = read_dialog_runs(args.results)

    machine = machine_lines(args)
    rows = table(args) + dialog_rows(args)
    print("\n".join(rows))
    print()
    print("\n".join(machine))

    # Today's figures, how they are taken and what limits them; why they are what they are is
    # bench/notes.md, kept by hand.
    sections = [
        ["# Benchmark: velora_ss_launcher against a minimal Win32 saver"],
        [paragraph("Made by `./tools/run-bench.sh`: both programs run full screen under Wine on "
                   "a private Xvfb screen, alternately. Why the figures are what they are: "
                   "[notes.md](notes.md).")],
        rows,
        [paragraph(" ".join(machine))],
        how_lines(args),
        limit_lines(args),
        dialog_section(args),
        tracks_section(args),
    ]
    with open(args.markdown, "w", encoding="utf-8") as out:
        out.write("\n\n".join("\n".join(lines) for lines in sections) + "\n")
    update_readme(args.readme, rows, machine)


def update_readme(path, rows, machine):
    """Puts the table between the README's benchmark markers, adding them under a Benchmark
    heading at the end when absent."""
    if not os.path.exists(path):
        return
    with open(path, encoding="utf-8") as readme:
        text = readme.read()
    block = (f"{README_START}\n" + "\n".join(rows) + "\n\n" + machine[0] +
             " Details: [bench/results.md](bench/results.md).\n" + README_END)
    if README_START in text and README_END in text:
        text = re.sub(re.escape(README_START) + ".*?" + re.escape(README_END),
                      lambda _: block, text, flags=re.S)
    else:
        text = text.rstrip("\n") + "\n\n## Benchmark\n\n" + block + "\n"
    with open(path, "w", encoding="utf-8") as readme:
        readme.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    commands = parser.add_subparsers(dest="command", required=True)
    summary = commands.add_parser("summarize")
    tracks = commands.add_parser("tracks")
    dialog = commands.add_parser("dialog")
    for parsed in (summary, tracks, dialog):
        parsed.add_argument("results")
        parsed.add_argument("markdown")
        parsed.add_argument("--commit", default="unknown")
        parsed.add_argument("--date", default="unknown date")
        parsed.add_argument("--arch", default="i686")
    for parsed in (summary, dialog):
        parsed.add_argument("readme")
        parsed.add_argument("--load-before", default="?")
        parsed.add_argument("--load-after", default="?")
    for parsed in (summary, tracks):
        parsed.add_argument("--baseline", default="the baseline")
        parsed.add_argument("--track-ms", type=float, default=26000)
    summary.add_argument("--rounds", type=int, default=0)
    summary.add_argument("--measure-ms", type=float, default=10000)
    args = parser.parse_args()
    if args.command == "dialog":
        dialog_summary(args)
    elif args.command == "tracks":
        section = tracks_section(args)
        print("\n".join(line for line in section if line.startswith("|")))
        replace_section(args.markdown, section, TRACKS_START, TRACKS_END)
    else:
        summarize(args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
