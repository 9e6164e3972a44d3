#!/usr/bin/env python3
"""Plants one fault at a time in the named sources and runs the tests that
cover them, to show which faults the tests let through.

The sources are mirrored into build-mutate/src and built in
build-mutate/build, so neither the working tree nor build/ ever sees a
mutant. Results are kept per mutant in a JSON file; a run that is stopped
resumes where it left off, and a mutant is run again only when its source or
the tests changed.
"""
import argparse
import collections
import difflib
import hashlib
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-mutate")
MIRROR = os.path.join(WORK, "src")
BUILD = os.path.join(WORK, "build")
SHOW = os.path.join(BUILD, "kestrel.app", "kestrel")
PENDING = os.path.join(WORK, "restore-pending.json")
COVERAGE = os.path.join(ROOT, "scripts", "mutate-coverage.txt")
EQUIVALENT = os.path.join(ROOT, "scripts", "mutate-equivalent.txt")

# Operator swaps. Spaces around binary operators keep templates, pointers and
# stream operators out of reach.
SWAPS = [
    ("compare", r"(?<= )<(?= )", ["<="]),
    ("compare", r"(?<= )>(?= )", [">="]),
    ("compare", r"(?<= )<=(?= )", ["<"]),
    ("compare", r"(?<= )>=(?= )", [">"]),
    ("compare", r"(?<= )==(?= )", ["!="]),
    ("compare", r"(?<= )!=(?= )", ["=="]),
    ("arith", r"(?<= )\+(?= )", ["-"]),
    ("arith", r"(?<= )-(?= )", ["+"]),
    ("arith", r"(?<= )\*(?= )", ["/"]),
    ("arith", r"(?<= )/(?= )", ["*"]),
    ("arith", r"(?<= )%(?= )", ["*"]),
    ("arith", r"\+=", ["-="]),
    ("arith", r"-=", ["+="]),
    ("arith", r"\*=", ["/="]),
    ("arith", r"/=", ["*="]),
    ("arith", r"\+\+", ["--"]),
    ("arith", r"(?<![-\w])--(?!\w*-)", ["++"]),
    ("arith", r"(?<=[=(,\[ ])-(?=[\w(])", [""]),
    ("logic", r"&&", ["||"]),
    ("logic", r"\|\|", ["&&"]),
    ("logic", r"\btrue\b", ["false"]),
    ("logic", r"\bfalse\b", ["true"]),
]
# What a scene is made of: GL state and the draws. Each enum is replaced by a
# neighbour that draws differently (another blend factor, the other face,
# the other texture unit, a clear of one buffer instead of two).
GL_ENUMS = {
    "GL_SRC_ALPHA": ["GL_ONE"],
    "GL_ONE_MINUS_SRC_ALPHA": ["GL_ONE"],
    "GL_ONE": ["GL_ONE_MINUS_SRC_ALPHA"],
    "GL_BACK": ["GL_FRONT"],
    "GL_FRONT": ["GL_BACK"],
    "GL_TRUE": ["GL_FALSE"],
    "GL_FALSE": ["GL_TRUE"],
    "GL_TEXTURE0": ["GL_TEXTURE1"],
    "GL_TEXTURE1": ["GL_TEXTURE0"],
    "GL_DEPTH_TEST": ["GL_CULL_FACE"],
    "GL_CULL_FACE": ["GL_DEPTH_TEST"],
    "GL_BLEND": ["GL_DEPTH_TEST"],
    "GL_TRIANGLES": ["GL_LINES"],
    "GL_LINES": ["GL_LINE_STRIP"],
    "GL_LINEAR": ["GL_NEAREST"],
    "GL_NEAREST": ["GL_LINEAR"],
    "GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT": ["GL_COLOR_BUFFER_BIT", "GL_DEPTH_BUFFER_BIT"],
}
GL_ENUM = re.compile(r"\bGL_COLOR_BUFFER_BIT \| GL_DEPTH_BUFFER_BIT\b|\bGL_[A-Z0-9_]+\b")
# A capability or attribute array switched the other way.
GL_SWITCHES = [
    (r"\bglEnable\(", "glDisable("),
    (r"\bglDisable\(", "glEnable("),
    (r"\bglEnableVertexAttribArray\(", "glDisableVertexAttribArray("),
    (r"\bglDisableVertexAttribArray\(", "glEnableVertexAttribArray("),
]
# A statement that is a call, spread over several lines: skipped whole.
CALL_START = re.compile(r"^[\w:.>-]+(\(|->\w+\()")
# Named groups of fault kinds for --kinds.
KIND_GROUPS = {"scene": ["gl-enum", "gl-switch", "constant", "remove", "remove-call"]}
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*|\.\d+|\d+)([eE][-+]?\d+)?([fFuU]?)(?![\w.])")
CONDITION = re.compile(r"\b(if|while) \(")
CALL2 = re.compile(r"\b(\w+)\(([^(),]+), ([^(),]+)\)")
# Calls whose two arguments commute: swapping them is no fault.
SYMMETRIC = {"Compare", "min", "max", "fmin", "fmax"}
DECLARATION = re.compile(r"^(const |static |constexpr |auto |extern |inline |virtual |explicit )*"
                         r"[\w:<>*]+[\s*&]+\w+\s*(=|;|\(|\[|\{)")
