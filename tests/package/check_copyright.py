#!/usr/bin/python3
"""Checks a machine-readable copyright file (DEP-5, copyright-format 1.0):
python3-debian must parse it strictly, it must have a Files paragraph for
"*", and every licence that a Files paragraph names must have its text,
either in that paragraph or in a standalone License paragraph. lintian does
none of this for a binary package.

Usage: check_copyright.py FILE"""
import re
import sys

from debian.copyright import Copyright, NotMachineReadableError


def main(path):
    try:
        with open(path, encoding="utf-8") as stream:
            copyright = Copyright(stream, strict=True)
    except (NotMachineReadableError, ValueError) as error:
        return f"{path}: not machine-readable: {error}"
    files = list(copyright.all_files_paragraphs())
    if not any("*" in paragraph.files for paragraph in files):
        return f"{path}: no Files paragraph for *"
    texts = {p.license.synopsis for p in copyright.all_license_paragraphs() if p.license.text}
    missing = sorted({
        name
        for paragraph in files if not paragraph.license.text
        for name in re.split(r",?\s+(?:or|and)\s+", paragraph.license.synopsis)
        if name not in texts
    })
    if missing:
        return f"{path}: no licence text for {', '.join(missing)}"
    return None


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
