// SPDX-License-Identifier: GPL-3.0-or-later
// Score a Batch in the browser: a CSV of 10,000 cases (fractional scores, bad rows among them)
// scored in the page's worker with the worksheet's options, its results.csv compared byte for
// byte with orvale-score --batch and its summary with the rows orvale-score reports skipped;
// and a batch cancelled while it runs, which downloads nothing.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { readFile, writeFile } from "node:fs/promises";
import path from "node:path";
import { test } from "node:test";
import { scorerPath, shareServerAndBrowser } from "./support.mjs";

const LONG = { timeout: 180_000 };

const shared = shareServerAndBrowser("orvale-batch-");

// A batch file of `rows` cases from a fixed pseudo-random sequence: columns in another order
// than the scorer's plus one it does not use, some ids quoted, scores whole and fractional, and
// now and then a row that is skipped (out of range, not a number, a cell missing, a stray quote)
// or an empty line.
function batchText(rows) {
  let state = 20240917;
  const next = (n) => {
    state = (state * 1103515245 + 12345) % 2147483648;
    return Math.floor(state / 65536) % n; // the high bits: the low ones repeat quickly
  };
  const bad = ["25", "x1", "", "0"];
  const lines = ["SS,id,bd,SI,DS,CD,VO,LN,MR,site"];
  for (let i = 1; i <= rows; ++i) {
    const scores = Array.from({ length: 8 }, () => {
      const whole = 1 + next(19);
      return next(5) === 0 && whole < 19 ? `${whole}.${1 + next(9)}` : String(whole);
    });
    if (i % 487 === 0) scores[next(8)] = bad[next(bad.length)];
    const id = i % 9 === 0 ? `"case ${i}, retest"` : `c${i}`;
    let line = [scores[7], id, ...scores.slice(0, 7), "north"].join(",");
    if (i % 1301 === 0) line = line.replace(",north", "");
    if (i % 1777 === 0) line = line.replace("north", 'no"rth');
    lines.push(line);
    if (i % 2500 === 0) lines.push("");
  }
  return lines.join("\n") + "\n";
}

const RADIOS = ["90% CLs using Glutting (estimated true score) method", "Between estimated true scores",
  "Apply sequential Bonferroni", "15% of population"];
const ARGS = ["--ci", "90", "--method", "glutting", "--differences", "true", "--bonferroni", "--abnormal", "15"];

test("a batch scored in the page is orvale-score's byte for byte; a cancelled one writes nothing", LONG, async () => {
  const small = path.join(shared.scratch, "cases.csv");
  const large = path.join(shared.scratch, "many.csv");
  await writeFile(small, batchText(10_000));
  await writeFile(large, batchText(200_000));
  const reference = spawnSync(scorerPath, [...ARGS, "--batch", small], { env: { ...process.env, LC_ALL: "C" }, maxBuffer: 1 << 30 });
  assert.equal(reference.status, 1, reference.stderr.toString()); // some rows skipped
  const skipped = reference.stderr.toString().trimEnd().split("\n")
    .map((line) => line.replace(`orvale-score: ${small}:`, "Line "));

  const session = await shared.open();
  const { page } = session;
  for (const radio of RADIOS) await page.getByRole("radio", { name: radio, exact: true }).check();
  const downloads = [];
  page.on("download", (download) => downloads.push(download));
  const chooseBatch = async (file) => {
    const [chooser] = await Promise.all([page.waitForEvent("filechooser"), session.button("Score a Batch...").click()]);
    await chooser.setFiles(file);
  };

  await chooseBatch(large);
  const status = page.getByRole("status");
  await status.filter({ hasText: /: [\d,]+ of 200,000 rows done, [\d,]+ skipped$/ }).waitFor(LONG);
  await session.button("Cancel").click();
  assert.equal(await session.message(), "Batch scoring was cancelled; no results were written to results.csv.");
  assert.equal(await page.locator("#BatchProgress").isHidden(), true);

  await chooseBatch(small);
  const download = await page.waitForEvent("download", LONG);
  assert.equal(download.suggestedFilename(), "results.csv");
  const bytes = await readFile(await download.path());
  assert.ok(bytes.equals(reference.stdout), "results.csv differs from orvale-score --batch");
  const summary = page.getByRole("dialog", { name: "Batch Scored" });
  const rowsSkipped = skipped.filter((line) => !line.includes(": warning: ")).length;
  assert.equal(await summary.locator("#lblBatchSummary").textContent(),
    `${(10_000 - rowsSkipped).toLocaleString("en-US")} rows scored, ${rowsSkipped} rows skipped.\nThe results are in results.csv.`);
  assert.deepEqual((await summary.getByRole("textbox", { name: "Skipped rows" }).inputValue()).split("\n"), skipped);
  await summary.getByRole("button", { name: "Close" }).click();
  assert.equal(downloads.length, 1);
  await session.close();
});
