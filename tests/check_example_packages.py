#!/usr/bin/env python3
"""Builds the example books with a copy of the velkaro executable and checks
every package as other tools read it: unzip -t, Python's zipfile, jar tf, the
entry order, and the descriptor's size line.

Usage: check_example_packages.py VELKARO EXAMPLES_FOLDER
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def build_examples(velkaro, examples):
    projects = sorted(glob.glob(os.path.join(examples, "*", "*.ini")))
    if not projects:
        fail("no example project in " + examples)
    for project in projects:
        run = subprocess.run([velkaro, os.path.basename(project)], cwd=os.path.dirname(project),
                             capture_output=True, text=True, stdin=subprocess.DEVNULL)
        if run.returncode != 0 or run.stdout or run.stderr:
            fail("%s: exit %d, stdout %r, stderr %r" % (project, run.returncode, run.stdout,
                                                         run.stderr))


def check_package(jar):
    name = os.path.basename(jar)
    if shutil.which("unzip"):
        run = subprocess.run(["unzip", "-tq", jar], capture_output=True, text=True)
        if run.returncode != 0:
            fail("unzip -t %s: %s" % (name, run.stdout + run.stderr))
    with zipfile.ZipFile(jar) as archive:
        bad = archive.testzip()
        if bad:
            fail("zipfile finds %s damaged in %s" % (bad, name))
        names = archive.namelist()
    if names[-2:] != ["META-INF/", "META-INF/MANIFEST.MF"]:
        fail("%s ends with %s" % (name, names[-2:]))
    if any("/" in entry for entry in names[:-2]):
        fail("%s: work-folder files must come first: %s" % (name, names))
    if shutil.which("jar"):
        run = subprocess.run(["jar", "tf", jar], capture_output=True, text=True)
        if run.returncode != 0 or run.stdout.split() != names:
            fail("jar tf %s: %s" % (name, run.stdout + run.stderr))
    with open(jar[:-4] + ".jad", "rb") as jad:
        lines = jad.read().split(b"\r\n")
    size_line = ("MIDlet-Jar-Size: %d" % os.path.getsize(jar)).encode()
    if size_line not in lines:
        fail("%s.jad lacks %r" % (name[:-4], size_line))


def main():
    velkaro, examples = sys.argv[1], os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as folder:
        program = os.path.join(folder, "velkaro")
        shutil.copy2(velkaro, program)
        build_examples(program, examples)
        jars = sorted(glob.glob(os.path.join(folder, "midlets", "*.jar")))
        if len(jars) < 4:
            fail("expected the photo book and three text parts, found %s" % jars)
        for jar in jars:
            check_package(jar)
        print("checked %d packages" % len(jars))


if __name__ == "__main__":
    main()
