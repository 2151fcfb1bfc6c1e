// The demonstration's page in a real browser, played through real input events: keypad - and +
// show "Frame Skip :1" for a second; a wall drawn with the mouse and water poured on it with the
// space key are seen in a screenshot of the canvas; Escape ends the program, the page says so
// and starts it again on request. Then the gallery's page: a push button and a menu item turn
// its pages, seen in the canvas; its Files page writes a file and reads it back; Escape ends it.
// Last, the site's front page: it links every program's page and its source, each link answers,
// and an example's page runs it.
// Usage: node page_test.js URL SOURCE_ROOT (URL: the site, whose front page is index.html)
"use strict";
const { Browser, Keys, sleep } = require("./browser");
const { paletteEntry, fontInk, same, wallPath, walledAt, restingAt, textDiffers, watchCorner, textWasShown, Checks, Screen } =
  require("./checks");
const { openGallery, turnGalleryPages } = require("./gallery");
const { pressControl } = require("./controls");

const [url, sourceRoot] = process.argv.slice(2);
if (!url || !sourceRoot) {
  console.error("usage: node page_test.js URL SOURCE_ROOT");
  process.exit(2);
}

const checks = new Checks("page_test");
const check = (ok, what) => checks.check(ok, what);

async function main() {
  const wall = paletteEntry(sourceRoot, 0);
  const water = paletteEntry(sourceRoot, 1);
  const empty = paletteEntry(sourceRoot, 15);
  const text = paletteEntry(sourceRoot, 233);

  // Room for the canvas at twice its size beside the page's touch buttons.
  const browser = await Browser.launch({ width: 1600, height: 1100 });
  let page;
  try {
    page = await browser.newPage(new URL("ondrel.html", url).href);
    await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "the first frame");
    const firstFrame = await page.evaluate("Module.ondrelFirstFrameAt");
    console.log(`first frame shown ${firstFrame.toFixed(0)} ms after the page began to load`);

    // 1600 × 1100 leaves room for twice the window's size both ways, not three times.
    const box = await page.evaluate(`(() => {
      const c = document.querySelector("#screen canvas");
      const r = c.getBoundingClientRect();
      return { left: r.left, top: r.top, width: r.width, height: r.height, pixelsWide: c.width, pixelsHigh: c.height,
               rendering: getComputedStyle(c).imageRendering, title: document.title };
    })()`);
    check(box.pixelsWide === 640 && box.pixelsHigh === 480, `the canvas is the window's 640 × 480 client area (${box.pixelsWide} × ${box.pixelsHigh})`);
    check(box.width === 1280 && box.height === 960, `the canvas is shown at twice its size (${box.width} × ${box.height})`);
    check(box.rendering === "pixelated", `its pixels stay sharp (image-rendering: ${box.rendering})`);
    check(box.title === "Ondrel - from Corvane - Version 1.0", `the page's title is the window's caption ("${box.title}")`);
    const k = box.width / box.pixelsWide;
    const at = (x, y) => [box.left + (x + 0.5) * k, box.top + (y + 0.5) * k];
    const move = (x, y, buttons = 0) => page.mouse("mouseMoved", ...at(x, y), "none", buttons);

    // Keypad - ten times: frame skip 10 becomes 0; then keypad + makes it 1, shown at the top-left
    // corner for a second. Frame skip 1 from here on: every step is shown, so counting shown
    // frames counts steps and the water poured below does not depend on the machine's speed. The
    // frames the page paints are looked at as it paints them: a screenshot may come after the
    // second on a loaded machine.
    for (let i = 0; i < 10; ++i) await page.tap(Keys.subtract);
    await page.waitForFrames(2);
    const label = "Frame Skip :1";
    await watchCorner(page, label.length * 8, 12);
    await page.tap(Keys.add);
    const wrong = await textWasShown(page, label, fontInk(sourceRoot), text, empty);
    const region = { x: box.left, y: box.top, width: label.length * 8 * k, height: 12 * k };
    let shot = checks.lastShot = await page.screenshot(region);
    const inRegion = (x, y) => shot.rgb(Math.floor(x * k), Math.floor(y * k));
    check(wrong === 0, `"${label}" at the top-left corner, pixel for pixel as the font draws it (${wrong} pixels differ)`);
    // A slow machine shows the page late: look again until the text has gone, for up to five seconds.
    let left;
    for (const until = Date.now() + 5000; ;) {
      shot = checks.lastShot = await page.screenshot(region);
      left = textDiffers(inRegion, " ".repeat(label.length), fontInk(sourceRoot), text, empty);
      if (left === 0 || Date.now() > until) break;
      await sleep(100);
    }
    check(left === 0, `the text is gone a second later (${left} pixels not empty)`);

    // A wall from (200, 300) to (440, 300), two strokes thick, drawn in steps as a hand would. The
    // program samples the pointer once a frame: each step waits for frames to be shown, however
    // slow the machine.
    await move(...wallPath[0]);
    await page.waitForFrames(2);
    await page.mouse("mousePressed", ...at(...wallPath[0]), "left", 1);
    await page.waitForFrames(2);
    for (const [x, y] of wallPath.slice(1)) {
      await move(x, y, 1);
      await page.waitForFrames(2);
    }
    await page.mouse("mouseReleased", ...at(...wallPath[wallPath.length - 1]), "left", 0);
    // Water poured from (320, 200) for about sixty steps; then it settles on the wall.
    await move(320, 200);
    await page.waitForFrames(2);
    await page.key("keyDown", Keys.space);
    await page.waitForFrames(60);
    await page.key("keyUp", Keys.space);
    await page.waitForFrames(150);
    const scrolled = await page.evaluate("window.scrollY");
    check(scrolled === 0, `space did not scroll the page (scrollY ${scrolled})`);

    shot = checks.lastShot = await page.screenshot({ x: box.left, y: box.top, width: box.width, height: box.height });
    const pixel = (x, y) => shot.rgb(Math.floor(x * k), Math.floor(y * k));
    // Every device pixel of a window pixel has its colour.
    const block = (x, y) => {
      const first = shot.rgb(Math.floor(x * k), Math.floor(y * k));
      for (let dy = 0; dy < k; ++dy)
        for (let dx = 0; dx < k; ++dx)
          if (!same(shot.rgb(Math.floor(x * k) + dx, Math.floor(y * k) + dy), first)) return false;
      return true;
    };
    let wallCells = 0, sharp = 0;
    for (let x = 200; x <= 440; x += 10) {
      if (walledAt(pixel, x, wall)) ++wallCells;
      if (block(x, 300) && block(x, 299)) ++sharp;
    }
    check(wallCells === 25, `wall colour along the stroke (${wallCells} of 25 points)`);
    check(sharp === 25, `each window pixel is a solid ${k} × ${k} block (${sharp} of 25 points)`);
    check(same(pixel(320, 40), empty), `empty above the pour point (${pixel(320, 40)})`);
    check(same(pixel(320, 330), empty), `no water under the wall (${pixel(320, 330)})`);
    let resting = 0;
    for (let x = 300; x <= 340; x += 5) if (restingAt(pixel, x, wall, water)) ++resting;
    check(resting >= 4, `water rests on the wall below the pour point (${resting} of 9 cells)`);

    checks.lastShot = null;
    // Escape ends the program; the page says so and offers to start again.
    await page.tap(Keys.escape);
    await page.waitFor("!document.getElementById('ended').hidden", 10000, "the page to say the program ended");
    const ending = await page.evaluate(`({ text: document.getElementById('ended-text').textContent,
                                           canvases: document.querySelectorAll('canvas').length })`);
    check(ending.text === "Ondrel has ended.", `the page says "${ending.text}"`);
    check(ending.canvases === 0, `the window is gone (${ending.canvases} canvases)`);
    const button = await page.evaluate(`(() => { const r = document.getElementById('again').getBoundingClientRect();
                                                 return [r.left + r.width / 2, r.top + r.height / 2]; })()`);
    const reloaded = page.waitForEvent("Page.loadEventFired", 20000);
    await page.mouse("mouseMoved", ...button);
    await page.mouse("mousePressed", ...button, "left", 1);
    await page.mouse("mouseReleased", ...button, "left", 0);
    await reloaded;
    await page.waitFor("(Module.ondrelFrames || 0) > 0 && document.getElementById('ended').hidden", 20000, "the program to run again");
    check(true, "Start again runs the program anew");

    checks.checkConsole(page, "the page");
  } finally {
    await browser.close();
  }
  await playGallery(new URL("gallery.html", url).href);
  await visitSite(url);
  checks.finish("the pages play as the programs do");
}