# A parameter as a declaration names it ("const char* a"): swapping two of
# those changes only the names, never the order a call passes.
PARAMETER = re.compile(r"^(const )?[\w:<>]+[*&]*\s+[*&]*\w+$")
# Lines whose removal the compiler either refuses or does not notice: a
# deleted or defaulted member, a compile-time assertion.
NOT_A_STATEMENT = re.compile(r"=\s*(delete|default)\s*;$|^static_assert\b")
STRING = re.compile(r'"(\\.|[^"\\])*"|\'(\\.|[^\'\\])*\'')


class Interrupted(Exception):
    pass


def stop(*_):
    raise Interrupted()


def code_part(line):
    """The line with string literals blanked and any comment cut, so that
    mutations land only in code."""
    masked = STRING.sub(lambda m: '"' + "_" * (len(m.group(0)) - 2) + '"', line)
    cut = masked.find("//")
    return masked if cut < 0 else masked[:cut]


def nudged(text):
    body, exponent, suffix = NUMBER.fullmatch(text).groups()
    exponent = exponent or ""
    if "." in body or exponent or suffix in "fF" and suffix:
        value = float(body + exponent)
        out = [repr(value * 1.25 if value else 1.0)]
        if value:
            out.append("0.0")
        return [o + suffix for o in out]
    value = int(body)
    out = [str(value + 1)]
    if value:
        out.append("0")
    return [o + suffix for o in out]


