#!/usr/bin/env python3
"""Generate the shipped timetable tables from the network catalogue.

The catalogue (catalogue/*.txt, UTF-8) describes real lines as ordered station
lists with kilometre posts, same-city station groups, pinyin initials and a list
of hand-picked services.  This script lays trains over that network and writes
the four table texts SPY, SLIST, SM and STRAIN in the program's table text
format (GBK, CR LF).  The result is sample data that looks like a timetable of
about 2011; it is not an official timetable.

Everything is deterministic: one seeded random generator, and every iteration
over a dict or set is sorted first, so the same catalogue always gives the same
bytes.  Standard library only.
"""

import argparse
import heapq
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
CATALOGUE = os.path.join(HERE, "catalogue")
DEFAULT_OUT = os.path.join(REPO, "resources", "tables")
SEED = 20111201

# ---------------------------------------------------------------------------
# Train classes.  The key is the class name used in services.txt.
#   ntype   : the NType code stored in the train list
#   letter  : number prefix
#   speed   : average running speed between stops, km/h, per line kind
#   dwell   : dwell minutes at (major, medium, minor) stations
#   stopp   : probability of calling at (major, medium, minor) stations
#   target  : how many trains of the class the timetable should hold
TYPES = {
    "D":  dict(ntype=1, letter="D", speed={"highspeed": 205, "intercity": 185, "conventional": 150},
               dwell=(3, 2, 2), stopp=(0.9, 0.5, 0.03), target=900),
    "G":  dict(ntype=2, letter="G", speed={"highspeed": 278, "intercity": 230},
               dwell=(3, 2, 2), stopp=(0.7, 0.35, 0.1), target=454),
    "C":  dict(ntype=3, letter="C", speed={"intercity": 190, "highspeed": 230}, dwell=(2, 2, 1),
               stopp=(1.0, 0.8, 0.5), target=162),
    "Z":  dict(ntype=4, letter="Z", speed={"conventional": 112},
               dwell=(8, 4, 2), stopp=(0.12, 0.0, 0.0), target=52),
    "T":  dict(ntype=5, letter="T", speed={"conventional": 96},
               dwell=(10, 5, 3), stopp=(0.85, 0.3, 0.02), target=280),
    "Y":  dict(ntype=5, letter="Y", speed={"conventional": 80},
               dwell=(6, 4, 3), stopp=(0.9, 0.3, 0.1), target=4),
    "K6": dict(ntype=6, letter="K", speed={"conventional": 76},
               dwell=(10, 5, 3), stopp=(1.0, 0.65, 0.012), target=926),
    "K7": dict(ntype=7, letter="K", speed={"conventional": 70},
               dwell=(10, 5, 3), stopp=(1.0, 0.7, 0.03), target=198),
    "P8": dict(ntype=8, letter="", speed={"conventional": 64},
               dwell=(10, 5, 3), stopp=(1.0, 0.8, 0.03), target=261),
    "P9": dict(ntype=9, letter="", speed={"conventional": 66},
               dwell=(10, 5, 3), stopp=(1.0, 0.8, 0.03), target=243),
    "P10": dict(ntype=10, letter="", speed={"conventional": 50},
                dwell=(5, 3, 2), stopp=(1.0, 1.0, 1.0), target=26),
    "P11": dict(ntype=11, letter="", speed={"conventional": 46},
                dwell=(5, 3, 2), stopp=(1.0, 1.0, 1.0), target=292),
}
# Classes that run on a line of each kind unless the line's flags add more.
DEFAULT_CLASSES = {
    "conventional": {"Z", "T", "Y", "K6", "K7", "P8", "P9", "P10", "P11"},
    "highspeed": {"G", "D"},
    "intercity": {"D", "C"},
}

TYPE_ORDER = ["G", "D", "C", "Z", "T", "Y", "K6", "K7", "P8", "P9", "P10", "P11"]

# Number blocks (inclusive) per class; the first and last of the four-digit
# blocks are always used so that the stored ranges span them.
NUMBER_BLOCKS = {
    "G": [(1, 99), (101, 499), (1011, 1099), (2001, 2099), (6001, 6199),
          (7001, 7399)],
    "D": [(1, 399), (601, 999), (2001, 2399), (3001, 3299), (5001, 5399),
          (6001, 6399), (7001, 7399)],
    "C": [(1001, 1099), (2001, 2299), (6001, 6099), (7001, 7099)],
    "Z": [(1, 300)],
    "T": [(1, 399), (501, 899)],
    "Y": [(501, 599)],
    "K6": [(1, 1299)],
    "K7": [(1301, 1999)],
    "P8": [(1043, 5828)],
    "P9": [(1085, 5816)],
    "P10": [(6045, 7574)],
    "P11": [(6001, 7582)],
}

# Distance bands (km) for automatically laid services per class.
AUTO_BANDS = {
    "G": (150, 1400), "D": (80, 1300), "C": (30, 200), "Z": (700, 2600),
    "T": (350, 3200), "Y": (150, 600), "K6": (250, 3600), "K7": (200, 1600),
    "P8": (200, 3000), "P9": (200, 2500), "P10": (60, 400), "P11": (50, 450),
}

# Stopping trains cover a line in pieces of at most this many stations.
COVER_CHUNK = 48
COVER_KM = 420
MAX_STOPS = 62


def round_half_up(x):
    """Half-up rounding as the program does it (never to even)."""
    if x >= 0:
        return int(x + 0.5 + 1e-9)
    return -int(-x + 0.5 - 1e-9)


# ---------------------------------------------------------------------------
# Catalogue reading

