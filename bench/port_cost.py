#!/usr/bin/env python3
"""Runner of bench/port_cost_bench.exe: serves its COM port with the sensor
simulator and turns the phase marks the program prints into figures from
/proc: the CPU share of the program and of the wineserver over each phase,
and their resident memory at each mark. On "KILL" the simulator is killed
(its pseudo-terminal hangs up); on "RESTART" a new one serves the same port.

  port_cost.py --com N --sim sensorsim.py --log FILE -- command args...
"""

import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time

TICK = os.sysconf("SC_CLK_TCK")


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def children(pid):
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                parent = int(f.read().rsplit(")", 1)[1].split()[1])
        except OSError:
            continue
        if parent == pid:
            found.append(int(entry))
    return found


def find_program(root, name, timeout=30.0):
    """The descendant of root whose command line names the program."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        todo = [root]
        while todo:
            pid = todo.pop()
            try:
                with open("/proc/%d/cmdline" % pid, "rb") as f:
                    if name.encode() in f.read():
                        return pid
            except OSError:
                pass
            todo.extend(children(pid))
        time.sleep(0.1)
    return None


def find_wineserver(prefix):
    st = os.stat(prefix)
    wanted = "server-%x-%x" % (st.st_dev, st.st_ino)
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % entry) as f:
                if not f.read().startswith("wineserver"):
                    continue
            if os.path.basename(os.readlink("/proc/%s/cwd" % entry)) == wanted:
                return int(entry)
        except OSError:
            continue
    return None


class Simulator:
    def __init__(self, script, com, log):
        self.script, self.com, self.log = script, com, log
        self.process = None

    def start(self):
        ready = tempfile.mktemp()
        self.process = subprocess.Popen(
            [sys.executable, "-B", self.script, "--com", str(self.com), "--log", self.log, "--ready", ready,
             "--lifetime", "3600", "--pace", "--baud", "115200"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists(ready) and os.path.getsize(ready) > 0:
                os.unlink(ready)
                return
            time.sleep(0.05)
        raise RuntimeError("sensor simulator did not start")

    def kill(self):
        """Abruptly, as a pulled cable: the pseudo-terminal hangs up."""
        if self.process:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()
            self.process = None


class Sample:
    def __init__(self, pids):
        self.time = time.monotonic()
        self.ticks = {name: cpu_ticks(pid) for name, pid in pids.items()}


def report_phase(name, start, pids):
    end = Sample(pids)
    seconds = end.time - start.time
    shares = ["%s %.1f%%" % (who, 100.0 * (end.ticks[who] - start.ticks[who]) / TICK / seconds)
              for who in pids]
    total = sum(end.ticks[w] - start.ticks[w] for w in pids) / TICK / seconds
    print("== %s: %.1f s, CPU of one core: %s, together %.1f%%" % (name, seconds, ", ".join(shares), 100 * total))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--com", type=int, required=True)
    p.add_argument("--sim", required=True)
    p.add_argument("--log", required=True)
    p.add_argument("command", nargs="+")
    args = p.parse_args()

    sim = Simulator(args.sim, args.com, args.log)
    if os.path.exists(args.log):
        os.unlink(args.log)
    sim.start()
    env = dict(os.environ, TIV_SIM_COM=str(args.com))
    program = subprocess.Popen(args.command, stdout=subprocess.PIPE, env=env, text=True)
    status = 1
    try:
        exe = os.path.basename(args.command[-1] if not args.command[-1].startswith("--") else args.command[-2])
        pid = find_program(program.pid, exe)
        server = find_wineserver(os.environ["WINEPREFIX"])
        if pid is None or server is None:
            print("cannot find the program (%s) or the wineserver (%s)" % (pid, server))
            return 1
        pids = {"program": pid, "wineserver": server}
        started = {}
        first_mark = None
        for line in program.stdout:
            line = line.rstrip("\r\n")
            print(line, flush=True)
            words = line.split()
            if len(words) != 2:
                continue
            what, name = words
            if what == "PHASE":
                started[name] = Sample(pids)
            elif what == "END" and name in started:
                report_phase(name, started.pop(name), pids)
            elif what == "MARK":
                rss = rss_kb(pid)
                first_mark = first_mark or rss
                print("== %s: resident memory of the program %d KB (%+d KB since the first mark), wineserver %d KB"
                      % (name, rss, rss - first_mark, rss_kb(server)), flush=True)
            elif what == "KILL":
                sim.kill()
            elif what == "RESTART":
                sim.start()
        status = program.wait()
    finally:
        if program.poll() is None:
            program.kill()
        sim.kill()
    return status


if __name__ == "__main__":
    sys.exit(main())
