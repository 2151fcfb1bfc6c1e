// Frame rate of the README's demo scene (docs/demo.txt) in the page, in headless Chromium.
// The script's frames are turned into times at the demonstration's own pace (frame skip 4 shown
// at 60 Hz: 240 steps a second), as bench/web/demo_rate_native.sh does for the SDL program, and
// played through real input events. Then frame skip goes to 1000 and the steps a second the
// simulation manages on that scene are counted too.
// Usage: node demo_rate.js URL SOURCE_ROOT [RUNS]
"use strict";
const fs = require("fs");
const path = require("path");
const { Browser, Keys, sleep } = require("../../tests/web/browser");

const [url, sourceRoot, runsText] = process.argv.slice(2);
const runs = Number(runsText || 3);
const stepsPerSecond = 240;

function demoEvents() {
  const events = [];
  for (const line of fs.readFileSync(path.join(sourceRoot, "docs/demo.txt"), "utf8").split("\n")) {
    const t = line.replace(/#.*/, "").trim().split(/\s+/);
    if (t.length < 2 || !t[0]) continue;
    events.push({ frame: Number(t[0]), verb: t[1], args: t.slice(2) });
  }
  return events;
}

async function once() {
  const browser = await Browser.launch({ width: 1400, height: 1100 });
  try {
    const page = await browser.newPage(url);
    await page.waitFor("(Module.ondrelFrames || 0) > 0", 20000, "the first frame");
    const firstFrame = await page.evaluate("Module.ondrelFirstFrameAt");
    const box = await page.evaluate(`(() => { const c = document.querySelector("#screen canvas");
      const r = c.getBoundingClientRect(); return { left: r.left, top: r.top, k: r.width / c.width }; })()`);
    const at = (x, y) => [box.left + (x + 0.5) * box.k, box.top + (y + 0.5) * box.k];
    const keyOf = { space: Keys.space, add: Keys.add, subtract: Keys.subtract, escape: Keys.escape };
    let pointer = [0, 0];
    let buttons = 0;
    const frames = () => page.evaluate("Module.ondrelFrames");
    const clock = () => page.evaluate("performance.now()");

    const start = Date.now();
    const startFrames = await frames();
    const startClock = await clock();
    for (const e of demoEvents()) {
      const due = start + ((e.frame - 1) * 1000) / stepsPerSecond;
      if (Date.now() < due) await sleep(due - Date.now());
      if (e.verb === "move") {
        pointer = at(Number(e.args[0]), Number(e.args[1]));
        await page.mouse("mouseMoved", ...pointer, "none", buttons);
      } else if (e.verb === "press" || e.verb === "release") {
        const bit = e.args[0] === "left" ? 1 : 2;
        buttons = e.verb === "press" ? buttons | bit : buttons & ~bit;
        await page.mouse(e.verb === "press" ? "mousePressed" : "mouseReleased", ...pointer, e.args[0], buttons);
      } else if (e.verb === "tap") {
        await page.tap(keyOf[e.args[0]]);
      } else if (e.verb === "keydown" || e.verb === "keyup") {
        await page.key(e.verb === "keydown" ? "keyDown" : "keyUp", keyOf[e.args[0]]);
      }
    }
    const end = start + (900 * 1000) / stepsPerSecond;
    if (Date.now() < end) await sleep(end - Date.now());
    const demoFrames = (await frames()) - startFrames;
    const demoSeconds = ((await clock()) - startClock) / 1000;

    // Frame skip 4 → 1000: the same scene, now measuring how many steps a second it runs.
    for (let i = 0; i < 996; ++i) await page.tap(Keys.add);
    await sleep(500);
    const f0 = await frames();
    const c0 = await clock();
    await sleep(5000);
    const skipFrames = (await frames()) - f0;
    const skipSeconds = ((await clock()) - c0) / 1000;
    return { firstFrame, demoFps: demoFrames / demoSeconds, steps: (skipFrames * 1000) / skipSeconds };
  } finally {
    await browser.close();
  }
}

(async () => {
  const results = [];
  for (let i = 0; i < runs; ++i) {
    const r = await once();
    results.push(r);
    console.log(`run ${i + 1}: first frame ${r.firstFrame.toFixed(0)} ms after load began; demo scene ${r.demoFps.toFixed(1)} shown frames/s; frame skip 1000: ${r.steps.toFixed(0)} steps/s`);
  }
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  console.log(`median: first frame ${median(results.map((r) => r.firstFrame)).toFixed(0)} ms; demo ${median(results.map((r) => r.demoFps)).toFixed(1)} frames/s; ${median(results.map((r) => r.steps)).toFixed(0)} steps/s at frame skip 1000`);
})().catch((e) => {
  console.error(e.stack || String(e));
  process.exit(1);
});
