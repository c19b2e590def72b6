#!/usr/bin/python3
"""Peer of bench_csv: the same CSV columns of an "hh" recording written by pandas DataFrame.to_csv.

Usage: peer_pandas_csv.py RECORDING OUT.csv
Reads every record of RECORDING (kind "hhC": date, time, V(256), then per channel I(256) and
A(256)), computes the combined current the same way as harmograph, and writes the time stamp, V1..,
per channel nI.., nR.., and the combined channel with DataFrame.to_csv (CR LF, code page 932).
Prints "records numbers read_seconds csv_cpu_seconds csv_wall_seconds bytes" on one line (the
CPU time of to_csv is the figure compared: the machines running the benchmarks are shared).
"""
import os
import sys
import time

import numpy as np
import pandas as pd


def main():
    path, out = sys.argv[1], sys.argv[2]
    channels = int(path[-1])
    start = time.perf_counter()
    fields = [("date", "<f4"), ("time", "<i2"), ("V", "<f4", 256)]
    for c in range(channels):
        fields += [(f"I{c}", "<f4", 256), (f"A{c}", "<i2", 256)]
    rec = np.fromfile(path, dtype=np.dtype(fields))
    date = rec["date"].astype(np.int64)
    hhmm = rec["time"].astype(np.int64)
    stamps = pd.to_datetime(
        {
            "year": 2000 + date // 10000,
            "month": date // 100 % 100,
            "day": date % 100,
            "hour": hhmm // 100,
            "minute": hhmm % 100,
        }
    )
    columns = {"日時": stamps.dt.strftime("%Y/%m/%d %H:%M:%S").to_numpy()}
    for k in range(256):
        columns[f"V{k + 1}"] = rec["V"][:, k]
    sc = np.zeros((len(rec), 256), np.float32)
    ss = np.zeros((len(rec), 256), np.float32)
    for c in range(channels):
        current, angle = rec[f"I{c}"], rec[f"A{c}"]
        theta = angle / 180.0 * 3.141592
        sc = (sc + current * np.cos(theta)).astype(np.float32)
        ss = (ss + current * np.sin(theta)).astype(np.float32)
        for k in range(256):
            columns[f"{c + 1}I{k + 1}"] = current[:, k]
        for k in range(256):
            columns[f"{c + 1}R{k + 1}"] = angle[:, k]
    combined = np.sqrt(sc.astype(np.float64) ** 2 + ss.astype(np.float64) ** 2).astype(np.float32)
    degrees = np.arctan(ss / (sc + 1e-20)) * 180 / 3.141592 - np.where(sc < 0, 180, 0)
    n = channels + 1
    for k in range(256):
        columns[f"{n}I{k + 1}"] = combined[:, k]
    for k in range(256):
        columns[f"{n}R{k + 1}"] = np.rint(degrees[:, k]).astype(np.int16)
    frame = pd.DataFrame(columns)
    read_seconds = time.perf_counter() - start

    start, cpu = time.perf_counter(), time.process_time()
    frame.to_csv(out, index=False, lineterminator="\r\n", encoding="cp932")
    csv_cpu = time.process_time() - cpu
    csv_wall = time.perf_counter() - start
    numbers = len(rec) * (frame.shape[1] - 1)
    print(len(rec), numbers, f"{read_seconds:.6f}", f"{csv_cpu:.6f}", f"{csv_wall:.6f}",
          os.path.getsize(out))


if __name__ == "__main__":
    main()
