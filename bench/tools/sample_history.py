#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a history file of ITEMS items, about 300 bytes each (links, code,
# prose with some non-ASCII), 30 s apart, newest first, the way another
# program would (json.dump), for the benchmarks that start the real app.
#   sample_history.py PATH ITEMS
import datetime, json, random, sys, uuid

rng = random.Random(20261205)
words = ["clipboard", "Straße", "naïve", "东京", "release", "build", "résumé", "quill", "мир",
         "deploy", "🙂", "token"]
now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
items = []
for i in range(int(sys.argv[2])):
    if i % 3 == 0:
        text = f"https://example.com/projects/{rng.randrange(1000)}/issues/{i}?tab=files&q="
        while len(text) < 280:
            text += rng.choice(words) + "/"
    elif i % 3 == 1:
        text = f"for (int i = 0; i < {i}; ++i) {{\n    total += values[i];\n}}\n"
        while len(text) < 280:
            text += "    // " + rng.choice(words) + "\n"
    else:
        text = ""
        while len(text) < 280:
            text += rng.choice(words) + " "
    items.append({"content": text,
                  "createdAt": (now - datetime.timedelta(seconds=30 * i)).strftime("%Y-%m-%dT%H:%M:%SZ"),
                  "id": str(uuid.UUID(int=rng.getrandbits(128))).upper()})
with open(sys.argv[1], "w", encoding="utf-8") as f:
    json.dump(items, f, ensure_ascii=False, indent=2, sort_keys=True)