def mutants_of_line(line, previous):
    code = code_part(line)
    stripped = code.strip()
    if not stripped or stripped.startswith("#"):
        return
    for op, pattern, replacements in SWAPS:
        for m in re.finditer(pattern, code):
            for r in replacements:
                yield op, line[:m.start()] + r + line[m.end():]
    for m in NUMBER.finditer(code):
        if re.search(r"\[\s*$", code[:m.start()]) and re.match(r"\s*\]", code[m.end():]) \
                and re.search(r"\w\s*\[\s*$", code[:m.start()]) and DECLARATION.match(stripped):
            continue  # an array's declared size: other code sizes from it
        for r in nudged(m.group(0)):
            yield "constant", line[:m.start()] + r + line[m.end():]
    for m in CONDITION.finditer(code):
        depth, end = 0, None
        for i in range(m.end() - 1, len(code)):
            depth += {"(": 1, ")": -1}.get(code[i], 0)
            if depth == 0:
                end = i
                break
        if end is not None:
            inner = line[m.end():end]
            yield "negate", line[:m.end()] + "!(" + inner + ")" + line[end:]
    for m in CALL2.finditer(code):
        a, b = line[m.start(2):m.end(2)].strip(), line[m.start(3):m.end(3)].strip()
        if a != b and m.group(1) not in SYMMETRIC and not (PARAMETER.match(a) and PARAMETER.match(b)):
            yield "swap-args", line[:m.start(2)] + b + ", " + a + line[m.end(3):]
    for m in GL_ENUM.finditer(code):
        for r in GL_ENUMS.get(m.group(0), []):
            yield "gl-enum", line[:m.start()] + r + line[m.end():]
    for pattern, replacement in GL_SWITCHES:
        for m in re.finditer(pattern, code):
            yield "gl-switch", line[:m.start()] + replacement + line[m.end():]
    # The error paths: a thrown error made its base class (or a sibling of
    # the same constructor), an errno name made another, so that a failure
    # takes another branch; a permission mode with one class of bits changed.
    thrown = {"NotFound": "CannotOpen", "AccessDenied": "CannotOpen", "CannotOpen": "FileError",
              "NotEmpty": "FileError", "WriteError": "FileError", "DiskFull": "WriteError",
              "NotUnique": "FileError", "ReadError": "FileError", "FileError": "ReadError",
              "OutOfMemory": "NullPointer", "NullPointer": "OutOfMemory", "Error": "OutOfMemory"}
    errnos = {"ENOENT": "ENOTDIR", "EACCES": "EPERM", "EPERM": "EACCES", "EISDIR": "ENOTDIR",
              "EROFS": "ETXTBSY", "EEXIST": "EBUSY", "ENFILE": "ENOMEM", "EMFILE": "ENOMEM",
              "ENOSPC": "EFBIG", "EDQUOT": "EFBIG", "EIO": "ENXIO", "EBUSY": "ETXTBSY",
              "ENOTEMPTY": "EEXIST", "EBADF": "EINVAL", "EINVAL": "EBADF"}
    for m in re.finditer(r"\bthrow (\w+)\(", code):
        if m.group(1) in thrown:
            yield "error", line[:m.start(1)] + thrown[m.group(1)] + line[m.end(1):]
    for m in re.finditer(r"\bE[A-Z]+\b", code):
        if m.group(0) in errnos:
            yield "error", line[:m.start()] + errnos[m.group(0)] + line[m.end():]
    for m in re.finditer(r"(?<![\w.])0[0-7]{3}(?![\w.])", code):
        mode = int(m.group(0), 8)
        for changed in sorted({mode & 0o700, mode | 0o020, mode & 0o770} - {mode}):
            yield "mode", line[:m.start()] + "0" + format(changed, "03o") + line[m.end():]
    prev = code_part(previous).strip()
    starts_statement = not prev or prev[-1] in ";{}:"
    if starts_statement and CALL_START.match(stripped) and not stripped.endswith(";") \
            and stripped.count("(") > stripped.count(")") and not DECLARATION.match(stripped):
        indent = line[:len(line) - len(line.lstrip())]
        yield "remove-call", indent + "if (false) " + line.lstrip()
    if stripped.endswith(";") and (not prev or prev[-1] in ";{}:") \
            and not DECLARATION.match(stripped) and not NOT_A_STATEMENT.search(stripped) \
            and not stripped.startswith("return") \
            and not stripped.startswith("using ") and not stripped.startswith("}"):
        indent = line[:len(line) - len(line.lstrip())]
        yield "remove", indent + "\n"


REV = None  # a git revision to mutate instead of the working tree
EVERY_TEST = False  # run every covering test on a caught fault too


def read_source(rel):
    if REV:
        return subprocess.run(["git", "show", f"{REV}:{rel}"], cwd=ROOT, check=True,
                              capture_output=True).stdout
    with open(os.path.join(ROOT, rel), "rb") as f:
        return f.read()


def enumerate_mutants(rel, kinds=None):
    lines = read_source(rel).decode().splitlines(keepends=True)
    out = []
    previous = ""
    in_block_comment = False
    for number, line in enumerate(lines):
        if in_block_comment or line.lstrip().startswith("/*"):
            in_block_comment = "*/" not in line
            continue
        body = line.rstrip("\n")
        for op, mutated in mutants_of_line(body, previous):
            mutated = mutated.rstrip("\n")
            if mutated != body and (not kinds or op in kinds):
                out.append({"file": rel, "line": number + 1, "op": op,
                            "original": body, "mutated": mutated})
        if code_part(body).strip():
            previous = body
    return out, lines


