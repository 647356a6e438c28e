"""brxtool atlas pages opened in headless Chromium: what the page shows, read
back from its DOM and compared with the document as brxtool dumps it.
Usage: /usr/bin/python3 atlas_browser_test.py BRXTOOL FORMAT.md WORK_FOLDER"""

import json
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chromium_page import Chromium  # noqa: E402

TOOL, FORMAT_DOC, WORK = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
failures = []


def check(what, condition, detail=""):
    print(("ok    " if condition else "FAIL  ") + what + (f": {detail}" if not condition else ""))
    if not condition:
        failures.append(what)


def tool(*args, expect=0):
    run = subprocess.run([TOOL, *map(str, args)], capture_output=True, timeout=120)
    if run.returncode != expect:
        raise SystemExit(f"brxtool {' '.join(map(str, args))}: exit {run.returncode}\n"
                         f"{run.stderr.decode(errors='replace')}")
    return run.stdout.decode()


def build(name, document):
    source = WORK / f"{name}.json"
    source.write_text(json.dumps(document))
    brx = WORK / f"{name}.brx"
    tool("build", source, brx)
    return brx


def dumped(brx):
    """The document as brxtool itself reads it back from the file."""
    return json.loads(tool("dump", "--json", brx))["structures"]


def structure(armour=0, flags=(), tiles=()):
    return {"Armour": armour, "HitPoints": 0, "Density": 0, "Flags": list(flags),
            "WallOrientation": 0, "DestructionPartner": 0, "PartnerDelta": 0,
            "ZTileOffsetX": 0, "ZTileOffsetY": 0, "Tiles": list(tiles)}


def tile(x, y, shape=None, tile_flags=0):
    return {"sPosRelToBase": 0, "bXPosRelToBase": x, "bYPosRelToBase": y,
            "Shape": shape or [[0] * 5 for _ in range(5)], "TileFlags": tile_flags,
            "ubVehicleHitLocation": 0}


def worked_example():
    text = FORMAT_DOC.read_text()
    section = text[text.index("## A worked example"):]
    return json.loads(re.search(r"```json\n(.*?)```", section, re.S).group(1))


# What the page shows of a structure's card: its cells (title, colour,
# place), its tiles (place, classes, marker pseudo-elements), its fields.
READ_CARD = """(number) => {
  const card = document.querySelector(`#list .structure[data-structure="${number}"]`);
  if (!card) return null;
  const box = (e) => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; };
  return {
    tiles: [...card.querySelectorAll('.tile')].map((t) => ({
      tile: Number(t.dataset.tile), box: box(t), classes: [...t.classList],
      border: getComputedStyle(t).borderTopColor,
      before: getComputedStyle(t, '::before').content, after: getComputedStyle(t, '::after').content,
      cells: [...t.querySelectorAll('.cell')].map((c) => ({
        title: c.title, colour: getComputedStyle(c).backgroundColor, box: box(c),
        outline: getComputedStyle(c).outlineStyle})),
    })),
    fields: Object.fromEntries([...card.querySelectorAll('.facts > .fields > .field')].map((f) =>
      [f.dataset.field, f.querySelector('.value').textContent])),
    changedFields: [...card.querySelectorAll('.field.changed')].map((f) =>
      [f.dataset.field, f.querySelector('.value').textContent, f.querySelector('.old').textContent]),
    flags: [...card.querySelectorAll('.flag')].map((f) => [f.textContent, f.className]),
    text: card.textContent,
  };
}"""

# Scrolls the whole list through and gathers the structures drawn on the way.
ALL_SHOWN = """(async () => {
  const frame = () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
  const seen = new Set();
  window.scrollTo(0, 0);
  for (let guard = 0; guard < 100000; ++guard) {
    await frame();
    for (const card of document.querySelectorAll('#list .structure')) {
      const r = card.getBoundingClientRect();
      if (r.bottom > 0 && r.top < innerHeight) seen.add(Number(card.dataset.structure));
    }
    if (innerHeight + scrollY >= document.documentElement.scrollHeight - 1) break;
    window.scrollBy(0, innerHeight / 2);
  }
  return [...seen].sort((a, b) => a - b);
})()"""


