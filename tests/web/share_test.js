// The sandbox's scene as a link, in a real browser: walls drawn with the straight-wall tool and a
// tap, paused; the page's Share button puts the link into the page's address and says so on the
// status line; a new page opened on that address starts on the same walls and tap (and takes the
// link out of its own address), and a page opened on the link cut short keeps its scene and says
// why. With ONDREL_WEB_LINK_FILE set, the link is written there too (tests/data/browser_link.txt
// is one, which tests/scene_link_test.cpp opens on the desktop).
// Usage: node share_test.js URL SOURCE_ROOT
"use strict";
const fs = require("fs");
const { Browser, Keys } = require("./browser");
const { paletteEntry, fontInk, same, textDiffers, Checks, Screen } = require("./checks");
const { windowReady } = require("./controls");

const [url, sourceRoot] = process.argv.slice(2);
if (!url || !sourceRoot) {
  console.error("usage: node share_test.js URL SOURCE_ROOT");
  process.exit(2);
}
const checks = new Checks("share_test");
const check = (ok, what) => checks.check(ok, what);

const key = (letter) => ({ key: letter.toLowerCase(), code: `Key${letter}`, vk: letter.charCodeAt(0), text: letter.toLowerCase() });
const smaller = { key: "[", code: "BracketLeft", vk: 219, text: "[" };

// The walls drawn below with a brush of one cell: a cup of three straight walls.
const drawn = [[[100, 200], [300, 200]], [[100, 150], [100, 250]], [[300, 150], [300, 250]]];
const tap = [200, 120];
function expectedWalls() {
  const cells = new Set();
  for (const [[x0, y0], [x1, y1]] of drawn)
    for (let y = Math.min(y0, y1); y <= Math.max(y0, y1); ++y)
      for (let x = Math.min(x0, x1); x <= Math.max(x0, x1); ++x) cells.add(y * 640 + x);
  return cells;
}

// The cells of the scene (the canvas' top 640 × 480) in the wall colour, as the canvas holds them.
async function wallsShown(page, wall) {
  const rgba = await page.evaluate(`Array.from(document.querySelector("#screen canvas").getContext("2d")
                                     .getImageData(0, 0, 640, 480).data)`);
  const cells = new Set();
  for (let i = 0; i < 640 * 480; ++i) if (same(rgba.slice(4 * i, 4 * i + 3), wall)) cells.add(i);
  return { cells, rgb: (x, y) => rgba.slice(4 * (y * 640 + x), 4 * (y * 640 + x) + 3) };
}

const sameSet = (a, b) => a.size === b.size && [...a].every((c) => b.has(c));

// The status line's second row, as the window draws it at (4, 494): how many pixels differ from
// `text` in white on black.
async function statusDiffers(page, text, ink) {
  const rgba = await page.evaluate(`Array.from(document.querySelector("#screen canvas").getContext("2d")
                                     .getImageData(4, 494, ${text.length * 8}, 12).data)`);
  const pixel = (x, y) => rgba.slice(4 * (y * text.length * 8 + x), 4 * (y * text.length * 8 + x) + 3);
  return textDiffers(pixel, text, ink, [255, 255, 255], [0, 0, 0]);
}

// A page of the sandbox once it shows its window: its menus and buttons on the page (they take
// room from the canvas, which is measured after), the status rows under the scene with ink.
async function openSandbox(browser, address) {
  const page = await browser.newPage(address);
  await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "the sandbox's first frame");
  await windowReady(page, "Undo");
  await page.waitFor(`(Module.ondrelFrames || 0) > 0 && document.querySelector("#screen canvas").getContext("2d")
                        .getImageData(0, 480, 640, 28).data.some((v, i) => i % 4 !== 3 && v !== 0)`, 20000, "the sandbox's first frame");
  await page.waitForFrames(2);
  return page;
}

// What differs between two sets of cells, for the report: a few of each side's own.
function setDifference(shown, expected) {
  const at = (c) => `(${c % 640}, ${Math.floor(c / 640)})`;
  const extra = [...shown].filter((c) => !expected.has(c)).slice(0, 4).map(at);
  const missing = [...expected].filter((c) => !shown.has(c)).slice(0, 4).map(at);
  return extra.length || missing.length ? `; extra ${extra.join(" ")}, missing ${missing.join(" ")}` : "";
}

