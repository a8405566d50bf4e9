// SPDX-License-Identifier: GPL-3.0-or-later
// Score a Batch: a CSV file, taken by the picker or dropped on the page, scored with the
// worksheet's options by the core in a Web Worker (batch_worker.js) while the page stays usable.
// Progress shows the rows done of the rows in the file and the rows skipped, with Cancel; the
// results download as "results.csv", the bytes orvale-score --batch writes, and a summary lists
// the skipped rows. One batch at a time, as on the desktop.
import type { BatchReport } from "./batch_messages";
import type { BatchOutcome, ScoringOptions } from "./core";
import type { MessageBox } from "./dialog";
import { button, downloadBlob, element, showModal } from "./dom";

const RESULTS_NAME = "results.csv";

export function isBatchFile(name: string): boolean {
  return name.toLowerCase().endsWith(".csv");
}

export class BatchScorer {
  readonly panel: HTMLElement;
  private readonly label: HTMLElement;
  private readonly bar: HTMLProgressElement;
  private readonly summary: HTMLDialogElement;
  private readonly cancelButton: HTMLButtonElement;
  private readonly count = new Intl.NumberFormat(navigator.language);
  private worker: Worker | null = null;
  private name = "";
  private rowsTotal = -1;

  constructor(
    private readonly box: MessageBox,
    private readonly options: () => ScoringOptions,
    private readonly errorCaption: string,
    private readonly runningChanged: (running: boolean) => void,
  ) {
    this.label = element("p", { id: "lblBatchProgress", role: "status" });
    this.bar = element("progress", { id: "barBatch", "aria-labelledby": "lblBatchProgress" });
    const cancel = button("cmdBatchCancel", "Cancel");
    cancel.addEventListener("click", () => this.cancel());
    this.cancelButton = cancel;
    this.panel = element(
      "section",
      { id: "BatchProgress", "aria-label": "Score a Batch", hidden: "" },
      this.label,
      this.bar,
      cancel,
    );
    this.summary = this.summaryDialog();
    document.body.append(this.summary);
  }

  running(): boolean {
    return this.worker !== null;
  }

  // Scores file; while a batch runs, shows that one instead (its Cancel takes the focus).
  start(file: File): void {
    if (this.worker) {
      this.cancelButton.focus();
      return;
    }
    this.name = file.name;
    this.rowsTotal = -1;
    this.worker = new Worker("batch_worker.js", { type: "module" });
    this.worker.onmessage = (event: MessageEvent<BatchReport>) => this.received(event.data);
    this.worker.onerror = (event) => {
      event.preventDefault();
      this.end();
      void this.box.show(`Batch scoring of ${this.name} stopped: ${event.message}`, this.errorCaption);
    };
    this.worker.postMessage({ file, options: this.options() });
    this.label.textContent = `Scoring ${this.name}...`;
    this.bar.removeAttribute("value");
    this.panel.hidden = false;
    this.runningChanged(true);
  }

  private received(report: BatchReport): void {
    if (report.kind === "counted") {
      this.rowsTotal = report.rows;
    } else if (report.kind === "progress") {
      this.showProgress(report.rowsWritten, report.rowsSkipped);
    } else {
      this.end();
      void this.finished(report);
    }
  }

  private showProgress(rowsWritten: number, rowsSkipped: number): void {
    const done = rowsWritten + rowsSkipped;
    const f = (n: number): string => this.count.format(n);
    if (this.rowsTotal > 0) {
      this.bar.max = this.rowsTotal;
      this.bar.value = Math.min(done, this.rowsTotal);
      this.label.textContent =
        `Scoring ${this.name}: ${f(done)} of ${f(this.rowsTotal)} rows done, ${f(rowsSkipped)} skipped`;
    } else {
      this.label.textContent = `Scoring ${this.name}: ${f(rowsWritten)} rows scored, ${f(rowsSkipped)} skipped`;
    }
  }

  private cancel(): void {
    if (!this.worker) return;
    this.end();
    void this.box.show(`Batch scoring was cancelled; no results were written to ${RESULTS_NAME}.`, "Information");
  }

  private end(): void {
    this.worker?.terminate();
    this.worker = null;
    this.panel.hidden = true;
    this.runningChanged(false);
  }

  private async finished(report: Extract<BatchReport, { kind: "finished" }>): Promise<void> {
    const failure = this.failure(report.outcome);
    if (failure) {
      await this.box.show(failure, this.errorCaption);
      return;
    }
    downloadBlob(RESULTS_NAME, report.results);
    const { rowsWritten, rowsSkipped } = report.outcome as BatchOutcome;
    const notes = [...report.notes];
    if (report.unlistedNotes > 0) notes.push(`... and ${this.count.format(report.unlistedNotes)} more`);
    this.summary.querySelector("#lblBatchSummary")!.textContent =
      `${this.count.format(rowsWritten)} rows scored, ${this.count.format(rowsSkipped)} rows skipped.\n` +
      `The results are in ${RESULTS_NAME}.`;
    this.summary.querySelector("textarea")!.value = notes.length === 0 ? "No row was skipped." : notes.join("\n");
    showModal(this.summary);
  }

  // Why the results were not written, if they were not.
  private failure(outcome: BatchOutcome | { error: string }): string | null {
    if ("error" in outcome) return `Batch scoring of ${this.name} stopped: ${outcome.error}`;
    const unreadable = (reason: string): string => `The batch could not be read from ${this.name}: ${reason}`;
    if (outcome.status === "header") {
      return unreadable((outcome.headerLine > 0 ? `line ${outcome.headerLine}: ` : "") + outcome.headerError);
    }
    if (outcome.status === "unreadable") return unreadable("it could not be read to its end");
    return null;
  }

  private summaryDialog(): HTMLDialogElement {
    const list = element("textarea", { id: "memoBatchSkipped", readonly: "", wrap: "off", spellcheck: "false" });
    const copy = button("cmdBatchCopy", "Copy");
    const close = button("cmdBatchClose", "Close");
    const dialog = element(
      "dialog",
      { id: "BatchSummary", "aria-labelledby": "batchSummaryCaption" },
      element("h2", { id: "batchSummaryCaption" }, "Batch Scored"),
      element("p", { id: "lblBatchSummary" }),
      element("label", { for: "memoBatchSkipped" }, "Skipped rows"),
      list,
      element("div", { class: "dialogButtons" }, copy, close),
    );
    copy.addEventListener("click", () => {
      navigator.clipboard.writeText(list.value).catch((error: unknown) => {
        void this.box.show(`The list could not be copied: ${error instanceof Error ? error.message : String(error)}`);
      });
    });
    close.addEventListener("click", () => dialog.close());
    return dialog;
  }
}