IN_VIEW = """(number) => {
  const card = document.querySelector(`#list .structure[data-structure="${number}"]`);
  if (!card) return false;
  const r = card.getBoundingClientRect();
  const bar = document.getElementById('find-bar').getBoundingClientRect();
  return r.top >= bar.bottom - 1 && r.bottom <= innerHeight && card.classList.contains('target');
}"""


def card(browser, number):
    return browser.evaluate(f"({READ_CARD})({number})")


def cell_value(title):
    name, value = title.split(" = ")
    return name, int(value.split(" ")[0])


def shape_cells(structures, number, tile_number):
    rows = structures[number]["Tiles"][tile_number]["Shape"]
    return {f"Shape[{r}][{c}]": rows[r][c] for r in range(5) for c in range(5)}


def check_shading(browser, structures, number, what):
    """Every cell of every tile of the structure's card: its value under its
    name, its shade, and its place (rows down, columns across)."""
    wrong = []
    tiles = card(browser, number)["tiles"]
    numbers = sorted(drawn["tile"] for drawn in tiles)
    check(f"{what}: structure {number}'s card draws each of its tiles once",
          numbers == list(range(len(structures[number]["Tiles"]))), numbers)
    for drawn in tiles:
        expected = shape_cells(structures, number, drawn["tile"])
        got = {}
        box = {}
        for cell in drawn["cells"]:
            name, value = cell_value(cell["title"])
            got[name] = value
            box[name] = cell["box"]
            shade = 255 - expected.get(name, -1)
            if cell["colour"] != f"rgb({shade}, {shade}, {shade})":
                wrong.append(f"tile {drawn['tile']} {name} is {cell['colour']}")
        if got != expected:
            wrong.append(f"tile {drawn['tile']} shows {got}")
        elif not all(box[f"Shape[{r}][{c + 1}]"][0] > box[f"Shape[{r}][{c}]"][0] and
                     box[f"Shape[{r + 1}][{c}]"][1] > box[f"Shape[{r}][{c}]"][1] and
                     box[f"Shape[{r}][{c + 1}]"][1] == box[f"Shape[{r}][{c}]"][1]
                     for r in range(4) for c in range(4)):
            wrong.append(f"tile {drawn['tile']}: rows do not run down and columns across")
    check(f"{what}: structure {number}'s cells shaded by their values, in place", not wrong, wrong)


def page(brx, name, *options):
    html = WORK / name
    tool("atlas", *options, brx, html)
    return html


def test_worked_example(browser):
    brx = build("example", worked_example())
    browser.open(page(brx, "example.html").as_uri())
    check_shading(browser, dumped(brx), 0, "worked example")
    shown = card(browser, 0)
    check("worked example: Armour shown", shown["fields"].get("Armour") == "40",
          shown["fields"])
    check("worked example: flags shown as labels",
          [f[0] for f in shown["flags"]] == ["BaseTile", "Wall"], shown["flags"])
    check("worked example: a structure without tiles says so",
          "No tiles." in card(browser, 1)["text"])


def test_placement(browser):
    offsets = [(0, 0), (1, 0), (0, 2), (-1, -1), (3, 1)]
    tiles = [tile(x, y, tile_flags=[0, 1, 2, 3, 0][k]) for k, (x, y) in enumerate(offsets)]
    brx = build("placement", {"structures": [structure(tiles=tiles)]})
    browser.open(page(brx, "placement.html").as_uri())
    shown = {t["tile"]: t for t in card(browser, 0)["tiles"]}
    base = shown[0]["box"]
    step = shown[1]["box"][0] - base[0]
    check("placement: one tile to the right is one tile's step away", step > shown[0]["box"][2] / 2)
    for k, (x, y) in enumerate(offsets):
        box = shown[k]["box"]
        check(f"placement: tile {k} at offset {x}, {y}",
              (round((box[0] - base[0]) / step), round((box[1] - base[1]) / step)) == (x, y), box)
    check("placement: only the tile at 0, 0 is marked base",
          [k for k in shown if "base" in shown[k]["classes"]] == [0])
    check("placement: the base tile's border stands out",
          shown[0]["border"] != shown[1]["border"], shown[0]["border"])
    marker = {k: (shown[k]["before"] != "none", shown[k]["after"] != "none") for k in shown}
    check("placement: roof and passable marked by TileFlags bits 0 and 1",
          [marker[k] for k in range(4)] == [(False, False), (True, False), (False, True),
                                            (True, True)], marker)


