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
  remembered: string; // the remembered-scores line
  warnings: string[];
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
}

export async function loadCore(): Promise<Core> {
  return (await createOrvaleCore()) as Core;
}
