#!/usr/bin/python3
"""Writes a program's manual page from its own --help, so the page never drifts from the program.

The help's "usage:" lines become the synopsis and the rest the description: plain
paragraphs are filled, indented lists ("  --option VALUE   what it does") become tagged
paragraphs. With --commands, each command listed under "commands:" gets a section made from
"PROGRAM COMMAND --help".

usage: tools/make-manpage.py PROGRAM --name NAME --summary TEXT --version VERSION
                             [--commands] [--see-also PAGE ...] -o OUTPUT
"""

import argparse
import os
import re
import subprocess


def run_help(program, *args):
    env = dict(os.environ, LC_ALL="C.UTF-8", COLUMNS="80")
    result = subprocess.run([program, *args, "--help"], capture_output=True, text=True, env=env,
                            check=True, timeout=60)
    return result.stdout.replace(program, os.path.basename(program))


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


def paragraphs(text):
    block = []
    for line in text.splitlines():
        if line.strip():
            block.append(line.rstrip())
        elif block:
            yield block
            block = []
    if block:
        yield block


def list_entries(block):
    """Splits an indented list into (term, description lines) pairs, or returns None when a line
    is neither "term  description" nor a deeper continuation of the previous description."""
    entries = []
    base = min(len(line) - len(line.lstrip()) for line in block)
    for line in block:
        indent = len(line) - len(line.lstrip())
        if indent > base + 2 and entries:
            entries[-1][1].append(line.strip())
            continue
        parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
        if len(parts) == 1 and not parts[0].startswith("-"):
            return None
        entries.append((parts[0], parts[1:]))
    return entries


def body(text):
    out = []
    for block in paragraphs(text):
        if block[0].endswith(":") and not block[0].startswith(" "):  # a heading such as "options:"
            out.append(".SS " + roff(block[0].rstrip(":").capitalize()))
            block = block[1:]
            if not block:
                continue
        if not all(line.startswith(" ") for line in block):
            out.append(".PP")
            out.extend(roff(line.strip()) for line in block)
            continue
        entries = list_entries(block)
        if entries is None:  # laid out by hand: kept as it is
            out += [".PP", ".nf"] + [roff(line) for line in block] + [".fi"]
            continue
        for term, description in entries:
            out += [".TP", "\\fB" + roff(term) + "\\fR"] + [roff(line) for line in description]
    return out


def split_usage(text):
    """The "usage:" lines (a program may have several forms) and the text without them."""
    usages, rest = [], []
    for line in text.splitlines():
        if line.lower().startswith("usage:"):
            usages.append(line[len("usage:"):].strip())
        else:
            rest.append(line)
    if not usages:
        raise SystemExit("no usage line in the help")
    return usages, "\n".join(rest)


def synopsis(usages):
    return [line for usage in usages for line in (".B", roff(usage), ".br")][:-1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--name", required=True)
    parser.add_argument("--summary", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--commands", action="store_true")
    parser.add_argument("--see-also", nargs="*", default=[])
    parser.add_argument("-o", "--output", required=True)
    options = parser.parse_args()

    usages, description = split_usage(run_help(options.program))
    page = [f'.TH {options.name.upper()} 1 "" "veltrane {options.version}" "User Commands"',
            ".SH NAME", f"{roff(options.name)} \\- {roff(options.summary)}",
            ".SH SYNOPSIS"] + synopsis(usages) + [".SH DESCRIPTION"] + body(description)
    if options.commands:
        commands = re.search(r"^commands:\n((?:  .*\n)+)", description, re.MULTILINE)
        page.append(".SH COMMANDS")
        for line in commands.group(1).splitlines():
            if not re.match(r"  \w", line):  # the continuation of a command's usage
                continue
            command = line.split()[0]
            usages, text = split_usage(run_help(options.program, command))
            page += [".SS " + roff(command)] + synopsis(usages) + body(text)
    if options.see_also:
        page += [".SH SEE ALSO", ", ".join(f"\\fB{roff(name)}\\fR(1)" for name in options.see_also)]
    with open(options.output, "w", encoding="utf-8") as out:
        out.write("\n".join(page) + "\n")


if __name__ == "__main__":
    main()