async function main() {
  const wall = paletteEntry(sourceRoot, 0);
  const red = paletteEntry(sourceRoot, 4);  // the taps' markers
  const ink = fontInk(sourceRoot);
  const browser = await Browser.launch({ width: 1600, height: 1300 });
  try {
    const page = await openSandbox(browser, new URL("sandbox.html", url).href);
    const screen = await Screen.of(page);
    const at = (x, y) => screen.at(x, y);
    const keyTap = async (k) => {
      await page.tap(k);
      await page.waitForFrames(2);
    };
    await keyTap(Keys.space);  // paused: the tap pours nothing until the link is opened
    for (let i = 0; i < 3; ++i) await keyTap(smaller);
    await keyTap(key("L"));
    for (const [[x0, y0], [x1, y1]] of drawn) {
      await page.mouse("mouseMoved", ...at(x0, y0));
      await page.mouse("mousePressed", ...at(x0, y0), "left", 1);
      await page.waitForFrames(2);
      await page.mouse("mouseMoved", ...at(x1, y1), "left", 1);
      await page.waitForFrames(2);
      await page.mouse("mouseReleased", ...at(x1, y1), "left", 0);
      await page.waitForFrames(2);
    }
    await keyTap(key("T"));
    await page.mouse("mouseMoved", ...at(...tap));
    await page.mouse("mousePressed", ...at(...tap), "left", 1);
    await page.mouse("mouseReleased", ...at(...tap), "left", 0);
    await page.mouse("mouseMoved", ...at(320, 485));  // the pointer's outline off the scene
    await page.waitForFrames(2);
    const before = await wallsShown(page, wall);
    check(sameSet(before.cells, expectedWalls()),
          `the three walls are drawn, cell for cell (${before.cells.size} wall cells${setDifference(before.cells, expectedWalls())})`);

    // Share, the page's button beside the others.
    const share = await page.evaluate(`(() => {
      const b = [...document.querySelectorAll("#touch-buttons button")].find((e) => e.textContent === "Share");
      if (!b) return null;
      const r = b.getBoundingClientRect();
      return [r.left + r.width / 2, r.top + r.height / 2];
    })()`);
    check(share !== null, "the page has a Share button");
    await page.mouse("mouseMoved", ...share);
    await page.mouse("mousePressed", ...share, "left", 1);
    await page.waitForFrames(2);
    await page.mouse("mouseReleased", ...share, "left", 0);
    const link = await page.waitFor(`location.hash.startsWith("#scene=1.") && location.href`, 10000, "the link in the address");
    check(link.startsWith(new URL("sandbox.html", url).href + "#scene=1."), `Share puts the link into the page's address (${link.length} characters)`);
    check(/^[A-Za-z0-9_-]+$/.test(link.slice(link.indexOf(".", link.indexOf("#")) + 1)), "its data are of base64url's alphabet");
    await page.waitForFrames(2);
    const said = `Tap 1 | Link in the address bar (${link.length} characters), copied where allowed`;
    const wrongInk = await statusDiffers(page, said, ink);
    check(wrongInk === 0, `the status line says "${said}" (${wrongInk} pixels differ)`);
    if (process.env.ONDREL_WEB_LINK_FILE) fs.writeFileSync(process.env.ONDREL_WEB_LINK_FILE, link + "\n");
    checks.checkConsole(page, "the sharing page");

    // The link in a new page: the same walls and tap, and the address without the link.
    const opened = await openSandbox(browser, link);
    await opened.tap(Keys.space);  // paused, though its tap may already have poured
    await opened.waitForFrames(2);
    const after = await wallsShown(opened, wall);
    check(sameSet(after.cells, before.cells),
          `the new page shows the same walls (${after.cells.size} wall cells${setDifference(after.cells, before.cells)})`);
    const marker = [[-2, -2], [2, -2], [-2, 2], [2, 2], [0, 0]].every(([dx, dy]) => same(after.rgb(tap[0] + dx, tap[1] + dy), red));
    check(marker, `and the tap at (${tap[0]}, ${tap[1]})`);
    const address = await opened.evaluate("location.href");
    check(address === new URL("sandbox.html", url).href, `the new page takes the link out of its address (${address.slice(0, 60)})`);
    checks.checkConsole(opened, "the opened page");

    // The link cut short: refused on the status line.
    const cut = await openSandbox(browser, link.slice(0, link.length - 8));
    const refused = "Wall 4 | Not opened: a damaged scene link (cut short)";
    const refusedInk = await statusDiffers(cut, refused, ink);
    check(refusedInk === 0, `a link cut short is refused: "${refused}" (${refusedInk} pixels differ)`);
  } finally {
    await browser.close();
  }
  checks.finish("a scene shared as a link opens in a new page as it was");
}

main().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
