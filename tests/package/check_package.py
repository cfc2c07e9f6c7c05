#!/usr/bin/env python3
"""The Debian package as a user gets it: unpacked into a scratch folder it holds
every program with its manual page, the desktop entry, the file type, the
icons and the documents; its dependencies were computed; its programs run from
there on the bundled examples; lintian finds no error; and apt would install it
on this system.

Usage: check_package.py --deb FILE --source DIR PROGRAM..."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

problems = []


def expect(condition, message):
    if not condition:
        problems.append(message)
    return condition


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=600, **kwargs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("programs", nargs="+")
    options = parser.parse_args()
    deb = os.path.abspath(options.deb)
    examples = os.path.join(os.path.abspath(options.source), "examples")

    depends = run(["dpkg-deb", "--field", deb, "Depends"]).stdout
    expect("libqt6widgets6" in depends and "libc6" in depends, "dependencies not computed: %r" % depends)

    scratch = tempfile.mkdtemp(prefix="morvask-deb-")
    try:
        expect(run(["dpkg-deb", "-x", deb, scratch]).returncode == 0, "dpkg-deb -x failed")
        usr = os.path.join(scratch, "usr")
        wanted = ["share/applications/morvask-betrachter.desktop",
                  "share/mime/packages/morvask-betrachter.xml",
                  "share/icons/hicolor/48x48/apps/morvask-betrachter.png",
                  "share/icons/hicolor/48x48/mimetypes/application-x-morvask-transfer.png",
                  "share/doc/morvask-betrachter/copyright",
                  "share/doc/morvask-betrachter/changelog.Debian.gz"]
        for program in options.programs:
            wanted += ["bin/" + program, "share/man/man1/%s.1.gz" % program]
        for path in wanted:
            expect(os.path.isfile(os.path.join(usr, path)), "not in the package: /usr/" + path)
        # The package must not carry the desktop's caches, which dpkg's triggers build.
        expect(not os.path.exists(os.path.join(usr, "share/mime/mime.cache")), "package carries a MIME cache")

        # Each program from the unpacked tree: version and help without a display...
        for program in options.programs:
            binary = os.path.join(usr, "bin", program)
            for option in ("--version", "--help"):
                result = run([binary, option])
                expect(result.returncode == 0 and result.stdout.strip(),
                       "%s %s from the package: status %d" % (program, option, result.returncode))
        # ... the checker on the bundled examples ...
        check = os.path.join(usr, "bin", "morvask-check")
        good = os.path.join(examples, "WVMO_261015_093000.DAT")
        faulty = os.path.join(examples, "GAMO_LGA1_261016_141500.DAT")
        result = run([check, good, faulty])
        expect(result.returncode == 1 and result.stdout.startswith(good + ": OK\n")
               and (faulty + ":4: ") in result.stdout,
               "morvask-check from the package on the examples: %d %r" % (result.returncode, result.stdout))
        # ... and the viewer driven on a private X server.
        viewer = os.path.join(usr, "bin", "morvask-betrachter")
        for case in ("good file", "faulty file"):
            result = run([sys.executable, os.path.join(options.source, "tests", "e2e", "desktop_run.py"),
                          "--binary", viewer, "--only", case])
            expect(result.returncode == 0 and ("PASS   " + case) in result.stdout,
                   "viewer from the package, %s:\n%s%s" % (case, result.stdout, result.stderr))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    lintian = run(["lintian", "--fail-on", "error", deb])
    for line in lintian.stdout.splitlines():
        print("lintian: " + line)
    expect(lintian.returncode == 0, "lintian reports errors")

    simulation = run(["apt-get", "install", "--simulate", "--no-install-recommends", deb])
    expect(simulation.returncode == 0 and "Inst morvask-betrachter" in simulation.stdout,
           "apt-get would not install the package:\n" + simulation.stdout + simulation.stderr)

    for problem in problems:
        print("FAIL   " + problem)
    if not problems:
        print("PASS   package " + os.path.basename(deb))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