class Line:
    def __init__(self, name, kind, flags):
        self.name = name
        self.kind = kind
        self.flags = flags
        self.stations = []  # (name, km, rank)


def read_catalogue_lines(path):
    lines = []
    cur = None
    with open(path, encoding="utf-8") as f:
        for lineno, raw in enumerate(f, 1):
            text = raw.split("#", 1)[0].strip()
            if not text:
                continue
            if text.startswith("=="):
                parts = [p.strip() for p in text[2:].split("|")]
                name = parts[0]
                kind = parts[1] if len(parts) > 1 else "conventional"
                flags = parts[2].split() if len(parts) > 2 else []
                if kind not in ("conventional", "highspeed", "intercity"):
                    raise SystemExit("%s:%d: unknown kind %r" % (path, lineno, kind))
                cur = Line(name, kind, flags)
                lines.append(cur)
                continue
            if cur is None:
                raise SystemExit("%s:%d: station outside a line block" % (path, lineno))
            for entry in text.split(","):
                entry = entry.strip()
                if not entry:
                    continue
                toks = entry.split()
                if len(toks) not in (2, 3):
                    raise SystemExit("%s:%d: bad entry %r" % (path, lineno, entry))
                rank = 3
                if len(toks) == 3:
                    rank = {"*": 1, "+": 2}.get(toks[2])
                    if rank is None:
                        raise SystemExit("%s:%d: bad mark %r" % (path, lineno, entry))
                cur.stations.append((toks[0], int(toks[1]), rank))
    return lines


def load_lines():
    lines = []
    for fn in sorted(os.listdir(CATALOGUE)):
        if fn.startswith("lines") and fn.endswith(".txt"):
            lines.extend(read_catalogue_lines(os.path.join(CATALOGUE, fn)))
    seen = set()
    for ln in lines:
        if ln.name in seen:
            raise SystemExit("line %s defined twice" % ln.name)
        seen.add(ln.name)
        kms = [km for _, km, _ in ln.stations]
        if any(b <= a for a, b in zip(kms, kms[1:])):
            raise SystemExit("line %s: kilometre posts not ascending" % ln.name)
        names = [n for n, _, _ in ln.stations]
        if len(set(names)) != len(names):
            raise SystemExit("line %s: station listed twice" % ln.name)
    return lines


def load_pinyin():
    """Ordered (station, code) pairs; code "-" marks a station kept out of SPY."""
    rows = []
    seen = set()
    with open(os.path.join(CATALOGUE, "pinyin.txt"), encoding="utf-8") as f:
        for raw in f:
            text = raw.split("#", 1)[0].strip()
            if not text:
                continue
            name, code = text.split()
            if name in seen:
                raise SystemExit("pinyin.txt: %s twice" % name)
            seen.add(name)
            if code != "-" and not (1 <= len(code) <= 5 and code.isalpha() and code.isupper()):
                raise SystemExit("pinyin.txt: bad code for %s" % name)
            rows.append((name, code))
    return rows


def load_cities():
    groups = []
    with open(os.path.join(CATALOGUE, "cities.txt"), encoding="utf-8") as f:
        for raw in f:
            text = raw.split("#", 1)[0].strip()
            if not text:
                continue
            num, rest = text.split(":", 1)
            groups.append((int(num), rest.split()))
    return groups


def load_services():
    """Hand-picked services: class, pairs, first number, time, waypoints, options."""
    out = []
    with open(os.path.join(CATALOGUE, "services.txt"), encoding="utf-8") as f:
        for lineno, raw in enumerate(f, 1):
            text = raw.split("#", 1)[0].strip()
            if not text:
                continue
            head, _, route = text.partition(" : ")
            toks = head.split()
            cls = toks[0]
            if cls not in TYPES:
                raise SystemExit("services.txt:%d: unknown class %s" % (lineno, cls))
            opts = {}
            for t in toks[1:]:
                k, _, v = t.partition("=")
                opts[k] = v
            ways = [w.strip() for w in route.split(">")]
            out.append((lineno, cls, opts, ways))
    return out


# ---------------------------------------------------------------------------
# Network graph