def interleave_kinds(found):
    """The shuffled faults of one file reordered so that each kind takes its
    turn: constants are the most numerous sites of a scene, and would
    otherwise crowd out its GL state and its calls. Drawn from the end."""
    by_kind = {}
    for m in found:
        by_kind.setdefault(m["op"], []).append(m)
    queues = [by_kind[k] for k in sorted(by_kind)]
    out = []
    while any(queues):
        for q in queues:
            if q:
                out.append(q.pop())
    return out[::-1]


def digest(*parts):
    h = hashlib.sha1()
    for p in parts:
        h.update(p.encode() if isinstance(p, str) else p)
        h.update(b"\0")
    return h.hexdigest()[:16]


def tracked_files():
    if REV:
        out = subprocess.run(["git", "ls-tree", "-r", "-z", "--name-only", REV], cwd=ROOT,
                             check=True, capture_output=True).stdout
        return [p for p in out.decode().split("\0") if p]
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                         check=True, capture_output=True).stdout
    return [p for p in out.decode().split("\0") if p and os.path.isfile(os.path.join(ROOT, p))]


def mirror_tree():
    """Copies the working tree into the mirror, touching only what changed so
    the mutation build stays incremental, and removes what the tree no longer
    has (a moved file left behind would be globbed twice)."""
    tracked = set(tracked_files())
    for dirpath, _, names in os.walk(MIRROR):
        for name in names:
            path = os.path.join(dirpath, name)
            if os.path.relpath(path, MIRROR) not in tracked:
                os.remove(path)
    for rel in sorted(tracked):
        src, dst = os.path.join(ROOT, rel), os.path.join(MIRROR, rel)
        data = read_source(rel)
        if os.path.exists(dst):
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        with open(dst, "wb") as f:
            f.write(data)
        if os.path.exists(src):
            os.chmod(dst, os.stat(src).st_mode)


def restore_pending():
    if not os.path.exists(PENDING):
        return
    with open(PENDING) as f:
        pending = json.load(f)
    with open(pending["path"], "w") as f:
        f.write(pending["content"])
    os.remove(PENDING)


def write_mutant(path, original, mutated):
    with open(PENDING, "w") as f:
        json.dump({"path": path, "content": original}, f)
    with open(path, "w") as f:
        f.write(mutated)


def load_coverage():
    rules = []
    with open(COVERAGE) as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if len(line) == 3:
                rules.append(tuple(line))
    return rules


def coverage_for(rel, rules):
    """The (target, filter) pairs of the first prefix that matches: a prefix
    may be listed on several lines, one per test binary."""
    for prefix, _, _ in rules:
        if rel.startswith(prefix):
            return tuple((t, f) for p, t, f in rules if p == prefix)
    sys.exit(f"mutate: no tests named for {rel} in {COVERAGE}")


def load_equivalents():
    """Faults judged by hand to change nothing a caller can observe:
    <file> | <original line> | <mutated line> | <reason>; <file>:<line> where
    the same text elsewhere in the file is a real fault."""
    judged = {}
    if os.path.exists(EQUIVALENT):
        with open(EQUIVALENT) as f:
            for line in f:
                if line.startswith("#") or "|" not in line:
                    continue
                # "\|" stands for a "|" of the code itself.
                fields = re.split(r"(?<!\\)\|", line, 3)
                rel, original, mutated, reason = [p.strip().replace("\\|", "|") for p in fields]
                judged[(rel, original, mutated)] = reason
    return judged


def run(cmd, timeout=None, cwd=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, capture_output=True, timeout=timeout, start_new_session=True)
        return p.returncode, (p.stdout + p.stderr).decode(errors="replace")
    except subprocess.TimeoutExpired as e:
        return None, (e.stdout or b"").decode(errors="replace")


def build(*targets):
    code, log = run(["ninja", "-C", BUILD, *targets])
    return code == 0, log


def objects_of(rel):
    out = []
    for dirpath, _, files in os.walk(os.path.join(BUILD, "CMakeFiles")):
        for name in files:
            if name == os.path.basename(rel) + ".o" and dirpath.endswith(os.path.dirname(rel)):
                out.append(os.path.join(dirpath, name))
    return sorted(out)


