// SPDX-License-Identifier: GPL-3.0-or-later
// The web page in Debian's Chromium, driven as a person would by keyboard and by the controls'
// roles and names: the report, JSON and chart against orvale-score's, Save Output's bytes, the
// entry checks and their messages, the remembered scores, Clear Data, case files, the no-request
// rule and the page offline after its first visit.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdir, readFile, writeFile } from "node:fs/promises";
import path from "node:path";
import { test } from "node:test";
import {
  CAPTIONS,
  TITLE,
  fieldValues,
  openSession,
  score,
  shareServerAndBrowser,
  startServer,
  typeScores,
} from "./support.mjs";

const DASHES = "-".repeat(103);
const SEPARATOR = `\n${DASHES}\n${DASHES}\n\n`; // between two reports: two dashed lines
const NUMERIC_ONLY = "INPUT ERROR\n\nEnter numeric data only.";

const shared = shareServerAndBrowser("orvale-web-");

// Cases scored one after another on one page: the worksheet's options (by their captions) and
// orvale-score's for the same case.
const CASES = [
  { scores: ["10", "12", "9", "8", "11", "10", "13", "7"], radios: [], notes: "", args: [] },
  {
    scores: ["15", "3", "12.5", "19", "1", "7", "9", "11"],
    radios: ["90% CLs using Glutting (estimated true score) method", "Between estimated true scores",
      "Apply sequential Bonferroni", "No", "15% of population"],
    notes: "Case 0417\nRetest after six months",
    args: ["--ci", "90", "--method", "glutting", "--differences", "true", "--bonferroni", "--no-gai",
      "--abnormal", "15"],
  },
];

test("reports match orvale-score byte for byte, appended and saved as the desktop does", async () => {
  const session = await shared.open();
  const { page } = session;
  const reports = [];
  for (const c of CASES) {
    await typeScores(session, c.scores);
    for (const radio of c.radios) await page.getByRole("radio", { name: radio, exact: true }).check();
    if (c.notes) {
      await page.getByRole("textbox", { name: "User's Notes:" }).focus();
      await page.keyboard.type(c.notes);
    }
    await session.button("Compute").click();
    assert.equal(await page.title(), `Results viewer: ${TITLE}`);
    const notes = c.notes ? ["--notes", c.notes] : [];
    reports.push(score([...c.args, ...notes, "--", ...c.scores]));
    assert.equal(await session.memo(), reports.join(SEPARATOR));
    if (c === CASES.at(-1)) {
      const json = await session.download("Export JSON...");
      assert.equal(json.bytes.toString(), score([...c.args, ...notes, "--format", "json", "--", ...c.scores]));
      // The chart shown is orvale-score's SVG for the case, and saved as its bytes.
      const svg = score([...c.args, "--format", "svg", "--", ...c.scores]);
      await session.button("Profile Chart...").click();
      const chart = page.getByRole("dialog", { name: "Profile Chart" });
      const same = await chart.locator("svg").evaluate((shown, text) => {
        const xml = new XMLSerializer();
        return xml.serializeToString(shown) === xml.serializeToString(new DOMParser().parseFromString(text, "image/svg+xml").documentElement);
      }, svg);
      assert.equal(same, true);
      const picture = await session.download("Save Image...");
      assert.deepEqual([picture.name, picture.bytes.toString()], ["profile.svg", svg]);
      await chart.getByRole("button", { name: "Close" }).click();
      break;
    }
    await session.button("Return to Worksheet").click();
    // Back on the worksheet the focus is where it was: on Compute.
    assert.equal(await page.evaluate(() => document.activeElement.id), "cmdCompute");
  }
  // Printing: the selection is a caret, so Print Selection has nothing to print; Print All lays
  // out every line of the memo for the browser's print.
  await session.button("Print Selection").click();
  assert.equal(await session.message(), "You have not selected any text.");
  await session.button("Print All").click();
  const printed = await page.locator("#printArea .line").allTextContents();
  assert.deepEqual(printed, ((await session.memo()) + "\n").split("\n"));
  const saved = await session.download("Save Output");
  assert.equal(saved.name, "results.txt");
  assert.equal(saved.bytes.toString("utf8"), (await session.memo()).replaceAll("\n", "\r\n"));
  await session.button("Clear Results").click();
  assert.equal(await session.memo(), "");
  await session.close();
});

