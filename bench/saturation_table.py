#!/usr/bin/env python3
"""What ratemon reads, marks and alarms on for every pulse shape from 10 to 10^6 CPM.

Each shape is recorded at each rate as a WAV file (gmsim's tubes, and a train of
square 1.1 ms pulses this script writes itself), played through
`ratemon --headless --fast --seconds N --dead-time 499` in a temporary station folder
(`ratemon --set`) with
a tube sensitivity of 18 and the stages' limits at 0.27 and 2.7 uSv/h, and its summary
read back. Prints a Markdown table; a row "reads low" when the reading falls short of
the truth by more than 3 % and three standard deviations of a minute's count.

    bench/saturation_table.py --bin build/bin [--seconds 120] [--out table.md]
"""
import argparse
import math
import os
import random
import re
import subprocess
import sys
import tempfile
import time
import wave

RATE = 22050
RATES = [10, 1000, 10000, 30000, 100000, 300000, 1000000]
SENSITIVITY = 18.0
FACTOR = SENSITIVITY / 10 * 60  # CPM per uSv/h
LIMIT1, LIMIT2 = 0.27, 2.7
DEAD_TIME_US = 499
# (row name, gmsim --tube kind, or None for the script's own square pulses)
SHAPES = [
    ("narrow", "narrow"),
    ("wide (gmsim, about 1 ms)", "wide"),
    ("wide 1.1 ms square (written here)", None),
    ("ringing", "ringing"),
    ("after-pulsing", "afterpulse"),
    ("paralysable (1 ms)", "paralysable"),
]
SQUARE_SAMPLES = 24  # 1.09 ms
SQUARE_DEPTH = 112


def write_square_wav(path, cpm, seconds, seed):
    """Poisson arrivals of square pulses 24 samples long, 112 below a rest of 128 with a
    little noise; overlapping pulses merge (the level stays down while any is on).
    Returns the number of pulses (the truth)."""
    rng = random.Random(seed)
    n = RATE * seconds
    down = bytearray(n)  # 1 where some pulse is on
    per_sample = cpm / 60.0 / RATE
    t = 0.0
    pulses = 0
    if per_sample > 0:
        while True:
            t += rng.expovariate(per_sample)
            start = int(t)
            if start >= n:
                break
            pulses += 1
            end = min(n, start + SQUARE_SAMPLES)
            down[start:end] = b"\x01" * (end - start)
    noise = bytes(128 + rng.randint(-3, 3) for _ in range(4096))
    frames = bytearray(n)
    for i in range(0, n, 4096):
        frames[i:i + 4096] = noise[: min(4096, n - i)]
    low = 128 - SQUARE_DEPTH
    # Pulses pressed down as a whole: translate the on-samples to the low level.
    frames = bytes(low if d else f for d, f in zip(down, frames))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)  # 8-bit WAV is unsigned
        w.setframerate(RATE)
        w.writeframes(frames)
    return pulses


def write_gmsim_wav(gmsim, path, kind, cpm, seconds, seed):
    out = subprocess.run([gmsim, "--cpm", str(cpm), "--seconds", str(seconds), "--tube", kind,
                          "--seed", str(seed), "--out", path, "--lang", "en"],
                         capture_output=True, text=True, check=True).stdout
    return int(re.search(r"pulses=(\d+)", out).group(1))


def write_gmsim_profile_wav(gmsim, path, kind, profile, seconds, seed):
    subprocess.run([gmsim, "--profile", profile, "--seconds", str(seconds), "--tube", kind,
                    "--seed", str(seed), "--out", path, "--lang", "en"],
                   capture_output=True, text=True, check=True)


def run_ratemon(ratemon, station, wav, seconds):
    out = subprocess.run([ratemon, "--headless", "--station", station, "--lang", "en",
                          "--input", wav, "--fast", "--seconds", str(seconds), "--dead-time",
                          str(DEAD_TIME_US)], capture_output=True, text=True).stdout
    line = next((l for l in out.splitlines() if l.startswith("summary")), "")
    fields = dict(f.split("=", 1) for f in line.split()[1:] if "=" in f)
    # The stages that sounded, from the day's event log.
    data = os.path.join(station, "data")
    kinds = set()
    for name in os.listdir(data):
        if "Events" in name:
            with open(os.path.join(data, name), encoding="utf-8") as f:
                kinds |= {l.split(",")[2].strip('"') for l in f if l.count(",") >= 3}
    fields["alarm"] = "2" if "alarm-2" in kinds else "1" if "alarm-1" in kinds else "0"
    fields["no_signal"] = "1" if "no-signal" in kinds else "0"
    return fields, out


def marking(fields):
    if fields.get("saturated") == "1":
        return "saturated"
    if fields.get("capped") == "1":
        return "no signal, lower bound" if fields.get("no_signal") == "1" else "lower bound"
    return "true"


