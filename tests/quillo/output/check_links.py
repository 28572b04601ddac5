#!/usr/bin/env python3
"""Reads HTML pages with html.parser and checks that every HREF and SRC names a file that
exists, relative to the page's folder, after percent-decoding. Prints each broken link and
exits 1 when there is one; exits 2 when a page holds no link at all."""

import os
import sys
from html.parser import HTMLParser
from urllib.parse import unquote


class Links(HTMLParser):
    def __init__(self):
        super().__init__()
        self.links = []

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name in ("href", "src") and value is not None:
                self.links.append(value)


broken = 0
for page in sys.argv[1:]:
    parser = Links()
    with open(page, encoding="utf-8", errors="surrogateescape") as f:
        parser.feed(f.read())
    if not parser.links:
        print(f"{page}: no links")
        sys.exit(2)
    folder = os.path.dirname(page)
    for link in parser.links:
        target = os.path.join(folder, unquote(link, errors="surrogateescape"))
        if not os.path.isfile(target):
            print(f"{page}: {link} -> {target} missing")
            broken += 1
sys.exit(1 if broken else 0)
