#!/usr/bin/env python3
"""Prints the host-movie conversation from a stand-in record, readably, as it is written.

    transcript.py RECORD               print what the record holds, then stop
    transcript.py --follow RECORD      keep printing new lines (until Ctrl-C)
    transcript.py --follow --pid P RECORD   ... until process P has ended
    --all                              also the OLE calls, keys, stats and probes

A line reads "  0.812s host→movie LoadMovie(0, "http://…?111018")": the time is the
stand-in's own clock (seconds since the control was loaded into the host).
"""
import argparse
import json
import os
import sys
import time


def value_text(value):
    if isinstance(value, str):
        return json.dumps(value, ensure_ascii=False)
    return json.dumps(value)


def call_text(line):
    name = line.get("name", "?")
    args = line.get("args", [])
    if name == "CallFunction" and len(args) == 1 and isinstance(args[0], str):
        # The invoke request is XML: quoting it would only hide it behind escapes.
        inner = args[0]
    else:
        inner = ", ".join(value_text(a) for a in args)
    side = "host→control" if "::" in name else "host→movie"
    text = f"{side} {name}({inner})"
    if "result" in line:
        text += f" = {value_text(line['result'])}"
    if line.get("failed"):
        text += "  [failed]"
    return text


def key_text(line):
    held = [side for side in ("lshift", "rshift", "lctrl", "rctrl") if line.get(side)]
    modifiers = "+".join(held) if held else "no modifiers"
    return f"key        {line.get('msg')} vk={line.get('vk')} ({modifiers}) via {line.get('via')}"


def describe(line, show_all):
    """The printable text of one record line, or None when it is not shown."""
    ev = line.get("ev")
    if ev == "call":
        if "::" in line.get("name", "") and not show_all:
            return None
        return call_text(line)
    if ev == "fire":
        args = ", ".join(value_text(a) for a in line.get("args", []))
        text = f"movie→host {line.get('name', '?')}({args})"
        if "count" in line:
            text += f" ×{line['count']}"
        return text
    if ev == "script":
        return f"movie      {line.get('note', '')}"
    if not show_all:
        return None
    if ev == "key":
        return key_text(line)
    if ev == "stats":
        fields = ", ".join(f"{k}={line[k]}" for k in ("handles", "user", "gdi", "peak_ws", "private") if k in line)
        return f"stats      {fields}"
    if ev == "probe":
        return f"probe      tag={line.get('tag')}, {len(line.get('windows', []))} window(s)"
    return f"{ev or '?':<10} {json.dumps(line, ensure_ascii=False)}"


class Printer:
    def __init__(self, show_all, out):
        self.show_all = show_all
        self.out = out
        self.pid = None

    def line(self, raw):
        raw = raw.strip()
        if not raw:
            return
        try:
            line = json.loads(raw)
        except ValueError:
            print(f"transcript: unreadable record line: {raw[:200]}", file=sys.stderr)
            return
        if not isinstance(line, dict):
            return
        if line.get("pid") != self.pid:
            if self.pid is not None:
                print(f"  ── process {line.get('pid')} ──", file=self.out)
            self.pid = line.get("pid")
        text = describe(line, self.show_all)
        if text is None:
            return
        t = line.get("t")
        stamp = f"{t / 1000:7.3f}s" if isinstance(t, (int, float)) else "      ?"
        print(f"{stamp} {text}", file=self.out, flush=True)


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def follow(path, printer, pid, poll=0.1):
    """Prints complete lines as they arrive; a line still being written waits."""
    while not os.path.exists(path):
        if pid is not None and not alive(pid):
            return
        time.sleep(poll)
    pending = b""
    with open(path, "rb") as record:
        while True:
            chunk = record.read()
            if chunk:
                pending += chunk
                *complete, pending = pending.split(b"\n")
                for raw in complete:
                    printer.line(raw.decode("utf-8", errors="replace"))
                continue
            if pid is not None and not alive(pid):
                # One last read: the host may have written its last lines as it ended.
                pending += record.read()
                for raw in pending.split(b"\n"):
                    printer.line(raw.decode("utf-8", errors="replace"))
                return
            time.sleep(poll)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("record")
    parser.add_argument("--follow", action="store_true", help="keep printing lines as they are written")
    parser.add_argument("--pid", type=int, help="with --follow: stop once this process has ended")
    parser.add_argument("--all", action="store_true", help="also OLE calls, keys, stats and probes")
    args = parser.parse_args()

    out = sys.stdout
    if hasattr(out, "reconfigure"):
        out.reconfigure(encoding="utf-8", errors="replace")
    printer = Printer(args.all, out)
    try:
        if args.follow:
            follow(args.record, printer, args.pid)
        else:
            with open(args.record, "rb") as record:
                for raw in record.read().split(b"\n"):
                    printer.line(raw.decode("utf-8", errors="replace"))
    except (KeyboardInterrupt, BrokenPipeError):
        pass
    except FileNotFoundError:
        print(f"transcript: no record at {args.record}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
