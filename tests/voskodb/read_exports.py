#!/usr/bin/env python3
"""Reads voskodb's exports as other programs read them: the CSV file with
Python's csv module, the JSON document with its json module, both as strict
UTF-8. Prints {"csv": rows, "json": rows}, the document's carriers laid out
as the CSV's rows with the carrier's notes and images after them; whatever
either module refuses ends the script with an error."""
import csv
import json
import sys

CARRIER = ["name", "artist", "label", "release", "medium", "kind"]
TITLE = ["artist", "title", "url", "content_type", "original_artist", "film"]


def rows(document):
    assert document.keys() == {"format", "version", "carriers"} and document["version"] == 1
    for c in document["carriers"]:
        lead, extra = [c[k] for k in CARRIER], [c["notes"], c["image"], c["print_image"]]
        assert c.keys() == set(CARRIER + ["notes", "image", "print_image", "titles"])
        if not c["titles"]:
            yield lead + [""] * 9 + extra
        for t in c["titles"]:
            assert set(t) - {"side"} == set(TITLE + ["disc", "track"])
            assert all(type(t[k]) is int for k in set(t) - set(TITLE))
            numbers = [str(t["disc"]), str(t.get("side", "")), str(t["track"])]
            yield lead + numbers + [t[k] for k in TITLE] + extra


def main():
    with open(sys.argv[1], encoding="utf-8", newline="") as f:
        table = list(csv.reader(f, strict=True))
    with open(sys.argv[2], encoding="utf-8") as f:
        document = json.load(f, parse_constant=lambda name: sys.exit(f"{name} is not JSON"))
    json.dump({"csv": table, "json": list(rows(document))}, sys.stdout)


if __name__ == "__main__":
    main()
