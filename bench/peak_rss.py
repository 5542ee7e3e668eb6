"""The memory of each process of one Windows program under Wine as the Linux
kernel counts it, for checking what Wine's GetProcessMemoryInfo reports:
samples /proc every 0.2 s until it receives SIGTERM, then prints each
process's last peak and current resident set (VmHWM, VmRSS) in MB, in the
order the processes appeared. A process counts when its command line starts
with the program's path (Wine keeps the path it was started with, here with
drive Z: for the Unix root), so copies of the program started from other
folders are left out.

Usage: python3 peak_rss.py <Unix path of the program>"""

import os
import signal
import sys
import time


def program_of(pid):
    """The first word of the process's command line as a Unix path: under Wine
    the Windows path the program was started with."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            path = f.read().split(b"\0", 1)[0].decode("utf-8", "replace").replace("\\", "/")
    except OSError:
        return ""
    return path[2:] if path[:2].lower() == "z:" else path


def resident_mb(pid):
    """(VmHWM, VmRSS) in MB, or None once the process has gone."""
    try:
        with open(f"/proc/{pid}/status") as f:
            fields = dict(line.split(":", 1) for line in f if ":" in line)
        return (int(fields["VmHWM"].split()[0]) / 1024, int(fields["VmRSS"].split()[0]) / 1024)
    except (OSError, KeyError, ValueError):
        return None


def main(program):
    program = os.path.normpath(program).lower()
    stopping = []
    signal.signal(signal.SIGTERM, lambda *_: stopping.append(True))
    seen = {}
    while not stopping:
        for entry in os.listdir("/proc"):
            if entry.isdigit() and os.path.normpath(program_of(entry)).lower() == program:
                sample = resident_mb(entry)
                if sample:
                    seen[int(entry)] = sample
        time.sleep(0.2)
    for pid, (peak, current) in seen.items():
        print(f"  process {pid}: peak {peak:.1f} MB, current {current:.1f} MB")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
