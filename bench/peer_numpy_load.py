#!/usr/bin/python3
"""Peer of bench_load: the graph-mode load of a whole recording written as vectorised numpy.

Reads every record of FILE, builds the composite current of all channels, the powers, impedance,
distortion, capacitor overload and unbalance of every record and the period extremes, with the
same formulas and precisions as the load (single-precision tables, double intermediates), a block
of records at a time. Prints "seconds=S" and "cpu_seconds=S" (best of --runs, the interpreter's
start not counted) and the tables' checksum.

usage: /usr/bin/python3 peer_numpy_load.py FILE [--runs N]
"""
import os
import sys
import time

import numpy as np

PI = 3.141592
BLOCK = 1024  # records per vectorised step


def layout(name):
    ext = name[-3:].lower()
    if ext in ("ha3", "ha4", "ha5", "ha6"):
        family, c = ext, 1
    else:
        family, c = ext[:2], int(name[-1])
    all_orders = family in ("hh", "hn")
    k = 256 if all_orders else 25
    lengths = {"ha3": 256, "ha4": 356, "ha5": 280, "ha6": 286, "hm": 150 * c + 106,
               "hv": 162 * c + 168, "hh": 1536 * c + 1030, "hn": 1536 * c + 1542}
    first, stride = (1030, 1536) if all_orders else (106, 150)
    angle = first + 4 * k
    phase = None
    if family == "hv":
        phase = (156 + 150 * c, 168 + 150 * c)
    elif family in ("ha5", "ha6"):
        phase = (256, 268)
    marker = name[-4] if len(name) >= 4 else ""
    power_k = 1.0 if marker in "RST" and marker else float(np.float32(np.sqrt(3.0)))
    return lengths[family], k, c, first, angle, stride, phase, power_k, (2 if k == 25 else 1)


def field(raw, offset, dtype, count):
    """Column block of every record: bytes at offset.. as little-endian values."""
    size = np.dtype(dtype).itemsize * count
    return raw[:, offset:offset + size].copy().view(dtype).reshape(raw.shape[0], count)


def sequence(a, b, c):
    a, b, c = (x.astype(np.float64) for x in (a, b, c))
    h = ((a + b + c) / 2).astype(np.float32).astype(np.float64)
    q = (a * a + b * b + c * c) / 6
    t = 2 / np.sqrt(3.0) * np.sqrt(np.abs(h * (h - a) * (h - b) * (h - c)))
    pos = np.sqrt(q + t)
    neg = np.sqrt(np.abs(q - t)).astype(np.float32)
    ratio = np.where(pos > 0, neg / np.where(pos > 0, pos, 1) * 100, 0).astype(np.float32)
    return pos.astype(np.float32), neg, ratio


