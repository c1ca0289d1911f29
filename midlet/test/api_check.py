#!/usr/bin/env python3
"""Checks the embedded midlet files: their exact sizes, class version 45.3, no float or double
and no jsr/ret (which CLDC's verifier cannot take), and that every class, method and field they
use exists in CLDC 1.0 + MIDP 1.0 (the Nokia full canvas may use the Nokia UI, the MIDP 2.0
canvas setFullScreenMode). The APIs are the stubs in midlet/stubs, read with javap.
Usage: api_check.py EMBEDDED_FOLDER STUBS_FOLDER
"""
import os
import re
import subprocess
import sys
import tempfile

SIZES = {
    "point.png": 264, "logo.png": 407, "TBookCanvas.class": 799, "TBookN1Canvas.class": 825,
    "TBookN2Canvas.class": 864, "TBookCanvasInit.class": 225, "text/TBookMIDlet.class": 35407,
    "photo/TBookMIDlet.class": 8597,
}
EXTRA_API = {"TBookN1Canvas.class": "nokia", "TBookN2Canvas.class": "midp2"}
FLOAT_OPS = re.compile(r"^([fd](load|store|const|add|sub|mul|div|rem|neg|cmp[lg]|return|aload|astore)"
                       r"(_\w+)?|[ilfd]2[fd]|[fd]2[il]|jsr(_w)?|ret)$")


def javap(*args):
    return subprocess.run(["javap", *args], check=True, capture_output=True, text=True).stdout


class Api:
    """Classes with their superclass, interfaces and members (name + descriptor)."""

    def __init__(self):
        self.supers, self.members = {}, {}

    def add_class_files(self, paths):
        current = None
        for line in javap("-p", "-s", *paths).splitlines():
            header = re.match(r"^(?:[\w ]*?)(?:class|interface) ([\w.$]+)(?: extends ([\w.$, ]+?))?"
                              r"(?: implements ([\w.$, ]+))? \{$", line)
            if header:
                current = header.group(1).replace(".", "/")
                parents = (header.group(2) or "java.lang.Object") + "," + (header.group(3) or "")
                if current == "java/lang/Object":
                    parents = ""
                self.supers[current] = [p.strip().replace(".", "/") for p in parents.split(",") if p.strip()]
                self.members[current] = set()
                name = None
            elif line.strip().startswith("descriptor:") and name:
                self.members[current].add(name + ":" + line.split(":", 1)[1].strip())
            elif line.startswith("  ") and not line.startswith("    "):
                decl = line.strip().rstrip(";")
                if "(" in decl:
                    name = decl[:decl.index("(")].split()[-1]
                    if name.replace(".", "/") == current:
                        name = "<init>"
                else:
                    name = decl.split(" = ")[0].split()[-1]

    def has(self, owner, member):
        if owner.startswith("["):
            return True
        if member in self.members.get(owner, ()):
            return True
        return any(self.has(parent, member) for parent in self.supers.get(owner, ()))


def compile_stubs(stubs, dest):
    for part, boot in (("cldc midp", ""), ("nokia", "base"), ("midp2", "base")):
        out = os.path.join(dest, part.split()[0] if boot else "base")
        sources = sorted(os.path.join(d, f) for p in part.split()
                         for d, _, files in os.walk(os.path.join(stubs, p)) for f in files)
        os.makedirs(out, exist_ok=True)
        bootpath = os.path.join(dest, boot) if boot else os.path.join(dest, "none")
        os.makedirs(bootpath, exist_ok=True)
        subprocess.run(["ecj", "-source", "1.3", "-target", "1.1", "-nowarn", "-bootclasspath", bootpath,
                        "-d", out, *sources], check=True)


def class_files(folder):
    return sorted(os.path.join(d, f) for d, _, files in os.walk(folder) for f in files if f.endswith(".class"))


def descriptor_types(descriptor):
    return re.sub(r"L[^;]*;", "", descriptor)


def check_class(path, name, api, own):
    problems = []
    itself = Api()
    itself.add_class_files([path])
    text = javap("-v", "-c", "-p", path)
    if "minor version: 3" not in text or "major version: 45" not in text:
        problems.append("class version is not 45.3")
    for line in text.splitlines():
        op = re.match(r"^\s+\d+: (\w+)", line)
        if op and FLOAT_OPS.match(op.group(1)):
            problems.append("opcode " + op.group(1))
        if re.search(r"= (Float|Double) ", line) or "newarray" in line and re.search(r"\b(float|double)\b", line):
            problems.append("float or double: " + line.strip())
        ref = re.search(r"= (Methodref|Fieldref|InterfaceMethodref)\s+\S+\s+// (\S+?)\.(\S+?):(\S+)", line)
        if ref:
            owner, member, descriptor = ref.group(2), ref.group(3).strip('"'), ref.group(4)
            if "F" in descriptor_types(descriptor) or "D" in descriptor_types(descriptor):
                problems.append("float or double in " + owner + "." + member)
            in_api = any(a.has(owner, member + ":" + descriptor) for a in (api, own, itself))
            if not in_api:
                problems.append("outside the allowed API: " + owner + "." + member + ":" + descriptor)
        cls = re.search(r"= Class\s+\S+\s+// \"?([^\s\"]+)", line)
        if cls and not cls.group(1).startswith("[") and cls.group(1) not in api.supers \
                and cls.group(1) not in own.supers:
            problems.append("class outside the allowed API: " + cls.group(1))
    return ["%s: %s" % (name, p) for p in problems]


def main():
    embedded, stubs = sys.argv[1], sys.argv[2]
    problems = []
    for name, size in SIZES.items():
        actual = os.path.getsize(os.path.join(embedded, name))
        if actual != size:
            problems.append("%s: %d bytes, must be %d" % (name, actual, size))
    with tempfile.TemporaryDirectory() as work:
        compile_stubs(stubs, work)
        # Own classes: TBookMIDlet counts with only the members that both variants have, so the
        # shared canvases are checked against both.
        own = Api()
        own.add_class_files([os.path.join(embedded, n) for n in SIZES if n.endswith(".class")
                             and "/" not in n])
        text, photo = Api(), Api()
        text.add_class_files([os.path.join(embedded, "text/TBookMIDlet.class")])
        photo.add_class_files([os.path.join(embedded, "photo/TBookMIDlet.class")])
        own.supers["TBookMIDlet"] = text.supers["TBookMIDlet"]
        own.members["TBookMIDlet"] = text.members["TBookMIDlet"] & photo.members["TBookMIDlet"]
        base = Api()
        base.add_class_files(class_files(os.path.join(work, "base")))
        for name in SIZES:
            if not name.endswith(".class"):
                continue
            api = Api()
            api.supers = dict(base.supers)
            api.members = {owner: set(members) for owner, members in base.members.items()}
            extra = EXTRA_API.get(name)
            if extra:  # the MIDP 2.0 canvas adds its members to the MIDP 1.0 one
                canvas = api.members["javax/microedition/lcdui/Canvas"]
                api.add_class_files(class_files(os.path.join(work, extra)))
                api.members["javax/microedition/lcdui/Canvas"] |= canvas
            problems += check_class(os.path.join(embedded, name), name, api, own)
    for p in problems:
        print("FAIL " + p)
    print("checked %d embedded files: %s" % (len(SIZES), "problems found" if problems else "all fine"))
    sys.exit(1 if problems else 0)



if __name__ == "__main__":
    main()