def start_afresh(station, kept_cps=None):
    """Clears the day files, the logs and the kept background between runs; with
    `kept_cps`, keeps that background as a station that ran before would have."""
    for f in os.listdir(station):
        p = os.path.join(station, f)
        if os.path.isdir(p):
            for g in os.listdir(p):
                os.remove(os.path.join(p, g))
        elif f == "ratemon_background.txt":
            os.remove(p)
    if kept_cps:
        with open(os.path.join(station, "ratemon_background.txt"), "w") as f:
            f.write(f"background_cps={kept_cps:g}\r\nsensitivity={SENSITIVITY:g}\r\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", default="build/bin")
    ap.add_argument("--seconds", type=int, default=120)
    ap.add_argument("--out")
    args = ap.parse_args()
    ratemon = os.path.join(args.bin, "ratemon")
    gmsim = os.path.join(args.bin, "gmsim")
    started = time.monotonic()
    rows = []
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        station = os.path.join(tmp, "station")
        os.makedirs(station)
        settings = [f"tube_sensitivity={SENSITIVITY:g}", f"alarm1_limit_usv_h={LIMIT1}",
                    f"alarm2_limit_usv_h={LIMIT2}", "alarm1=1", "alarm2=1"]
        subprocess.run([ratemon, "--station", station, "--create", "--lang", "en"] +
                       [a for kv in settings for a in ("--set", kv)],
                       check=True, capture_output=True)
        wav = os.path.join(tmp, "tube.wav")
        # A paralysable tube already silent from the first second is told only by an
        # improbable silence: 384 s for a new station (the lowest natural background at
        # a sensitivity of 18), 92 s for one that kept a background of 18 CPM.
        runs = [(name, kind, cpm, k, args.seconds, None) for name, kind in SHAPES
                for k, cpm in enumerate(RATES) if (kind, cpm) != ("paralysable", 1000000)]
        runs += [("paralysable (1 ms), silent from the start, new station", "paralysable",
                  1000000, 6, max(args.seconds, 450), None),
                 ("paralysable (1 ms), silent from the start, kept 18 CPM", "paralysable",
                  1000000, 6, max(args.seconds, 150), 0.3)]
        for name, kind, cpm, k, seconds, kept in runs:
            seed = 3 + k
            if kind:
                truth = write_gmsim_wav(gmsim, wav, kind, cpm, seconds, seed)
            else:
                truth = write_square_wav(wav, cpm, seconds, seed)
            # Every run starts afresh.
            start_afresh(station, kept)
            fields, out = run_ratemon(ratemon, station, wav, seconds)
            true_cpm = truth / seconds * 60
            true_dose = true_cpm / FACTOR
            read_cpm = float(fields.get("cpm", "nan"))
            read_dose = float(fields.get("dose", "nan"))
            marked = marking(fields)
            stage = int(fields.get("alarm", "0"))
            shortfall = (true_cpm - read_cpm) / true_cpm if true_cpm > 0 else 0
            low = shortfall > 0.03 + 3 / math.sqrt(max(true_cpm, 1))
            if (low and marked == "true") or (true_cpm >= 10000 and stage < 2) or \
                    not fields:
                failures.append(f"{name} at {cpm}: {out.strip()}")
            rows.append((name, cpm, true_dose, read_dose, read_cpm, true_cpm, marked,
                         "low" if low else "", stage))
            print(f"{name:34} {cpm:>8} true {true_dose:10.3f} read {read_dose:10.3f} "
                  f"{marked:12} stage {stage}", file=sys.stderr)
        # A paralysable tube met at its highest count, whose rate then rises far past it:
        # a minute at 30000 CPM, then 10^6 (the truth is the last minute's rate).
        for raised in (300000, 1000000):
            name = "paralysable, rising after a minute at 30000"
            write_gmsim_profile_wav(gmsim, wav, "paralysable", f"30000:{raised}@00:01-24:00",
                                    args.seconds, 11)
            start_afresh(station)
            fields, out = run_ratemon(ratemon, station, wav, args.seconds)
            read_cpm = float(fields.get("cpm", "nan"))
            marked = marking(fields)
            stage = int(fields.get("alarm", "0"))
            low = read_cpm < raised * 0.97
            if (low and marked == "true") or stage < 2:
                failures.append(f"{name} to {raised}: {out.strip()}")
            rows.append((name, raised, raised / FACTOR, float(fields.get("dose", "nan")),
                         read_cpm, raised, marked, "low" if low else "", stage))
    lines = ["| shape | CPM set | true CPM | read CPM | true µSv/h | read µSv/h | marked | "
             "reads low | alarm stage |",
             "|---|---:|---:|---:|---:|---:|---|---|---:|"]
    for name, cpm, td, rd, rc, tc, marked, low, stage in rows:
        lines.append(f"| {name} | {cpm} | {tc:.0f} | {rc:.0f} | {td:.3f} | {rd:.3f} | "
                     f"{marked} | {low} | {stage} |")
    text = "\n".join(lines) + "\n"
    print(text)
    took = time.monotonic() - started
    print(f"{len(rows)} rows in {took:.0f} s; "
          f"{'every row as it should be' if not failures else 'FAILS:'}", file=sys.stderr)
    for f in failures:
        print("  " + f, file=sys.stderr)
    if args.out:
        with open(args.out, "w") as f:
            f.write(text)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
