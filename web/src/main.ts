// SPDX-License-Identifier: GPL-3.0-or-later
// The page: loads the core, builds the worksheet and the results viewer (one shown at a time, as
// the desktop's two windows), the case-file and batch commands, and keeps the caption as the
// desktop's title bar. Nothing the user types or computes leaves the browser.
import { BatchScorer, isBatchFile } from "./batch";
import { CaseDocument, isCaseFile } from "./case_file";
import { loadCore } from "./core";
import { MessageBox } from "./dialog";
import { button, element } from "./dom";
import { ResultsView } from "./results";
import { Worksheet } from "./worksheet";

const RESULTS_CAPTION = "Results viewer: ";

// The decimal separator of the browser's language; the core keeps it when it is one ASCII
// character, as the report's lines are 8-bit.
function browserDecimalSeparator(): string {
  const parts = new Intl.NumberFormat(navigator.language).formatToParts(1.5);
  return parts.find((part) => part.type === "decimal")?.value ?? ".";
}

// A hidden file input that hands the chosen file to open.
function filePicker(id: string, accept: string, open: (file: File) => void): HTMLInputElement {
  const picker = element("input", { type: "file", accept, hidden: "", id });
  picker.addEventListener("change", () => {
    const file = picker.files?.[0];
    picker.value = "";
    if (file) open(file);
  });
  return picker;
}

async function start(): Promise<void> {
  const core = await loadCore();
  const texts = core.worksheetTexts();
  const box = new MessageBox(document.querySelector<HTMLDialogElement>("#messageBox")!);
  const captionLine = document.querySelector<HTMLElement>("#caption")!;
  let worksheetFocus: HTMLElement | null = null;
  let resultsFocus: HTMLElement | null = null;

  const setCaption = (text: string): void => {
    document.title = text;
    captionLine.textContent = text;
  };
  const showWorksheet = (): void => {
    resultsFocus = document.activeElement as HTMLElement | null;
    results.root.hidden = true;
    worksheet.root.hidden = false;
    setCaption(caseDocument.captionPrefix() + texts.title);
    worksheet.shown(worksheetFocus);
  };
  const results = new ResultsView(core, box, document.querySelector<HTMLElement>("#printArea")!, showWorksheet);
  const worksheet = new Worksheet(core, texts, box, {
    memoText: () => results.memo.value,
    decimalSeparator: browserDecimalSeparator,
    computed: (result) => {
      worksheetFocus = document.activeElement as HTMLElement | null;
      worksheet.root.hidden = true;
      results.root.hidden = false;
      results.append(result);
      setCaption(RESULTS_CAPTION + texts.title);
      (resultsFocus && results.root.contains(resultsFocus) ? resultsFocus : results.returnButton).focus();
    },
    changed: () => caseDocument.worksheetChanged(),
  });
  const caseDocument = new CaseDocument(core, box, worksheet, () => {
    if (!worksheet.root.hidden) setCaption(caseDocument.captionPrefix() + texts.title);
  });

  const scoreBatch = button("mnuScoreBatch", "Score a Batch...");
  const batch = new BatchScorer(box, () => worksheet.options(), texts.title, (running) => {
    scoreBatch.disabled = running;
  });
  const picker = filePicker("caseFilePicker", ".orvale", (file) => void caseDocument.open(file));
  const batchPicker = filePicker("batchFilePicker", ".csv", (file) => batch.start(file));
  const openCase = button("mnuOpenCase", "Open Case...");
  const saveCase = button("mnuSaveCase", "Save Case");
  openCase.addEventListener("click", async () => {
    if (await caseDocument.maybeSave()) picker.click();
  });
  saveCase.addEventListener("click", () => void caseDocument.save());
  scoreBatch.addEventListener("click", () => batchPicker.click());
  // After the worksheet's own controls in tab order, as the desktop's menu bar is outside it.
  worksheet.root.append(
    element("div", { class: "menus", role: "group", "aria-label": "File" }, openCase, saveCase, scoreBatch, picker, batchPicker),
  );

  // A case file dropped anywhere on the worksheet opens, a CSV file is scored as a batch;
  // nothing dropped ever replaces the page.
  document.addEventListener("dragover", (event) => event.preventDefault());
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    const files = event.dataTransfer?.files;
    if (files?.length !== 1 || worksheet.root.hidden) return;
    if (isCaseFile(files[0].name)) void caseDocument.open(files[0]);
    else if (isBatchFile(files[0].name)) batch.start(files[0]);
  });
  window.addEventListener("beforeunload", (event) => {
    if (caseDocument.hasUnsavedChanges() || batch.running()) event.preventDefault();
  });

  document.querySelector("#main")!.replaceChildren(worksheet.root, results.root, batch.panel);
  setCaption(texts.title);
  worksheet.loadRemembered();
  worksheet.shown(null);
}

// The service worker keeps the page's files for use offline; a page opened from a file or in a
// browser without service workers works as before, only not offline.
function keepForOffline(): void {
  if (!("serviceWorker" in navigator) || location.protocol === "file:") return;
  navigator.serviceWorker.register("sw.js").catch(() => undefined);
}

start().then(keepForOffline, (error: unknown) => {
  const reason = error instanceof Error ? error.message : String(error);
  document.querySelector("#loading")!.textContent =
    `ORVALE could not start in this browser. It needs WebAssembly with exception handling ` +
    `(Chrome or Edge 95, Firefox 100, Safari 15.2 or later): ${reason}`;
});
