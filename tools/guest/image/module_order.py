#!/usr/bin/env python3
"""Prints the kernel modules that the given ones need, each after what it needs, as paths
relative to the modules folder: the order in which insmod can load them.

Usage: module_order.py <lib/modules/VERSION folder> <module> ...
Reads each module's own "depends=" and "softdep=...pre:" entries, so no modules.dep is needed.
"""
import os
import re
import sys


def index_modules(root):
    found = {}
    for folder, _, files in os.walk(root):
        for name in files:
            if name.endswith(".ko"):
                found[name[:-3].replace("-", "_")] = os.path.relpath(os.path.join(folder, name), root)
    return found


def needs(path, modules):
    data = open(path, "rb").read()
    result = []
    for match in re.findall(rb"\0depends=([^\0]*)\0", data):
        result += [n for n in match.decode().split(",") if n]
    for match in re.findall(rb"\0softdep=pre: ([^\0]*)\0", data):
        for name in match.decode().split():
            # A crypto alias such as "crypto-crc32c" stands for its generic module.
            name = name.removeprefix("crypto-")
            for candidate in (name, name + "_generic"):
                if candidate.replace("-", "_") in modules:
                    result.append(candidate)
                    break
    return [n.replace("-", "_") for n in result]


def main():
    root = sys.argv[1]
    modules = index_modules(root)
    order, seen = [], set()

    def visit(name):
        if name in seen:
            return
        seen.add(name)
        if name not in modules:
            return  # built into the kernel
        for dependency in needs(os.path.join(root, modules[name]), modules):
            visit(dependency)
        order.append(modules[name])

    for name in sys.argv[2:]:
        if name.replace("-", "_") not in modules:
            sys.exit(f"module_order: no module {name}")
        visit(name.replace("-", "_"))
    print("\n".join(order))


main()
