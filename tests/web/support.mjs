// SPDX-License-Identifier: GPL-3.0-or-later
// What the page's tests share: the built page served from 127.0.0.1 by a small static server,
// Debian's Chromium driven by playwright-core, orvale-score as the reference, and a session that
// records every request and every error of its page, so that each test also checks that the
// page asked for nothing but its own files.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtemp, readFile, readdir, rm } from "node:fs/promises";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import path from "node:path";
import { after, before } from "node:test";
import { chromium } from "playwright-core";

const root = path.resolve(process.env.ORVALE_WEB ?? "build/web");
export const scorerPath = path.resolve(process.env.ORVALE_SCORE ?? "build/bin/orvale-score");
const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".css": "text/css",
  ".wasm": "application/wasm",
  ".svg": "image/svg+xml",
};

export const CAPTIONS = [
  "BLOCK DESIGN subtest scaled score:",
  "SIMILARITIES subtest scaled score:",
  "DIGIT SPAN subtest scaled score:",
  "CODING subtest scaled score:",
  "VOCABULARY subtest scaled score:",
  "LETTER-NUMBER SEQ subtest scaled score:",
  "MATRIX REASONING subtest scaled score:",
  "SYMBOL SEARCH subtest scaled score:",
];
export const TITLE =
  "ORVALE.EXE: Scoring and analysis of an eight subtest Index-based WISC-IV short-form";

// The report, JSON or other output of orvale-score for these arguments, in the C locale unless
// env says otherwise.
export function score(args, env = { LC_ALL: "C" }) {
  return execFileSync(scorerPath, args, { env: { ...process.env, ...env }, encoding: "utf8" });
}

// The page's own files, served as a static server would; anything else is not found.
export async function startServer() {
  const files = new Set(await readdir(root));
  const server = createServer(async (request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://host").pathname.slice(1)) || "index.html";
    if (!files.has(name)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "content-type": types[path.extname(name)] ?? "application/octet-stream" });
    response.end(await readFile(path.join(root, name)));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  const close = () => {
    server.close();
    server.closeAllConnections();
  };
  return { origin: `http://127.0.0.1:${server.address().port}`, files, close };
}

export function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--headless", "--no-sandbox", "--disable-gpu"],
  });
}

// One server and one browser for a test file, started before its first test and stopped after
// its last, and with `scratchPrefix` a scratch folder of that prefix. `open` starts a session.
export function shareServerAndBrowser(scratchPrefix) {
  const shared = { open: (options) => openSession(shared.browser, shared.server, options) };
  before(async () => {
    shared.server = await startServer();
    shared.browser = await launchBrowser();
    if (scratchPrefix) shared.scratch = await mkdtemp(path.join(tmpdir(), scratchPrefix));
  });
  after(async () => {
    await shared.browser?.close();
    shared.server?.close();
    if (shared.scratch) await rm(shared.scratch, { recursive: true, force: true });
  });
  return shared;
}

// A page of the served site in a fresh browser profile (empty storage), in US English. Its
// requests (the page's, its workers' and its service worker's) beyond the site's own files,
// failed requests and errors are collected in `problems`.
export async function openSession(browser, server, { locale = "en-US" } = {}) {
  const context = await browser.newContext({ locale, acceptDownloads: true });
  const problems = [];
  const requested = [];
  context.on("request", (request) => {
    const url = new URL(request.url());
    requested.push(url.href);
    const own = url.origin === server.origin && (url.protocol === "blob:" ||
      url.pathname === "/" || server.files.has(url.pathname.slice(1)));
    if (!own) problems.push(`request beyond the page's files: ${url.href}`);
  });
  context.on("requestfailed", (request) => problems.push(`request failed: ${request.url()}`));
  const page = await context.newPage();
  page.on("pageerror", (error) => problems.push(`page error: ${error.message}`));
  page.on("console", (message) => {
    if (message.type() === "error") problems.push(`console error: ${message.text()}`);
  });
  await page.goto(server.origin + "/");
  await page.getByRole("button", { name: "Compute" }).waitFor();
  const session = {
    page,
    context,
    problems,
    requested,
    field: (k) => page.getByRole("textbox", { name: CAPTIONS[k], exact: true }),
    button: (name) => page.getByRole("button", { name, exact: true }),
    memo: () => page.locator("#memoResults").inputValue(),
    // The modal message's text, after which "OK" closes it.
    async message() {
      const dialog = page.getByRole("dialog");
      await dialog.waitFor();
      const text = await page.locator("#messageText").textContent();
      await dialog.getByRole("button", { name: "OK" }).click();
      await dialog.waitFor({ state: "hidden" });
      return text;
    },
    // Clicks a button that downloads, and answers the file's name and bytes.
    async download(name) {
      const [download] = await Promise.all([page.waitForEvent("download"), session.button(name).click()]);
      return { name: download.suggestedFilename(), bytes: await readFile(await download.path()) };
    },
    async close() {
      await context.close();
      assert.deepEqual(problems, []);
    },
  };
  return session;
}

// Types the eight scores by keyboard: the first field has the focus, Tab moves to the next.
export async function typeScores(session, scores) {
  const { page } = session;
  await session.field(0).focus();
  for (const [k, text] of scores.entries()) {
    if (text === "") await page.keyboard.press("Delete");
    else await page.keyboard.type(text);
    if (k < scores.length - 1) await page.keyboard.press("Tab");
  }
}

export async function fieldValues(session) {
  return Promise.all(CAPTIONS.map((_, k) => session.field(k).inputValue()));
}
