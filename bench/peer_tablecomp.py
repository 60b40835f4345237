#!/usr/bin/python3
"""The pandas way of computing a class table, the yardstick "Compute table"
is measured against: a channel table (float32 rows of sample, peak, minutes,
size, height, area, then the 18-byte trailer) summed into samples x 1-bp
classes from -500 bp, written in full and without its all-zero columns in
the same binary layout.  Prints the seconds of the work itself (reading,
computing, writing), without the interpreter's start, for each of REPEAT
runs.

usage: peer_tablecomp.py INPUT CLASSES REPEAT
"""
import sys
import time

import numpy as np
import pandas as pd


def write_table(name, values):
    rows, cols = values.shape
    with open(name, "wb") as f:
        f.write(np.ascontiguousarray(values, dtype="<f4").tobytes())
        f.write(b"\r\n%06d\r\n%06d\r\n" % (rows, cols))


def run(name, classes):
    raw = np.fromfile(name, dtype="<f4")
    rows = (raw.size - 18 // 4) // 6
    peaks = pd.DataFrame(raw[: rows * 6].reshape(rows, 6)[:, [0, 3, 4]], columns=["sample", "size", "height"])
    peaks["class"] = np.floor(peaks["size"].astype("f8") + 500).astype("i8")
    peaks = peaks[(peaks["class"] >= 0) & (peaks["class"] < classes)]
    table = (
        peaks.groupby(["sample", "class"])["height"]
        .sum()
        .unstack(fill_value=0)
        .reindex(columns=range(classes), fill_value=0)
    )
    write_table(name + "_peer_full", table.to_numpy())
    write_table(name + "_peer_kept", table.loc[:, (table != 0).any(axis=0)].to_numpy())


def main():
    name, classes, repeat = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    for _ in range(repeat):
        start = time.perf_counter()
        run(name, classes)
        print(time.perf_counter() - start, flush=True)


main()
