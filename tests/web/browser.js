// A small DevTools-protocol client for the browser tests: Debian's Chromium, headless, spoken to
// over --remote-debugging-pipe (no port, no WebSocket), kept from every address but 127.0.0.1.
"use strict";
const { spawn } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const zlib = require("zlib");

const chromiumPath = process.env.ONDREL_CHROMIUM || "/usr/bin/chromium";

class Browser {
  static async launch({ width = 1400, height = 1100 } = {}) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), "ondrel-chromium-"));
    const args = [
      "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--no-default-browser-check", "--disable-background-networking", "--disable-component-update",
      "--disable-sync", "--disable-extensions", "--disable-default-apps", "--disable-domain-reliability",
      "--disable-client-side-phishing-detection", "--metrics-recording-only", "--mute-audio",
      // Names resolve to nothing, so nothing but the page's own server can be reached.
      "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
      "--proxy-server=127.0.0.1:9", "--proxy-bypass-list=127.0.0.1",
      `--window-size=${width},${height}`, `--user-data-dir=${profile}`,
      "--remote-debugging-pipe", "about:blank",
    ];
    const child = spawn(chromiumPath, args, { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"] });
    const browser = new Browser(child, profile);
    child.stderr.on("data", (d) => { browser.stderr += d; });
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.stderr = "";
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.exited = new Promise((resolve) => child.on("exit", resolve));
    this.exited.then(() => {
      for (const { reject } of this.pending.values()) reject(new Error("Chromium ended:\n" + this.stderr.slice(-2000)));
      this.pending.clear();
    });
    let buffered = Buffer.alloc(0);
    child.stdio[4].on("data", (chunk) => {
      buffered = Buffer.concat([buffered, chunk]);
      let end;
      while ((end = buffered.indexOf(0)) >= 0) {
        const message = JSON.parse(buffered.subarray(0, end).toString("utf8"));
        buffered = buffered.subarray(end + 1);
        this.receive(message);
      }
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const waiting = this.pending.get(message.id);
      if (!waiting) return;
      this.pending.delete(message.id);
      if (message.error) waiting.reject(new Error(`${waiting.method}: ${message.error.message}`));
      else waiting.resolve(message.result);
      return;
    }
    for (const listener of this.listeners) listener(message);
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    this.child.stdio[3].write(JSON.stringify(message) + "\0");
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject, method }));
  }

  // A page loaded from `url`; with `touch`, on a touch screen (up to five fingers), as a phone's;
  // with `phone` ({ width, height, scale }), in a phone's viewport of width × height CSS pixels,
  // `scale` device pixels each, laid out as a phone lays out a page.
  async newPage(url, { touch = false, phone = null } = {}) {
    const { targetId } = await this.send("Target.createTarget", { url: "about:blank" });
    const { sessionId } = await this.send("Target.attachToTarget", { targetId, flatten: true });
    const page = new Page(this, sessionId);
    await page.send("Page.enable");
    await page.send("Runtime.enable");
    if (phone)
      await page.send("Emulation.setDeviceMetricsOverride",
                      { width: phone.width, height: phone.height, deviceScaleFactor: phone.scale, mobile: true });
    if (touch) await page.send("Emulation.setTouchEmulationEnabled", { enabled: true, maxTouchPoints: 5 });
    const loaded = page.waitForEvent("Page.loadEventFired", 20000);
    await page.send("Page.navigate", { url });
    await loaded;
    return page;
  }

  async close() {
    try {
      await Promise.race([this.send("Browser.close"), new Promise((r) => setTimeout(r, 3000))]);
    } catch (e) {
      // Already gone.
    }
    await Promise.race([this.exited, sleep(5000)]);
    if (this.child.exitCode === null && this.child.signalCode === null) {
      this.child.kill("SIGKILL");
      await Promise.race([this.exited, sleep(3000)]);
    }
    try {
      fs.rmSync(this.profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 200 });
    } catch (e) {
      console.log(`could not remove ${this.profile}: ${e.message}`);
    }
  }
}

class Page {
  constructor(browser, sessionId) {
    this.browser = browser;
    this.sessionId = sessionId;
    this.console = [];
    browser.listeners.push((m) => {
      if (m.sessionId !== sessionId) return;
      if (m.method === "Runtime.consoleAPICalled")
        this.console.push(m.params.args.map((a) => a.value !== undefined ? a.value : a.description).join(" "));
      if (m.method === "Runtime.exceptionThrown") this.console.push("exception: " + m.params.exceptionDetails.text +
        " " + (m.params.exceptionDetails.exception ? m.params.exceptionDetails.exception.description : ""));
    });
  }

  send(method, params = {}) { return this.browser.send(method, params, this.sessionId); }