// The front page names each program's page and the page of its source; every link of it, and of
// a source page, answers. hello's page runs hello: its window is blue where nothing is drawn.
async function visitSite(siteUrl) {
  const browser = await Browser.launch({ width: 1400, height: 1100 });
  try {
    let page = await browser.newPage(siteUrl);
    const links = await page.evaluate(`[...document.querySelectorAll("a")].map((a) => a.href)`);
    const programs = { ondrel: "ondrel.html", "ondrel-gallery": "gallery.html", "ondrel-sandbox": "sandbox.html",
                       hello: "hello.html", paint: "paint.html", tasks: "tasks.html" };
    for (const [program, file] of Object.entries(programs)) {
      const both = [file, `source/${program}.html`].map((name) => new URL(name, siteUrl).href);
      check(both.every((link) => links.includes(link)), `the front page links ${file} and the source of ${program}`);
    }
    const answers = async (hrefs) => page.evaluate(`Promise.all(${JSON.stringify(hrefs)}.map((h) =>
        fetch(h).then((r) => r.status + " " + h, () => "no answer from " + h)))`);
    const failing = (await answers(links)).filter((status) => !status.startsWith("200 "));
    check(failing.length === 0, `every link of the front page answers (${failing.join(", ") || "all 200"})`);

    page = await browser.newPage(new URL("source/hello.html", siteUrl).href);
    const source = await page.evaluate(`({ text: document.body.textContent,
                                           links: [...document.querySelectorAll("a")].map((a) => a.href) })`);
    check(source.text.includes("examples/hello.cpp") && source.text.includes("int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {"),
          "hello's source page shows examples/hello.cpp as it stands");
    const back = (await answers(source.links)).filter((status) => !status.startsWith("200 "));
    check(back.length === 0, `the source page's links answer (${back.join(", ") || "all 200"})`);

    page = await browser.newPage(new URL("hello.html", siteUrl).href);
    await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "hello's first frame");
    const screen = await Screen.of(page);
    const shot = checks.lastShot = await screen.shot(600, 40, 1, 1);
    const blue = paletteEntry(sourceRoot, 1);
    check(same(shot.rgb(600, 40), blue), `hello runs in its page: its window is blue (${shot.rgb(600, 40)})`);
    checks.lastShot = null;
    checks.checkConsole(page, "hello's page");
  } finally {
    await browser.close();
  }
}

