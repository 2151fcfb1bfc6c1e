// The sandbox's pictures in a real browser: a wall drawn with the mouse and water from a tap,
// paused; P offers the screenshot as a download, a PNG that decodes to the scene the canvas
// shows, pixel for pixel, but for the tap's marker, which the window draws over the scene; R, a few frames of the running scene and R again offer the recording,
// a 640 × 480 GIF whose every frame is shown at least 20 ms.
// Usage: node pictures_test.js URL SOURCE_ROOT
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const { Browser, decodePng } = require("./browser");
const { paletteEntry, same, Checks, Screen } = require("./checks");

const [url, sourceRoot] = process.argv.slice(2);
if (!url || !sourceRoot) {
  console.error("usage: node pictures_test.js URL SOURCE_ROOT");
  process.exit(2);
}
const checks = new Checks("pictures_test");
const check = (ok, what) => checks.check(ok, what);

const key = (letter) => ({ key: letter.toLowerCase(), code: `Key${letter}`, vk: letter.charCodeAt(0), text: letter.toLowerCase() });
const space = { key: " ", code: "Space", vk: 32, text: " " };

// The files the browser downloads into `folder`: resolves with the next one's bytes once complete.
function nextDownload(browser, folder, timeoutMs = 20000) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`no download within ${timeoutMs} ms`)), timeoutMs);
    let name = "";
    const listener = (m) => {
      if (m.method === "Browser.downloadWillBegin") name = m.params.suggestedFilename;
      if (m.method !== "Browser.downloadProgress" || m.params.state === "inProgress") return;
      clearTimeout(timer);
      browser.listeners.splice(browser.listeners.indexOf(listener), 1);
      if (m.params.state !== "completed") reject(new Error(`the download of ${name} was ${m.params.state}`));
      else resolve({ name, bytes: fs.readFileSync(path.join(folder, m.params.guid)) });
    };
    browser.listeners.push(listener);
  });
}

// The delays of a GIF's images, in centiseconds, from its graphic control blocks; its screen size.
function gifTiming(bytes) {
  if (bytes.toString("latin1", 0, 6) !== "GIF89a") throw new Error("not a GIF89a file");
  const timing = { width: bytes.readUInt16LE(6), height: bytes.readUInt16LE(8), delays: [] };
  let at = 13 + (bytes[10] & 0x80 ? 3 << ((bytes[10] & 7) + 1) : 0);
  const skipSubBlocks = () => { while (bytes[at] !== 0) at += bytes[at] + 1; ++at; };
  for (;;) {
    if (at >= bytes.length) throw new Error("the GIF has no trailer");
    const block = bytes[at++];
    if (block === 0x3B) return timing;
    if (block === 0x21) {
      if (bytes[at] === 0xF9) timing.delays.push(bytes.readUInt16LE(at + 3));
      ++at;
      skipSubBlocks();
    } else if (block === 0x2C) {
      const flags = bytes[at + 8];
      at += 9 + (flags & 0x80 ? 3 << ((flags & 7) + 1) : 0) + 1;  // the descriptor, a colour table, the LZW size
      skipSubBlocks();
    } else {
      throw new Error(`unknown GIF block ${block}`);
    }
  }
}

