#!/usr/bin/env python3
"""The shipped timetable texts are what the generator writes, and they hold
the relations the queries rely on.  Standard library only."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
TABLES = os.path.join(REPO, "resources", "tables")
IMAGES = os.path.join(REPO, "resources", "images")
GEN = os.path.join(REPO, "tools", "timetable_gen")
NAMES = ("SPY", "SLIST", "SM", "STRAIN")


def read_fields(line):
    """One line of the table text, split the way the program's reader does."""
    out, cur, inq, i = [], [], False, 0
    while i < len(line):
        ch = line[i]
        if ch == '"':
            if inq and i + 1 < len(line) and line[i + 1] == '"':
                cur.append('"')
                i += 1
            else:
                inq = not inq
        elif ch == "," and not inq:
            out.append("".join(cur))
            cur = []
        else:
            cur.append(ch)
        i += 1
    if cur:
        out.append("".join(cur))
    return out


def load(name):
    with open(os.path.join(TABLES, name + ".txt"), "rb") as f:
        raw = f.read()
    text = raw.decode("gbk")
    lines = text.split("\r\n")
    assert lines[-1] == ""
    lines = lines[:-1]
    end = lines.index('"@@TABLEDEF END@@"')
    schema = lines[:end + 1]
    header = read_fields(lines[end + 1])
    rows = [read_fields(l) for l in lines[end + 2:]]
    return raw, schema, header, rows


def minutes(elapsed):
    if ":" in elapsed:
        h, m = elapsed.split(":")
        return int(h) * 60 + int(m)
    return int(elapsed)


def clock(t):
    return int(t[:2]) * 60 + int(t[3:])


class Regenerate(unittest.TestCase):
    def test_generator_reproduces_committed_tables(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, os.path.join(GEN, "generate.py"), "--out", tmp,
                            "--report", os.path.join(tmp, "REPORT.txt")], check=True)
            for n in NAMES:
                with open(os.path.join(tmp, n + ".txt"), "rb") as a, \
                        open(os.path.join(TABLES, n + ".txt"), "rb") as b:
                    self.assertTrue(a.read() == b.read(), "%s differs from the generator's" % n)
            with open(os.path.join(tmp, "REPORT.txt"), "rb") as a, \
                    open(os.path.join(GEN, "REPORT.txt"), "rb") as b:
                self.assertTrue(a.read() == b.read(), "REPORT.txt is out of date")

    def test_images_reproduce(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, os.path.join(GEN, "make_images.py"), "--out", tmp],
                           check=True)
            for n in sorted(os.listdir(tmp)):
                with open(os.path.join(tmp, n), "rb") as a, \
                        open(os.path.join(IMAGES, n), "rb") as b:
                    self.assertTrue(a.read() == b.read(), n)


class Format(unittest.TestCase):
    def test_line_ends_and_schema(self):
        for n in NAMES:
            raw, schema, header, rows = load(n)
            self.assertTrue(raw.endswith(b"\r\n"))
            self.assertNotIn(b"\n", raw.replace(b"\r\n", b""))
            self.assertEqual(schema[0], '"@@FILE VERSION@@","251"')
            self.assertEqual(schema[1], '"@@TABLEDEF START@@"')
            self.assertIn('"@@INDEXDEF START@@"', schema)
            self.assertNotIn(b"%", raw)
        _, schema, header, _ = load("SM")
        self.assertEqual(schema[2:9], [
            '"Station=WideString,20,""Station"","""",20,Data,"""""',
            '"Gp=Integer,0,""Gp"","""",10,Data,"""""',
            '"@@INDEXDEF START@@"',
            '"SStation=""Station"",""SStation"",UNIQ"',
            '"SGp=""Gp"",""SGp"""',
            '"@@INDEXDEF END@@"',
            '"@@TABLEDEF END@@"'])
        self.assertEqual(header, ["Station", "Gp"])
        _, schema, header, _ = load("STRAIN")
        self.assertIn('"SIDNo=""ID;S_No"",""SIDNo"",UNIQ"', schema)
        self.assertIn('"ID=WideString,35,""ID"","""",35,Data,"""""', schema)
        self.assertIn('"S_No=Integer,0,""S_No"","""",10,Data,"""""', schema)
        _, schema, header, _ = load("SLIST")
        self.assertIn('"NType=SmallInt,0,""NType"","""",10,Data,"""""', schema)
        self.assertIn('"SstartStation=""startStation"",""SstartStation"""', schema)
        self.assertIn('"SendStation=""endStation"",""SendStation"""', schema)
        self.assertEqual(header, ["ID", "NType", "StartStation", "endStation", "A_Time", "D_Time",
                                  "R_Date", "Distance", "P1", "P2", "P3", "P4"])
        _, schema, header, _ = load("SPY")
        self.assertIn('"Shortcode=WideString,10,""Shortcode"","""",10,Data,"""""', schema)
        self.assertIn('"PyIndex=""ShortCode"",""PyIndex"""', schema)


