#!/usr/bin/env python3
"""Counts of a CTest run from its JUnit report (ctest --output-junit), for the test command's phases.

    ctest-report.py REPORT [GROUP=NAMES_FILE ...]

Prints one line for each group (a file of test names, one per line): "GROUP: N passed, N failed, N s" (the summed
time of its tests), then the last line "N passed, N failed" for the whole report. A test that skipped itself
(GTEST_SKIP, which its SKIP_REGULAR_EXPRESSION tells) counts as neither; one that did not run for any other reason (a
fixture that failed before it) counts as failed. Exits 1 when the report cannot be read.
"""
import sys
import xml.etree.ElementTree as ElementTree


def main():
    try:
        suite = ElementTree.parse(sys.argv[1]).getroot()
    except (OSError, ElementTree.ParseError, IndexError) as e:
        print("ctest-report: no report to read (%s)" % e, file=sys.stderr)
        return 1
    results = {}
    for case in suite.iter("testcase"):
        skipped = case.find("skipped")
        if skipped is not None and skipped.get("message") == "SKIP_REGULAR_EXPRESSION_MATCHED":
            continue
        results[case.get("name")] = (case.get("status") == "run", float(case.get("time") or 0))
    for group in sys.argv[2:]:
        label, _, path = group.partition("=")
        names = [line.strip() for line in open(path) if line.strip()]
        ran = [results[n] for n in names if n in results]
        passed = sum(1 for ok, _ in ran if ok)
        print("%s: %d passed, %d failed, %.0f s" % (label, passed, len(ran) - passed, sum(t for _, t in ran)))
    passed = sum(1 for ok, _ in results.values() if ok)
    print("%d passed, %d failed" % (passed, len(results) - passed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
