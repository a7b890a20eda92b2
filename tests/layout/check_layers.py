#!/usr/bin/env python3
"""Fails when a source folder of desktop/ includes a folder it must not use: the layers run one
way (model, io, align, pipeline, pictures, ui), and only ui knows the window's controls."""
import glob
import os
import re
import sys

ALLOWED = {
    'model': {'model', 'platform'},
    'io': {'model', 'io', 'platform'},
    'align': {'align'},
    'pipeline': {'model', 'io', 'align', 'pipeline', 'platform'},
    'pictures': {'model', 'io', 'pictures', 'platform'},
    'ui': {'model', 'io', 'align', 'pipeline', 'pictures', 'ui', 'platform'},
    # The library and kvr stand on the pipeline and the pictures, never on the window's layer.
    'api': {'model', 'io', 'align', 'pipeline', 'pictures', 'platform', 'api', 'kvr'},
}
# Headers of the window seam that only the window's layer and the platform may use.
WINDOW_ONLY = ('platform/window.h', 'platform/control.h')
WINDOW_USERS = {'ui', 'platform', 'app'}

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', '..')
faults = []
for folder, allowed in ALLOWED.items():
    for path in sorted(glob.glob(os.path.join(root, 'desktop', folder, '*.[ch]*'))):
        text = open(path, encoding='utf-8').read()
        for included in re.findall(r'#include "([^"]+)"', text):
            top = included.split('/')[0]
            if '/' in included and top not in allowed:
                faults.append('%s includes %s' % (os.path.relpath(path, root), included))
            if included in WINDOW_ONLY and folder not in WINDOW_USERS:
                faults.append('%s includes the window seam %s' % (os.path.relpath(path, root), included))
# kvr's own sources stand outside the window's layer too (KVRv1's main and its guard excepted).
for path in sorted(glob.glob(os.path.join(root, 'desktop', 'app', '*.[ch]*'))):
    if os.path.basename(path).startswith(('kvrv1_', 'guarded_events')):
        continue
    for included in re.findall(r'#include "([^"]+)"', open(path, encoding='utf-8').read()):
        if included.startswith('ui/') or included in WINDOW_ONLY:
            faults.append('%s includes %s' % (os.path.relpath(path, root), included))
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
