#!/usr/bin/env python3
"""inspect --json prints one JSON document with the documented fields, and a broken book's
document names its missing records."""
import json
import os
import shutil
import subprocess
import sys

cli, make_sample_book, work = sys.argv[1:4]
shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)


def inspect(book):
    run = subprocess.run([cli, "inspect", book, "--json"], capture_output=True, text=True)
    return run.returncode, json.loads(run.stdout)


good = os.path.join(work, "good.exe")
broken = os.path.join(work, "broken.exe")
subprocess.run([make_sample_book, good], check=True)
subprocess.run([make_sample_book, "--omit", "350:5", "--omit", "350:16", "--omit", "349:102", broken], check=True)

status, doc = inspect(good)
assert status == 0, status
assert doc["container"]["trailer"] is True
assert doc["tree"]["loaded"] is True and doc["tree"]["error"] is None
assert [g["key"] for g in doc["tree"]["groups"]][:2] == [350, 349], doc["tree"]["groups"]
assert doc["ebook"]["valid"] is True and doc["ebook"]["problems"] == []
assert {"group": 350, "key": 1} in doc["ebook"]["dropped"], doc["ebook"]["dropped"]
assert doc["image"]["pe32_i386"] is True and doc["image"]["template_takes_icons"] is True
assert [(i["width"], i["bytes"], i["id"]) for i in doc["image"]["icons"]] == [(32, 744, 1), (16, 296, 2)]

status, doc = inspect(broken)
assert status == 1, status
assert doc["ebook"]["valid"] is False
missing = [(p["group"], p["key"]) for p in doc["ebook"]["problems"] if p["missing"]]
assert missing == [(349, 102), (350, 5), (350, 16)], missing
print("inspect --json: 2 documents checked")
