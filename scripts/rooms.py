#!/usr/bin/env python3
"""Checks the rooms of the source tree: no include runs from a room to a room above it, and no
room holds more than a quarter of the product's lines. Prints each room's lines and share;
exits 1 on a breach. Rooms from the top down (a room may include only those below it)."""
import os
import re
import subprocess
import sys

ORDER = ['programs', 'views/qt|views/win32', 'core', 'core/forms', 'core/runs', 'core/flat',
         'core/lookups', 'db', 'platform', 'base']
RANK = {}
for height, names in enumerate(reversed(ORDER)):
    for name in names.split('|'):
        RANK[name] = height
# Rooms beside the layers: the shim and the updater build on the platform alone; the tools
# (the workspace builder, the stand-in package) may use anything.
RANK['shim'] = RANK['updater'] = RANK['db']
RANK['tools'] = len(ORDER)


def room(path):
    folder = os.path.dirname(path)
    found = [r for r in RANK if folder == r or folder.startswith(r + '/')]
    return max(found, key=len) if found else None


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    files = subprocess.check_output(['git', 'ls-files', '*.cpp', '*.h'], cwd=root, text=True).split()
    breaches, lines = [], {}
    for path in files:
        here = room(path)
        if here is None:
            continue
        with open(os.path.join(root, path), encoding='utf-8') as f:
            text = f.read()
        lines[here] = lines.get(here, 0) + text.count('\n')
        for included in re.findall(r'#include "([^"]+)"', text):
            there = room(included)
            if there is None or there == here or here == 'tools':
                continue
            if RANK[there] >= RANK[here]:
                breaches.append(f'{path} includes {included}: {there} is not below {here}')
    total = sum(lines.values())
    for name, n in sorted(lines.items(), key=lambda item: -item[1]):
        share = n / total
        print(f'{name:14} {n:6} {100 * share:5.1f}%{"  more than a quarter" if share > 0.25 else ""}')
        if share > 0.25:
            breaches.append(f'{name} holds more than a quarter of the product ({n} of {total} lines)')
    print(f'{"all":14} {total:6}')
    for breach in breaches:
        print(breach, file=sys.stderr)
    return 1 if breaches else 0


if __name__ == '__main__':
    sys.exit(main())
