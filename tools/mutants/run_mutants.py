#!/usr/bin/env python3
"""Plants the faults of mutants.txt one at a time and tells which the tests catch.

The tree is copied into a scratch folder that is reused from run to run; each fault is
written into its file there, the test suite of its folder is built incrementally and run, and the
file is put back. A fault is killed when the suite fails or overruns its time, survives when the
suite passes, and is stillborn when it does not compile (a slip in the list, not a test result).

By default the scratch build has the worktree build's settings (sanitizers on, through ccache,
whose base folder makes the copy's compilations hit the cache of the other trees); --release
builds a plain Release tree instead, which runs the suites faster but compiles everything once.

    nice -n 10 python3 tools/mutants/run_mutants.py [--only NAME ...] [--folder rules] [-j 2]
"""
import argparse
import os
import re
import subprocess
import sys
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]

# The suites that a fault in each folder must be caught by: ninja targets, then the binaries.
SUITES = {
    "rules": ["rules_tests"],
    "engine": ["engine_tests"],
    "records": ["records_tests"],
    "platform": ["platform_tests"],
    "uci": ["uci_tests"],
    "ui": ["ui_tests"],
    "ui/dialogs": ["dialogs_tests"],
}
BINARY = {
    "rules_tests": "tests/rules/rules_tests",
    "engine_tests": "tests/engine/engine_tests",
    "records_tests": "tests/records/records_tests",
    "platform_tests": "tests/platform/platform_tests",
    "uci_tests": "tests/uci/uci_tests",
    "ui_tests": "tests/ui/ui_tests",
    "dialogs_tests": "tests/dialogs/dialogs_tests",
}


class Mutant:
    def __init__(self, name, file, line):
        self.name, self.file, self.line = name, file, line
        self.old = self.new = None
        self.equivalent = None  # why the fault cannot be observed, when the list says so

    @property
    def folder(self):
        return "ui/dialogs" if self.file.startswith("ui/dialogs/") else self.file.split("/")[0]


def read_list(path):
    """Blocks of '@ name file', '- old text', '+ new text' and an optional '= why unobservable'."""
    mutants = []
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not raw.strip() or raw.startswith("#"):
            continue
        tag, text = raw[0], raw[2:]
        if tag == "@":
            name, file = text.split()
            mutants.append(Mutant(name, file, number))
        elif tag == "-":  # several '-' (or '+') lines are one text of several lines
            m = mutants[-1]
            m.old = text if m.old is None else m.old + "\n" + text
        elif tag == "+":
            m = mutants[-1]
            m.new = text if m.new is None else m.new + "\n" + text
        elif tag == "=":  # several '=' lines are one reason
            m = mutants[-1]
            m.equivalent = text if m.equivalent is None else m.equivalent + " " + text
        else:
            sys.exit(f"{path}:{number}: a line starts with @, -, +, = or #")
    for m in mutants:
        if m.old is None or m.new is None:
            sys.exit(f"{path}:{m.line}: {m.name} needs a '-' and a '+' line")
    return mutants


def run(command, cwd, timeout=None, env=None):
    """The command's exit code (None on a timeout) and its output, nice'd for the shared machine."""
    try:
        done = subprocess.run(["nice", "-n", "10", *command], cwd=cwd, env=env, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                              errors="replace")
        return done.returncode, done.stdout
    except subprocess.TimeoutExpired as expired:
        out = expired.stdout or b""
        return None, out.decode(errors="replace") if isinstance(out, bytes) else out


def copy_tree(tree):
    """The worktree's files as they are now (committed or not) into `tree`; a file whose bytes are
    already there is left alone, so that the build there sees only what changed."""
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            cwd=SOURCE, check=True, stdout=subprocess.PIPE).stdout
    names = {n for n in listed.decode().split("\0") if n and (SOURCE / n).is_file()}
    for name in names:
        data = (SOURCE / name).read_bytes()
        target = tree / name
        if not target.is_file() or target.read_bytes() != data:
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
            target.chmod((SOURCE / name).stat().st_mode & 0o777)
    for path in tree.rglob("*"):
        relative = path.relative_to(tree).as_posix()
        if path.is_file() and not relative.startswith("build") and relative not in names:
            path.unlink()


def prepare(scratch, release, jobs):
    tree = scratch / "src"
    tree.mkdir(parents=True, exist_ok=True)
    copy_tree(tree)
    build = tree / ("build-release" if release else "build")
    if not (build / "build.ninja").exists():
        kind = ["-DCMAKE_BUILD_TYPE=Release"] if release else [
            "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DXQ_SANITIZE=ON"]
        subprocess.run(["cmake", "-S", tree, "-B", build, "-G", "Ninja", *kind,
                        "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
                        "-DCMAKE_C_COMPILER_LAUNCHER=ccache"], check=True,
                       stdout=subprocess.DEVNULL)
    return tree, build


