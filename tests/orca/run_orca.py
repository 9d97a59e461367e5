#!/usr/bin/python3
"""Starts Orca with its debug log written line by line, so that what it
speaks can be read while it runs: `run_orca.py LOG [ORCA OPTIONS...]`."""
import builtins
import runpy
import sys

log = sys.argv[1]
system_open = builtins.open


def open_log_line_buffered(file, mode="r", buffering=-1, *args, **kwargs):
    if file == log and "w" in mode:
        buffering = 1
    return system_open(file, mode, buffering, *args, **kwargs)


builtins.open = open_log_line_buffered
sys.argv = ["orca", "--debug-file", log] + sys.argv[2:]
runpy.run_path("/usr/bin/orca", run_name="__main__")