class Network:
    def __init__(self, lines):
        self.lines = lines
        self.adj = {}
        self.rank = {}
        self.order = []  # stations by first appearance
        for li, ln in enumerate(lines):
            kind = ln.kind
            ln.allowed = set(DEFAULT_CLASSES[kind])
            for fl in ln.flags:
                if fl == "K":
                    ln.allowed |= {"K6", "K7"}
                elif fl == "conv":
                    ln.allowed |= DEFAULT_CLASSES["conventional"]
                elif fl in TYPES:
                    ln.allowed.add(fl)
                else:
                    raise SystemExit("line %s: unknown flag %s" % (ln.name, fl))
            for i, (name, km, rank) in enumerate(ln.stations):
                if name not in self.rank:
                    self.order.append(name)
                    self.rank[name] = rank
                self.rank[name] = min(self.rank[name], rank)
                if i + 1 < len(ln.stations):
                    n2, km2, _ = ln.stations[i + 1]
                    self.adj.setdefault(name, []).append((n2, km2 - km, kind, li))
                    self.adj.setdefault(n2, []).append((name, km2 - km, kind, li))
            # ends of a line are at least medium stations
            for idx in (0, -1):
                n = ln.stations[idx][0]
                self.rank[n] = min(self.rank[n], 2)
        for n in self.order:
            if len({nb for nb, _, _, _ in self.adj.get(n, [])}) >= 3:
                self.rank[n] = min(self.rank[n], 2)
        self.index = {n: i for i, n in enumerate(self.order)}

    def kinds_for(self, cls):
        return cls

    def dijkstra(self, src, kinds, prefer_fast=False):
        dist = {src: 0.0}
        prev = {}
        heap = [(0.0, self.index[src], src)]
        while heap:
            d, _, u = heapq.heappop(heap)
            if d > dist.get(u, 1e18):
                continue
            for v, km, kind, li in self.adj.get(u, []):
                if kinds is not None and kinds not in self.lines[li].allowed:
                    continue
                w = km
                if prefer_fast and kind == "conventional":
                    w = km * 1.6
                nd = d + w
                if nd < dist.get(v, 1e18) - 1e-9:
                    dist[v] = nd
                    prev[v] = (u, km, kind)
                    heapq.heappush(heap, (nd, self.index[v], v))
        return dist, prev

    def path(self, a, b, kinds, prefer_fast=False):
        dist, prev = self.dijkstra(a, kinds, prefer_fast)
        if b not in dist:
            return None
        seq = [b]
        segs = []
        while seq[-1] != a:
            u, km, kind = prev[seq[-1]]
            segs.append((km, kind))
            seq.append(u)
        seq.reverse()
        segs.reverse()
        return seq, segs

    def route(self, ways, cls, conv_only=False):
        kinds = self.kinds_for(cls)
        fast = cls in ("D", "G") and not conv_only
        saved = None
        if conv_only:
            saved = [set(ln.allowed) for ln in self.lines]
            for ln in self.lines:
                if ln.kind != "conventional":
                    ln.allowed = set()
        try:
            return self._route(ways, kinds, fast)
        finally:
            if saved is not None:
                for ln, al in zip(self.lines, saved):
                    ln.allowed = al

    def _route(self, ways, kinds, fast):
        stations = [ways[0]]
        segs = []
        for a, b in zip(ways, ways[1:]):
            p = self.path(a, b, kinds, fast)
            if p is None:
                return None
            seq, sg = p
            stations.extend(seq[1:])
            segs.extend(sg)
        if len(set(stations)) != len(stations):
            return None
        return stations, segs


# ---------------------------------------------------------------------------
# Fares

FARE_ZONES = [(1, 200, 10), (201, 400, 20), (401, 700, 30), (701, 1100, 40),
              (1101, 1600, 50), (1601, 2200, 60), (2201, 2900, 70),
              (2901, 3700, 80), (3701, 4600, 90), (4601, 6000, 100)]
FARE_RATES = [(1, 200, 0.05861), (201, 500, 0.052749), (501, 1000, 0.046888),
              (1001, 1500, 0.041027), (1501, 2500, 0.035166), (2501, 6000, 0.029305)]


def base_fare(d):
    for first, last, step in FARE_ZONES:
        if first <= d <= last:
            j = (d - first) // step
            lo = first + j * step
            hi = lo + step - 1
            d = (lo - 1 + hi) // 2
            break
    if d < 20:
        d = 20
    total = 0.0
    for first, last, rate in FARE_RATES:
        if last >= d:
            total += (d - first + 1) * rate
            break
        total += (last - first + 1) * rate
    return total, d


def up01(x):
    t = int(x * 10)
    if x * 10 - t > 1e-9:
        return (t + 1) * 0.1
    return x


def fmt_amount(x):
    if abs(x - round(x)) < 1e-9:
        return str(int(round(x)))
    return "%.1f" % x


# Conventional tariff: base fare by tapered distance zones, 2 % insurance,
# express supplement (single for the ordinary fast classes, double for the
# express classes), 25 % air-conditioning supplement, berth supplements on the
# 400 km minimum, and a per-train multiplier for the newer air-conditioned sets.
def conventional_fares(ntype, ac, mult, d):
    b, z = base_fare(d)
    i = up01(b * 0.02)
    x = 0
    if 4 <= ntype <= 9:
        x = 1.1722 if z < 100 else b * 0.2
        x = round_half_up(round_half_up(x) * mult)
        if ntype <= 7:
            x *= 2
    v = base_fare(400)[0] if z < 400 else b
    w = round_half_up(b * 0.25) if ac else 0
    a = 1 if z > 200 else 0
    seat_core = round_half_up(round_half_up(b + i) * mult) + x + round_half_up(w * mult)
    soft_core = round_half_up(round_half_up(2 * b + i) * mult) + x + round_half_up(w * mult)
    hard = seat_core + a
    hard += 1 if hard > 5 else 0.5
    soft = soft_core
    soft += 1 if soft > 5 else 0.5

    def berth(k):
        return round_half_up(round_half_up(v * k) * mult)

    hs = [seat_core + berth(k) + 10 + a + 1 for k in (1.1, 1.2, 1.3)]
    ss = [soft_core + berth(k) + 10 + 1 for k in (1.75, 1.95)]
    return (fmt_amount(hard), fmt_amount(soft), "/".join(str(v) for v in hs),
            "/".join(str(v) for v in ss))


def half_yuan(x):
    return round_half_up(x * 2) / 2.0


# ---------------------------------------------------------------------------
# Trains

class Train:
    def __init__(self, tid, cls):
        self.id = tid
        self.cls = cls
        self.ntype = TYPES[cls]["ntype"]
        self.stops = []  # dicts: station, a, d, r, km, p1..p4
        self.list_override = {}