test("the report's numbers take the decimal separator of the browser's language", async (t) => {
  // orvale-score in the same language: a German locale made for this test.
  const locales = path.join(shared.scratch, "locales");
  await mkdir(locales, { recursive: true });
  try {
    execFileSync("localedef", ["-i", "de_DE", "-f", "UTF-8", path.join(locales, "de_DE.UTF-8")], { stdio: "ignore" });
  } catch {
    t.skip("localedef cannot build de_DE.UTF-8");
    return;
  }
  const session = await shared.open({ locale: "de-DE" });
  await typeScores(session, CASES[0].scores);
  await session.button("Compute").click();
  const german = score(["--", ...CASES[0].scores], { LOCPATH: locales, LC_ALL: "de_DE.UTF-8" });
  assert.match(german, /Chi-square = \d+,\d+/);
  assert.equal(await session.memo(), german);
  await session.close();
});

test("Compute checks the fields in order and names the first at fault", async () => {
  const session = await shared.open();
  const rows = [
    { field: 0, text: "", message: `INPUT ERROR\n\n(  ${CAPTIONS[0]}  )\n\nData have not been entered in this field.` },
    { field: 3, text: "1-2", message: `INPUT ERROR\n(  ${CAPTIONS[3]}  1-2  )\n\nEnter numeric data only.` },
    { field: 7, text: "25", message: `INPUT ERROR\n(  ${CAPTIONS[7]}  25.000  )\nThe valid range for Wechsler subtest scaled scores is 1 to 19 ` },
    { field: 5, text: "0", message: `INPUT ERROR\n(  ${CAPTIONS[5]}  0.000  )\nThe valid range for Wechsler subtest scaled scores is 1 to 19 ` },
  ];
  for (const row of rows) {
    const scores = ["10", "10", "10", "10", "10", "10", "10", "10"];
    scores[row.field] = row.text;
    await typeScores(session, scores);
    await session.button("Compute").click();
    assert.equal(await session.message(), row.message);
    // The field at fault has the focus, its text selected whole.
    const focus = await session.page.evaluate(() => {
      const field = document.activeElement;
      return { label: field.labels?.[0]?.textContent, start: field.selectionStart, end: field.selectionEnd, length: field.value.length };
    });
    assert.deepEqual(focus, { label: CAPTIONS[row.field], start: 0, end: row.text.length, length: row.text.length });
    assert.equal(await session.memo(), "");
  }
  await session.close();
});

test("score fields take digits, one point and a minus sign, at most six characters", async () => {
  const session = await shared.open();
  const { page } = session;
  await page.context().grantPermissions(["clipboard-read", "clipboard-write"]);
  const rows = [
    { type: "1,5", value: "1.5" },
    { type: "1a", value: "1", message: NUMERIC_ONLY },
    { type: "1234567", value: "123456", message: "Maximum length of input is 6 characters." },
    { paste: "12,5", value: "12.5" },
    { paste: "1x2", value: "", message: NUMERIC_ONLY },
    { paste: "12345678", value: "123456", message: "Maximum length of input is 6 characters." },
  ];
  for (const row of rows) {
    await session.field(2).fill("");
    if (row.type) {
      await page.keyboard.type(row.type);
    } else {
      await page.evaluate((text) => navigator.clipboard.writeText(text), row.paste);
      await page.keyboard.press("ControlOrMeta+V");
    }
    if (row.message) assert.equal(await session.message(), row.message, row.type ?? row.paste);
    assert.equal(await session.field(2).inputValue(), row.value, row.type ?? row.paste);
  }
  // The notes hold 250 characters, an emoji counting as one, and no control character but line
  // breaks and tabs.
  const notes = page.getByRole("textbox", { name: "User's Notes:" });
  for (const row of [
    { paste: "x".repeat(300), value: "x".repeat(250) },
    { paste: "\u{1F600}".repeat(251), value: "\u{1F600}".repeat(250) },
    { paste: "a\u0007b\r\nc\td", value: "ab\nc\td" },
  ]) {
    await notes.fill("");
    await page.evaluate((text) => navigator.clipboard.writeText(text), row.paste);
    await page.keyboard.press("ControlOrMeta+V");
    assert.equal(await notes.inputValue(), row.value);
  }
  await session.close();
});

test("the scores of the last valid Compute come back at the next visit; Clear Data forgets them", async () => {
  const session = await shared.open();
  const { page } = session;
  await typeScores(session, ["09", "7.", "12.50", "10", "11", "12", "13", "14"]);
  await session.button("Compute").click();
  await session.button("Return to Worksheet").click();
  // A failed Compute leaves the remembered scores as they were.
  await typeScores(session, ["25", "10", "10", "10", "10", "10", "10", "10"]);
  await session.button("Compute").click();
  await session.message();
  await page.reload();
  await session.button("Compute").waitFor();
  assert.deepEqual(await fieldValues(session), ["9", "7", "12.5", "10", "11", "12", "13", "14"]);
  // The first field has the focus, its remembered score selected for the next child's.
  assert.equal(await page.evaluate(() => [document.activeElement.selectionStart, document.activeElement.selectionEnd].join()), "0,1");

  await page.getByRole("textbox", { name: "User's Notes:" }).fill("to be cleared");
  await session.button("Clear Data").click();
  assert.deepEqual(await fieldValues(session), Array(8).fill(""));
  assert.equal(await page.getByRole("textbox", { name: "User's Notes:" }).inputValue(), "");
  assert.equal(await page.evaluate(() => document.activeElement.id), "txtInput1");
  await page.reload();
  await session.button("Compute").waitFor();
  assert.deepEqual(await fieldValues(session), Array(8).fill(""));
  await session.close();
});