def object_digest(rel):
    parts = []
    for path in objects_of(rel):
        with open(path, "rb") as f:
            parts.append(f.read())
    return digest(*parts) if parts else None


def build_digest(rel, targets):
    """What a fault in rel can change: its object, or for a header the linked
    test programs and the show itself (the program tests run the latter)."""
    if not rel.endswith(".h"):
        return object_digest(rel)
    parts = []
    for path in [test_binary(t) for t in targets] + [SHOW]:
        if os.path.exists(path):
            with open(path, "rb") as f:
                parts.append(f.read())
    return digest(*parts)


def test_binary(target):
    return os.path.join(BUILD, "tests", target)


def run_tests(target, gfilter, limit):
    start = time.monotonic()
    code, log = run([test_binary(target), f"--gtest_filter={gfilter}", "--gtest_brief=1"],
                    timeout=limit, cwd=os.path.join(BUILD, "tests"))
    return code, log, time.monotonic() - start


def configure():
    # Tests are listed when ctest runs, not after every link: a listing that
    # runs slow on a busy machine would fail the build of a mutant.
    cache = os.path.join(BUILD, "CMakeCache.txt")
    if not os.path.exists(cache) or "DISCOVERY_MODE:UNINITIALIZED=PRE_TEST" not in open(cache).read():
        subprocess.run(["cmake", "-S", MIRROR, "-B", BUILD, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DKESTREL_WERROR=ON",
                        "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"],
                       check=True, stdout=subprocess.DEVNULL)


def expand(paths):
    out = []
    for p in paths:
        rel = os.path.relpath(os.path.abspath(p), ROOT)
        if os.path.isdir(os.path.join(ROOT, rel)):
            for dirpath, _, files in sorted(os.walk(os.path.join(ROOT, rel))):
                for name in sorted(files):
                    if name.endswith((".cpp", ".h")):
                        out.append(os.path.relpath(os.path.join(dirpath, name), ROOT))
        else:
            out.append(rel)
    return out


def diff_of(m):
    return f"{m['file']}:{m['line']}\n- {m['original'].strip()}\n+ {m['mutated'].strip()}"


def report_catchers(results):
    """With --every-test: how many faults each test caught, and how many of
    them no other test caught."""
    caught = collections.Counter(test for r in results for test in r["failed_tests"])
    alone = collections.Counter(r["failed_tests"][0] for r in results if len(r["failed_tests"]) == 1)
    for test in sorted(caught, key=lambda t: (-alone[t], -caught[t], t)):
        print(f"== catches {caught[test]:3}, alone {alone[test]:3}: {test}")


