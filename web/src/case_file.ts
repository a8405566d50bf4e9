// SPDX-License-Identifier: GPL-3.0-or-later
// The case file the worksheet shows: opened by the file picker or by dropping it on the page,
// saved by downloading it, read and written by the core with its checks and messages. While a
// case is open the caption names it and marks changes, as the desktop's title bar does.
import type { CaseValues, Core } from "./core";
import type { MessageBox } from "./dialog";
import { download } from "./dom";

const CASE_SUFFIX = ".orvale";
const DEFAULT_NAME = "case.orvale";
const MAX_CASE_BYTES = 64 * 1024; // what a case file may hold; one byte more is read to tell

export interface CaseWorksheet {
  values(): CaseValues;
  show(values: CaseValues): void;
  focusField(k: number): void;
}

export function isCaseFile(name: string): boolean {
  return name.toLowerCase().endsWith(CASE_SUFFIX);
}

export class CaseDocument {
  private name = "";
  private modified = false;
  private showing = false;

  constructor(
    private readonly core: Core,
    private readonly box: MessageBox,
    private readonly worksheet: CaseWorksheet,
    private readonly captionChanged: () => void,
  ) {}

  // "case.orvale* - " before the program title while a case is open (the star once changed).
  captionPrefix(): string {
    return this.name === "" ? "" : `${this.name}${this.modified ? "*" : ""} - `;
  }

  worksheetChanged(): void {
    if (this.name === "" || this.showing || this.modified) return;
    this.modified = true;
    this.captionChanged();
  }

  async open(file: File): Promise<void> {
    if (!(await this.maybeSave())) return;
    let content: Uint8Array;
    try {
      content = new Uint8Array(await file.slice(0, MAX_CASE_BYTES + 1).arrayBuffer());
    } catch (error) {
      const reason = error instanceof Error ? error.message : String(error);
      await this.box.show(`The case could not be opened from ${file.name}: ${reason}`);
      return;
    }
    const read = this.core.readCase(file.name, content);
    if ("error" in read) {
      await this.box.show(read.error);
      return;
    }
    this.showing = true;
    this.worksheet.show(read);
    this.showing = false;
    this.name = file.name;
    this.modified = false;
    this.captionChanged();
  }

  // Downloads the case under its name (a new case as "case.orvale"); an entry that cannot be
  // kept is named and selected instead.
  async save(): Promise<boolean> {
    const written = this.core.writeCase(this.worksheet.values());
    if ("field" in written) {
      await this.box.show(written.message);
      this.worksheet.focusField(written.field);
      return false;
    }
    this.name ||= DEFAULT_NAME;
    download(this.name, written.content, "application/json");
    this.modified = false;
    this.captionChanged();
    return true;
  }

  // Before another case replaces a changed one: false when the user chose to stay.
  async maybeSave(): Promise<boolean> {
    if (this.name === "" || !this.modified) return true;
    const answer = await this.box.ask(
      `The case ${this.name} has been changed. Save the changes?`,
      "Confirm",
      ["Save", "Discard", "Cancel"],
    );
    if (answer === "Save") return this.save();
    return answer === "Discard";
  }

  // Whether leaving the page would lose changes.
  hasUnsavedChanges(): boolean {
    return this.name !== "" && this.modified;
  }
}
