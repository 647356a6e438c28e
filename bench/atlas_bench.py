"""brxtool atlas on large files, in headless Chromium: the page's size
against the .brx file's, the time from the start of loading to the first
structures drawn, and the time to draw a structure far down after its
address is followed. Not part of the test command (figures, not checks).

Usage: /usr/bin/python3 bench/atlas_bench.py BUILD_TREE WORK_FOLDER [STRUCTURES TILES]...
  defaults to 65535 10; each pair is one file made by make_structure_file."""

import os
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "tools"))
from chromium_page import Chromium  # noqa: E402

ROUNDS = 3

# From navigation start: when the page's script drew the first structures
# (from the first part of the records), and when it had read them all.
MARK = """performance.getEntriesByName('%s')[0].startTime"""

# Follows an address and waits for that structure's card, in the page's own
# clock: the time from the change of address to the next frame after it.
FOLLOW = """(async (number) => {
  const start = performance.now();
  location.hash = '#' + number;
  const selector = `#list .structure[data-structure="${number}"]`;
  for (let frames = 0; frames < 600; ++frames) {
    await new Promise((done) => requestAnimationFrame(done));
    if (document.querySelector(selector)) return performance.now() - start;
  }
  return -1;
})"""


def median(values):
    return sorted(values)[len(values) // 2]


def main():
    build, work = Path(sys.argv[1]), Path(sys.argv[2])
    pairs = [int(n) for n in sys.argv[3:]] or [65535, 10]
    work.mkdir(parents=True, exist_ok=True)
    tool = build / "tools" / "brxtool" / "brxtool"
    maker = build / "tests" / "tools" / "make_structure_file"
    for structures, tiles in zip(pairs[0::2], pairs[1::2]):
        brx = work / f"atlas-{structures}x{tiles}.brx"
        html = work / f"atlas-{structures}x{tiles}.html"
        subprocess.run([maker, str(structures), str(tiles), brx], check=True, timeout=600)
        start = time.monotonic()
        subprocess.run([tool, "atlas", brx, html], check=True, timeout=600)
        written = time.monotonic() - start
        ratio = os.path.getsize(html) / os.path.getsize(brx)
        print(f"== {structures:,} structures x {tiles} tiles: .brx {os.path.getsize(brx):,} bytes, "
              f"page {os.path.getsize(html):,} bytes ({ratio:.2f}x, goal <= 2), "
              f"written in {written:.2f} s")
        last = structures - 1 if structures < 60001 else 60000
        first_drawn, all_drawn, follow = [], [], []
        for _ in range(ROUNDS):
            with Chromium(width=1280, height=900, timeout=120) as browser:
                browser.open(html.as_uri(), seconds=120)
                first_drawn.append(browser.evaluate(MARK % "atlas-first-drawn") / 1000)
                all_drawn.append(browser.evaluate(MARK % "atlas-all-drawn") / 1000)
                follow.append(browser.evaluate(f"({FOLLOW})({last})") / 1000)
                if browser.errors:
                    raise SystemExit(f"console errors: {browser.errors}")
        print(f"first structures drawn after the start of loading: {median(first_drawn):.2f} s "
              f"(median of {ROUNDS}; goal <= 3 s)")
        print(f"all structures read, histograms and find ready: {median(all_drawn):.2f} s")
        print(f"#{last} followed and drawn: {median(follow):.3f} s (median of {ROUNDS}; goal <= 1 s)")
        brx.unlink()
        html.unlink()


if __name__ == "__main__":
    main()