class Relations(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.slist = load("SLIST")[3]
        cls.strain = load("STRAIN")[3]
        cls.spy = load("SPY")[3]
        cls.sm = load("SM")[3]
        cls.trains = {}
        for r in cls.strain:
            cls.trains.setdefault(r[0], []).append(r)
        cls.lst = {r[0]: r for r in cls.slist}

    def test_counts(self):
        self.assertTrue(3500 <= len(self.slist) <= 4100, len(self.slist))
        self.assertTrue(35000 <= len(self.strain) <= 52000, len(self.strain))
        self.assertTrue(len(self.sm) >= 100, len(self.sm))
        self.assertEqual(len(self.lst), len(self.slist))

    def test_shape_of_the_original(self):
        by_type = {}
        for r in self.slist:
            by_type[int(r[1])] = by_type.get(int(r[1]), 0) + 1
        self.assertEqual(by_type, {1: 900, 2: 454, 3: 162, 4: 52, 5: 284, 6: 926, 7: 198,
                                   8: 261, 9: 243, 10: 26, 11: 292})
        letters = [r[0][0] for r in self.slist if r[1] == "5"]
        self.assertEqual((letters.count("T"), letters.count("Y")), (280, 4))
        sizes = {}
        for r in self.sm:
            sizes[r[1]] = sizes.get(r[1], 0) + 1
        hist = {}
        for n in sizes.values():
            hist[n] = hist.get(n, 0) + 1
        self.assertEqual(hist, {1: 3, 2: 112, 3: 17, 4: 8, 5: 1})
        want = [g for g in range(1, 160) if not (51 <= g <= 59 or 101 <= g <= 109)]
        self.assertEqual(sorted(int(g) for g in sizes), want)
        self.assertGreaterEqual(len(self.spy), 1600)

    def test_ids_match_both_ways(self):
        self.assertEqual(set(self.trains), set(self.lst))

    def test_stops_consecutive(self):
        seen = set()
        prev = None
        for r in self.strain:
            if r[0] != prev:
                self.assertNotIn(r[0], seen, "stops of %s not together" % r[0])
                seen.add(r[0])
                prev = r[0]
        for tid, st in self.trains.items():
            self.assertEqual([int(r[2]) for r in st], list(range(1, len(st) + 1)), tid)
            self.assertTrue(2 <= len(st) <= 62, tid)

    def test_times_and_running_times(self):
        for tid, st in self.trains.items():
            first = st[0]
            self.assertEqual((first[3], first[5]), ("", "0"), tid)
            self.assertEqual(first[7:11], ["", "", "", ""], tid)
            dep = clock(first[4])
            last = -1
            for r in st[1:]:
                m = minutes(r[5])
                self.assertEqual((dep + m) % 1440, clock(r[3]), tid)
                self.assertGreater(m, last, tid)
                self.assertEqual(r[5], str(m) if m < 60 else "%d:%d" % (m // 60, m % 60), tid)
                last = m
            lr = self.lst[tid]
            self.assertEqual(lr[2], first[1])
            self.assertEqual(lr[4], first[4])

    def test_list_rows_agree_but_three(self):
        differ = []
        with_departure = []
        for tid, st in self.trains.items():
            last = st[-1]
            lr = self.lst[tid]
            if [lr[3], lr[5], lr[6], lr[7]] + lr[8:12] != [last[1], last[3], last[5], last[6]] + last[7:11]:
                differ.append(tid)
            if last[4] != "":
                with_departure.append(tid)
        self.assertEqual(len(differ), 3, differ)
        self.assertEqual(len(with_departure), 2, with_departure)
        self.assertTrue(set(with_departure) <= set(differ))

    def test_first_distance(self):
        nonzero = [t for t, st in self.trains.items() if st[0][6] != "0"]
        self.assertEqual(len(nonzero), 4, nonzero)

    def test_type_codes_and_numbers(self):
        import re
        pat = {1: "D", 2: "G", 3: "C", 4: "Z", 5: "[TY]", 6: "K", 7: "K"}
        for r in self.slist:
            nt = int(r[1])
            self.assertTrue(1 <= nt <= 11)
            lead = pat.get(nt, "")
            self.assertTrue(re.fullmatch("%s\\d+[A-Z]?(/%s\\d+)*" % (lead, lead), r[0]), r[0])
            self.assertLessEqual(len(r[0]), 19)
        self.assertEqual(len([r for r in self.slist if r[0][-1].isalpha()]), 13)
        for n in ("1112/1113", "K1002/K1003", "K1032/K1033/K1035", "2251/2253/2256/2257",
                  "K264B", "T97A"):
            self.assertIn(n, self.lst)
        self.assertTrue(any(t.startswith("G100") for t in self.lst))
        ranges = {8: (1043, 5828), 9: (1085, 5816), 10: (6045, 7574), 11: (6001, 7582)}
        for nt, (lo, hi) in ranges.items():
            nums = [int(p.rstrip("AB")) for r in self.slist if int(r[1]) == nt for p in r[0].split("/")]
            self.assertEqual((min(nums), max(nums)), (lo, hi), nt)

    def test_sample_rows(self):
        self.assertEqual(self.lst["1043"], ["1043", "8", "西安", "奎屯", "21:25", "11:08", "37:43",
                                            "2810", "143", "-", "280/291/303", "469/492"])
        self.assertEqual(self.lst["G1"], ["G1", "2", "北京南", "上海虹桥", "09:00", "13:48", "4:48",
                                          "1318", "555", "935", "-", "-"])
        st = self.trains["1043"]
        self.assertEqual(len(st), 28)
        self.assertEqual(st[0], ["1043", "西安", "1", "", "21:25", "0", "0", "", "", "", ""])
        self.assertEqual(st[1], ["1043", "咸阳", "2", "21:43", "21:45", "18", "23", "3.5", "-",
                                 "38/41/43", "54/58"])
        self.assertEqual(st[27], ["1043", "奎屯", "28", "11:08", "", "37:43", "2810", "143", "-",
                                  "280/291/303", "469/492"])
        self.assertIn(["安阳", "AY"], self.spy)
        self.assertIn(["安庆", "1"], self.sm)
        self.assertIn(["安庆西", "1"], self.sm)
        bj = [r[0] for r in self.sm if r[1] == "5"]
        self.assertEqual(sorted(bj), sorted(["北京", "北京北", "北京东", "北京南", "北京西"]))
        d = [r for r in self.slist if r[0].startswith("D") and r[8] == "207" and r[7] == "703"]
        self.assertTrue(d)
        self.assertTrue(any(minutes(r[6]) > 48 * 60 for r in self.slist))

    def test_pinyin_table(self):
        codes = [r[1] for r in self.spy]
        self.assertEqual([c[0] for c in codes], sorted(c[0] for c in codes))
        self.assertEqual(len({r[0] for r in self.spy}), len(self.spy))
        for r in self.spy:
            self.assertRegex(r[1], "^[A-Z]{1,5}$")
        bj = [r[0] for r in self.spy if r[1].startswith("BJ") and r[0].startswith("北京")]
        self.assertEqual(bj[:5], ["北京", "北京西", "北京南", "北京北", "北京东"])
        known = dict((r[0], r[1]) for r in self.spy)
        for name, code in (("重庆", "CQ"), ("长沙", "CS"), ("厦门", "XM"), ("蚌埠", "BB"),
                           ("六安", "LA"), ("乐清", "YQ")):
            self.assertEqual(known.get(name), code, name)
        served = {r[1] for r in self.strain}
        spyset = set(known)
        self.assertEqual(spyset - served, set())
        self.assertEqual(len(served - spyset), 8)
        self.assertEqual(len([r for r in self.sm if r[0] not in spyset]), 7)

    def test_groups(self):
        gps = [int(r[1]) for r in self.sm]
        self.assertEqual(gps, sorted(gps))
        self.assertFalse([g for g in gps if 51 <= g <= 59 or 101 <= g <= 109])
        self.assertEqual(len({r[0] for r in self.sm}), len(self.sm))
        sizes = {}
        for g in gps:
            sizes[g] = sizes.get(g, 0) + 1
        self.assertTrue(max(sizes.values()) == 5 and min(sizes.values()) >= 1)

    def test_fares(self):
        for tid, st in self.trains.items():
            lr = self.lst[tid]
            for r in st[1:]:
                for p in r[7:11]:
                    self.assertRegex(p, r"^(-|\d+(\.\d)?(/\d+(\.\d)?)*)?$", tid)
            if lr[8] != "-":
                self.assertRegex(lr[8], r"^\d+(\.\d)?$")
            if lr[10] not in ("-", ""):
                self.assertEqual(lr[10].count("/"), 2, tid)
            if lr[11] not in ("-", ""):
                self.assertEqual(lr[11].count("/"), 1, tid)


class Pictures(unittest.TestCase):
    def test_sizes_and_depths(self):
        want = {"logo.bmp": (143, 63, 8), "update.bmp": (23, 23, 8), "b1.bmp": (28, 24, 8),
                "b2.bmp": (28, 24, 24), "b3.bmp": (28, 24, 8), "b4.bmp": (28, 24, 8),
                "b5.bmp": (28, 24, 8), "b7.bmp": (200, 59, 8)}
        for name, (w, h, bits) in want.items():
            with open(os.path.join(IMAGES, name), "rb") as f:
                data = f.read()
            self.assertEqual(data[:2], b"BM")
            bw, bh, _, bb = struct.unpack("<iiHH", data[18:30])
            self.assertEqual((bw, bh, bb), (w, h, bits), name)
            self.assertEqual(struct.unpack("<I", data[2:6])[0], len(data))


if __name__ == "__main__":
    unittest.main()