def test_find(browser):
    structures = []
    for i in range(60):
        flags = [label for label, every in (("Door", 3), ("D Door left", 5), ("Wall", 4),
                                            ("Wire Fence", 7)) if i % every == 0]
        # Tiles enough that the records run past the part the page draws first.
        shapes = [[[(i * 7 + j * 3 + r * 5 + c) % 256 for c in range(5)] for r in range(5)]
                  for j in range(30)]
        structures.append(structure(armour=(i * 37) % 256, flags=flags,
                                    tiles=[tile(j % 6, j // 6, shapes[j]) for j in range(30)]))
    brx = build("find", {"structures": structures})
    doc = dumped(brx)
    html = page(brx, "find.html")
    browser.open(html.as_uri())
    numbered = list(enumerate(doc))
    cases = [
        ("Door", [i for i, s in numbered if "Door" in s["Flags"]]),
        ("Armour>50", [i for i, s in numbered if s["Armour"] > 50]),
        ("Door Armour<20", [i for i, s in numbered if "Door" in s["Flags"] and s["Armour"] < 20]),
        ("wire fence", [i for i, s in numbered if "Wire Fence" in s["Flags"]]),
        ('"D Door left" armour>=100', [i for i, s in numbered
                                       if "D Door left" in s["Flags"] and s["Armour"] >= 100]),
        ("17", [17]),
    ]
    for query, expected in cases:
        browser.evaluate("(() => { const f = document.getElementById('find'); f.value = ''; "
                         "f.dispatchEvent(new Event('input')); f.focus(); })()")
        browser.type_text(query)
        got = browser.evaluate(ALL_SHOWN)
        check(f"find {query!r}: exactly the matching structures", got == expected,
              f"got {got}, expected {expected}")
        count = browser.evaluate("document.getElementById('find-count').textContent")
        check(f"find {query!r}: the count of matches", count.startswith(f"{len(expected)} "), count)
        check(f"find {query!r}: understood",
              browser.evaluate("document.getElementById('find-problem').textContent") == "")
    browser.evaluate("(() => { const f = document.getElementById('find'); f.value = ''; "
                     "f.dispatchEvent(new Event('input')); f.focus(); })()")
    browser.type_text("Amour>50")
    problem = browser.evaluate("document.getElementById('find-problem').textContent")
    check("find: a query it does not understand is named", "Amour" in problem, problem)

    # A histogram's bar finds the structures it counts.
    bar = browser.evaluate("""(() => {
      const bar = document.querySelector('.histogram[data-field="Armour"] .bar');
      bar.click();
      return bar.title; })()""")
    low, high = map(int, re.match(r"Armour (-?\d+) to (-?\d+):", bar).groups())
    expected = [i for i, s in numbered if low <= s["Armour"] <= high]
    check(f"the histogram's bar {bar!r} counts its structures", f": {len(expected)} structure" in bar)
    check("clicking a histogram's bar finds its structures", browser.evaluate(ALL_SHOWN) == expected)

    # Addresses: a link that opens the page at a structure far down, then a
    # change of address within the page.
    browser.open("about:blank")
    browser.open(f"{html.as_uri()}#45")
    check("#45 opens the page at structure 45", browser.evaluate(f"({IN_VIEW})(45)"))
    browser.evaluate("location.hash = '#1'")
    browser.wait_for("#1 to bring structure 1 into view", f"({IN_VIEW})(1)")
    for number in range(len(doc)):
        browser.evaluate(f"location.hash = '#{number}'")
        browser.wait_for(f"structure {number}", f"({IN_VIEW})({number})")
        check_shading(browser, doc, number, "a file of 58 KB")

    # A range of structures, under their own numbers.
    browser.open(page(brx, "range.html", "--from", 20, "--to", 29).as_uri())
    check("--from 20 --to 29: exactly those structures", browser.evaluate(ALL_SHOWN) ==
          list(range(20, 30)))
    browser.evaluate("location.hash = '#25'")
    browser.wait_for("#25 in a range", f"({IN_VIEW})(25)")
    check_shading(browser, doc, 25, "--from 20 --to 29")
    browser.evaluate("location.hash = '#5'")
    problem = browser.wait_for("#5 outside the range named",
                               "document.getElementById('find-problem').textContent")
    check("#5 outside the range: the page says which it holds", "20 to 29" in problem, problem)


def test_compare(browser):
    old = build("example", worked_example())
    new = WORK / "changed.brx"
    shutil.copyfile(old, new)
    tool("set", new, "0.Armour=41", "0.tiles.0.Shape[1][0]=7", "0.Flags+=Door", "0.Flags-=Wall")
    browser.open(page(new, "compare.html", "--compare", old).as_uri())
    shown = card(browser, 0)
    outlined = [c["title"] for t in shown["tiles"] for c in t["cells"] if c["outline"] != "none"]
    check("compare: the one changed cell outlined", outlined == ["Shape[1][0] = 7 (was 6)"],
          outlined)
    check("compare: the one changed field with its old value",
          shown["changedFields"] == [["Armour", "41", "was 40"]], shown["changedFields"])
    check("compare: flags set and cleared named",
          [f for f in shown["flags"] if f[1] != "flag"] ==
          [["Wall", "flag removed"], ["+Door", "flag added"]], shown["flags"])
    summary = browser.evaluate("document.getElementById('compare-summary').textContent")
    check("compare: the count of changed structures", "1 structure changed" in summary, summary)
    browser.evaluate("document.getElementById('changes-only').click()")
    check("compare: changes only", browser.evaluate(ALL_SHOWN) == [0])

    # Against a file without structure 1 and without structure 0's tile.
    older = worked_example()
    older["structures"] = older["structures"][:1]
    older["structures"][0]["Tiles"] = []
    browser.open(page(new, "added.html", "--compare", build("older", older)).as_uri())
    marks = browser.evaluate("""[0, 1].map((n) => {
      const card = document.querySelector(`#list .structure[data-structure="${n}"]`);
      return {added: !!card.querySelector('h2 .mark.added'),
              tiles: [...card.querySelectorAll('.tile')].map((t) => t.classList.contains('added'))};
    })""")
    check("compare: an added tile marked", marks[0] == {"added": False, "tiles": [True]}, marks[0])
    check("compare: an added structure marked", marks[1]["added"], marks[1])
    summary = browser.evaluate("document.getElementById('compare-summary').textContent")
    check("compare: both structures counted as changed", "2 structures changed" in summary, summary)


def test_hostile_name(browser):
    name = "\"><img src=x onerror=\"document.title='owned'\">&amp;<b>x<!--'.brx"
    brx = WORK / name
    shutil.copyfile(build("example", worked_example()), brx)
    browser.open(page(brx, "hostile.html").as_uri())
    shown = browser.evaluate("""({title: document.title,
      heading: document.getElementById('title').textContent,
      injected: document.querySelectorAll('img, b').length})""")
    check("a hostile file name: the title is the name", shown["title"] == name, shown["title"])
    check("a hostile file name: the heading is the name", shown["heading"] == name,
          shown["heading"])
    check("a hostile file name: no element made of it", shown["injected"] == 0)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    with Chromium(width=1200, height=700) as browser:
        for test in (test_worked_example, test_placement, test_find, test_compare,
                     test_hostile_name):
            before = len(browser.errors)
            test(browser)
            check(f"{test.__name__}: no console errors", len(browser.errors) == before,
                  browser.errors[before:])
    print(f"{len(failures)} failed" if failures else "all atlas browser checks passed")
    if not failures:
        shutil.rmtree(WORK, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
