// SPDX-License-Identifier: GPL-3.0-or-later
// The core compiled to WebAssembly, as the page sees it: every computation, rule and text of the
// program. Messages come with their line breaks as line feeds.
import createOrvaleCore from "orvale-core";

export interface ScoringOptions {
  confidenceMethod: number; // 0 95% traditional, 1 90% traditional, 2 95% Glutting, 3 90% Glutting
  trueScoreDifferences: boolean;
  applyBonferroni: boolean;
  calculateGai: boolean;
  cutoffIndex: number; // 1, 2, 3 for 5%, 10%, 15%
}

export interface OptionGroupText {
  name: string;
  caption: string;
  items: string[];
  description: string;
}

export interface WorksheetTexts {
  title: string;
  version: string;
  description: string;
  notesCaption: string;
  subtestCaptions: string[];
  optionGroups: OptionGroupText[];
  numericOnlyMessage: string;
  maxLengthMessage: string;
  maxEntryLength: number;
  maxNotesLength: number;
  defaultOptions: ScoringOptions;
}

// What a case holds on the worksheet: the entry texts as typed, the options, the notes.
export interface CaseValues {
  entries: string[];
  options: ScoringOptions;
  notes: string;
}

export interface ComputeRequest extends CaseValues {
  decimalSeparator: string;
  memo: string; // the results memo's text, which the report is appended to
}

// An entry at fault, in field order: its message and its field (0 to 7).
export interface EntryFault {
  field: number;
  message: string;
}

export interface Computed {
  append: string; // the text to append to the memo
  json: string; // the case as `orvale-score --format json` writes it
  svg: string; // the profile chart as `orvale-score --format svg` writes it
  remembered: string; // the remembered-scores line
  warnings: string[];
}

// What a batch's scoring asks of its caller: read fills the view with the input's next bytes and
// answers how many (0 at the end, -1 when the input could not be read); write gets the results'
// bytes in order (the view is the core's memory: copy what is kept).
export interface BatchInput {
  read(view: Uint8Array): number;
}

export interface BatchIo extends BatchInput {
  write(view: Uint8Array): void;
  note(line: number, text: string): void; // a skipped row's message or "warning: ..."
  progress(rowsWritten: number, rowsSkipped: number): void;
}

export interface BatchOutcome {
  status: "done" | "header" | "unreadable" | "unwritable" | "cancelled";
  rowsWritten: number;
  rowsSkipped: number;
  headerError: string; // why the header is unusable
  headerLine: number; // the line concerned, or 0
}

export interface Core {
  worksheetTexts(): WorksheetTexts;
  checkScoreEntry(field: number, text: string): string | null;
  filterEntryText(text: string): string | null;
  limitEntryText(text: string): string;
  notesInsertable(text: string, room: number): string;
  notesCharacters(text: string): number;
  compute(request: ComputeRequest): Computed | EntryFault | { error: string };
  resultsFile(memo: string): string;
  readRemembered(content: string): { fields: string[]; error: string };
  writeCase(values: CaseValues): { content: string } | EntryFault;
  readCase(name: string, content: Uint8Array): CaseValues | { error: string };
  countBatchRows(input: BatchInput): number; // -1 when unreadable or without a header
  scoreBatch(options: ScoringOptions, io: BatchIo): BatchOutcome | { error: string };
}

export async function loadCore(): Promise<Core> {
  return (await createOrvaleCore()) as Core;
}
