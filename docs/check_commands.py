#!/usr/bin/python3
"""Runs the commands of the documents' code blocks, exactly as written.

Usage: check_commands.py SOURCE_DIR BUILD_TREE
Run it in private network and mount namespaces with their own /tmp (run_isolated.sh does so):
the commands write to /tmp and the simulator takes the fixed SCPI port.

The documents are README.md, docs/*.md, docs/manual/*.md and the EXAMPLES of the manual
pages. A code block line is a command when its program (after VAR=value words and a "$ "
prompt) is one this project documents: trovik, trovik-cli, scpisim, man, bash, sh, unshare,
sudo, apt-get, apt, dpkg, python3, xvfb-run. Every other line is output, file contents or code
and is left alone. The commands run from a checkout-like folder whose build/bin holds the
programs of BUILD_TREE (what scripts/link-bin.sh makes), with build/bin on PATH for the
manual's bare program names and HOME in a fresh folder. A command ending in "&" is started
in the background and stopped when its document is done. Skipped, by rule:
  - installs, builds or packages: sudo, apt-get, apt, dpkg, or bash scripts/... (the two
    commands of the README, and the package scripts, are these);
  - opens the window: the program trovik;
  - opens an interactive shell: unshare ... exec bash, and the rest of that block, which the
    reader types inside that shell;
  - serves until it is stopped: trovik-cli serve not sent to the background.
Every other command must exit with status 0.
"""
import os
import pathlib
import re
import shlex
import subprocess
import sys
import tempfile
import time

KNOWN = {'trovik', 'trovik-cli', 'scpisim', 'man', 'bash', 'sh', 'unshare', 'sudo', 'apt-get',
         'apt', 'dpkg', 'python3', 'xvfb-run'}
SHELL_LANGUAGES = {'', 'sh', 'bash', 'shell', 'console'}


def markdown_blocks(text):
    """Fenced blocks of a shell language and indented blocks, each as a list of lines."""
    blocks, lines = [], text.splitlines()
    k = 0
    while k < len(lines):
        line = lines[k]
        fence = re.match(r'^```(\w*)\s*$', line)
        if fence:
            end = k + 1
            while end < len(lines) and not lines[end].startswith('```'):
                end += 1
            if fence.group(1) in SHELL_LANGUAGES:
                blocks.append(lines[k + 1:end])
            k = end + 1
            continue
        if line.startswith('    ') and (k == 0 or not lines[k - 1].strip()):
            end = k
            while end < len(lines) and (lines[end].startswith('    ') or not lines[end].strip()):
                end += 1
            blocks.append([l[4:] for l in lines[k:end]])
            k = end
            continue
        k += 1
    return blocks


def man_blocks(text):
    """The .nf … .fi blocks of the EXAMPLES section, with groff escapes undone."""
    section = re.search(r'^\.SH EXAMPLES?\n(.*?)(?=^\.SH |\Z)', text, re.M | re.S)
    if not section:
        return []
    blocks = re.findall(r'^\.nf\n(.*?)^\.fi', section.group(1), re.M | re.S)
    unescape = [('\\-', '-'), ('\\(aq', "'"), ('\\(dq', '"'), ('\\e', '\\'), ('\\(ti', '~')]
    out = []
    for b in blocks:
        for a, r in unescape:
            b = b.replace(a, r)
        out.append(b.splitlines())
    return out


def commands(block):
    """Joins continuation lines and open quotes; yields (command, program) for command lines."""
    k = 0
    while k < len(block):
        line = block[k].rstrip()
        k += 1
        if line.startswith('$ '):
            line = line[2:]
        text = line
        while True:
            if text.endswith('\\') and k < len(block):
                text = text[:-1] + ' ' + block[k].strip()
                k += 1
                continue
            try:
                words = shlex.split(text, comments=True)
            except ValueError:  # a quote still open: the command goes on
                if k >= len(block):
                    words = []
                    break
                text += '\n' + block[k]
                k += 1
                continue
            break
        while words and re.match(r'^[A-Za-z_][A-Za-z0-9_]*=', words[0]):
            words = words[1:]
        if words and os.path.basename(words[0]) in KNOWN:
            yield text, words


