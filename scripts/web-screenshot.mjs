// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of the web page for the README: the worksheet with a sample case typed in, in
// Debian's Chromium (headless, driven by playwright-core), 1000 CSS pixels wide, whole.
// Usage: ORVALE_WEB=build/web node scripts/web-screenshot.mjs docs/web-page.png   (make web-screenshot)
import path from "node:path";
import { launchBrowser, openSession, startServer, typeScores } from "../tests/web/support.mjs";

const output = path.resolve(process.argv[2] ?? "docs/web-page.png");
const server = await startServer();
const browser = await launchBrowser();
try {
  const session = await openSession(browser, server);
  await session.page.setViewportSize({ width: 1000, height: 900 });
  await typeScores(session, ["10", "12", "9", "8", "11", "10", "13", "7"]);
  await session.page.getByRole("textbox", { name: "User's Notes:" }).fill("Case 0417, tested 12 March");
  await session.page.screenshot({ path: output, fullPage: true });
  await session.close();
  console.log(path.relative(process.cwd(), output));
} finally {
  await browser.close();
  server.close();
}