async function main() {
  const wall = paletteEntry(sourceRoot, 0);
  const water = paletteEntry(sourceRoot, 1);
  const red = paletteEntry(sourceRoot, 4);  // the window's outlines and the taps' markers, no cell's
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), "ondrel-downloads-"));
  const browser = await Browser.launch({ width: 1600, height: 1300 });
  try {
    await browser.send("Browser.setDownloadBehavior", { behavior: "allowAndName", downloadPath: downloads, eventsEnabled: true });
    const page = await browser.newPage(new URL("sandbox.html", url).href);
    await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "the sandbox's first frame");
    const screen = await Screen.of(page);
    const at = (x, y) => screen.at(x, y);  // a cell of the scene, at the top of the canvas (the menus are the page's)
    const keyTap = async (k) => {
      await page.tap(k);
      await page.waitForFrames(2);
    };

    // A wall with the wall brush, from (200, 300) to (440, 300); a tap at (320, 100) pours onto it.
    await page.mouse("mouseMoved", ...at(200, 300));
    await page.waitForFrames(2);
    await page.mouse("mousePressed", ...at(200, 300), "left", 1);
    await page.waitForFrames(2);
    for (let x = 240; x <= 440; x += 40) {
      await page.mouse("mouseMoved", ...at(x, 300), "none", 1);
      await page.waitForFrames(2);
    }
    await page.mouse("mouseReleased", ...at(440, 300), "left", 0);
    await keyTap(key("T"));
    await page.mouse("mouseMoved", ...at(320, 100));
    await page.mouse("mousePressed", ...at(320, 100), "left", 1);
    await page.mouse("mouseReleased", ...at(320, 100), "left", 0);
    await page.waitForFrames(250);
    // Paused, with the pointer on the status line below the scene (the tool's outline follows it
    // over the scene), the scene stays as the screenshot takes it.
    await keyTap(space);
    await page.mouse("mouseMoved", ...at(320, 485));
    await page.waitForFrames(2);

    let download = nextDownload(browser, downloads);
    await keyTap(key("P"));
    const shot = await download;
    check(/^screenshot-.*\.png$/.test(shot.name), `P offers the screenshot as a download (${shot.name})`);
    const png = decodePng(shot.bytes);
    check(png.width === 640 && png.height === 480, `the screenshot is the 640 × 480 scene (${png.width} × ${png.height})`);
    // The scene as the canvas shows it, with the tap's red marker over it:
    // a 5 × 5 square's edge and its centre.
    const shown = await page.evaluate(`Array.from(document.querySelector("#screen canvas").getContext("2d")
                                        .getImageData(0, 0, 640, 480).data)`);
    let differing = 0, walls = 0, waters = 0, marker = 0, first = null;
    for (let y = 0; y < 480; ++y)
      for (let x = 0; x < 640; ++x) {
        const colour = png.rgb(x, y);
        const i = 4 * (y * 640 + x);
        if (same(colour, red)) ++differing;  // a marker in the screenshot
        if (same([shown[i], shown[i + 1], shown[i + 2]], red) && !same(colour, red)) {
          ++marker;
          continue;
        }
        if (!same(colour, [shown[i], shown[i + 1], shown[i + 2]])) {
          ++differing;
          first = first || `(${x}, ${y}): ${colour}, shown ${shown.slice(i, i + 3)}`;
        }
        if (same(colour, wall)) ++walls;
        if (same(colour, water)) ++waters;
      }
    check(differing === 0 && marker === 17,
          `the screenshot decodes to the scene shown, pixel for pixel, but for the tap's marker (${differing} differ${first ? ", the first at " + first : ""}; ${marker} marker pixels)`);
    check(walls >= 241 && waters > 0, `it holds the wall and the water (${walls} wall cells, ${waters} water cells)`);

    // Running again, R records until R: the file is offered when it ends.
    await keyTap(space);
    await keyTap(key("R"));
    await page.waitForFrames(40);
    download = nextDownload(browser, downloads);
    await keyTap(key("R"));
    const recording = await download;
    check(/^recording-.*\.gif$/.test(recording.name), `R and R again offer the recording as a download (${recording.name})`);
    const timing = gifTiming(recording.bytes);
    check(timing.width === 640 && timing.height === 480, `the recording is of the 640 × 480 scene (${timing.width} × ${timing.height})`);
    check(timing.delays.length >= 5 && timing.delays.every((d) => d >= 2),
          `each of its frames is shown at least 20 ms (delays ${timing.delays.join(" ")} cs)`);
    checks.checkConsole(page, "the sandbox page");
  } finally {
    await browser.close();
    fs.rmSync(downloads, { recursive: true, force: true });
  }
  checks.finish("the sandbox's pictures are downloads of what it shows");
}

main().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