def fmt_clock(m):
    return "%02d:%02d" % ((m // 60) % 24, m % 60)


def fmt_elapsed(m):
    if m < 60:
        return str(m)
    return "%d:%d" % (m // 60, m % 60)


class Builder:
    def __init__(self, net, rng):
        self.net = net
        self.rng = rng
        self.trains = {}
        self.used = {cls: set() for cls in TYPES}
        self.count = {cls: 0 for cls in TYPES}
        self.odd = {}
        self.beijing = net.dijkstra("北京", None)[0]

    # -- numbers ------------------------------------------------------------
    def is_down(self, a, b):
        da, db = self.beijing.get(a), self.beijing.get(b)
        if da is None or db is None or da == db:
            return self.net.index[a] < self.net.index[b]
        return db > da

    def take_pair(self, cls, start=None, width=2):
        """Odd number n with n .. n + width - 1 free (n down, n + 1 back)."""
        cands = [(start, start + 400)] if start is not None else NUMBER_BLOCKS[cls]
        # a scaled-up timetable for benchmarks runs out of the usual blocks
        cands = list(cands) + [(10000, 99999)]
        used = self.letter_used(cls)
        for lo, hi in cands:
            n = lo | 1
            while n + width - 1 <= hi:
                if all(n + k not in used for k in range(width)):
                    self.used[cls] |= set(range(n, n + width))
                    return n
                n += 2
        raise SystemExit("numbers exhausted for %s" % cls)

    def letter_used(self, cls):
        letter = TYPES[cls]["letter"]
        s = set()
        for c in TYPES:
            if TYPES[c]["letter"] == letter:
                s |= self.used[c]
        return s

    def fmt_id(self, cls, nums):
        letter = TYPES[cls]["letter"]
        return "/".join(letter + str(n) for n in nums)

    # -- stops --------------------------------------------------------------
    def pick_stops(self, cls, stations, forced=(), nstops=None):
        t = TYPES[cls]
        keep = [False] * len(stations)
        keep[0] = keep[-1] = True
        for i, s in enumerate(stations):
            if s in forced:
                keep[i] = True
            elif 0 < i < len(stations) - 1:
                p = t["stopp"][self.net.rank[s] - 1]
                if self.rng.random() < p:
                    keep[i] = True
        if nstops is not None:
            inner = [i for i in range(1, len(stations) - 1)]
            order = sorted(inner, key=lambda i: (stations[i] not in forced,
                                                 self.net.rank[stations[i]], not keep[i], i))
            keep = [False] * len(stations)
            keep[0] = keep[-1] = True
            for i in order[:max(0, nstops - 2)]:
                keep[i] = True
        idx = [i for i, k in enumerate(keep) if k]
        while len(idx) > MAX_STOPS:
            cand = [i for i in idx[1:-1] if stations[i] not in forced]
            worst = max(self.net.rank[stations[i]] for i in cand)
            cand = [i for i in cand if self.net.rank[stations[i]] == worst]
            idx.remove(self.rng.choice(cand))
        return idx

    # -- schedule -----------------------------------------------------------
    def schedule(self, cls, stations, segs, idx, dep, scale=1.0, total_km=None,
                 total_min=None, offset=0):
        t = TYPES[cls]
        cum = [0]
        for km, kind in segs:
            cum.append(cum[-1] + km)
        if total_km is not None:
            f = total_km / float(cum[-1])
            cum = [round_half_up(c * f) for c in cum]
        # running minutes between chosen stops
        times = []
        elapsed = 0.0
        for j, i in enumerate(idx):
            if j == 0:
                times.append((None, 0.0))
                continue
            prev = idx[j - 1]
            run = 0.0
            for k in range(prev, i):
                km, kind = segs[k]
                sp = t["speed"].get(kind) or max(t["speed"].values())
                run += km / sp * 60.0
            run = run * scale + (3 if cls in ("D", "G", "C") else 4)
            arr = elapsed + run
            if j == len(idx) - 1:
                times.append((arr, None))
            else:
                dw = t["dwell"][self.net.rank[stations[i]] - 1]
                if self.rng.random() < 0.3:
                    dw += self.rng.randint(0, 3)
                times.append((arr, arr + dw))
                elapsed = arr + dw
                continue
            elapsed = arr
        if total_min is not None:
            last = times[-1][0]
            f = total_min / last
            times = [(None if a is None else a * f, None if d is None else d * f)
                     for a, d in times]
        rows = []
        last_d = 0
        for j, i in enumerate(idx):
            a, d = times[j]
            am = None if a is None else max(last_d + 1, int(round(a)))
            if am is not None and j == len(idx) - 1 and total_min is not None:
                am = total_min
            dm = None
            if d is not None:
                dm = 0 if j == 0 else max(am + 1, int(round(d)))
                last_d = dm
            rows.append(dict(station=stations[i], a=am, d=dm, km=cum[i] + offset,
                             trav=cum[i]))
        for r in rows:
            r["A"] = "" if r["a"] is None else fmt_clock(dep + r["a"])
            r["D"] = "" if r["d"] is None else fmt_clock(dep + r["d"])
            r["R"] = "0" if r["a"] is None else fmt_elapsed(r["a"])
        return rows

    # -- fares --------------------------------------------------------------
    def price(self, cls, rows, classes, mu_rate=None, first_rate=None, ac=True, mult=1.0):
        ntype = TYPES[cls]["ntype"]
        for j, r in enumerate(rows):
            if j == 0:
                r["P"] = ["", "", "", ""]
                continue
            d = r["trav"]
            if cls in ("D", "G", "C"):
                seat = d * mu_rate
                first = d * first_rate
                if cls == "D":
                    p1 = str(round_half_up(seat))
                    p2 = str(round_half_up(first))
                    p4 = "%d/%d" % (round_half_up(seat * 1.91651809),
                                    round_half_up(seat * 2.155609769))
                else:
                    p1 = fmt_amount(half_yuan(seat))
                    p2 = fmt_amount(half_yuan(first))
                    p4 = ""
                vals = [p1, p2, "-", p4]
            else:
                vals = list(conventional_fares(ntype, ac, mult, max(d, 1)))
            r["P"] = [v if c else "-" for v, c in zip(vals, classes)]

    # -- assembling ---------------------------------------------------------
    def add(self, cls, tid, rows):
        if tid in self.trains:
            raise SystemExit("duplicate train %s" % tid)
        tr = Train(tid, cls)
        tr.stops = rows
        self.trains[tid] = tr
        self.count[cls] += 1
        return tr

    def classes_for(self, cls, km, overnight):
        r = self.rng.random()
        if cls == "G":
            return (True, True, False, False)
        if cls == "C":
            return (True, True, False, False)
        if cls == "D":
            if overnight:
                return (False, False, False, True)
            return (True, True, False, False)
        if cls in ("P10", "P11"):
            return (True, r < 0.08, False, False)
        sleeper = km >= 300 or overnight
        if cls == "Z":
            if r < 0.4:
                return (False, False, True, True)
            return (True, False, True, True)
        if not sleeper:
            return (True, r < 0.3, False, False)
        return (True, False, True, cls in ("T", "Y", "K6", "P8") or r < 0.5)

    def make_service(self, cls, ways, dep, nums, opts=None):
        opts = opts or {}
        rt = self.net.route(ways, cls, "oldline" in opts)
        if rt is None:
            return None
        stations, segs = rt
        forced = set(ways) | set(opts["with"].split("+") if "with" in opts else [])
        nstops = int(opts["stops"]) if "stops" in opts else None
        if "only" in opts:
            forced = set(opts["only"].split("+")) | {ways[0], ways[-1]}
            idx = [i for i, s in enumerate(stations) if s in forced]
        elif "all" in opts:
            idx = list(range(len(stations)))
            if len(idx) > MAX_STOPS:
                return None
        else:
            idx = self.pick_stops(cls, stations, forced, nstops)
        km = sum(k for k, _ in segs)
        total_km = int(opts["km"]) if "km" in opts else None
        total_min = None
        if "run" in opts:
            h, m = opts["run"].split(":")
            total_min = int(h) * 60 + int(m)
        scale = 1.0 + self.rng.uniform(-0.05, 0.08)
        if "slow" in opts:
            scale *= float(opts["slow"])
        offset = int(opts.get("offset", 0))
        rows = self.schedule(cls, stations, segs, idx, dep, scale, total_km, total_min, offset)
        run = rows[-1]["a"]
        overnight = cls == "D" and dep >= 19 * 60
        classes = self.classes_for(cls, total_km or km, overnight)
        if "classes" in opts:
            classes = tuple(c == "1" for c in opts["classes"])
        mu_rate = first_rate = None
        if cls == "D":
            mu_rate = float(opts.get("rate", 0.3097222))
            first_rate = mu_rate * 1.2
        elif cls == "G":
            mu_rate = float(opts.get("rate", 0.46))
            first_rate = float(opts.get("first", mu_rate * 1.6))
        elif cls == "C":
            mu_rate = float(opts.get("rate", 0.455))
            first_rate = mu_rate * 1.2
        ac = cls not in ("K7", "P8", "P11")
        mult = 1.0
        if ac and cls in ("T", "K6", "P9") and self.rng.random() < 0.25:
            mult = 1.5
        self.price(cls, rows, classes, mu_rate, first_rate, ac, mult)
        tid = self.fmt_id(cls, nums) + opts.get("suffix", "")
        for n in nums:
            self.used[cls].add(n)
        tr = self.add(cls, tid, rows)
        tr.dep = dep
        if "odd" in opts:
            self.odd[tid] = opts["odd"]
        return tr


# Shares of each class's target that the all-stations trains of the cover
# step may take; the rest is left to the services between major stations.
COVER_SHARE = [("P11", 0.85), ("P8", 0.55), ("P9", 0.5), ("K7", 0.5), ("K6", 0.3)]


def cover_class(b, rng, scale):
    """Class of the next pair of all-stations trains: the ordinary stopping
    train first, then the other slow classes while they have room, so that
    every class keeps its share of the timetable."""
    if b.count["P10"] + 2 <= TYPES["P10"]["target"] * scale and rng.random() < 0.12:
        return "P10"
    best, room = None, 0.0
    for cls, share in COVER_SHARE:
        cap = TYPES[cls]["target"] * scale * share
        left = (cap - b.count[cls]) / cap
        if b.count[cls] + 2 <= cap and left > room + 0.25:
            best, room = cls, left
    return best or "P11"


def dep_window(cls, rng, km):
    if cls in ("G", "D", "C"):
        return rng.randint(6 * 60 + 30, 19 * 60 + 30)
    if cls == "Z":
        return rng.randint(18 * 60, 22 * 60 + 30)
    if cls in ("P10", "P11"):
        return rng.randint(5 * 60 + 30, 18 * 60)
    if km > 900 and rng.random() < 0.6:
        return rng.randint(15 * 60, 23 * 60 + 30)
    return rng.randint(5 * 60, 23 * 60 + 50)


def build(scale, rng_seed=SEED):
    rng = random.Random(rng_seed)
    lines = load_lines()
    net = Network(lines)
    b = Builder(net, rng)

    # 1. hand-picked services; their fixed numbers are kept free first
    services = load_services()
    for lineno, cls, opts, ways in services:
        for k in ("num", "rnum"):
            if k in opts:
                b.used[cls] |= {int(x) for x in opts[k].split("/")}
    for lineno, cls, opts, ways in services:
        pairs = int(opts.get("pairs", 1)) * scale
        for p in range(pairs):
            pair_no = None
            for direction in (0, 1):
                if direction == 1 and "oneway" in opts:
                    continue
                w = list(ways) if direction == 0 else list(reversed(ways))
                if "dep" in opts and p == 0 and direction == 0:
                    h, m = opts["dep"].split(":")
                    dep = int(h) * 60 + int(m)
                elif "window" in opts:
                    lo, hi = opts["window"].split("-")
                    lo = int(lo.split(":")[0]) * 60 + int(lo.split(":")[1])
                    hi = int(hi.split(":")[0]) * 60 + int(hi.split(":")[1])
                    dep = rng.randint(lo, hi)
                else:
                    dep = dep_window(cls, rng, 1000)
                down = b.is_down(w[0], w[-1])
                if "num" in opts and p == 0 and direction == 0:
                    nums = [int(x) for x in opts["num"].split("/")]
                elif "rnum" in opts and p == 0 and direction == 1:
                    nums = [int(x) for x in opts["rnum"].split("/")]
                else:
                    if pair_no is None:
                        start = int(opts["from"]) if "from" in opts else None
                        pair_no = b.take_pair(cls, start)
                    nums = [pair_no if down else pair_no + 1]
                o = dict(opts)
                if p > 0 or direction == 1:
                    for k in ("run", "dep", "stops", "suffix", "offset", "km", "odd", "with"):
                        if k in o and not (k == "km" and "keepkm" in o):
                            o.pop(k)
                t = b.make_service(cls, w, dep, nums, o)
                if t is None:
                    raise SystemExit("services.txt:%d: no route %s" % (lineno, ">".join(w)))

    # 2. cover every line with stopping trains (all stations), so that every
    #    station has a train; multiple-unit lines get all-stations D/C trains
    for ln in lines:
        names = [n for n, _, _ in ln.stations]
        if ln.kind == "conventional":
            cls_cycle = "P11"
        elif ln.kind == "intercity":
            cls_cycle = "C" if "C" in ln.flags else "D"
        else:
            cls_cycle = "D"
        kms = [km for _, km, _ in ln.stations]
        limit = COVER_KM if ln.kind == "conventional" else 10 ** 6
        pieces = []
        lo = 0
        while lo < len(names) - 1:
            hi = lo + 1
            while (hi + 1 < len(names) and hi + 1 - lo < COVER_CHUNK
                   and kms[hi + 1] - kms[lo] <= limit):
                hi += 1
            pieces.append(names[lo:hi + 1])
            lo = hi
        for seg in pieces:
            cls = cls_cycle
            if cls == "P11":
                cls = cover_class(b, rng, scale)
            pair_no = b.take_pair(cls)
            for w in (seg, list(reversed(seg))):
                down = b.is_down(w[0], w[-1])
                nums = [pair_no if down else pair_no + 1]
                dep = dep_window(cls, rng, 100)
                ways = [w[0], w[-1]]
                t = b.make_service(cls, ways, dep, nums, {"all": "1"})
                if t is None or [r["station"] for r in t.stops] != w:
                    # the shortest path left the line: name every station
                    if t is not None:
                        del b.trains[t.id]
                        b.count[cls] -= 1
                    t = b.make_service(cls, w, dep, nums, {"all": "1"})
                    if t is None:
                        raise SystemExit("cannot cover %s" % ln.name)

    # 3. fill each class up to its target with services between major stations;
    #    stopping trains laid beyond their share come off the fast trains'
    over = sum(max(0, b.count[c] - TYPES[c]["target"] * scale) for c in TYPES)
    targets = {c: TYPES[c]["target"] * scale for c in TYPES}
    targets["K6"] -= over
    majors = [n for n in net.order if net.rank[n] <= 2]
    for cls in TYPE_ORDER:
        target = targets[cls]
        lo, hi = AUTO_BANDS[cls]
        kinds = net.kinds_for(cls)
        tries = 0
        ends = [n for n in majors
                if any(cls in net.lines[li].allowed for _, _, _, li in net.adj.get(n, []))]
        if cls in ("Z", "T"):
            ends = [n for n in ends if net.rank[n] == 1]
        dist_cache = {}
        while b.count[cls] < target and tries < 40000:
            tries += 1
            a = rng.choice(ends)
            if a not in dist_cache:
                dist_cache[a] = net.dijkstra(a, kinds, cls in ("D", "G"))[0]
            dist = dist_cache[a]
            cands = [n for n in ends if n != a and n in dist and lo <= dist[n] <= hi]
            if not cands:
                continue
            z = rng.choice(cands)
            if cls in ("Z",) and net.rank[z] != 1:
                continue
            dep = dep_window(cls, rng, dist[z])
            combined = cls not in ("G", "D", "C", "Z", "Y") and rng.random() < 0.08
            n = b.take_pair(cls, None, 4 if combined else 2)
            for (x, y) in [(a, z), (z, a)]:
                if b.count[cls] >= target:
                    break
                down = b.is_down(x, y)
                if combined:
                    # a train that turns on the way changes the parity of its
                    # number: 1112/1113 one way, 1111/1114 back
                    nums = [n + 1, n + 2] if down else [n, n + 3]
                else:
                    nums = [n if down else n + 1]
                t = b.make_service(cls, [x, y], dep, nums)
                if t is None:
                    break
                dep = dep_window(cls, rng, dist[z])
    return net, b


# ---------------------------------------------------------------------------
# Finishing touches the data is known to carry

# Rows of train 1043 as the program's own documentation quotes them.
SAMPLE_1043 = {
    1: ("", "21:25", "0", 0, ["", "", "", ""]),
    2: ("21:43", "21:45", "18", 23, ["3.5", "-", "38/41/43", "54/58"]),
    28: ("11:08", "", "37:43", 2810, ["143", "-", "280/291/303", "469/492"]),
}


def patch_samples(b):
    tr = b.trains.get("1043")
    if tr is None or len(tr.stops) != 28 or tr.stops[1]["station"] != "咸阳":
        raise SystemExit("train 1043 does not have its documented shape")
    for no, (a, d, r, km, p) in SAMPLE_1043.items():
        row = tr.stops[no - 1]
        row["A"], row["D"], row["R"], row["km"], row["P"] = a, d, r, km, list(p)
    second = tr.stops[1]
    second["a"], second["d"] = 18, 20
    if tr.stops[2]["a"] <= 20:
        raise SystemExit("train 1043: third stop too early")


def apply_list_oddities(b, odd):
    for tid, mode in sorted(odd.items()):
        tr = b.trains[tid]
        last = tr.stops[-1]
        if mode == "cut":
            # the stop list stops one short of the terminus the list names;
            # the last stored stop keeps its departure time
            tr.list_override = dict(end=last["station"], D=last["A"], R=last["R"],
                                    km=last["km"], P=last["P"])
            tr.stops = tr.stops[:-1]
        else:
            # the list carries an arrival a few minutes later than the stop
            late = last["a"] + 7
            tr.list_override = dict(end=last["station"], D=fmt_clock(tr.dep + late),
                                    R=fmt_elapsed(late), km=last["km"], P=last["P"])


def add_letter_suffixes(b, rng, want=13):
    have = [t for t in sorted(b.trains) if t[-1].isalpha()]
    pool = [t for t in sorted(b.trains)
            if b.trains[t].cls in ("K6", "T", "K7") and "/" not in t and not t[-1].isalpha()]
    rng.shuffle(pool)
    for tid in pool[:max(0, want - len(have))]:
        tr = b.trains.pop(tid)
        tr.id = tid + "A"
        b.trains[tr.id] = tr


def generate(scale=1):
    net, b = build(scale)
    rng = random.Random(SEED + 1)
    if scale == 1:
        patch_samples(b)
    apply_list_oddities(b, b.odd)
    add_letter_suffixes(b, rng, 13 * scale)

    pinyin = load_pinyin()
    groups = load_cities()
    codes = dict(pinyin)
    served = set()
    for tr in b.trains.values():
        for r in tr.stops:
            served.add(r["station"])
    missing = sorted(s for s in served if s not in codes)
    if missing:
        raise SystemExit("stations without a pinyin entry: " + " ".join(missing))

    # SPY: rows grouped by the first letter, in catalogue order within a letter
    spy = []
    for letter in "ABCDEFGHIJKLMNOPQRSTUVWXYZ":
        for name, code in pinyin:
            if code != "-" and code[0] == letter:
                spy.append((name, code))
    unserved = [n for n, c in spy if n not in served]
    if unserved:
        raise SystemExit("SPY stations without a train: " + " ".join(unserved))

    sm = []
    for gp, names in sorted(groups):
        for n in sorted(names, key=gbk_key):
            sm.append((n, str(gp)))

    order = sorted(b.trains, key=gbk_key)
    slist = []
    strain = []
    for tid in order:
        tr = b.trains[tid]
        st = tr.stops
        for no, r in enumerate(st, 1):
            strain.append([tid, r["station"], str(no), r["A"], r["D"], r["R"], str(r["km"])]
                          + r["P"])
        last = st[-1]
        lo = tr.list_override
        slist.append([tid, str(tr.ntype), st[0]["station"], lo.get("end", last["station"]),
                      st[0]["D"], lo.get("D", last["A"]), lo.get("R", last["R"]),
                      str(lo.get("km", last["km"])) ] + list(lo.get("P", last["P"])))

    tables = {
        "SPY": table_text("SPY", spy),
        "SLIST": table_text("SLIST", slist),
        "SM": table_text("SM", sm),
        "STRAIN": table_text("STRAIN", strain),
    }
    report = make_report(b, slist, strain, spy, sm, served)
    return tables, report


def make_report(b, slist, strain, spy, sm, served):
    out = []
    out.append("Generated timetable: data report")
    out.append("================================")
    out.append("")
    out.append("Trains: %d" % len(slist))
    names = {1: "动车组 D", 2: "高速动车 G", 3: "城际高速 C", 4: "直特 Z", 5: "空调特快 T/Y",
             6: "空调快速 K", 7: "快速 K", 8: "普快", 9: "空调普快", 10: "空调普客", 11: "普客"}
    by = {}
    for r in slist:
        by[int(r[1])] = by.get(int(r[1]), 0) + 1
    for k in sorted(by):
        out.append("  NType %2d %-14s %5d" % (k, names.get(k, ""), by[k]))
    out.append("Stop rows: %d" % len(strain))
    counts = {}
    for r in strain:
        counts[r[0]] = counts.get(r[0], 0) + 1
    out.append("Stops per train: min %d, max %d, mean %.1f" % (
        min(counts.values()), max(counts.values()), len(strain) / float(len(slist))))
    out.append("Stations in the stop table: %d" % len(served))
    out.append("Stations in the pinyin table: %d" % len(spy))
    spyset = {n for n, _ in spy}
    out.append("Stop-table stations without a pinyin row: %d (%s)" % (
        len(served - spyset), " ".join(sorted(served - spyset, key=gbk_key))))
    gsize = {}
    for n, g in sm:
        gsize[g] = gsize.get(g, 0) + 1
    out.append("Same-city stations: %d in %d groups" % (len(sm), len(gsize)))
    hist = {}
    for g, n in gsize.items():
        hist[n] = hist.get(n, 0) + 1
    for n in sorted(hist):
        out.append("  groups of %d: %d" % (n, hist[n]))
    out.append("Same-city stations without a pinyin row: %d" % len([n for n, _ in sm if n not in spyset]))
    longest = max(slist, key=lambda r: (int(r[7]), r[0]))
    out.append("Longest train: %s %s -> %s, %s km, %s, %d stops" % (
        longest[0], longest[2], longest[3], longest[7], longest[6], counts[longest[0]]))
    most = max(counts, key=lambda t: (counts[t], t))
    out.append("Most stops: %s with %d" % (most, counts[most]))
    out.append("")
    groups = {}
    for n, g in sm:
        groups.setdefault(g, []).append(n)
    city = {}
    for g, ns in groups.items():
        for n in ns:
            city[n] = set(ns)
    for a, z in (("北京", "上海"), ("广州", "武汉"), ("西安", "乌鲁木齐")):
        A = city.get(a, {a})
        Z = city.get(z, {z})
        out.append("%s -> %s (every train calling at a %s station and later at a %s station)" % (a, z, a, z))
        rows = []
        cur = None
        stops = []
        by_train = {}
        for r in strain:
            by_train.setdefault(r[0], []).append(r)
        ntype = {r[0]: r[1] for r in slist}
        for tid in sorted(by_train, key=gbk_key):
            st = by_train[tid]
            fi = next((i for i, r in enumerate(st) if r[1] in A), None)
            if fi is None:
                continue
            ti = None
            for i in range(len(st) - 1, fi, -1):
                if st[i][1] in Z:
                    ti = i
                    break
            if ti is None:
                continue
            f, t = st[fi], st[ti]
            rows.append((f[4], tid, ntype[tid], f[1], t[1], f[4], t[3],
                         int(t[6]) - int(f[6])))
        rows.sort()
        out.append("  %d trains" % len(rows))
        for _, tid, nt, fs, ts, dep, arr, km in rows:
            out.append("  %-12s type %2s  %-6s %s -> %-6s %s  %5d km" % (tid, nt, fs, dep, ts, arr, km))
        out.append("")
    return "\n".join(out) + "\n"


# ---------------------------------------------------------------------------
# Writing

def q(v):
    return '"' + str(v).replace('"', '""') + '"'


def field_line(name, ftype, size, width):
    return q('%s=%s,%d,"%s","",%d,Data,""' % (name, ftype, size, name, width))


def index_line(name, fields, unique):
    return q('%s="%s","%s"%s' % (name, fields, name, ",UNIQ" if unique else ""))


SCHEMAS = {
    "SLIST": ([("ID", "WideString", 35, 35), ("NType", "SmallInt", 0, 10),
               ("StartStation", "WideString", 20, 20), ("endStation", "WideString", 20, 20),
               ("A_Time", "WideString", 20, 20), ("D_Time", "WideString", 20, 20),
               ("R_Date", "WideString", 20, 20), ("Distance", "Integer", 0, 10),
               ("P1", "WideString", 20, 20), ("P2", "WideString", 20, 20),
               ("P3", "WideString", 20, 20), ("P4", "WideString", 20, 20)],
              [("SID", "ID", True), ("SstartStation", "startStation", False),
               ("SendStation", "endStation", False)]),
    "STRAIN": ([("ID", "WideString", 35, 35), ("Station", "WideString", 20, 20),
                ("S_No", "Integer", 0, 10), ("A_Time", "WideString", 20, 20),
                ("D_Time", "WideString", 20, 20), ("R_Date", "WideString", 20, 20),
                ("Distance", "Integer", 0, 10), ("P1", "WideString", 20, 20),
                ("P2", "WideString", 20, 20), ("P3", "WideString", 20, 20),
                ("P4", "WideString", 20, 20)],
               [("SIDNo", "ID;S_No", True), ("SStation", "Station", False)]),
    "SPY": ([("Station", "WideString", 20, 20), ("Shortcode", "WideString", 10, 10)],
            [("PyIndex", "ShortCode", False), ("StationIndex", "Station", False)]),
    "SM": ([("Station", "WideString", 20, 20), ("Gp", "Integer", 0, 10)],
           [("SStation", "Station", True), ("SGp", "Gp", False)]),
}


def table_text(name, rows):
    fields, indexes = SCHEMAS[name]
    out = ['"@@FILE VERSION@@","251"', '"@@TABLEDEF START@@"']
    for f in fields:
        out.append(field_line(*f))
    out.append('"@@INDEXDEF START@@"')
    for ix in indexes:
        out.append(index_line(*ix))
    out.append('"@@INDEXDEF END@@"')
    out.append('"@@TABLEDEF END@@"')
    out.append("".join(q(f[0]) + "," for f in fields))
    for r in rows:
        out.append("".join(q(v) + "," for v in r))
    return ("\r\n".join(out) + "\r\n").encode("gbk")


def gbk_key(s):
    return s.encode("gbk")


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=DEFAULT_OUT)
    ap.add_argument("--scale", type=int, default=1)
    ap.add_argument("--report", default=None)
    args = ap.parse_args(argv)
    tables, report = generate(args.scale)
    os.makedirs(args.out, exist_ok=True)
    for name in ("SPY", "SLIST", "SM", "STRAIN"):
        with open(os.path.join(args.out, name + ".txt"), "wb") as f:
            f.write(tables[name])
    if args.report:
        with open(args.report, "w", encoding="utf-8", newline="\n") as f:
            f.write(report)


if __name__ == "__main__":
    main()
