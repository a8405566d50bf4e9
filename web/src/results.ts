// SPDX-License-Identifier: GPL-3.0-or-later
// The results viewer: the editable memo that collects the report of every Compute, Save Output,
// Clear Results, Return to Worksheet, the print commands and the Report menu. The memo's text
// is the user's to edit; what is saved and printed is the text as it stands.
import { ChartWindow } from "./chart";
import type { Computed, Core } from "./core";
import type { MessageBox } from "./dialog";
import { button, download, element } from "./dom";

const NO_SELECTION = "You have not selected any text.";

export class ResultsView {
  readonly root: HTMLElement;
  readonly memo: HTMLTextAreaElement;
  readonly returnButton: HTMLButtonElement;
  private latest: Computed | null = null; // the latest Compute since start or Clear Results
  private readonly chart = new ChartWindow();
  private readonly reportButtons: HTMLButtonElement[];

  constructor(
    private readonly core: Core,
    private readonly box: MessageBox,
    private readonly printArea: HTMLElement,
    returnToWorksheet: () => void,
  ) {
    this.memo = element("textarea", {
      id: "memoResults", spellcheck: "false", wrap: "soft", "aria-label": "Report",
      "aria-describedby": "memoHint",
    });
    const save = button("cmdSaveOutput", "Save Output");
    const clear = button("cmdClearResults", "Clear Results");
    this.returnButton = button("cmdReturn", "Return to Worksheet");
    const printAll = button("mnuPrint", "Print All");
    const printSelection = button("mnuPrintSelection", "Print Selection");
    const profileChart = button("mnuProfileChart", "Profile Chart...");
    const exportJson = button("mnuExportJson", "Export JSON...");
    const copy = button("mnuCopyReport", "Copy Report");
    this.reportButtons = [profileChart, exportJson, copy];
    save.addEventListener("click", () => this.saveOutput());
    clear.addEventListener("click", () => this.clearResults());
    this.returnButton.addEventListener("click", returnToWorksheet);
    printAll.addEventListener("click", () => this.print(this.memo.value));
    printSelection.addEventListener("click", () => this.printSelection());
    profileChart.addEventListener("click", () => {
      if (this.latest) this.chart.show(this.latest.svg);
    });
    exportJson.addEventListener("click", () => this.exportJson());
    copy.addEventListener("click", () => void this.copyReport());
    this.root = element(
      "section",
      { id: "frmTemplateResults", "aria-label": "Results viewer", hidden: "" },
      element(
        "div",
        { class: "menus" },
        element("div", { role: "group", "aria-label": "Printer options..." }, printAll, printSelection),
        element("div", { role: "group", "aria-label": "Report" }, profileChart, exportJson, copy),
      ),
      this.memo,
      element("p", { id: "memoHint", class: "hint" }, "The reports of every Compute, one below the other; editable"),
      element("div", { id: "Panel2" }, save, clear, this.returnButton),
    );
    this.root.addEventListener("keydown", (event) => {
      if (event.key === "Escape") returnToWorksheet();
    });
    this.setLatest(null);
  }

  // Appends one Compute's report and shows it from its top.
  append(result: Computed): void {
    const start = this.memo.value.length;
    this.memo.value += result.append;
    // The new report is shown from the line where it was added.
    const top = start === 0 ? 0 : this.memo.value.lastIndexOf("\n", start - 1) + 1;
    // The box scrolled so that the line where the report starts is its top line: the height of
    // the text before it, less the empty line its final line break starts.
    const whole = this.memo.value;
    this.memo.value = whole.slice(0, top);
    const above = this.memo.scrollHeight;
    this.memo.value = whole;
    const style = getComputedStyle(this.memo);
    this.memo.scrollTop =
      top === 0 ? 0 : above - parseFloat(style.lineHeight) - parseFloat(style.paddingBottom);
    this.memo.setSelectionRange(top, top);
    this.setLatest(result);
  }

  private setLatest(result: Computed | null): void {
    this.latest = result;
    for (const item of this.reportButtons) item.disabled = result === null;
  }

  private saveOutput(): void {
    download("results.txt", this.core.resultsFile(this.memo.value), "text/plain");
  }

  private clearResults(): void {
    this.memo.value = "";
    this.setLatest(null);
  }

  private printSelection(): void {
    const { selectionStart, selectionEnd } = this.memo;
    if (selectionStart === selectionEnd) {
      void this.box.show(NO_SELECTION);
      return;
    }
    this.print(this.memo.value.slice(selectionStart, selectionEnd));
  }

  // The browser's print of text in the report's monospace layout: one block per line, so that
  // pages break only between lines.
  private print(text: string): void {
    this.printArea.replaceChildren(
      ...(text + "\n").split("\n").map((line) => element("div", { class: "line" }, line)),
    );
    window.print();
  }

  private exportJson(): void {
    if (this.latest) download("results.json", this.latest.json, "application/json");
  }

  private async copyReport(): Promise<void> {
    try {
      await navigator.clipboard.writeText(this.memo.value);
    } catch (error) {
      await this.box.show(`The report could not be copied: ${error instanceof Error ? error.message : String(error)}`);
    }
  }
}