def skip_reason(words, background):
    program = os.path.basename(words[0])
    if program in ('sudo', 'apt-get', 'apt', 'dpkg'):
        return 'installs'
    if program in ('bash', 'sh') and len(words) > 1 and words[1].startswith('scripts/'):
        return 'installs, builds or packages'
    if program == 'trovik':
        return 'opens the window'
    if program == 'unshare':
        return 'opens an interactive shell'
    if program == 'trovik-cli' and 'serve' in words[1:2] and not background:
        return 'serves until it is stopped'
    return None


def wait_ready(log, seconds=10.0):
    """A background simulator announces READY once it accepts connections."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if 'READY' in log.read_text(errors='replace'):
            return
        time.sleep(0.05)


def run_document(name, blocks, root, env, report):
    background = []
    failures = 0
    try:
        for block in blocks:
            in_shell = False
            for text, words in commands(block):
                is_background = text.rstrip().endswith('&') and not text.rstrip().endswith('&&')
                reason = 'typed inside the shell opened above' if in_shell else \
                    skip_reason(words, is_background)
                if os.path.basename(words[0]) == 'unshare':
                    in_shell = True
                one_line = ' '.join(text.split())
                if reason:
                    report.append('skip  %s: %s (%s)' % (name, one_line, reason))
                    continue
                if is_background:
                    log = pathlib.Path(tempfile.mkstemp(dir=root)[1])
                    with open(log, 'w') as out:
                        background.append(subprocess.Popen(
                            ['bash', '-c', 'exec ' + text.rstrip().rstrip('&')], cwd=root,
                            env=env, stdout=out, stderr=subprocess.STDOUT))
                    wait_ready(log)
                    report.append('start %s: %s' % (name, one_line))
                    continue
                r = subprocess.run(['bash', '-o', 'pipefail', '-c', text], cwd=root, env=env,
                                   capture_output=True, text=True, timeout=120)
                if r.returncode != 0:
                    failures += 1
                    report.append('FAIL  %s: %s (exit %d)\n%s%s' % (name, one_line, r.returncode,
                                                                   r.stdout[-2000:], r.stderr[-2000:]))
                else:
                    report.append('ok    %s: %s' % (name, one_line))
    finally:
        for p in background:
            p.terminate()
            p.wait(timeout=10)
    return failures


def main():
    source = pathlib.Path(sys.argv[1]).resolve()
    tree = pathlib.Path(sys.argv[2]).resolve()
    root = pathlib.Path(tempfile.mkdtemp(prefix='checkout-'))
    (root / 'build' / 'bin').mkdir(parents=True)
    for program in ('app/trovik', 'cli/trovik-cli', 'tools/scpisim/scpisim'):
        if (tree / program).exists():
            (root / 'build' / 'bin' / os.path.basename(program)).symlink_to(tree / program)
    (root / 'docs').symlink_to(source / 'docs')
    home = root / 'home'
    home.mkdir()
    env = dict(os.environ, HOME=str(home), QT_QPA_PLATFORM='offscreen', MANPAGER='cat',
               PAGER='cat', PATH=str(root / 'build' / 'bin') + os.pathsep + os.environ['PATH'])

    documents = [source / 'README.md'] + sorted((source / 'docs').glob('*.md')) \
        + sorted((source / 'docs' / 'manual').glob('*.md'))
    report, failures, ran = [], 0, 0
    for doc in documents:
        blocks = markdown_blocks(doc.read_text(encoding='utf-8'))
        failures += run_document(str(doc.relative_to(source)), blocks, root, env, report)
    for page in sorted((source / 'docs' / 'man').glob('*.1')):
        blocks = man_blocks(page.read_text(encoding='utf-8'))
        failures += run_document(str(page.relative_to(source)), blocks, root, env, report)
    print('\n'.join(report))
    ran = sum(1 for line in report if line.startswith(('ok', 'FAIL')))
    print('%d commands run, %d failed, %d skipped' %
          (ran, failures, sum(1 for line in report if line.startswith('skip'))))
    if ran < 10:
        print('fewer than 10 commands found: the extraction no longer matches the documents')
        return 1
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