  waitForEvent(method, timeoutMs) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no ${method} within ${timeoutMs} ms`)), timeoutMs);
      const listener = (m) => {
        if (m.sessionId !== this.sessionId || m.method !== method) return;
        clearTimeout(timer);
        this.browser.listeners.splice(this.browser.listeners.indexOf(listener), 1);
        resolve(m.params);
      };
      this.browser.listeners.push(listener);
    });
  }

  // The value of a JavaScript expression in the page (awaited when it is a promise).
  async evaluate(expression) {
    const r = await this.send("Runtime.evaluate", { expression, returnByValue: true, awaitPromise: true });
    if (r.exceptionDetails) throw new Error(`${expression}: ${r.exceptionDetails.text} ${r.exceptionDetails.exception ? r.exceptionDetails.exception.description : ""}`);
    return r.result.value;
  }

  async waitFor(expression, timeoutMs, what) {
    const until = Date.now() + timeoutMs;
    for (;;) {
      const value = await this.evaluate(expression);
      if (value) return value;
      if (Date.now() > until) throw new Error(`timed out after ${timeoutMs} ms waiting for ${what || expression}`);
      await sleep(50);
    }
  }

  // Resolves once the program has shown `count` more frames: input sent before it has been seen
  // by at least one of the program's frames. Fails when the program shows no new frame for
  // `timeoutMs`: a stalled program, not a slow one (many frames take long on a loaded machine).
  waitForFrames(count, timeoutMs = 10000) {
    return this.evaluate(`new Promise((resolve, reject) => {
      const target = (Module.ondrelFrames || 0) + ${count};
      let seen = Module.ondrelFrames || 0;
      let until = performance.now() + ${timeoutMs};
      const poll = () => {
        const frames = Module.ondrelFrames || 0;
        if (frames >= target) return resolve(true);
        if (frames !== seen) {
          seen = frames;
          until = performance.now() + ${timeoutMs};
        }
        if (performance.now() > until) reject(new Error("the program showed no new frame in ${timeoutMs} ms"));
        else setTimeout(poll, 5);
      };
      poll();
    })`);
  }

  mouse(type, x, y, button = "none", buttons = 0) {
    return this.send("Input.dispatchMouseEvent", { type, x, y, button, buttons, clickCount: type === "mouseMoved" ? 0 : 1 });
  }

  // The fingers on the screen after a change, each { id, x, y } (page pixels): a new id is a
  // finger put down, one gone is lifted. `type` is touchStart, touchMove or touchEnd (no fingers).
  touch(type, fingers) {
    const touchPoints = fingers.map(({ id, x, y }) => ({ id, x, y, radiusX: 4, radiusY: 4, force: 1 }));
    return this.send("Input.dispatchTouchEvent", { type, touchPoints });
  }

  // `key` as KeyboardEvent.key, `code` as KeyboardEvent.code, the Windows virtual key, and the
  // text it types, if any.
  async key(type, { key, code, vk, text, location = 0 }) {
    const params = { type, key, code, windowsVirtualKeyCode: vk, nativeVirtualKeyCode: vk, location };
    if (type === "keyDown" && text) params.text = text;
    if (type === "keyDown" && !text) params.type = "rawKeyDown";
    await this.send("Input.dispatchKeyEvent", params);
  }

  async tap(k) {
    await this.key("keyDown", k);
    await this.key("keyUp", k);
  }

  // A screenshot of a page rectangle (CSS pixels) as { width, height, rgb(x, y) }.
  async screenshot(clip) {
    const { data } = await this.send("Page.captureScreenshot", { format: "png", clip: { ...clip, scale: 1 } });
    const png = Buffer.from(data, "base64");
    return { ...decodePng(png), png };
  }
}

const Keys = {
  space: { key: " ", code: "Space", vk: 32, text: " " },
  escape: { key: "Escape", code: "Escape", vk: 27 },
  add: { key: "+", code: "NumpadAdd", vk: 107, text: "+", location: 3 },
  subtract: { key: "-", code: "NumpadSubtract", vk: 109, text: "-", location: 3 },
};

function sleep(ms) { return new Promise((r) => setTimeout(r, ms)); }

// PNG as Chromium writes it, 8-bit RGB or RGBA, or with a colour table of 8-bit indices, as the
// sandbox writes its screenshots; not interlaced.
function decodePng(file) {
  const signature = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);
  if (file.length < 8 || !file.subarray(0, 8).equals(signature)) throw new Error("not a PNG");
  let width = 0, height = 0, channels = 0, table = null;
  const idat = [];
  for (let at = 8; at + 8 <= file.length;) {
    const length = file.readUInt32BE(at);
    const type = file.toString("latin1", at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const depth = body[8], colourType = body[9], interlace = body[12];
      if (depth !== 8 || (colourType !== 2 && colourType !== 3 && colourType !== 6) || interlace !== 0)
        throw new Error(`PNG kind not read here: depth ${depth}, colour type ${colourType}, interlace ${interlace}`);
      channels = { 2: 3, 3: 1, 6: 4 }[colourType];
    } else if (type === "PLTE") {
      table = body;
    } else if (type === "IDAT") {
      idat.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = pixels.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? pixels.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? out[i - channels] : 0;
      const b = up[i];
      const c = i >= channels ? up[i - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[i] = (line[i] + predictor) & 0xff;
    }
  }
  if (channels === 1 && !table) throw new Error("a PNG of colour indices without its colour table");
  return {
    width, height,
    rgb(x, y) {
      if (channels === 1) {
        const index = pixels[y * width + x];
        if (3 * index + 2 >= table.length) throw new Error(`colour index ${index} is not in the PNG's table`);
        return [table[3 * index], table[3 * index + 1], table[3 * index + 2]];
      }
      const at = (y * width + x) * channels;
      return [pixels[at], pixels[at + 1], pixels[at + 2]];
    },
  };
}

module.exports = { Browser, Keys, sleep, decodePng };
