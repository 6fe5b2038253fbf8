#!/usr/bin/python3
"""Every program's command line from outside: --help, its man page, the argument faults in
each language, and --station's refusals.

Usage: command_line_test.py PROGRAM_FOLDER MAN_PAGE_FOLDER
A man page not built yet (the man_pages target) is taken from the program's --man."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

BIN, MAN_DIR = sys.argv[1], sys.argv[2]
JAPANESE = re.compile("[\u3040-\u30ff\u4e00-\u9fff\uff00-\uffef]")
failures = []

# Per program: an unknown option, an option left without its value, a value it refuses.
PROGRAMS = {
    "ratemon": (["--bogus"], ["--headless", "--input"],
                ["--headless", "--input", "sim:20", "--seconds", "x"]),
    "dayplot": (["--bogus"], ["--process"], ["--lang", "xx"]),
    "ftpscript": (["-x"], ["--lang"], ["-t:0", "-s:x"]),
    "gmsim": (["--bogus"], ["--cpm"], ["--cpm", "abc", "--seconds", "1", "--out", "x.wav"]),
    "radmon-collect": (["--bogus"], ["--out"], ["--mqtt", "http://x", "--out", "x"]),
}


def check(ok, what):
    if not ok:
        failures.append(what)


def run(args, lang=None, user=None, cwd=None):
    env = {k: v for k, v in os.environ.items()
           if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG")}
    env.update(QT_QPA_PLATFORM="offscreen", HOME=home, XDG_DATA_HOME=home + "/data")
    env.pop("RADMON_STATION", None)
    if lang:
        env["LANG"] = lang
    prefix = ["setpriv", "--reuid=" + user, "--regid=" + user, "--clear-groups"] if user else []
    p = subprocess.run(prefix + args, env=env, cwd=cwd or home, capture_output=True,
                       timeout=60)
    return p.returncode, p.stdout.decode(), p.stderr.decode()


def man_page(program):
    path = os.path.join(MAN_DIR, program + ".1")
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            return f.read()
    return run([os.path.join(BIN, program), "--man"])[1]


def options_and_man():
    for program in PROGRAMS:
        exe = os.path.join(BIN, program)
        status, out, err = run([exe, "--help"], "en_US.UTF-8")
        check(status == 0 and not err, f"{program} --help: {status} {err}")
        listed = re.findall(r"^  (-[-\w]+:?)", out, re.M)
        check(len(listed) >= 3, f"{program} --help lists {listed}")
        page = man_page(program).replace("\\-", "-")
        check(all(h in page for h in (".SH NAME", ".SH SYNOPSIS", ".SH OPTIONS")),
              f"{program}: man page sections")
        check(not JAPANESE.search(page), f"{program}: Japanese in the man page")
        for option in listed:
            check(option in page, f"{program}: {option} is not in the man page")


def languages():
    for program, (unknown, missing, refused) in PROGRAMS.items():
        exe = os.path.join(BIN, program)
        for lang in ("en_US.UTF-8", "de_DE.UTF-8", "ja_JP.UTF-8", None):
            english = lang in ("en_US.UTF-8", "de_DE.UTF-8")
            runs = [(["--help"], 0, None), (unknown, 2, unknown[-1]),
                    (missing, 2, missing[-1]), (refused, 2, None)]
            for args, want, named in runs:
                status, out, err = run([exe] + args, lang)
                text = out + err
                what = f"{program} {' '.join(args)} under {lang}"
                check(status == want, f"{what}: exit {status}, not {want}: {err}")
                check(bool(JAPANESE.search(text)) != english, f"{what}: language: {text}")
                check(named is None or named in err, f"{what}: {named} not named: {err}")


def station():
    exe = os.path.join(BIN, "dayplot")
    missing = os.path.join(home, "nowhere")
    status, _, err = run([exe, "--station", missing, "--lang", "en", "--show-settings"])
    check(status != 0 and missing in err and "--create" in err, f"missing folder: {err}")
    check(not os.path.exists(missing), "a missing --station folder was made")
    status, _, err = run([exe, "--station", missing, "--create", "--show-settings"])
    check(status == 0 and os.path.isdir(os.path.join(missing, "data")), f"--create: {err}")
    status, _, err = run([os.path.join(BIN, "ratemon"), "--station", missing + "2", "--lang",
                          "en", "--show-settings"])
    check(status != 0 and "--create" in err, f"ratemon, missing folder: {err}")
    # A folder that exists and is not writable: as root, tried as nobody.
    locked = os.path.join(home, "locked")
    os.makedirs(locked)
    os.chmod(home, 0o755)
    os.chmod(locked, 0o555)
    user = "65534" if os.geteuid() == 0 else None  # nobody
    status, _, err = run([exe, "--station", locked, "--lang", "en", "--show-settings"],
                         user=user, cwd="/")
    check(status != 0 and "not writable" in err and locked in err, f"unwritable: {err}")


home = tempfile.mkdtemp()
try:
    options_and_man()
    languages()
    station()
finally:
    shutil.rmtree(home, ignore_errors=True)
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