async function playGallery(galleryUrl) {
  // Room for twice the gallery's 640 × 480 client area under its menus, beside its buttons.
  const browser = await Browser.launch({ width: 1400, height: 1200 });
  try {
    await playGalleryIn(await browser.newPage(galleryUrl));
  } finally {
    await browser.close();
  }
}

async function playGalleryIn(page) {
  const gallery = await openGallery(page, checks);
  const { pixel } = gallery;
  const click = async ([x, y]) => {
    await page.mouse("mouseMoved", x, y);
    await page.mouse("mousePressed", x, y, "left", 1);
    await page.mouse("mouseReleased", x, y, "left", 0);
  };
  await turnGalleryPages(gallery, checks, click, "clicking");

  // Files: the sheet, three times larger at client (16, 64), saved, loaded back and shown again
  // at (16, 226). Its top-left pixel is a sprite marker, bright red (media/sprites.txt).
  await pressControl(page, click, "button", "Files");
  await page.waitForFrames(3);
  const marker = [255, 85, 85];
  const loaded = await pixel(17, 65);
  const loadedBack = await pixel(17, 227);
  check(same(loaded, marker) && same(loadedBack, marker),
        `the Files page saves the sheet in the page's file system and loads it back (${loaded} and ${loadedBack})`);

  checks.lastShot = null;
  await page.tap(Keys.escape);
  await page.waitFor("!document.getElementById('ended').hidden", 10000, "the gallery's page to say it ended");
  const text = await page.evaluate("document.getElementById('ended-text').textContent");
  check(text === "Ondrel gallery has ended.", `Escape ends the gallery: the page says "${text}"`);
  checks.checkConsole(page, "the gallery page");
}

main().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
