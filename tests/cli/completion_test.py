#!/usr/bin/env python3
"""Drives the bash, zsh and fish completions of tessavar-cli in a real shell
on a pseudo-terminal: types a command line, presses Tab, and reads back the
words the shell then holds (Ctrl-A puts a printf in front of them)."""
import os
import pty
import select
import shutil
import sys
import tempfile
import time

program, completions = sys.argv[1], os.path.abspath(sys.argv[2])
MARK = "@@"


def read_until(fd, token, timeout=10.0, after=None):
    """Reads until `token` shows (after `after`, when given)."""
    data = b""
    end = time.time() + timeout

    def done():
        text = data.decode(errors="replace")
        start = text.find(after) if after else 0
        return start >= 0 and token in text[start:]

    while not done():
        left = end - time.time()
        if left <= 0:
            raise TimeoutError(f"waiting for {token!r}; got {data[-400:]!r}")
        ready, _, _ = select.select([fd], [], [], left)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                break
            if not chunk:
                break
            data += chunk
    return data.decode(errors="replace")


class Shell:
    def __init__(self, argv, setup, cwd, env):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(cwd)
            os.execvpe(argv[0], argv, env)
        self.send(setup + f"\necho READY{MARK}\n")
        read_until(self.fd, f"READY{MARK}\r\n")

    def send(self, text):
        os.write(self.fd, text.encode())

    def words_after_tab(self, line, tabs="\t"):
        """The words of `line` once Tab is pressed."""
        self.send("\x15" + line)
        time.sleep(0.3)
        for tab in tabs:
            self.send(tab)
            time.sleep(1.0)
        # Ctrl-E, Ctrl-A: the whole line gets printed as one word a line.
        self.send(f"\x05\x01printf '{MARK}[%s]\\n' \r")
        text = read_until(self.fd, "PROMPT>", after=f"{MARK}[{program_name}]")
        words = []
        for row in text.split("\n"):
            row = row.strip("\r")
            if row.startswith(f"{MARK}[") and row.endswith("]"):
                words.append(row[len(MARK) + 1:-1])
        return words[1:]

    def close(self):
        os.kill(self.pid, 9)
        os.waitpid(self.pid, 0)


program_name = "tessavar-cli"
failures = []


def check(shell_name, shell, line, expected):
    words = shell.words_after_tab(line)
    if words != expected:
        failures.append(f"{shell_name}: {line!r} gave {words}, not {expected}")


with tempfile.TemporaryDirectory() as scratch:
    bin_dir = os.path.join(scratch, "bin")
    os.mkdir(bin_dir)
    os.symlink(os.path.abspath(program), os.path.join(bin_dir, program_name))
    work = os.path.join(scratch, "work")
    os.makedirs(os.path.join(work, "my dir"))
    open(os.path.join(work, "song one.mid"), "w").close()
    env = {"PATH": bin_dir + ":/usr/bin:/bin", "HOME": scratch,
           "TERM": "dumb", "LANG": "C.UTF-8"}
    shells = {
        "bash": (["bash", "--norc", "--noprofile", "-i"],
                 f"PS1='PROMPT>'; source {completions}/tessavar-cli.bash"),
        "zsh": (["zsh", "-f", "-i"],
                f"PS1='PROMPT>'; fpath=({completions} $fpath); "
                "autoload -U compinit; compinit -u -D; unsetopt beep; "
                # else the "/" goes again at the next key, Ctrl-E included
                "unsetopt auto_remove_slash"),
        "fish": (["fish", "--no-config", "-i"],
                 "function fish_prompt; echo -n 'PROMPT>'; end; "
                 f"source {completions}/tessavar-cli.fish"),
    }
    for name, (argv, setup) in shells.items():
        if shutil.which(argv[0]) is None:
            failures.append(f"{name} is not installed")
            continue
        shell = Shell(argv, setup, work, env)
        try:
            # A file name with a space stays one word; a folder gets "/".
            check(name, shell, "tessavar-cli info song", ["info", "song one.mid"])
            check(name, shell, "tessavar-cli info my", ["info", "my dir/"])
            # After a flag, a file again.
            check(name, shell, "tessavar-cli render -q son",
                  ["render", "-q", "song one.mid"])
            # --opt=value and the named options' values.
            check(name, shell, "tessavar-cli render a.mid - --format=fl",
                  ["render", "a.mid", "-", "--format=flac"])
            check(name, shell, "tessavar-cli compose --auto of",
                  ["compose", "--auto", "off"])
            check(name, shell, "tessavar-cli compose --fade FADE\\ IN\\ ",
                  ["compose", "--fade", "FADE IN & OUT"])
            check(name, shell, "tessavar-cli compose --set note-p",
                  ["compose", "--set", "note-pitch="])
            # Options come from the command: show takes no --set.
            check(name, shell, "tessavar-cli compose --se", ["compose", "--set"])
            check(name, shell, "tessavar-cli show --se", ["show", "--se"])
            check(name, shell, "tessavar-cli ren", ["render"])
        finally:
            shell.close()

for failure in failures:
    print(failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
