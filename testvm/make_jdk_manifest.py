#!/usr/bin/env python3
"""Writes jdk_classes.manifest: the JDK classes the test VM knows when the Java manifest lacks them.

Run with the JDK 17 `javap` on PATH:  python3 make_jdk_manifest.py > jdk_classes.manifest
Every superclass and interface of the listed classes is added too, so each class loads.
"""
import re
import subprocess
import sys

ROOTS = """java/lang/Object java/lang/String java/lang/Class java/lang/Integer java/lang/Boolean
java/lang/Throwable java/lang/Exception java/lang/RuntimeException java/lang/Error
java/lang/NoClassDefFoundError java/lang/NoSuchMethodError java/lang/NoSuchFieldError
java/lang/OutOfMemoryError java/lang/ArrayIndexOutOfBoundsException
java/lang/StringIndexOutOfBoundsException java/lang/NullPointerException
java/lang/IllegalArgumentException java/lang/ArrayStoreException
java/lang/NegativeArraySizeException java/lang/InstantiationException
java/lang/ClassCastException java/util/NoSuchElementException java/util/Vector java/util/Vector$1 java/util/Enumeration""".split()

FLAGS = ["static", "native", "public", "private", "protected", "final", "abstract"]


def strip_generics(text):
    out, depth = [], 0
    for ch in text:
        if ch == "<":
            depth += 1
        elif ch == ">":
            depth -= 1
        elif depth == 0:
            out.append(ch)
    return "".join(out)


def internal(name):
    return name.strip().replace(".", "/")


def describe(cls):
    text = subprocess.run(["javap", "-s", "-p", "-constants", cls.replace("/", ".")],
                          check=True, capture_output=True, text=True).stdout
    lines = text.splitlines()
    header = next(l for l in lines if l.rstrip().endswith("{"))
    header = strip_generics(header.rstrip(" {"))
    is_interface = " interface " in f" {header} "
    is_abstract = " abstract " in f" {header} " and not is_interface
    sup, ifaces = None, []
    m = re.search(r" extends ([^ ]+(?:, [^ ]+)*?)(?: implements |$)", header)
    if m:
        names = [internal(n) for n in m.group(1).split(",")]
        if is_interface:
            ifaces += names
        else:
            sup = names[0]
    m = re.search(r" implements (.*)$", header)
    if m:
        ifaces += [internal(n) for n in m.group(1).split(",")]
    if sup is None and not is_interface and cls != "java/lang/Object":
        sup = "java/lang/Object"
    members = []
    simple = cls.split("/")[-1].replace("$", ".")
    for i, line in enumerate(lines):
        if not line.strip().startswith("descriptor:"):
            continue
        decl = strip_generics(lines[i - 1].strip().rstrip(";"))
        desc = line.split(":", 1)[1].strip()
        constant = None
        if " = " in decl:
            decl, constant = decl.split(" = ", 1)
        words = decl.split()
        if words and words[-1] == "{}":  # a static initializer
            continue
        flags = [w for w in words if w in FLAGS]
        if "(" in decl:
            name = decl.split("(", 1)[0].split()[-1]
            if name == "static" or name == "{}":
                continue
            if internal(name) == cls or name.split(".")[-1] == simple.split(".")[-1] and name.replace("$", ".").endswith(simple):
                name = "<init>"
            if is_interface and not {"static", "abstract", "private"} & set(flags) and "default" not in words:
                flags.append("abstract")
            members.append(("method", name, desc, flags, None))
        else:
            name = words[-1]
            if constant is not None and not re.fullmatch(r"-?\d+", constant):
                constant = None
            if desc != "I":
                constant = None
            members.append(("field", name, desc, flags, constant))
    return sup, ifaces, is_interface, is_abstract, members


def main():
    todo, seen, out = list(ROOTS), set(), []
    while todo:
        cls = todo.pop(0)
        if cls in seen:
            continue
        seen.add(cls)
        sup, ifaces, is_interface, is_abstract, members = describe(cls)
        head = f"class {cls} super {sup or '-'}"
        if is_interface:
            head += " interface"
        if is_abstract:
            head += " abstract"
        out.append(head)
        for iface in ifaces:
            out.append(f"implements {cls} {iface}")
            todo.append(iface)
        if sup:
            todo.append(sup)
        for kind, name, desc, flags, constant in members:
            line = f"{kind} {cls} {name} {desc} {','.join(flags) or '-'}"
            if constant is not None:
                line += f" = {constant}"
            out.append(line)
    sys.stdout.write("# JDK 17 classes known to the test VM (make_jdk_manifest.py, from javap -s -p -constants).\n")
    sys.stdout.write("\n".join(out) + "\n")


main()