def load(path):
    name = os.path.basename(path)
    rl, K, C, first, angle, stride, phase, power_k, step = layout(name)
    data = np.fromfile(path, dtype=np.uint8)
    records = data.size // rl
    data = data[:records * rl].reshape(records, rl)
    n = np.arange(K) * step + 1.0
    reactor = 6 * n * n - 100
    volt = np.empty((records, K), np.float32)
    cur = np.empty((C + 1, records, K), np.float32)
    act = np.empty_like(cur)
    rea = np.empty_like(cur)
    vthd = np.empty(records, np.float32)
    ithd = np.empty((C + 1, records), np.float32)
    over = np.zeros((6, records), np.float32)
    item_max = np.zeros((C + 1, 16, K), np.float32)
    item_min = np.zeros((C + 1, 16, K), np.float32)
    for b0 in range(0, records, BLOCK):
        raw = data[b0:b0 + BLOCK]
        m = raw.shape[0]
        V = field(raw, 6, "<f4", K)
        V = np.where(np.isfinite(V), V, 0).astype(np.float32)
        volt[b0:b0 + m] = V
        I = np.empty((C + 1, m, K), np.float32)
        A = np.empty((C + 1, m, K), np.float64)
        ss = np.zeros((m, K), np.float32)
        sc = np.zeros((m, K), np.float32)
        for ch in range(C):
            i = field(raw, first + ch * stride, "<f4", K)
            I[ch] = np.where(np.isfinite(i), i, 0)
            A[ch] = field(raw, angle + ch * stride, "<i2", K)
            theta = A[ch] / 180 * PI
            ss = (ss + I[ch] * np.sin(theta)).astype(np.float32)
            sc = (sc + I[ch] * np.cos(theta)).astype(np.float32)
        ss64, sc64 = ss.astype(np.float64), sc.astype(np.float64)
        I[C] = np.sqrt(sc64 * sc64 + ss64 * ss64)
        comp = np.arctan(ss64 / (sc64 + 1e-20)) * 180 / PI - np.where(sc64 < 0, 180, 0)
        A[C] = np.rint(comp)
        cur[:, b0:b0 + m] = I
        # Powers and impedance.
        theta = A * PI / 180
        vi = V.astype(np.float64)[None] * I
        live = I > 0.01
        P = np.where(live, vi * np.cos(theta) / 1000 * power_k, 0).astype(np.float32)
        Q = np.where(live, vi * np.sin(theta) / -1000 * power_k, 0).astype(np.float32)
        act[:, b0:b0 + m] = P
        rea[:, b0:b0 + m] = Q
        np.maximum(item_max[:, 2], P.max(axis=1), out=item_max[:, 2])
        np.minimum(item_min[:, 2], P.min(axis=1), out=item_min[:, 2])
        np.maximum(item_max[:, 3], Q.max(axis=1), out=item_max[:, 3])
        np.minimum(item_min[:, 3], Q.min(axis=1), out=item_min[:, 3])
        np.maximum(item_max[:, 4], I.max(axis=1), out=item_max[:, 4])
        Z = np.where(I > 0, V[None] / np.where(I > 0, I, 1), 0).astype(np.float32)
        np.maximum(item_max[:, 6], Z.max(axis=1), out=item_max[:, 6])
        # Distortion and overload.
        v0 = V[:, :1].astype(np.float64)
        dead = v0 == 0
        safe = np.where(dead, 1, v0)
        r = np.where(dead, 0, V[:, 1:] / safe * 100).astype(np.float32)
        np.maximum(item_max[0, 0, 1:], r.max(axis=0), out=item_max[0, 0, 1:])
        accv = (r.astype(np.float64) ** 2).sum(axis=1)
        x = n[1:] * V[:, 1:] / safe
        accc = (x * x).sum(axis=1)
        l = -94 * n[1:] * V[:, 1:] / (reactor[1:] * safe)
        accl = 1.1025 + (l * l).sum(axis=1)
        z = -94 * n[1:] ** 2 * V[:, 1:] / (5 * safe * reactor[1:])
        accr = (z * z).sum(axis=1)
        d = dead[:, 0]
        vthd[b0:b0 + m] = np.where(d, 0, np.sqrt(accv))
        over[0, b0:b0 + m] = np.where(d, 0, 100 * np.sqrt(accc + 1))
        over[1, b0:b0 + m] = np.where(d, 0, 100 * np.sqrt(accl))
        over[2, b0:b0 + m] = np.where(d, 0, 100 * np.sqrt(accr))
        i0 = I[:, :, :1]
        q = np.where(i0 > 0, I[:, :, 1:] / np.where(i0 > 0, i0, 1) * 100, 0).astype(np.float32)
        np.maximum(item_max[:, 1, 1:], q.max(axis=1), out=item_max[:, 1, 1:])
        ithd[:, b0:b0 + m] = np.sqrt((q.astype(np.float64) ** 2).sum(axis=2))
        np.maximum(item_max[0, 10], V.max(axis=0), out=item_max[0, 10])
        item_min[0, 10] = V.min(axis=0) if b0 == 0 else np.minimum(item_min[0, 10], V.min(axis=0))
        if phase is not None:
            vp = field(raw, phase[0], "<f4", 3)
            ip = field(raw, phase[1], "<f4", 3 * C).reshape(m, C, 3)
            sequence(vp[:, 0], vp[:, 1], vp[:, 2])
            for ch in range(C):
                sequence(ip[:, ch, 0], ip[:, ch, 1], ip[:, ch, 2])
            total = ip.sum(axis=1, dtype=np.float32)
            sequence(total[:, 0], total[:, 1], total[:, 2])
    np.maximum(item_max[0, 0, 0], vthd.max(), out=item_max[0, 0, :1])
    np.maximum(item_max[:, 1, 0], ithd.max(axis=1), out=item_max[:, 1, 0])
    for i in range(3):
        item_max[0, 7, i] = max(item_max[0, 7, i], over[i].max())
        item_min[0, 7, i] = over[i].min()
    return float(act.sum(dtype=np.float64) + item_max.sum(dtype=np.float64))


def main():
    path = sys.argv[1]
    runs = int(sys.argv[sys.argv.index("--runs") + 1]) if "--runs" in sys.argv else 2
    best, best_cpu, checksum = 1e9, 1e9, 0.0
    for _ in range(runs):
        start, start_cpu = time.perf_counter(), time.process_time()
        checksum = load(path)
        best = min(best, time.perf_counter() - start)
        best_cpu = min(best_cpu, time.process_time() - start_cpu)
    print("seconds=%.6f" % best)
    print("cpu_seconds=%.6f" % best_cpu)
    print("checksum=%.6g" % checksum)


if __name__ == "__main__":
    main()