def report(results, files):
    total = {"planted": 0, "caught": 0, "survived": 0, "timeout": 0, "equivalent": 0, "stillborn": 0}
    for rel in files:
        mine = [r for r in results if r["file"] == rel]
        if not mine:
            continue
        count = {k: sum(1 for r in mine if r["status"] == k) for k in total if k != "planted"}
        count["planted"] = len(mine) - count["stillborn"]
        for k in total:
            total[k] += count[k]
        print(f"== {rel}: planted {count['planted']}, caught {count['caught']}, "
              f"survived {count['survived']}, timed out {count['timeout']}, "
              f"equivalent {count['equivalent']} (did not build: {count['stillborn']})")
        for r in mine:
            if r["status"] == "survived":
                print("  survived " + diff_of(r).replace("\n", "\n    "))
            elif r["status"] == "equivalent":
                print(f"  equivalent {r['file']}:{r['line']} ({r['reason']})\n"
                      f"    - {r['original'].strip()}\n    + {r['mutated'].strip()}")
    report_catchers([r for r in results if r["file"] in files and "failed_tests" in r])
    scored = total["planted"] - total["equivalent"]
    score = 100.0 * (total["caught"] + total["timeout"]) / scored if scored else 100.0
    print(f"== all: planted {total['planted']}, caught {total['caught']}, survived {total['survived']}, "
          f"timed out {total['timeout']}, equivalent {total['equivalent']}; "
          f"caught {score:.0f}% of the non-equivalent")
    return total


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("paths", nargs="+", help="sources or folders to mutate")
    parser.add_argument("--count", type=int, default=0, help="plant this many faults that compile (0: all)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--out", default=os.path.join(WORK, "results.json"))
    parser.add_argument("--list", action="store_true", help="only list the sampled mutants")
    parser.add_argument("--report", action="store_true", help="only report the verdicts recorded so far")
    parser.add_argument("--rev", help="mutate this git revision instead of the working tree")
    parser.add_argument("--kinds", help="plant only these fault kinds (comma-separated: compare, arith, logic, "
                        "constant, negate, swap-args, remove, remove-call, gl-enum, gl-switch, error (a thrown "
                        "error class or an errno name replaced), mode (a permission mode changed); "
                        "'scene' stands for GL state, constants and removed calls)")
    parser.add_argument("--every-test", action="store_true",
                        help="run every covering test on a caught fault too, and record each test that failed, "
                        "to tell which test alone catches which fault")
    parser.add_argument("--recheck", metavar="FILE",
                        help="take the verdicts of an earlier results file and run only its survivors again")
    args = parser.parse_args()
    global REV, EVERY_TEST
    REV = args.rev
    EVERY_TEST = args.every_test

    signal.signal(signal.SIGTERM, stop)
    os.makedirs(WORK, exist_ok=True)
    restore_pending()
    kinds = set()
    for kind in (args.kinds or "").split(","):
        kinds.update(KIND_GROUPS.get(kind, [kind] if kind else []))
    files = expand(args.paths)
    rules = load_coverage()
    judged = load_equivalents()
    tests_digest = digest(*[read_source(p) for p in tracked_files() if p.startswith("tests/")])

    # Faults are drawn in turn from each file's shuffled list, so that a file
    # with many candidate sites (a matrix inverse) does not crowd out the
    # others. A fault that does not compile is replaced by the next one drawn:
    # the sample counts faults that were planted.
    rng = random.Random(args.seed)
    per_file, contents = [], {}
    for rel in files:
        found, lines = enumerate_mutants(rel, kinds)
        contents[rel] = digest("".join(lines)), lines
        rng.shuffle(found)
        if kinds:
            found = interleave_kinds(found)
        per_file.append(found)
    drawn = []
    while any(per_file):
        for found in per_file:
            if found:
                drawn.append(found.pop())
    for m in drawn:
        m["id"] = digest(m["file"], str(m["line"]), m["mutated"], contents[m["file"]][0], tests_digest,
                         "every test" if EVERY_TEST else "")
    wanted = args.count or len(drawn)
    if args.list:
        for m in drawn[:wanted]:
            print(f"[{m['op']}] " + diff_of(m))
        if len(drawn) > wanted:
            print(f"mutate: those that do not compile are replaced from {len(drawn) - wanted} more")
        return

    results = {}
    if os.path.exists(args.out):
        with open(args.out) as f:
            results = {r["id"]: r for r in json.load(f)}

    def save():
        with open(args.out + ".tmp", "w") as f:
            json.dump(list(results.values()), f, indent=1)
        os.replace(args.out + ".tmp", args.out)

    if args.recheck:
        # A fault the earlier tests caught is taken as caught still: the
        # tests only grow stricter between the two runs.
        with open(args.recheck) as f:
            earlier = {(r["file"], r["line"], r["mutated"]): r for r in json.load(f)}
        for m in drawn:
            old = earlier.get((m["file"], m["line"], m["mutated"]))
            if m["id"] not in results and old and old["status"] != "survived":
                results[m["id"]] = dict(old, id=m["id"])

    chosen, planted, prepared, baselines = [], 0, False, {}
    try:
        for m in drawn:
            if planted == wanted:
                break
            if m["id"] not in results:
                if args.report:
                    print(f"mutate: {wanted - planted} of {wanted} faults not run yet")
                    break
                if not prepared:
                    mirror_tree()
                    configure()
                    prepared = True
                results[m["id"]] = run_mutant(m, contents[m["file"]][1], rules, judged, baselines)
                save()
                print(f"[{planted + 1}/{wanted}] {results[m['id']]['status']:10} "
                      f"{m['file']}:{m['line']} {m['op']}", file=sys.stderr, flush=True)
            chosen.append(results[m["id"]])
            planted += chosen[-1]["status"] != "stillborn"
    except (KeyboardInterrupt, Interrupted):
        restore_pending()
        print("mutate: stopped; the source is restored and a new run resumes", file=sys.stderr)
        sys.exit(130)
    finally:
        restore_pending()

    for r in chosen:  # judgements made after the run still count
        reason = judgement(judged, r)
        if r["status"] == "survived" and reason:
            r.update(status="equivalent", reason=reason)
    report(chosen, files)


