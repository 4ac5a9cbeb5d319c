#!/usr/bin/env python3
"""Checks that every relative link and anchor of README.md and docs/*.md resolves.

Anchors follow GitHub's rules: a heading's text (without its Markdown marks) in lower case, every character
that is not a letter, a digit, '_', '-' or a space dropped, spaces turned into '-', and a repeated anchor
given '-1', '-2', ... Usage: check_links.py SOURCE_DIR
"""
import re
import sys
from pathlib import Path

LINK = re.compile(r'!?\[(?:[^\]\[]|\[[^\]]*\])*\]\(([^)\s]+)(?:\s+"[^"]*")?\)')
HEADING = re.compile(r'^(#{1,6})\s+(.*?)\s*#*\s*$')
FENCE = re.compile(r'^\s*(```|~~~)')


def prose_lines(text):
    """The lines outside fenced code blocks, with their numbers."""
    fenced = False
    for number, line in enumerate(text.split('\n'), start=1):
        if FENCE.match(line):
            fenced = not fenced
            continue
        if not fenced:
            yield number, line


def anchor_of(heading):
    text = re.sub(r'!?\[([^\]]*)\]\([^)]*\)', r'\1', heading)  # a link in a heading counts by its text
    text = re.sub(r'[`*]', '', text).lower()
    text = re.sub(r'[^\w\- ]', '', text)
    return text.replace(' ', '-')


def anchors_of(path):
    anchors, seen = set(), {}
    for _, line in prose_lines(path.read_text(encoding='utf-8')):
        match = HEADING.match(line)
        if match:
            anchor = anchor_of(match.group(2))
            count = seen.get(anchor, 0)
            seen[anchor] = count + 1
            anchors.add(anchor if count == 0 else f'{anchor}-{count}')
    return anchors


def broken_links(page, root):
    for number, line in prose_lines(page.read_text(encoding='utf-8')):
        line = re.sub(r'`[^`]*`', '', line)  # code spans hold no links
        for match in LINK.finditer(line):
            target = match.group(1)
            if re.match(r'^[a-z][a-z0-9+.-]*:', target):  # https:, mailto: and the like
                continue
            file_part, _, anchor = target.partition('#')
            linked = (page.parent / file_part).resolve() if file_part else page
            where = f'{page.relative_to(root)}:{number}: {target}'
            if not linked.exists():
                yield f'{where}: no such file'
            elif anchor and linked.suffix == '.md' and anchor not in anchors_of(linked):
                yield f'{where}: no heading gives the anchor #{anchor}'
            elif anchor and linked.suffix != '.md':
                yield f'{where}: an anchor into a file that is not Markdown'


def main():
    root = Path(sys.argv[1]).resolve()
    pages = [root / 'README.md', *sorted((root / 'docs').glob('*.md'))]
    problems = [problem for page in pages for problem in broken_links(page, root)]
    for problem in problems:
        print(problem)
    checked = sum(1 for page in pages for _ in prose_lines(page.read_text(encoding='utf-8')))
    print(f'{len(pages)} pages ({checked} lines): {len(problems)} broken links')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
