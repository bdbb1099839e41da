#!/usr/bin/env python3
"""Mutation check: applies each mutant of mutants/ in turn to the source tree, rebuilds,
runs the test binaries it names and records which tests kill it. Not part of CI.

    tests/mutation/run.py [BUILD_DIR] [--only NAME]...

A mutant file holds 'file:', 'tests:' (test binaries) and 'what:' lines, then the text
to find between '--- from' and '--- to' and its replacement after '--- to'. The text must
occur exactly once. The source is restored after every mutant, whatever happens."""
import json, os, pathlib, subprocess, sys, tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
HERE = pathlib.Path(__file__).resolve().parent


def parse(path):
    head, body = path.read_text().split("--- from\n", 1)
    old, new = body.split("--- to\n", 1)
    meta = dict(line.split(":", 1) for line in head.strip().splitlines())
    return {k.strip(): v.strip() for k, v in meta.items()}, old, new


def build(build_dir, targets):
    return subprocess.run(["cmake", "--build", build_dir, "--target", *targets],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def failures(build_dir, binaries):
    failed = []
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=tempfile.gettempdir())
    for binary in binaries:
        with tempfile.NamedTemporaryFile(suffix=".json") as report:
            try:
                subprocess.run([f"{build_dir}/tests/{binary}", f"--gtest_output=json:{report.name}",
                                "--gtest_brief=1"], env=env, cwd=build_dir, timeout=900,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                data = json.loads(pathlib.Path(report.name).read_text() or "{}")
            except (subprocess.TimeoutExpired, json.JSONDecodeError):
                failed.append(f"{binary}:(tempo scaduto o crash)")
                continue
            for suite in data.get("testsuites", []):
                for case in suite.get("testsuite", []):
                    if case.get("failures"):
                        failed.append(f"{suite['name']}.{case['name']}")
    return failed


def main():
    args = sys.argv[1:]
    only = {args[i + 1] for i, a in enumerate(args) if a == "--only"}
    positional = [a for i, a in enumerate(args) if a != "--only" and (i == 0 or args[i - 1] != "--only")]
    build_dir = os.path.abspath(positional[0]) if positional else str(ROOT / "build/test")
    rows, killed, total = [], 0, 0
    built = set()
    for path in sorted((HERE / "mutants").glob("*.mut")):
        if only and path.stem not in only:
            continue
        meta, old, new = parse(path)
        source = ROOT / meta["file"]
        original = source.read_text()
        if original.count(old) != 1:
            rows.append((path.stem, "testo non trovato (il codice è cambiato)", meta["what"]))
            continue
        binaries = meta["tests"].split()
        built.update(binaries)
        try:
            source.write_text(original.replace(old, new))
            if not build(build_dir, ["velomar-batch", *binaries]):
                rows.append((path.stem, "non compila", meta["what"]))
                continue
            failed = failures(build_dir, binaries)
        finally:
            source.write_text(original)
        total += 1
        killed += bool(failed)
        rows.append((path.stem, ", ".join(failed) or "SOPRAVVIVE", meta["what"]))
        print(f"{path.stem}: {'ucciso' if failed else 'SOPRAVVIVE'}", flush=True)
    # The last mutant's binaries are rebuilt from the restored source.
    build(build_dir, ["velomar-batch", *sorted(built)])
    with open(HERE / "results.md", "w") as out:
        out.write(f"# Mutanti uccisi: {killed} su {total}\n\n| mutante | guasto | test che lo uccidono |\n|---|---|---|\n")
        for name, result, what in rows:
            out.write(f"| {name} | {what} | {result} |\n")
    print(f"uccisi {killed} su {total}")


if __name__ == "__main__":
    main()