def judgement(judged, m):
    key = (m["original"].strip(), m["mutated"].strip())
    return judged.get((f"{m['file']}:{m['line']}",) + key) or judged.get((m["file"],) + key)


def run_mutant(m, lines, rules, judged, baselines):
    """Builds one fault and runs the tests that cover its file; the verdict."""
    rel = m["file"]
    suites = coverage_for(rel, rules)
    targets = [t for t, _ in suites]
    # The unmutated tests run once per list of tests, which many files share
    # (a whole show's run for each scene file would cost more than its faults);
    # the unmutated build's digest is each file's own.
    if suites not in baselines:
        ok, log = build(*targets)
        if not ok:
            sys.exit("mutate: the unmutated tree does not build:\n" + log[-3000:])
        limits = []
        for target, gfilter in suites:
            code, log, seconds = run_tests(target, gfilter, None)
            if code != 0:
                sys.exit(f"mutate: {target} --gtest_filter={gfilter} fails unmutated:\n" + log[-3000:])
            # A pattern left behind by a renamed test would pass every fault.
            for pattern in gfilter.split(":"):
                _, listed = run([test_binary(target), "--gtest_list_tests", f"--gtest_filter={pattern}"])
                if not re.search(r"^  \S", listed, re.M):
                    sys.exit(f"mutate: {target} --gtest_filter={pattern} names no test (scripts/mutate-coverage.txt)")
            limits.append(max(20.0, 4 * seconds))
        baselines[suites] = limits
    if rel not in baselines:
        ok, log = build(*targets)
        if not ok:
            sys.exit("mutate: the unmutated tree does not build:\n" + log[-3000:])
        baselines[rel] = build_digest(rel, targets)
    original_digest, limits = baselines[rel], baselines[suites]
    path = os.path.join(MIRROR, rel)
    mutated = list(lines)
    mutated[m["line"] - 1] = m["mutated"] + "\n"
    record = dict(m)
    reason = judgement(judged, m)
    try:
        write_mutant(path, "".join(lines), "".join(mutated))
        ok, _ = build(*targets)
        if not ok:
            record["status"] = "stillborn"
        elif original_digest and build_digest(rel, targets) == original_digest:
            record.update(status="equivalent", reason="compiles to the same object code")
        elif reason:
            record.update(status="equivalent", reason=reason)
        else:
            record["status"] = "survived"
            for (target, gfilter), limit in zip(suites, limits):
                code, log, _ = run_tests(target, gfilter, limit)
                if code == 0:
                    continue
                if record["status"] == "survived":
                    record["status"] = "timeout" if code is None else "caught"
                    # What caught it, to judge by how much: the failures' lines.
                    record["caught_by"] = target
                    record["failures"] = [l for l in log.splitlines() if "Failure" in l or "differs" in l][:20]
                if not EVERY_TEST:
                    break
                failed = sorted(set(re.findall(r"^\[  FAILED  \] ([\w/.]+)", log, re.M)))
                record.setdefault("failed_tests", []).extend(
                    f"{target} {name}" for name in failed or ["(timed out)" if code is None else "(crashed)"])
    finally:
        restore_pending()
        # The mutant's objects go too: a restored source is not always seen
        # as newer than what was built from the mutant.
        for obj in objects_of(rel):
            os.remove(obj)
    return record


if __name__ == "__main__":
    main()
