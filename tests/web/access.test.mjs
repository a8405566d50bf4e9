// SPDX-License-Identifier: GPL-3.0-or-later
// Accessibility: axe-core finds no violation on the worksheet, the results viewer, the chart
// window or a batch's summary; on a phone (390 pixels wide) and at 200% zoom (a 1280-pixel
// window is then 640 CSS pixels wide) the page needs no horizontal scrolling and cuts no text
// off; and a case is scored, charted and left by keyboard alone.
import assert from "node:assert/strict";
import { readFile } from "node:fs/promises";
import { createRequire } from "node:module";
import { test } from "node:test";
import { CAPTIONS, score, shareServerAndBrowser, typeScores } from "./support.mjs";

const axeSource = await readFile(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
const SCORES = ["10", "12", "9", "8", "11", "10", "13", "7"];

const shared = shareServerAndBrowser();

// axe's violations on the page as it is shown, as "rule: the elements at fault".
async function violations(page) {
  // Evaluated by the test's driver: the page's policy allows no script but its own.
  if (!(await page.evaluate(() => "axe" in window))) await page.evaluate(axeSource);
  const found = await page.evaluate(async () => (await window.axe.run(document)).violations);
  return found.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
}

test("axe-core finds no violation on the worksheet, the results viewer, the chart or a batch's summary", async () => {
  const session = await shared.open();
  const { page } = session;
  assert.deepEqual(await violations(page), []);
  await typeScores(session, SCORES);
  await session.button("Compute").click();
  assert.deepEqual(await violations(page), []);
  await session.button("Profile Chart...").click();
  assert.deepEqual(await violations(page), []);
  // Closed, the chart gives the focus back to its command; the summary of a dropped batch.
  await page.keyboard.press("Escape");
  assert.equal(await page.evaluate(() => document.activeElement.id), "mnuProfileChart");
  await session.button("Return to Worksheet").click();
  await Promise.all([
    page.waitForEvent("download"),
    page.locator("body").evaluate((body) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File(["id,BD,SI,DS,CD,VO,LN,MR,SS\nA,1,2,3\n"], "short.csv"));
      body.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }),
  ]);
  await page.getByRole("dialog", { name: "Batch Scored" }).waitFor();
  assert.deepEqual(await violations(page), []);
  await session.close();
});

// Elements shown whose box passes the page's width, and controls or texts whose content is
// wider than their box.
function cutOff() {
  const width = document.documentElement.clientWidth;
  const found = [];
  for (const element of document.querySelectorAll("body *")) {
    const box = element.getBoundingClientRect();
    if (box.width === 0 || element.closest(".hint, [hidden], #printArea")) continue;
    const name = `${element.tagName.toLowerCase()}#${element.id} ${element.textContent.slice(0, 30)}`;
    if (box.left < 0 || box.right > width + 0.5) found.push(`beyond the page: ${name}`);
    const text = ["BUTTON", "LABEL", "LEGEND", "P", "H2"].includes(element.tagName);
    if (text && element.scrollWidth > element.clientWidth + 1) found.push(`text cut off: ${name}`);
  }
  return found;
}

test("on a phone and at 200% zoom the page needs no horizontal scrolling and cuts no text off", async () => {
  const session = await shared.open();
  const { page } = session;
  for (const viewport of [{ width: 390, height: 844 }, { width: 640, height: 400 }]) {
    await page.setViewportSize(viewport);
    for (const view of ["worksheet", "results"]) {
      if (view === "results") {
        await typeScores(session, SCORES);
        await session.button("Compute").click();
      }
      const scrolling = await page.evaluate(() => {
        const root = document.scrollingElement;
        return { scrollWidth: root.scrollWidth, clientWidth: root.clientWidth };
      });
      assert.ok(scrolling.scrollWidth <= scrolling.clientWidth, `${view} at ${viewport.width}: ${JSON.stringify(scrolling)}`);
      assert.deepEqual(await page.evaluate(cutOff), [], `${view} at ${viewport.width} px`);
      if (view === "results") await session.button("Return to Worksheet").click();
    }
  }
  await session.close();
});

// Presses Tab until `target` has the focus, at most 40 times.
async function tabTo(page, target) {
  for (let presses = 0; presses < 40; ++presses) {
    await page.keyboard.press("Tab");
    if (await target.evaluate((element) => element === document.activeElement)) return;
  }
  assert.fail(`Tab never reached ${target}`);
}

test("the whole flow works by keyboard alone", async () => {
  const session = await shared.open();
  const { page } = session;
  const focusedLabel = () => page.evaluate(() => document.activeElement.labels?.[0]?.textContent);
  // A wrong entry: Compute by Enter, the message closed by Enter on its OK, the field at fault
  // focused with its text selected, so that typing replaces it.
  const scores = [...SCORES];
  scores[3] = "1-2";
  assert.equal(await focusedLabel(), CAPTIONS[0]); // the page opens with the first field focused
  for (const [k, text] of scores.entries()) {
    await page.keyboard.type(text);
    if (k < scores.length - 1) await page.keyboard.press("Tab");
  }
  await tabTo(page, session.button("Compute"));
  await page.keyboard.press("Enter");
  const dialog = page.getByRole("dialog");
  await dialog.waitFor();
  await page.keyboard.press("Enter");
  await dialog.waitFor({ state: "hidden" });
  assert.equal(await focusedLabel(), CAPTIONS[3]);
  await page.keyboard.type(SCORES[3]);
  // An option chosen with the arrow keys, then Compute by Space.
  await tabTo(page, page.getByRole("radio", { name: "95% CLs using traditional method", exact: true }));
  await page.keyboard.press("ArrowDown");
  assert.equal(await page.getByRole("radio", { name: "90% CLs using traditional method" }).isChecked(), true);
  await tabTo(page, session.button("Compute"));
  await page.keyboard.press("Space");
  await page.waitForFunction(() => document.querySelector("#memoResults").value !== "");
  assert.equal(await session.memo(), score(["--ci", "90", "--", ...SCORES]));
  // The chart opened by Enter and closed by Escape; back to the worksheet by Enter.
  await tabTo(page, session.button("Profile Chart..."));
  await page.keyboard.press("Enter");
  const chart = page.getByRole("dialog", { name: "Profile Chart" });
  await chart.waitFor();
  await page.keyboard.press("Escape");
  await chart.waitFor({ state: "hidden" });
  await tabTo(page, session.button("Return to Worksheet"));
  await page.keyboard.press("Enter");
  assert.equal(await page.evaluate(() => document.activeElement.id), "cmdCompute");
  await session.close();
});