test("a case file saved by the page reopens whole, scores as orvale-score does, and bad ones are named", async () => {
  const writer = await shared.open();
  await typeScores(writer, CASES[1].scores);
  for (const radio of CASES[1].radios) await writer.page.getByRole("radio", { name: radio, exact: true }).check();
  await writer.page.getByRole("textbox", { name: "User's Notes:" }).fill(CASES[1].notes);
  const saved = await writer.download("Save Case");
  assert.equal(saved.name, "case.orvale");
  assert.equal(await writer.page.title(), `case.orvale - ${TITLE}`);
  const file = path.join(shared.scratch, "case.orvale");
  await writeFile(file, saved.bytes);
  await writer.close();

  const reader = await shared.open();
  const { page } = reader;
  const [chooser] = await Promise.all([page.waitForEvent("filechooser"), reader.button("Open Case...").click()]);
  await chooser.setFiles(file);
  await page.waitForFunction((title) => document.title === title, `case.orvale - ${TITLE}`);
  assert.deepEqual(await fieldValues(reader), CASES[1].scores);
  await reader.button("Compute").click();
  assert.equal(await reader.memo(), score(["--case", file]));
  await reader.button("Return to Worksheet").click();
  await reader.field(4).fill("2");
  assert.equal(await page.title(), `case.orvale* - ${TITLE}`);

  // A file that is no case, dropped on the page: the message names it and the reason.
  await page.locator("body").evaluate((body, text) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([text], "notes.orvale"));
    body.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, "{\"schema\": 1");
  const question = page.getByRole("dialog");
  await question.getByRole("button", { name: "Discard" }).click();
  assert.match(await reader.message(), /^The case could not be opened from notes\.orvale: it is not a case file \(no valid JSON: /);
  assert.equal(await reader.field(4).inputValue(), "2");
  await reader.close();
});

test("the page asks for nothing but its own files, and its policy refuses any other origin", async () => {
  const session = await shared.open();
  await typeScores(session, CASES[0].scores);
  await session.button("Compute").click();
  await session.download("Save Output");
  const refused = await session.page.evaluate(() => fetch("http://127.0.0.2:9/").then(() => false, () => true));
  assert.equal(refused, true);
  assert.ok(session.problems.some((p) => p.includes("Content Security Policy")), session.problems.join("\n"));
  session.problems.length = 0; // the refusal itself is the one error expected here
  // Once the service worker has cached the page's files, every one of them has been asked for,
  // and nothing else.
  await session.page.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
  const paths = new Set(session.requested.filter((url) => !url.startsWith("blob:")).map((url) => new URL(url).pathname));
  assert.deepEqual([...paths].sort(), [...shared.server.files].map((name) => `/${name}`).concat("/").sort());
  await session.close();
});

test("after the first visit the page opens, scores and scores a batch with the network off", async () => {
  const own = await startServer(); // stopped after the first visit
  const session = await openSession(shared.browser, own);
  const { page } = session;
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
  own.close();
  await session.context.setOffline(true);
  await page.reload();
  await session.button("Compute").waitFor();
  await typeScores(session, CASES[0].scores);
  await session.button("Compute").click();
  assert.equal(await session.memo(), score(["--", ...CASES[0].scores]));
  await session.button("Return to Worksheet").click();
  const csv = `id,BD,SI,DS,CD,VO,LN,MR,SS\nA,${CASES[0].scores.join(",")}\nB,${CASES[1].scores.join(",")}\n`;
  const file = path.join(shared.scratch, "offline.csv");
  await writeFile(file, csv);
  const [download] = await Promise.all([
    page.waitForEvent("download"),
    page.locator("body").evaluate((body, text) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([text], "offline.csv"));
      body.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, csv),
  ]);
  assert.equal((await readFile(await download.path())).toString(), score(["--batch", file]));
  await page.getByRole("dialog", { name: "Batch Scored" }).getByRole("button", { name: "Close" }).click();
  await session.close();
});
