// The sandbox's page as an app on a phone: Chromium finds it installable (its manifest and icons);
// after a first visit, in which a finger draws a wall and File > Save keeps the scene in the
// browser's storage, the network goes off (DevTools network emulation, for the page and for its
// service worker), and the page loads again: the sandbox plays (a finger draws), and File > Open
// shows the saved scene, which a tap opens.
// Usage: node offline_test.js URL SOURCE_ROOT
"use strict";
const { Browser } = require("./browser");
const { paletteEntry, Checks, Screen, cellsOf } = require("./checks");
const { Fingers, stroke } = require("./touch");
const { pressControl, pickMenuItem, windowReady } = require("./controls");

const [url, sourceRoot] = process.argv.slice(2);
if (!url || !sourceRoot) {
  console.error("usage: node offline_test.js URL SOURCE_ROOT");
  process.exit(2);
}
const checks = new Checks("offline_test");
const check = (ok, what) => checks.check(ok, what);
const wall = paletteEntry(sourceRoot, 0);
const phone = { width: 390, height: 844, scale: 3 };

// The wall cells of rows y0 … y1 of the scene between x0 and x1.
const wallCells = (screen, x0, x1, y0, y1) => cellsOf(checks, screen, wall, x0, x1, y0, y1);

// The scene files the browser keeps for the page (IndexedDB, where the page's /scenes lives).
function keptScenes(page) {
  return page.evaluate(`new Promise((resolve) => {
    const opened = indexedDB.open("/scenes");
    opened.onerror = () => resolve([]);
    opened.onsuccess = () => {
      const db = opened.result;
      if (!db.objectStoreNames.contains("FILE_DATA")) return resolve([]);
      const keys = db.transaction("FILE_DATA").objectStore("FILE_DATA").getAllKeys();
      keys.onsuccess = () => resolve(keys.result.map(String).filter((k) => /\\/scene-[^/]*\\.bmp$/.test(k)));
      keys.onerror = () => resolve([]);
    };
  })`);
}

// The network off for the page and for every service worker of the browser.
async function goOffline(browser, page) {
  const conditions = { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 };
  await page.send("Network.enable");
  await page.send("Network.emulateNetworkConditions", conditions);
  const { targetInfos } = await browser.send("Target.getTargets");
  let workers = 0;
  for (const target of targetInfos.filter((t) => t.type === "service_worker")) {
    const { sessionId } = await browser.send("Target.attachToTarget", { targetId: target.targetId, flatten: true });
    await browser.send("Network.enable", {}, sessionId);
    await browser.send("Network.emulateNetworkConditions", conditions, sessionId);
    ++workers;
  }
  return workers;
}

async function main() {
  const browser = await Browser.launch({ width: phone.width, height: phone.height });
  try {
    const address = new URL("sandbox.html", url).href;
    const page = await browser.newPage(address, { touch: true, phone });
    await windowReady(page, "Undo");
    // The first visit: the service worker keeps the site's files and takes the page over.
    await page.waitFor("navigator.serviceWorker.controller !== null", 20000, "the service worker to take the page over");
    const { errors } = await page.send("Page.getAppManifest");
    check(errors.length === 0, `the page's manifest reads without errors (${errors.map((e) => e.message).join("; ")})`);
    const { installabilityErrors } = await page.send("Page.getInstallabilityErrors");
    check(installabilityErrors.length === 0,
          `Chromium can install the page as an app (${installabilityErrors.map((e) => e.errorId).join(", ")})`);

    let screen = await Screen.of(page);
    const fingers = new Fingers(page);
    const tap = async (point) => {
      await fingers.press(0, point);
      await page.waitForFrames(2);
      await fingers.lift(0);
      await page.waitForFrames(2);
    };
    await stroke(fingers, screen, 200, 440, 300);
    await pickMenuItem(page, tap, "File", "Save");
    let kept = [];
    for (const until = Date.now() + 10000; kept.length === 0 && Date.now() < until;) {
      kept = await keptScenes(page);
      if (kept.length === 0) await page.waitForFrames(5);
    }
    check(kept.length === 1, `File > Save keeps the scene in the browser's storage (${kept.join(", ") || "nothing"})`);

    // Offline: the page loads again from what the service worker kept.
    const workers = await goOffline(browser, page);
    check(workers >= 1, `the network is off for the page and its ${workers} service worker(s)`);
    const reloaded = page.waitForEvent("Page.loadEventFired", 20000);
    await page.send("Page.reload");
    await reloaded;
    await windowReady(page, "Undo");
    const unreachable = await page.evaluate(`fetch("sandbox.html?probe=" + Date.now(), { cache: "no-store" }).then(() => false, () => true)`);
    check(unreachable, "the server cannot be reached");
    screen = await Screen.of(page);

    // It plays: Edit > Clear scene empties the scene (kept from the last visit), a finger draws.
    await pickMenuItem(page, tap, "Edit", "Clear scene");
    await page.waitForFrames(3);
    const cleared = await wallCells(screen, 0, 639, 0, 479);
    await pressControl(page, tap, "button", "Wall");
    await stroke(fingers, screen, 200, 440, 200);
    const drawn = await wallCells(screen, 190, 450, 190, 210);
    check(cleared === 0 && drawn > 400, `offline, the sandbox plays: cleared (${cleared} wall cells), a finger draws a wall (${drawn} cells)`);

    // File > Open shows the kept scenes as thumbnails (160 × 120, 136 apart, four to a row): the
    // one with the wall of row 300 (thumbnail row 75) opens with a tap.
    await pickMenuItem(page, tap, "File", "Open...");
    await page.waitForFrames(3);
    let opened = -1;
    for (let i = 0; i < 12 && opened < 0; ++i) {
      const left = (i % 4) * 160, top = Math.floor(i / 4) * 136;
      if ((await wallCells(screen, left + 55, left + 105, top + 75, top + 75)) >= 40) opened = i;
    }
    check(opened >= 0, `File > Open shows the saved scene's thumbnail (at ${opened})`);
    if (opened >= 0) {
      await tap(screen.at((opened % 4) * 160 + 80, Math.floor(opened / 4) * 136 + 60));
      await page.waitForFrames(3);
      const saved = await wallCells(screen, 190, 450, 295, 305);
      const later = await wallCells(screen, 190, 450, 190, 210);
      check(saved > 400 && later === 0, `a tap opens it: its wall (${saved} cells), not the one drawn since (${later})`);
    }
    checks.lastShot = null;
    checks.checkConsole(page, "the offline page");
  } finally {
    await browser.close();
  }
  checks.finish("the sandbox's page installs and plays offline");
}

main().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