def build_env(scratch):
    env = dict(os.environ)
    # Paths below the base folder are hashed relative to the build folder, so the copy shares the
    # cache entries (CCACHE_DIR, when set, as for the other builds) of every tree built the same way.
    env.update(CCACHE_BASEDIR=str(scratch), CCACHE_NOHASHDIR="1", QT_QPA_PLATFORM="offscreen")
    return env


def run_suites(build, targets, timeout, env):
    """('pass' | 'fail' | 'timeout', the first failing test or what ended the run, seconds)."""
    start = time.monotonic()
    for target in targets:
        code, out = run([str(build / BINARY[target]), "--gtest_fail_fast", "--gtest_brief=1"],
                        build, timeout, env)
        if code is None:
            return "timeout", f"{target} ran over {timeout:.0f} s", time.monotonic() - start
        if code != 0:
            failed = re.findall(r"^\[  FAILED  \] (\S+)", out, re.M)
            what = failed[0] if failed else f"{target} ended with {code}: " + (
                out.strip().splitlines() or ["no output"])[-1][:100]
            return "fail", what, time.monotonic() - start
    return "pass", "", time.monotonic() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--list", type=Path, default=Path(__file__).with_name("mutants.txt"))
    parser.add_argument("--scratch", type=Path,
                        default=Path(f"/tmp/xq-mutants-{os.environ.get('USER', 'user')}"))
    parser.add_argument("--only", nargs="*", help="names of the mutants to run")
    parser.add_argument("--folder", help="run only the mutants of this folder")
    parser.add_argument("--release", action="store_true", help="a plain Release build")
    parser.add_argument("-j", "--jobs", type=int, default=2)
    parser.add_argument("--timeout-factor", type=float, default=3.0,
                        help="a suite may take this many times its clean run (at least 120 s, "
                             "which a loaded machine needs)")
    args = parser.parse_args()

    mutants = read_list(args.list)
    if args.only:
        mutants = [m for m in mutants if m.name in args.only]
    if args.folder:
        mutants = [m for m in mutants if m.folder == args.folder]
    scratch = args.scratch.resolve()
    tree, build = prepare(scratch, args.release, args.jobs)
    env = build_env(scratch)
    ninja = ["cmake", "--build", str(build), "-j", str(args.jobs), "--target"]

    # The clean tree first: every suite must pass, and its time sets the mutants' time limit.
    folders = sorted({m.folder for m in mutants})
    targets = sorted({t for f in folders for t in SUITES[f]})
    code, out = run(ninja + targets, tree, env=env)
    if code != 0:
        sys.exit("the clean tree does not build:\n" + out[-3000:])
    limit = {}
    for target in targets:
        status, what, seconds = run_suites(build, [target], 3600, env)
        if status != "pass":
            sys.exit(f"the clean tree fails {target}: {what}")
        limit[target] = max(120.0, args.timeout_factor * seconds)
        print(f"clean {target}: {seconds:.0f} s, limit {limit[target]:.0f} s", flush=True)

    tally = {"killed": 0, "survived": 0, "equivalent": 0, "stillborn": 0}
    for number, m in enumerate(mutants, 1):
        path = tree / m.file
        original = path.read_text(encoding="utf-8")
        if original.count(m.old) != 1:
            print(f"{number:3} {m.name:34} STILLBORN: the text is found "
                  f"{original.count(m.old)} times in {m.file}", flush=True)
            tally["stillborn"] += 1
            continue
        path.write_text(original.replace(m.old, m.new), encoding="utf-8")
        try:
            suites = SUITES[m.folder]
            built = time.monotonic()
            code, out = run(ninja + suites, tree, env=env)
            built = time.monotonic() - built
            if code != 0:
                status, what, seconds = "stillborn", "does not compile", 0.0
            else:
                status, what, seconds = run_suites(
                    build, suites, max(limit[s] for s in suites), env)
        finally:
            path.write_text(original, encoding="utf-8")
        if status in ("fail", "timeout"):
            verdict = f"KILLED by {what}"
            tally["killed"] += 1
        elif status == "stillborn":
            verdict = "STILLBORN: does not compile"
            tally["stillborn"] += 1
        elif m.equivalent:
            verdict = f"survived, not observable: {m.equivalent}"
            tally["equivalent"] += 1
        else:
            verdict = "SURVIVED"
            tally["survived"] += 1
        print(f"{number:3} {m.name:32} {m.folder:10} build {built:4.0f} s, tests {seconds:4.0f} s  "
              f"{verdict}", flush=True)

    observable = tally["killed"] + tally["survived"]
    share = 100.0 * tally["killed"] / observable if observable else 0.0
    print(f"\nkilled {tally['killed']}, survived {tally['survived']}, not observable "
          f"{tally['equivalent']}, stillborn {tally['stillborn']}; "
          f"{share:.0f}% of the observable faults killed")
    # Put the scratch tree back in step, so the next run builds only what it changes.
    run(ninja + targets, tree, env=env)
    return 0 if tally["survived"] == 0 and tally["stillborn"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
